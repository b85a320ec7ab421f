// The messages that tell a person what an operation's result means: shown
// in a message box by the window, written to the log by the silent mode.
#pragma once

#include <string>

#include "install/operation.h"

namespace app {

// What was wrong with the target or its drive, and what to do. reinstalling:
// the target is the installed copy's folder, which the window shows but
// does not let the user change.
std::wstring RefusalMessage(const install::Refused& refused, bool reinstalling = false);
// The message-box flags it is shown with.
int RefusalFlags(const install::Refused& refused);

// Morvane runs from folder: close it and retry, or cancel.
std::wstring InUseQuestion(const std::wstring& folder);

// A path as a message shows it: control characters as "?", so that nothing
// typed can break the message's lines, and a path longer than a message box
// can hold (its buttons would fall off the screen) with its middle cut out.
std::wstring ShownPath(const std::wstring& path);

}  // namespace app
