// What every log of a run without a window says first and last: what ran,
// as whom and from where; how it ended and with which exit code. And the
// line for an argument the run refuses.
#pragma once

#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/silent_outcomes.h"
#include "platform/log_sink.h"

struct RunFacts {
  std::wstring_view commandLine;
  std::wstring_view account;    // DOMAIN\name
  bool elevated = false;
  bool system = false;          // the SYSTEM account: shortcuts and presets go to every user
  std::wstring_view kitFolder;  // with its trailing backslash
};

void WriteLogHeader(LogSink& log, const RunFacts& facts);
void WriteLogEnd(LogSink& log, Outcome outcome);

// Which argument is refused, why, and what the setup takes instead.
std::wstring RefusedArgumentLine(const CommandLine& command);
