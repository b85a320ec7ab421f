// Morvane running from the folder that an action is about to replace or
// remove: its files could not be written or deleted, and the action would
// leave a mix of versions or a copy that no entry names any more.
#pragma once

#include <string>

class FileSystem;
class MessageBoxes;

namespace install {

// True when "Morvane.exe" in directory (which ends in a backslash) is not in
// use, or no longer is once the user, told so, has closed Morvane and chosen
// Retry; false when they chose Cancel.
bool ProductIsClosed(FileSystem& files, MessageBoxes& messages, const std::wstring& directory);

}  // namespace install
