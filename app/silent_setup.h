// The run without a window (setup.exe /S): the window's own logic on
// controls nobody sees, its messages answered and written to the log, and
// an outcome that becomes the exit code.
#pragma once

#include "app/command_line.h"
#include "app/message_log.h"
#include "platform/services.h"

// services.messages must be messages, so that every message the run meets
// is answered there and its failure counted.
Outcome RunSilently(const CommandLine& command, Services& services, SilentMessageBoxes& messages, LogSink& log);
