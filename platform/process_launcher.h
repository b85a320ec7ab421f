// Starting another program (the system's registry editor for the presets).
#pragma once

#include <chrono>
#include <memory>
#include <string>

class RunningProcess {
 public:
  virtual ~RunningProcess() = default;
  // Waits at most timeout for the process to end, keeping the program's
  // windows painted and responsive meanwhile. True when it has ended.
  virtual bool WaitForExit(std::chrono::milliseconds timeout) = 0;
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts program (a full path, never searched for) with the given command
  // line, its window minimized and given the focus, in the folder program
  // lies in as its current directory (never the setup's own, which may be
  // the kit or the target). Returns at once; nullptr when the start failed.
  virtual std::unique_ptr<RunningProcess> StartMinimized(const std::wstring& program,
                                                         const std::wstring& commandLine) = 0;
};
