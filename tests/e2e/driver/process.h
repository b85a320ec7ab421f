// A started setup.exe and its top-level windows.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/message_boxes.h"
#include "tests/e2e/driver/wait.h"

namespace e2e {

class SetupProcess {
 public:
  // Starts exe with the given working directory; fails the test run loudly
  // (empty process) when it cannot be started.
  static SetupProcess Start(const std::wstring& exe, const std::wstring& workingDirectory,
                            const std::wstring& arguments = L"");
  SetupProcess() = default;
  SetupProcess(SetupProcess&& other) noexcept;
  SetupProcess& operator=(SetupProcess&& other) noexcept;
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;
  ~SetupProcess();  // kills it if it still runs

  explicit operator bool() const { return process_ != nullptr; }
  DWORD pid() const { return pid_; }
  HANDLE handle() const { return process_; }
  bool Running() const;
  // The exit code once the process has ended within the timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = kDefaultWait) const;
  void Kill();

  // The process's visible top-level window with this title.
  HWND WaitForWindow(const std::wstring& title, std::chrono::milliseconds timeout = kDefaultWait) const;
  // Any top-level window of the process with this title, shown or not.
  HWND FindWindowTitled(const std::wstring& title, bool visibleOnly) const;
  // A message box (a dialog of class #32770) of the process.
  std::optional<MessageBoxInfo> WaitForMessageBox(std::chrono::milliseconds timeout = kDefaultWait) const;
  std::vector<HWND> VisibleTopLevelWindows() const;

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// A visible top-level window with this title, of any process (for a setup
// started by someone else, such as the system's uninstaller).
HWND WaitForAnyWindow(const std::wstring& title, std::chrono::milliseconds timeout = kDefaultWait);

}  // namespace e2e
