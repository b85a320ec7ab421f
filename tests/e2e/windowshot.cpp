// Saves a PNG of a window once it shows:
//   windowshot TITLE PNG_PATH [TIMEOUT_SECONDS]
// Used to show the setup window when there is no display to look at.
#include <windows.h>

#include <string>

#include "tests/e2e/driver/driver.h"

namespace {

struct Search {
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindVisibleTitled(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  if (IsWindowVisible(hwnd) && lstrcmpW(text, search->title) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: windowshot TITLE PNG_PATH [TIMEOUT_SECONDS]\n");
    return 2;
  }
  int seconds = argc > 3 ? _wtoi(argv[3]) : 30;
  Search search{argv[1], nullptr};
  bool shown = e2e::WaitUntil(
      [&] {
        EnumWindows(&FindVisibleTitled, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      std::chrono::seconds(seconds));
  if (!shown) {
    fwprintf(stderr, L"windowshot: no window \"%ls\" within %d s\n", argv[1], seconds);
    return 1;
  }
  Sleep(1000);  // let it finish painting
  if (!e2e::SaveScreenshot(search.found, argv[2])) {
    fwprintf(stderr, L"windowshot: cannot write %ls\n", argv[2]);
    return 1;
  }
  return 0;
}
