// The setup's log file: UTF-8 text, one line per step with the local time in
// front. The program runs elevated and the usual place of the log is the
// user's TEMP folder, where anyone of that user's programs can plant a link
// under the log's name: the file is opened by handle without following a
// link, and a link, folder or hard link found under the name is neither
// written through nor removed: the log is then not written.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/log_sink.h"
#include "platform/win/handles_win.h"

class LogFileWin : public LogSink {
 public:
  // fresh: the log starts empty; otherwise lines are added at its end.
  // nullptr, with the reason, when it cannot be written.
  static std::unique_ptr<LogFileWin> Open(const std::wstring& path, bool fresh, std::wstring& reason);
  void WriteLine(const std::wstring& line) override;

 private:
  explicit LogFileWin(UniqueKernelHandle file) : file_(std::move(file)) {}
  void Append(const std::string& bytes);

  UniqueKernelHandle file_;
};

// "%TEMP%\Morvane Setup.log".
std::wstring DefaultLogPath();
