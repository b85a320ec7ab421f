#pragma once

#include "platform/process_launcher.h"
#include "platform/ui_loop.h"

class ProcessLauncherWin : public ProcessLauncher {
 public:
  // While waiting for a process, the loop keeps the program's windows alive.
  explicit ProcessLauncherWin(UiLoop& ui) : ui_(ui) {}
  std::unique_ptr<RunningProcess> StartMinimized(const std::wstring& program, const std::wstring& commandLine) override;

 private:
  UiLoop& ui_;
};
