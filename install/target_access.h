// Whether someone other than an administrator could change the target or a
// folder above it. The setup runs elevated, and the uninstall entry makes
// Windows run the installed setup.exe elevated again: installed into a
// folder an ordinary user may change, it would be theirs to replace.
#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace install {

struct TargetRefusal {
  std::wstring folder;  // the folder that fails, as the file system names it
  const wchar_t* reason;
};

// Nothing when the target passes: every existing folder from the drive root
// down to the target can be read and keeps an access list, no folder
// between the root and the target lets anyone else delete, rename or
// re-permission it, and an existing target belongs to an administrator (or
// to the account running the setup) and lets nobody else add files, delete
// or rename it or what it holds, or change its permissions or owner. Folders
// still missing pass: the installation makes them protected. target is a
// full path as IsFullPath accepts it.
std::optional<TargetRefusal> RefuseUnsafeTarget(FileSystem& files, const std::wstring& target);

}  // namespace install
