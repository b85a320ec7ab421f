// Whether someone other than an administrator could change the target or a
// folder above it. The setup runs elevated, and the uninstall entry makes
// Windows run the installed setup.exe elevated again: installed into a
// folder an ordinary user may change, it would be theirs to replace.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/text.h"

namespace install {

struct TargetRefusal {
  std::wstring folder;  // the folder that fails, as the file system names it
  text::Ascii reason;
};

// A folder the installation makes safe before it writes anything, and how.
struct FolderFix {
  std::wstring folder;
  SafeRule rule;
  UsersMay users = UsersMay::ReadAndExecute;
};

// The judgement before anything changes, where only SYSTEM, Administrators
// and TrustedInstaller count as trusted writers; the account running the
// setup does not (under UAC, its programs without elevation share it).
// - The target qualifies to be made safe when it is new, empty, holds a
//   Morvane installation (its Morvane.exe and setup.exe), or holds nothing
//   but the product's and the kit's own names; it and its product folders
//   are then given the product's protected list. Any other target must be
//   safe already.
// - A folder on the way that others (or the running account) could delete,
//   rename or re-permission is given the rule of a system drive's root,
//   when Administrators, SYSTEM, TrustedInstaller or the running account
//   own it; another account's folder (someone's profile) is never changed:
//   the target is refused.
// - A drive root is never changed; a folder on a volume without access
//   lists, one whose list cannot be read, and a link are refused.
// Nothing when the target can be made safe: fixes then holds the folders to
// change (owner and list), in order, if any. Otherwise the refusal, and
// fixes is not to be used.
std::optional<TargetRefusal> PlanTargetSafety(FileSystem& files, const std::wstring& target,
                                              std::vector<FolderFix>& fixes);

// The judgement again, once the plan was carried out and the folders made,
// before the first file is written: what someone else changed meanwhile is
// refused. Nothing when the target passes: every existing folder from the drive root
// down to the target can be read and keeps an access list, no folder
// between the root and the target lets anyone else delete, rename or
// re-permission it, and an existing target belongs to an administrator (or
// to the account running the setup) and lets nobody else add files or folders, delete
// or rename it or what it holds, or change its permissions or owner. Folders
// still missing pass: the installation makes them protected. target is a
// full path as IsFullPath accepts it.
std::optional<TargetRefusal> RefuseUnsafeTarget(FileSystem& files, const std::wstring& target);

}  // namespace install
