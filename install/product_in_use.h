// Morvane running from the folder that an operation is about to replace or
// remove: its files could not be written or deleted, and the operation would
// leave a mix of versions or a copy that no entry names any more.
#pragma once

#include <string>

class FileSystem;

namespace install {

class OperationQuestions;

// True when "Morvane.exe" in directory (which ends in a backslash) is not in
// use, or no longer is once the person, asked, has closed Morvane and chosen
// to look again; false when they chose to leave everything as it is.
bool ProductIsClosed(FileSystem& files, OperationQuestions& questions, const std::wstring& directory);

}  // namespace install
