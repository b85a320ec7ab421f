// The run without a window (setup.exe /S): the same operations as the
// window's, their questions answered as a deployment needs, and their
// results written to the log and turned into an outcome, the exit code.
#pragma once

#include "app/command_line.h"
#include "app/silent_outcomes.h"
#include "platform/log_sink.h"
#include "platform/services.h"

Outcome RunSilently(const CommandLine& command, const SystemServices& services, LogSink& log);
