// The removal sequence both removal actions run on an installed directory:
// the product's files and folders, the two shortcuts, the setting and the
// uninstall entry. It touches nothing it does not name, never recurses and
// never yields to the message loop.
#pragma once

#include <string>

struct Services;

namespace uninstall {

// directory ends in a backslash. Every single failure is ignored and the
// next step runs; only a failed deletion of the uninstall entry is reported.
// The one exception is "Morvane.exe", which goes first: when it is still
// there afterwards (Morvane was started again), nothing else is touched, so
// that the installation, its entry and the setting stay whole and the next
// start offers the removal again. False then.
bool RunRemovalSequence(Services& services, const std::wstring& directory);

}  // namespace uninstall
