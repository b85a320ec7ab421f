// The kit as the setup uses it. At start every kit file found in the folder
// the setup was started from is copied, through a handle that follows no
// link, into a new folder that only administrators can write, and the copy
// is checked against the record its setup.exe carries (install/kit_manifest.h).
// From then on the setup reads kit files and loads setup.dll only from that
// copy, whose files it holds open, so that no one changes or deletes them
// meanwhile; the kit folder itself is never used again, nor ever written.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "install/kit_manifest.h"
#include "platform/file_system.h"

namespace install {

struct KitCopy {
  std::wstring directory;  // with a trailing backslash; empty when no folder could be made
  // The kit files found but not as the kit was assembled (or not to be read
  // as plain files), in the table's order; none of them is in the copy. A
  // file that is missing is missing from the copy too, and the kit check
  // names it there.
  std::vector<std::wstring> damaged;
  std::vector<std::unique_ptr<InputFile>> held;  // every file of the copy
};

// What the running setup.exe carries: its record, or none (a bare build,
// which then proves no kit and copies nothing).
struct OwnRecord {
  const KitManifest* manifest = nullptr;
  const std::uint8_t* bytes = nullptr;  // the record as it lies in the program
};

// Copies and proves the kit in from (which ends in a backslash).
KitCopy CopyKit(FileSystem& files, const std::wstring& from, const OwnRecord& record);

// Lets go of the copy's files and removes them and their folder.
void RemoveKitCopy(FileSystem& files, KitCopy& copy);

// Removes the copies that earlier runs left in temp (the folder where
// MakeKitFolder makes them) when they ended abruptly. A running setup holds
// its copy's files, so those stay. Only the kit's own file names are
// removed, through no link, so a folder someone else made under such a name
// loses nothing but files of those names. Only folders named as
// MakeKitFolder names them count, and no more than kLeftKitCopiesPerStart
// of them (the first the listing gives) at one start.
inline constexpr int kLeftKitCopiesPerStart = 16;
void ClearLeftKitCopies(FileSystem& files, const std::wstring& temp);

}  // namespace install
