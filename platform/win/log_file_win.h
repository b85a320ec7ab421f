// The log of a run without a window: UTF-8 text, one line per step with the
// local time in front. The setup runs elevated, and a log's folder (the
// user's TEMP, the system's Temp for a run as SYSTEM, a folder given with
// /LOG=) may be one where others can put files, links among them. So every
// log is a file made new, never one that was there: nothing under its name
// is opened, emptied or followed, and no folder on its way can be swapped
// for a link while it is made.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/log_sink.h"
#include "platform/win/handles_win.h"

class LogFileWin : public LogSink {
 public:
  // Makes the log at path or, when anything lies under that name (a planted
  // file, a link, a folder), at the next free numbered name beside it
  // (NumberedLogPath). Refused on a network drive. Elevated, it gets an
  // access list that only administrators and SYSTEM may change. nullptr,
  // with the reason, when no log could be made.
  static std::unique_ptr<LogFileWin> Create(const std::wstring& path, bool elevated, std::wstring& reason);
  void WriteLine(const std::wstring& line) override;

 private:
  explicit LogFileWin(UniqueKernelHandle file) : file_(std::move(file)) {}
  void Append(std::string_view bytes);

  UniqueKernelHandle file_;
};

// %TEMP% and a name of this run's own: "Morvane Setup 2026-12-08 04.30.44.log".
std::wstring DefaultLogPath();
