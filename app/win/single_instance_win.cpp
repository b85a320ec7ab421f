#include "app/win/single_instance_win.h"

#include "app/main_form_design.h"
#include "app/win/main_window_win.h"

namespace {

// Local: one per logon session, as the windows it protects are.
constexpr const wchar_t* kMutexName = L"Local\\Morvane by Halvo Setup";
// A setup that has just taken the mutex needs a moment to make its window.
constexpr DWORD kWindowWaitMs = 5000;
constexpr DWORD kPollMs = 50;

struct Search {
  DWORD self;
  HWND main = nullptr;     // the other setup's main window, shown or not yet
  HWND shown = nullptr;    // any window of that setup on screen
};

bool IsMainWindowOfAnother(HWND hwnd, DWORD self) {
  wchar_t name[64] = {};
  if (!GetClassNameW(hwnd, name, 64) || lstrcmpW(name, kMainWindowClass) != 0) return false;
  wchar_t title[64] = {};
  GetWindowTextW(hwnd, title, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid != self && lstrcmpW(title, kMainCaption) == 0;
}

BOOL CALLBACK FindMain(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (!IsMainWindowOfAnother(hwnd, search->self)) return TRUE;
  search->main = hwnd;
  return FALSE;
}

// Before its main window shows, the setup may already show a message (the
// one about a finished removal): a window of the same process.
BOOL CALLBACK FindShown(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0, owner = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  GetWindowThreadProcessId(search->main, &owner);
  if (pid != owner || !IsWindowVisible(hwnd)) return TRUE;
  search->shown = hwnd;
  return FALSE;
}

}  // namespace

SingleSetup::SingleSetup() {
  mutex_.Reset(CreateMutexW(nullptr, FALSE, kMutexName));
  DWORD error = GetLastError();
  // Refused access means someone else made it: another setup all the same.
  anotherRunning_ = !mutex_ ? error == ERROR_ACCESS_DENIED : error == ERROR_ALREADY_EXISTS;
}

void BringRunningSetupToFront() {
  Search search{GetCurrentProcessId()};
  for (DWORD waited = 0; waited <= kWindowWaitMs; waited += kPollMs, Sleep(kPollMs)) {
    search.main = nullptr;
    search.shown = nullptr;
    EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&search));
    if (!search.main) continue;
    if (IsWindowVisible(search.main)) {
      search.shown = search.main;
    } else {
      EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&search));
    }
    if (search.shown) break;
  }
  if (!search.shown) return;
  if (IsIconic(search.main)) ShowWindow(search.main, SW_RESTORE);
  DWORD pid = 0;
  GetWindowThreadProcessId(search.main, &pid);
  // This start is the user's latest action and may hand the foreground on.
  AllowSetForegroundWindow(pid);
  // The box or chooser the setup has open, if any, else its window.
  HWND front = search.shown == search.main ? GetLastActivePopup(search.main) : search.shown;
  SetForegroundWindow(front ? front : search.shown);
}
