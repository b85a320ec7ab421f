// The access list of every folder the setup creates. The setup runs elevated:
// a folder that ordinary users may change would let any of them swap the
// program an administrator runs next (the uninstaller, "setup.exe").
#pragma once

#include "platform/text.h"

enum class UsersMay : std::uint8_t {
  ReadAndExecute,  // program folders
  Modify,          // folders the product itself writes its lists, undo data and test files to
};

// A protected descriptor in the system's descriptor language: SYSTEM and
// Administrators full control, Users as given, inherited by everything made
// inside, and nothing inherited from the parent.
text::Ascii ProtectedFolderSddl(UsersMay users);

// The same rights for one file, given to it as its own list: a file that
// inherited its folder's could be replaced by anyone the folder lets in (a
// drive root lets every user make folders and change what is made inside).
text::Ascii ProtectedFileSddl(UsersMay users);

// What a folder on the target's way gets that others could delete or
// rename: the rule of a system drive's root. The running account's own
// rights are added to it where it has any.
text::Ascii OnTheWaySddl();
