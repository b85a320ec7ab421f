// Benchmark, not a test: CopyKitFile's throughput for a 100 MB kit file, as
// a ratio against the system's own CopyFileW of the same file, measured in
// this one program, runs interleaved, medians compared.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "install/copy_kit_file.h"
#include "platform/win/file_system_win.h"
#include "tests/e2e/world.h"

namespace {

constexpr std::size_t kFileBytes = 100u * 1024 * 1024;
constexpr int kRounds = 5;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Action>
double Time(Action action) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  action();
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  using e2e::World;
  World::DeleteTree(L"C:\\bench");
  World::MakeDirectories(L"C:\\bench\\KIT");
  World::MakeDirectories(L"C:\\bench\\TARGET");
  std::string bytes(kFileBytes, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 11);
  if (!World::WriteFile(L"C:\\bench\\KIT\\morvane.1", bytes)) {
    std::printf("copy_bench: cannot write the source file\n");
    return 1;
  }
  bytes.clear();

  FileSystemWin files;
  install::InstallDirectories directories{L"C:\\BENCH\\KIT\\", L"C:\\BENCH\\TARGET\\"};
  install::CurrentNames names;
  std::vector<double> system, ours;
  // Once each before measuring, so both start with the source in the cache.
  CopyFileW(L"C:\\bench\\KIT\\morvane.1", L"C:\\bench\\TARGET\\system.bin", FALSE);
  (void)install::CopyKitFile(files, directories, names, KitFileNumber(1));
  for (int round = 0; round < kRounds; ++round) {
    DeleteFileW(L"C:\\bench\\TARGET\\system.bin");
    system.push_back(Time([] { CopyFileW(L"C:\\bench\\KIT\\morvane.1", L"C:\\bench\\TARGET\\system.bin", FALSE); }));
    DeleteFileW(L"C:\\bench\\TARGET\\Morvane.exe");
    ours.push_back(Time([&] { (void)install::CopyKitFile(files, directories, names, KitFileNumber(1)); }));
  }
  bool same = World::ReadFile(L"C:\\bench\\TARGET\\Morvane.exe") == World::ReadFile(L"C:\\bench\\KIT\\morvane.1");
  double mb = static_cast<double>(kFileBytes) / (1024 * 1024);
  double systemTime = Median(system), ourTime = Median(ours);
  std::printf("copy_bench: 100 MB, median of %d rounds each\n", kRounds);
  std::printf("  CopyFileW   %7.3f s  %7.1f MB/s\n", systemTime, mb / systemTime);
  std::printf("  CopyKitFile %7.3f s  %7.1f MB/s\n", ourTime, mb / ourTime);
  std::printf("  throughput ratio CopyKitFile / CopyFileW: %.2f (target at least 0.80)%s\n", systemTime / ourTime,
              same ? "" : "  COPY DIFFERS FROM SOURCE");
  World::DeleteTree(L"C:\\bench");
  return same ? 0 : 1;
}
