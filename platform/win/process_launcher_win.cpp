#include "platform/win/process_launcher_win.h"

#include <windows.h>

#include "platform/win/handles_win.h"

namespace {

class RunningProcessWin : public RunningProcess {
 public:
  RunningProcessWin(UniqueKernelHandle process, UiLoop& ui) : process_(std::move(process)), ui_(ui) {}

  bool WaitForExit(std::chrono::milliseconds timeout) override {
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    HANDLE process = process_.get();
    for (;;) {
      ULONGLONG now = GetTickCount64();
      DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
      DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT);
      if (woken == WAIT_OBJECT_0) return true;
      if (woken != WAIT_OBJECT_0 + 1) return false;  // timed out (or failed)
      ui_.DoEvents();  // paint, and let a close request end the program
    }
  }

 private:
  UniqueKernelHandle process_;
  UiLoop& ui_;
};

}  // namespace

std::unique_ptr<RunningProcess> ProcessLauncherWin::StartMinimized(const std::wstring& program,
                                                                   const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION started;
  std::wstring mutableLine = commandLine;  // CreateProcessW may write into it
  // A program started elevated looks for some DLLs in its current directory
  // too; the folder it lies in is one only administrators can change.
  std::wstring folder = program.substr(0, program.find_last_of(L'\\') + 1);
  if (!CreateProcessW(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    return nullptr;
  }
  CloseHandle(started.hThread);
  return std::make_unique<RunningProcessWin>(UniqueKernelHandle(started.hProcess), ui_);
}
