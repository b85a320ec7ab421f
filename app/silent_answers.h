// What a run without a window makes of each message the window would show:
// the answer it gives in the user's place, and what kind of failure (and so
// which exit code) the message stands for.
#pragma once

#include <string>

#include "platform/message_boxes.h"

// Every way a run can end, each with its exit code. Codes that Windows
// Installer gives the same meaning are used as it uses them, since
// deployment systems read them so.
enum class Outcome {
  Done,
  KitIncomplete,
  TargetRefused,
  ReadOrWriteFailure,
  MorvaneInUse,
  AnotherSetupRunning,
  NotInstalled,
  LogNotOpened,
  Failed,  // anything else that stopped the run
};

int ExitCode(Outcome outcome);
// A short text for the log: "kit incomplete" and the like.
const wchar_t* OutcomeName(Outcome outcome);

struct SilentReply {
  MessageBoxAnswer answer;
  Outcome outcome;  // Done: the message stops nothing
};

// The reply to a message of this text and these message-box flags.
SilentReply SilentReplyTo(const std::wstring& text, int flags);
