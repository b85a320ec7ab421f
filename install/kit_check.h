// Whether a folder holds the whole kit: the ten files of the kit file
// table, each as an ordinary file (hidden and system files, and folders of
// those names, count as missing).
#pragma once

#include <string>
#include <vector>

#include "install/kit_files.h"

class FileSystem;

namespace install {

// The rows missing in directory (which ends in a backslash), in the
// table's order. Every name is tested on every call.
std::vector<KitFile> MissingKitFiles(FileSystem& files, const std::wstring& directory);

}  // namespace install
