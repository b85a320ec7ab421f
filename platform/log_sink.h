// Where the setup's log goes: one line per step. The Windows side puts the
// time in front and writes UTF-8.
#pragma once

#include <string>
#include <string_view>

class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void WriteLine(const std::wstring& line) = 0;
};

// The line as the log holds it: every control character (line breaks and
// tabs among them), and the marks that turn text around or break it into
// lines, written as <U+000D> and the like, so that nothing logged (a
// command line, a path) can start a line of its own or hide what it is.
std::wstring EscapedForLog(std::wstring_view line);
// The same, appended to out.
void AppendEscapedForLog(std::wstring& out, std::wstring_view line);

// The default log's name for a run started at this local time:
// "Morvane Setup 2026-12-08 04.30.44.log".
std::wstring RunLogName(int year, int month, int day, int hour, int minute, int second);

// The name a log takes when number - 1 names before it were taken: the
// path itself first, then "x (2).log", "x (3).log" and so on.
std::wstring NumberedLogPath(const std::wstring& path, int number);
