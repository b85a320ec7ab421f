#include "tests/e2e/driver/process.h"

#include <utility>

#include "tests/e2e/driver/window_query.h"

namespace e2e {

SetupProcess SetupProcess::Start(const std::wstring& exe, const std::wstring& workingDirectory,
                                 const std::wstring& arguments) {
  SetupProcess started;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info)) {
    return started;
  }
  CloseHandle(info.hThread);
  started.process_ = info.hProcess;
  started.pid_ = info.dwProcessId;
  return started;
}

SetupProcess::SetupProcess(SetupProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), pid_(std::exchange(other.pid_, 0)) {}

SetupProcess& SetupProcess::operator=(SetupProcess&& other) noexcept {
  if (this != &other) {
    Kill();
    process_ = std::exchange(other.process_, nullptr);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

SetupProcess::~SetupProcess() { Kill(); }

bool SetupProcess::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> SetupProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  if (!process_ || WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

void SetupProcess::Kill() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

HWND SetupProcess::FindWindowTitled(const std::wstring& title, bool visibleOnly) const {
  for (HWND hwnd : TopLevelWindowsOf(pid_)) {
    if (visibleOnly && !IsWindowVisible(hwnd)) continue;
    if (WindowText(hwnd) == title && ClassOf(hwnd) != L"#32770") return hwnd;
  }
  return nullptr;
}

HWND SetupProcess::WaitForWindow(const std::wstring& title, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowTitled(title, true)) != nullptr || !Running(); }, timeout);
  return found;
}

std::vector<HWND> SetupProcess::VisibleTopLevelWindows() const {
  std::vector<HWND> visible;
  for (HWND hwnd : TopLevelWindowsOf(pid_)) {
    if (IsWindowVisible(hwnd)) visible.push_back(hwnd);
  }
  return visible;
}

std::optional<MessageBoxInfo> SetupProcess::WaitForMessageBox(std::chrono::milliseconds timeout) const {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        for (HWND hwnd : TopLevelWindowsOf(pid_)) {
          if (IsMessageBox(hwnd) && IsWindowVisible(hwnd)) {
            box = hwnd;
            return true;
          }
        }
        return !Running();
      },
      timeout);
  if (!box) return std::nullopt;
  // The icon is recognised by its pixels: give the box time to paint it.
  MessageBoxInfo info = ReadMessageBox(box);
  WaitUntil([&] { return (info = ReadMessageBox(box)).icon != MessageIcon::None || !IsWindow(box); }, 2s);
  return info;
}

namespace {

struct TitleSearch {
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK FindVisibleTitled(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<TitleSearch*>(lParam);
  if (IsWindowVisible(hwnd) && ClassOf(hwnd) != L"#32770" && WindowText(hwnd) == *search->title) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitForAnyWindow(const std::wstring& title, std::chrono::milliseconds timeout) {
  TitleSearch search{&title, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(&FindVisibleTitled, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout);
  return search.found;
}

}  // namespace e2e
