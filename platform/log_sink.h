// Where the setup's log goes: one line per step. The Windows side puts the
// time in front and writes UTF-8.
#pragma once

#include <string>

class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void WriteLine(const std::wstring& line) = 0;
};
