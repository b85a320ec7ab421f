// modMain: the one way the program stops.
#pragma once

#include "platform/program_end.h"

namespace modMain {

// Closes both windows and ends the process, from any state, also from inside
// an action's message-loop turn. Re-entry through the close request of the
// main window carries on with the remaining steps; the process ends once.
[[noreturn]] void EndSetup(ProgramEnd& end);

}  // namespace modMain
