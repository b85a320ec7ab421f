// Benchmark, not a test: how soon setup.exe shows its finished window, and
// how much private memory it takes, as ratios against a bare Win32 program
// that shows a window of the same size with the same picture and uses
// Common Controls 6 (bare_cc6_window.exe); the same against the bare window
// that only carries the manifest (bare_window.exe) is printed beside it.
// All are started in turn from this program, round after round.
// Time runs from just before CreateProcess until the window's client area
// on screen first equals its settled picture (captured once, after a warm-up
// run left to settle): the first complete paint, as the user sees it.
#include <windows.h>

#include "tests/bench/bench_timing.h"
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_form_design.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/world.h"

namespace {

using bench::Median;
using bench::Now;

using namespace e2e;
using namespace std::chrono_literals;

constexpr int kDefaultRounds = 15;
constexpr int kWidth = TwipsToPixels(kMainClientWidthTwips, 96);
constexpr int kHeight = TwipsToPixels(kMainClientHeightTwips, 96);
// A blinking caret or a focus rectangle may differ; a missing label, button
// or picture differs by far more.
constexpr int kTolerance = 64;
const std::wstring kKit = L"C:\\bench\\startup-kit";

using Pixels = std::vector<DWORD>;

// The client area of window as it is on screen now.
Pixels Capture(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  HDC shot = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(shot, bitmap);
  BitBlt(shot, 0, 0, kWidth, kHeight, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  Pixels pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + kWidth * kHeight);
  SelectObject(shot, old);
  DeleteObject(bitmap);
  DeleteDC(shot);
  ReleaseDC(nullptr, screen);
  return pixels;
}

int Differing(const Pixels& a, const Pixels& b) {
  int count = 0;
  for (std::size_t i = 0; i < a.size(); ++i) count += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
  return count;
}

struct Program {
  const wchar_t* label;
  std::wstring exe;
  Pixels settled;
  std::vector<double> seconds;
  std::vector<double> shown;  // seconds to the window's being visible
  std::vector<double> privateBytes;
};

HWND VisibleWindow(const SetupProcess& process) {
  std::vector<HWND> windows = process.VisibleTopLevelWindows();
  return windows.empty() ? nullptr : windows.front();
}

// Leaves the place where the windows open black, so that what an ended run
// left on screen cannot pass for the next run's paint.
void Blank(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  HDC screen = GetDC(nullptr);
  PatBlt(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, BLACKNESS);
  ReleaseDC(nullptr, screen);
}

// One run: seconds to the first complete paint (negative when the window
// did not get there within 30 s), to the window's showing, and peak private bytes.
struct Figures {
  double seconds, shown, privateBytes;
};
Figures Run(Program& program) {
  World::Reset();
  double start = Now();
  SetupProcess process = SetupProcess::Start(program.exe, kKit);
  HWND window = nullptr;
  bool complete = false;
  double shown = -1;
  Pixels last;
  while (!complete && Now() - start < 30) {
    if (!window && (window = VisibleWindow(process)) != nullptr) shown = Now() - start;
    if (window) {
      Pixels now = Capture(window);
      complete = Differing(now, program.settled) <= kTolerance;
      if (!complete) last = std::move(now);
    }
    if (!complete) Sleep(1);
  }
  double seconds = complete ? Now() - start : -1;
  // A paint that lags the showing, or never comes: where the last picture
  // before it still differed, to tell a slow paint from a changing picture.
  if (window && !last.empty() && (complete ? seconds : Now() - start) - shown > 0.1) {
    int left = kWidth, top = kHeight, right = -1, bottom = -1;
    for (int i = 0; i < kWidth * kHeight; ++i) {
      if ((last[i] & 0xFFFFFF) == (program.settled[i] & 0xFFFFFF)) continue;
      left = std::min(left, i % kWidth), right = std::max(right, i % kWidth);
      top = std::min(top, i / kWidth), bottom = std::max(bottom, i / kWidth);
    }
    std::printf("startup_bench: %ls shown after %.3f s, complete after %.3f s; "
                "%d pixels differed in (%d,%d)-(%d,%d)\n",
                program.label, shown, seconds, Differing(last, program.settled), left, top, right, bottom);
  }
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process.handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  double peakPrivate = static_cast<double>(std::max<SIZE_T>(memory.PeakPagefileUsage, memory.PrivateUsage));
  if (window) Blank(window);
  process.Kill();
  process.WaitForExit(10s);
  return {seconds, shown, peakPrivate};
}

// A first run, left to settle, gives the picture every later run must reach.
bool Settle(Program& program) {
  World::Reset();
  SetupProcess process = SetupProcess::Start(program.exe, kKit);
  HWND window = nullptr;
  WaitUntil([&] { return (window = VisibleWindow(process)) != nullptr; }, 30s);
  if (!window) return false;
  Sleep(3000);
  program.settled = Capture(window);
  Blank(window);
  return true;
}

}  // namespace

// An argument gives another number of rounds.
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRounds;
  World::Reset();
  World::DeleteTree(L"C:\\bench");
  World::MakeKit(kKit);
  Program setup{L"setup.exe (install state)", kKit + L"\\setup.exe", {}, {}, {}};
  Program bare{L"bare Common Controls 6 window", TestBinaries() + L"\\bare_cc6_window.exe", {}, {}, {}};
  Program manifestOnly{L"bare window, manifest only", TestBinaries() + L"\\bare_window.exe", {}, {}, {}};
  Program* programs[] = {&manifestOnly, &bare, &setup};
  for (Program* program : programs) {
    if (!Settle(*program)) {
      std::printf("startup_bench: %ls showed no window\n", program->label);
      return 1;
    }
  }
  for (int round = 0; round < rounds; ++round) {
    // Turning which goes first, so that none always runs after another.
    Program* order[3] = {programs[round % 3], programs[(round + 1) % 3], programs[(round + 2) % 3]};
    for (Program* program : order) {
      auto [seconds, shown, peakPrivate] = Run(*program);
      if (seconds < 0) {
        std::printf("startup_bench: %ls did not reach its settled picture\n", program->label);
        return 1;
      }
      program->seconds.push_back(seconds);
      program->shown.push_back(shown);
      program->privateBytes.push_back(peakPrivate);
    }
  }
  auto ratio = [](const std::vector<double>& a, const std::vector<double>& b) { return Median(a) / Median(b); };
  double startup = ratio(setup.seconds, bare.seconds);
  double memory = ratio(setup.privateBytes, bare.privateBytes);
  std::printf("startup_bench: process start to first complete paint, interleaved, median of %d rounds each\n",
              rounds);
  for (const Program* program : programs) {
    std::printf("  %-30ls %7.3f s (shown after %.3f s)   peak private bytes %6.2f MB\n", program->label,
                Median(program->seconds), Median(program->shown), Median(program->privateBytes) / 1048576.0);
    std::printf("    runs (s):");
    for (double seconds : program->seconds) std::printf(" %.3f", seconds);
    std::printf("\n");
  }
  // Windows gives the peak; Wine gives another process's private bytes as
  // they are when asked, here at the first complete paint.
  std::printf("  start-up ratio setup.exe / bare Common Controls 6 window: %.2f (target at most 1.15)\n", startup);
  std::printf("  peak private bytes ratio setup.exe / bare Common Controls 6 window: %.2f (target at most 1.20)\n",
              memory);
  std::printf("  against the bare window that only carries the manifest: start-up %.2f, private bytes %.2f\n",
              ratio(setup.seconds, manifestOnly.seconds), ratio(setup.privateBytes, manifestOnly.privateBytes));
  std::printf("startup_ratio=%.3f memory_ratio=%.3f setup_seconds=%.4f bare_seconds=%.4f setup_private_mb=%.2f "
              "bare_private_mb=%.2f manifest_only_seconds=%.4f\n",
              startup, memory, Median(setup.seconds), Median(bare.seconds), Median(setup.privateBytes) / 1048576.0,
              Median(bare.privateBytes) / 1048576.0, Median(manifestOnly.seconds));
  World::Reset();
  World::DeleteTree(L"C:\\bench");
  return 0;
}
