// Every way a run without a window can end, each with its exit code and
// the words the log gives it. Codes that Windows Installer (or Windows)
// gives the same meaning are used as they use them, since deployment systems
// read them so.
#pragma once

#include <cstdint>

#include "install/operation.h"
#include "platform/text.h"

enum class Outcome : std::uint8_t {
  Done,
  KitIncomplete,
  KitDamaged,
  TargetRefused,
  NotEnoughSpace,
  ReadOrWriteFailure,
  RegistrationFailed,
  MorvaneInUse,
  AnotherSetupRunning,
  NotInstalled,
  LogNotOpened,
  ArgumentsRefused,  // an argument this setup does not take, or a malformed one
  Failed,  // anything else that stopped the run
};

int ExitCode(Outcome outcome);
// A short text for the log: "kit incomplete" and the like.
text::Ascii OutcomeName(Outcome outcome);

// What an operation's result means for the run.
Outcome OutcomeOf(const install::OperationResult& result);
