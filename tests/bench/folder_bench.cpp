// Benchmark, not a test: how long the folder chooser takes to show a folder
// with 10,000 subfolders (from the click on "&Browse..." to the directory
// list holding every entry), as a ratio against enumerating the same folders
// with FindFirstFileW alone, measured in this one program, medians compared.
#include <windows.h>

#include "tests/bench/bench_timing.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_form_design.h"
#include "folder/folder_form_design.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/world.h"

namespace {

using bench::Median;
using bench::Now;

constexpr int kFolders = 10000;
constexpr int kRounds = 5;
constexpr const wchar_t* kMany = L"C:\\bench\\many";

int Enumerate() {
  int folders = 0;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((std::wstring(kMany) + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != L'.') ++folders;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return folders;
}

LRESULT Entries(HWND list) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 30000, &count)) return -1;
  return static_cast<LRESULT>(count);
}

}  // namespace

int main() {
  using namespace e2e;
  World::DeleteTree(L"C:\\bench");
  World::MakeDirectories(kMany);
  for (int i = 0; i < kFolders; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"\\folder%05d", i);
    CreateDirectoryW((std::wstring(kMany) + name).c_str(), nullptr);
  }
  std::wstring kit = World::MakeKit(L"C:\\bench\\kit");
  // Started in the big folder: the chooser opens on the current directory.
  SetupProcess setup = SetupProcess::Start(kit + L"\\setup.exe", kMany);
  HWND main = setup ? setup.WaitForWindow(kMainTitle) : nullptr;
  if (!main || Enumerate() != kFolders) {
    std::printf("folder_bench: setup.exe did not start, or the folders were not made\n");
    return 1;
  }
  const LRESULT expected = kFolders + 3;  // c:\, bench, many, then the folders
  std::vector<double> listing, shown;
  for (int round = 0; round < kRounds; ++round) {
    double start = Now();
    int folders = Enumerate();
    listing.push_back(Now() - start);
    if (folders != kFolders) return 1;

    start = Now();
    Click(GetDlgItem(main, DesignOf(Control::cmdBrowse).id));
    HWND chooser = nullptr;
    while (!(chooser = setup.FindWindowTitled(kFolderCaption, true)) && Now() - start < 60) Sleep(1);
    HWND list = chooser ? GetDlgItem(chooser, DesignOf(FolderControl::Dir1).id) : nullptr;
    while (list && Entries(list) != expected && Now() - start < 60) Sleep(1);
    if (!list || Entries(list) != expected) {
      std::printf("folder_bench: the chooser did not list the %d folders\n", kFolders);
      return 1;
    }
    shown.push_back(Now() - start);
    // Closed with its close box, the chooser is made anew at the next Browse.
    CloseWithCloseBox(chooser);
    while (IsWindow(chooser) && IsWindowVisible(chooser) && Now() - start < 60) Sleep(1);
  }
  setup.Kill();
  double l = Median(listing), s = Median(shown);
  std::printf("folder_bench: a folder with %d subfolders, median of %d rounds each\n", kFolders, kRounds);
  std::printf("  FindFirstFileW enumeration            %8.3f s\n", l);
  std::printf("  chooser shown (Browse to full list)   %8.3f s\n", s);
  std::printf("  ratio chooser / enumeration: %.1f\n", s / l);
  World::DeleteTree(L"C:\\bench");
  return 0;
}
