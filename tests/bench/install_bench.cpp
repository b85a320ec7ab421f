// Benchmark, not a test: the whole installation (from pressing Next to
// "Completed installation.") for a kit whose product files total 100 MB, as
// a ratio against a baseline of the same work done by the system itself in
// this program: CopyFileW of the same eight files plus one run of the
// registry editor importing the same presets script. Also prints the peak
// memory of setup.exe during the installation.
#include <windows.h>

#include "tests/bench/bench_timing.h"
#include <psapi.h>

#include <algorithm>
#include <cstdio>
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

constexpr int kRounds = 7;  // the registry editor's own run varies a lot under Wine
const std::wstring kKit = L"C:\\bench\\kit";
const std::wstring kTarget = L"C:\\bench\\target";

// Kit file -> (installed name, megabytes); 100 MB in all.
struct ProductFile {
  const wchar_t* kitName;
  const wchar_t* installedName;
  std::size_t megabytes;
};
const ProductFile kProduct[] = {
    {L"morvane.1", L"Morvane.exe", 40},       {L"morvane.2", L"screenshot.jpg", 30},
    {L"morvane.3", L"about.htm", 6},          {L"morvane.4", L"Help\\AddFile.bmp", 8},
    {L"morvane.5", L"Help\\AddPath.bmp", 8},  {L"morvane.6", L"Help\\FileList.htm", 8},
};

void CleanTarget() {
  World::DeleteTree(kTarget);
  World::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\QolMORVANE");
  World::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey, kView32);
  DeleteFileW(World::DesktopShortcut().c_str());
  DeleteFileW(World::ProgramsShortcut().c_str());
}

double Baseline() {
  CleanTarget();
  World::MakeDirectories(kTarget + L"\\Help");
  double start = Now();
  for (const ProductFile& file : kProduct) {
    CopyFileW((kKit + L"\\" + file.kitName).c_str(), (kTarget + L"\\" + file.installedName).c_str(), FALSE);
  }
  CopyFileW((kKit + L"\\setup.dll").c_str(), (kTarget + L"\\setup.dll").c_str(), FALSE);
  CopyFileW((kKit + L"\\setup.exe").c_str(), (kTarget + L"\\setup.exe").c_str(), FALSE);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"C:\\windows\\regedit.exe\" /s \"" + kKit + L"\\morvane.7\"";
  if (CreateProcessW(L"C:\\windows\\regedit.exe", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &info)) {
    WaitForSingleObject(info.hProcess, 60000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  return Now() - start;
}

struct Run {
  double seconds = -1;
  SIZE_T peakWorkingSet = 0;
  SIZE_T peakPrivate = 0;
};

Run Installation() {
  CleanTarget();
  Run run;
  SetupProcess setup = SetupProcess::Start(kKit + L"\\setup.exe", kKit);
  HWND window = setup.WaitForWindow(kMainTitle);
  if (!window) return run;
  SetText(GetDlgItem(window, DesignOf(Control::Text1).id), kTarget);
  HWND label = GetDlgItem(window, DesignOf(Control::Label1).id);
  double start = Now();
  Click(GetDlgItem(window, DesignOf(Control::cmdNext0).id));
  // Polled every millisecond: the coarse wait of the tests would add up to
  // its own interval to a run this short.
  bool done = false;
  while (!done && Now() - start < 120) {
    wchar_t text[64] = {};
    SendMessageW(label, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    done = lstrcmpW(text, L"Completed installation.") == 0;
    if (!done) Sleep(1);
  }
  if (!done) return run;
  run.seconds = Now() - start;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(setup.handle(), &memory, sizeof memory)) {
    run.peakWorkingSet = memory.PeakWorkingSetSize;
    run.peakPrivate = memory.PeakPagefileUsage;
  }
  return run;
}

}  // namespace

// Without arguments: warm runs, interleaved in this program. With one
// argument, one step for a script that drops the system's file cache
// between runs (tools/bench.sh): "prepare" makes the kit, "baseline" and
// "installation" each time one run and print it.
int main(int argc, char** argv) {
  std::string step = argc > 1 ? argv[1] : "";
  if (step.empty() || step == "prepare") {
    World::Reset();
    World::DeleteTree(L"C:\\bench");
    std::map<std::wstring, std::string> big;
    for (const ProductFile& file : kProduct) {
      big[file.kitName] = std::string(file.megabytes * 1024 * 1024, static_cast<char>(file.megabytes));
    }
    World::AssembleKit(kKit, big);  // as a vendor's kit: its setup.exe proves the big files
    if (step == "prepare") return 0;
  }
  if (step == "baseline") {
    std::printf("baseline_seconds=%.4f\n", Baseline());
    return 0;
  }
  if (step == "installation") {
    Run run = Installation();
    std::printf("installation_seconds=%.4f peak_working_set_mb=%.1f peak_private_mb=%.1f\n", run.seconds,
                run.peakWorkingSet / 1048576.0, run.peakPrivate / 1048576.0);
    return run.seconds < 0 ? 1 : 0;
  }

  // Once each first, so that both work from a warm cache.
  Baseline();
  Installation();
  std::vector<double> baseline, installation;
  SIZE_T peakWorkingSet = 0, peakPrivate = 0;
  for (int round = 0; round < kRounds; ++round) {
    baseline.push_back(Baseline());
    Run run = Installation();
    if (run.seconds < 0) {
      std::printf("install_bench: the installation did not complete\n");
      return 1;
    }
    installation.push_back(run.seconds);
    peakWorkingSet = std::max(peakWorkingSet, run.peakWorkingSet);
    peakPrivate = std::max(peakPrivate, run.peakPrivate);
  }
  double base = Median(baseline), ours = Median(installation);
  std::printf("install_bench: kit with 100 MB of product files, warm file cache, median of %d rounds each\n", kRounds);
  std::printf("  baseline (CopyFileW of the 8 files + regedit /s)  %7.3f s\n", base);
  std::printf("  installation (Next to \"Completed installation.\")  %7.3f s\n", ours);
  std::printf("  ratio installation / baseline: %.2f (target at most 1.30)\n", ours / base);
  std::printf("  setup.exe peak working set %.1f MB, peak private bytes %.1f MB\n", peakWorkingSet / 1048576.0,
              peakPrivate / 1048576.0);
  World::Reset();
  World::DeleteTree(L"C:\\bench");
  return 0;
}
