// The removal sequence both removal actions run on an installed directory:
// the product's files and folders, what an installation for all users added
// (install/all_users.h), then (unless only the files are to go) the two
// shortcuts, the setting and the uninstall entry. It touches nothing it does
// not name, never recurses and never yields to the message loop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"

struct SystemServices;

namespace uninstall {

enum class RemovalScope : std::uint8_t {
  Everything,  // files, folders, shortcuts, the setting and the uninstall entry
  FilesOnly,   // a copy a new installation elsewhere has replaced: its files and folders alone
};

struct SequenceResult {
  bool productRemoved = true;  // false: "Morvane.exe" stayed, and nothing else was touched
  std::uint32_t productError = 0;  // then: why, the system's code
  std::wstring productErrorText;
  // The uninstall entry's deletion: the registry's status (2: it was gone
  // already), kRegistryCallBrokeDown, or nothing when it was not asked for.
  std::optional<std::int32_t> entryStatus;
};

// directory ends in a backslash. Every single failure is ignored and the
// next step runs. The one exception is "Morvane.exe", which goes first: when
// it is still there afterwards (Morvane was started again), or was reached
// through a link, nothing else is touched, so that the installation, its
// entry and the setting stay whole and the next start offers the removal
// again.
// With entryToo false, the uninstall entry stays for DeleteUninstallEntry.
SequenceResult RunRemovalSequence(const SystemServices& services, const std::wstring& directory, RemovalScope scope,
                                  bool entryToo = true);

// The registry's status, or kRegistryCallBrokeDown.
std::int32_t DeleteUninstallEntry(const SystemServices& services);

// The first of the product's single files still in directory, not reached
// through a link; empty: none.
std::wstring FirstProductFileLeft(FileSystem& files, const std::wstring& directory);

// The setting that names the directory can be changed without elevation,
// and a folder on the way may be one that others can rename: a link put in
// its place would lead this elevated program into a folder they may not
// write. The first folder or file from the drive root down to path that is
// a link; empty when there is none.
std::wstring FirstLinkOnTheWay(FileSystem& files, const std::wstring& path);

}  // namespace uninstall
