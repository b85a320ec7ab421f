// The installation as one operation: every input is checked first (the
// target, the kit, the free space, Morvane not running), then the folders,
// the kit copies, the presets import, the test files, the shortcuts, the
// per-user setting and the uninstall entry follow, in this order (run as
// SYSTEM, for every user: install/all_users.h). A step that fails rolls back
// what the earlier ones did.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "install/operation.h"
#include "platform/services.h"

namespace install {

struct InstallRequest {
  std::wstring target;        // as typed: the entry tests judge it so
  std::wstring kitDirectory;  // where the kit files are read from: the checked copy of the kit
  // A copy installed in another folder that the caller will remove once
  // this installation is complete: Morvane must not run from there either,
  // and a rollback points the shortcuts back at it.
  std::optional<std::wstring> replaces;
  // The folder the setup was started from, as the system names it: the
  // kit's own folder, which is never a target. Empty: none.
  std::wstring startDirectory = {};
};

// What the installation tells of its progress.
class InstallProgress {
 public:
  // Every check passed; the first change follows.
  virtual void Started() = 0;
  // One of the installation's numbered steps is done (fourteen in all,
  // Started counting as the first).
  virtual void Step() = 0;
  // A moment for the window while the registry editor starts up.
  virtual void Yield() = 0;

 protected:
  ~InstallProgress() = default;
};

// How long the installation waits for the registry editor to finish reading
// the presets script before it deletes its copy of it.
inline constexpr std::chrono::seconds kPresetsImportWait{30};

// Done, Refused, InUse (Morvane running, left so), KitProblem or StepFailed.
OperationResult Install(const InstallRequest& request, const SystemServices& services, OperationQuestions& questions,
                        InstallProgress& progress);

// The uninstall entry's command for an installation in targetDirectory.
std::wstring UninstallCommand(const std::wstring& targetDirectory);

}  // namespace install
