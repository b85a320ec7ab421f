// The installation's checking pass: everything it needs is judged before the
// first change, so that a target that cannot work, a broken kit, a full
// drive or a running Morvane stop it with nothing changed.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "install/copy_kit_file.h"
#include "install/installation.h"
#include "install/target_access.h"

namespace install {

// What the checks found and the installation goes on with.
struct InstallPlan {
  InstallDirectories directories;  // both upper case with a trailing backslash
  // Every kit file, held open with read sharing only from here to the end:
  // meanwhile no one can write, rename or delete one, so what is copied is
  // what was checked.
  std::array<HeldKitFile, 10> kit;  // by row of the kit file table
  // The program of the installed copy this installation replaces (in the
  // target itself, or the one the request names), for pointing the
  // shortcuts back at it on a rollback.
  std::optional<std::wstring> earlierProduct;
  // The folders to make safe before anything else, and how.
  std::vector<FolderFix> fixes;
};

// Room left beside the files themselves: the folders, the test files, and
// what the drive's clusters round up. Small enough that, with the files,
// the check asks for no more than the window's "Required: < 1 Mb" says.
inline constexpr std::uint64_t kSpaceMargin = 1 << 19;

// What the row's installed file takes in directory as it lies there now:
// nothing when it is not there, or the row installs no file.
std::uint64_t InstalledBytes(FileSystem& files, const std::wstring& directory, const KitFile& row);

// Nothing when the installation may go on (plan then filled in); otherwise
// the result that ends it: Refused, KitProblem or InUse.
std::optional<OperationResult> CheckInstallation(const InstallRequest& request, const SystemServices& services,
                                                 OperationQuestions& questions, InstallPlan& plan);

}  // namespace install
