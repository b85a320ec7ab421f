#include "platform/folder_access.h"

#include "platform/text.h"

namespace {

// The lists written out whole, in the system's descriptor language:
// - "O:BA": owned by Administrators, not by the account that runs the setup,
//   whose programs without elevation could otherwise change the list again;
// - "D:P": protected, so the permissive entries of a drive root never flow in;
// - "OICI": object and container inherit, so files and subfolders made later
//   get the same rights ("OICIIO": only they do, not the folder itself);
// - rights: 0x1f01ff all access, 0x1200a9 read and execute, 0x1301bf modify
//   (read, execute, write and delete), 0x1200af read and execute and make
//   files and folders in it, 0x4 make folders in it;
// - SY SYSTEM, BA Administrators, BU Users, AU Authenticated Users.
constexpr text::Ascii kProgramFolder =
    "O:BAD:P(A;OICI;0x1f01ff;;;SY)(A;OICI;0x1f01ff;;;BA)(A;OICI;0x1200a9;;;BU)";
// A working folder: users change what is in it, but may neither move it
// away nor turn it into a link.
constexpr text::Ascii kWorkingFolder =
    "O:BAD:P(A;OICI;0x1f01ff;;;SY)(A;OICI;0x1f01ff;;;BA)(A;;0x1200af;;;BU)(A;OICIIO;0x1301bf;;;BU)";
constexpr text::Ascii kProgramFile = "O:BAD:P(A;;0x1f01ff;;;SY)(A;;0x1f01ff;;;BA)(A;;0x1200a9;;;BU)";
constexpr text::Ascii kWorkingFile = "O:BAD:P(A;;0x1f01ff;;;SY)(A;;0x1f01ff;;;BA)(A;;0x1301bf;;;BU)";
// As Windows gives a system drive's root: Authenticated Users may make
// folders in it and change what they make, nothing more on it.
constexpr text::Ascii kOnTheWay =
    "O:BAD:P(A;OICI;0x1f01ff;;;SY)(A;OICI;0x1f01ff;;;BA)(A;OICI;0x1200a9;;;BU)(A;;0x4;;;AU)(A;OICIIO;0x1301bf;;;AU)";

}  // namespace

text::Ascii ProtectedFolderSddl(UsersMay users) {
  return users == UsersMay::ReadAndExecute ? kProgramFolder : kWorkingFolder;
}

text::Ascii ProtectedFileSddl(UsersMay users) { return users == UsersMay::ReadAndExecute ? kProgramFile : kWorkingFile; }

text::Ascii OnTheWaySddl() { return kOnTheWay; }
