// What the installation and the removals share: the questions they ask the
// person (or the deployment) they work for, and the typed result each
// returns. The window and the silent mode turn a result into captions and
// messages, or into an exit code and log lines; no operation knows which of
// them called it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "install/copy_kit_file.h"
#include "install/target_access.h"

namespace install {

class OperationQuestions {
 public:
  // Morvane runs from folder, so its files can be neither replaced nor
  // removed: true once it was closed and the check may run again, false to
  // leave everything as it is.
  virtual bool RetryWhileInUse(const std::wstring& folder) = 0;
  // Before a removal: true to go on.
  virtual bool ConfirmRemoval() = 0;

 protected:
  ~OperationQuestions() = default;
};

// Why a target was refused before anything changed.
enum class RefusalReason : std::uint8_t {
  ProgramFiles,    // it lies in a Program Files folder
  NotAFullPath,    // too short, or no drive path or network share
  InvalidName,     // a part no folder can be named
  NotAFolder,      // folder: a file where the path needs a folder
  TooLong,         // the product's files would pass the path limit
  NoSuchDrive,     // the drive (or share) is not there
  DriveNotReady,   // detail: the system's text
  NotEnoughSpace,  // bytesNeeded, bytesFree
  NetworkDrive,    // a network share or a mapped drive: its own accounts decide who may change it
  RemovableDrive,  // a stick or a disc: any computer may change it
  WindowsFolder,   // the system's own folder, or one in it
  ProfilesFolder,  // the folder of the users' profiles, or one in it (folder: that folder)
  KitFolder,       // the folder the setup was started from, or one in it (folder: that folder)
  OtherCopyRegistered,  // an installation would take the uninstall entry of the copy in detail
  Unsafe,          // someone other than an administrator could change it, and it cannot be made safe: unsafe
  NotRegistered,   // not the folder the machine's uninstall entry names (detail), if any: not removed, nor
                   // installed over while that other copy stays
  LinkOnTheWay,    // a removal's folder, or one above it (folder), is a link: nothing there is removed
};

struct Done {};

struct Refused {
  RefusalReason reason;
  std::wstring target;       // as it was given
  std::wstring folder = {};  // the drive or folder the refusal is about
  std::wstring detail = {};  // the system's text, where it has one
  std::uint64_t bytesNeeded = 0;
  std::uint64_t bytesFree = 0;
  TargetRefusal unsafe = {};  // Unsafe: the folder and why
};

// The person said No (or Cancel) before anything changed.
struct Cancelled {};

// Morvane runs from folder. changedNothing: it was found before the first
// change and the person chose to leave everything; otherwise a removal
// found it still in place after its delete and stopped there.
struct InUse {
  std::wstring folder;
  bool changedNothing = true;
};

// A removal could not delete "Morvane.exe" for another reason than its being
// in use, and so removed nothing else.
struct ProductNotRemoved {
  std::wstring path;
  std::wstring description;  // the system's text
  std::uint32_t code = 0;
  // A removal that leaves nothing: the rest went, and the uninstall entry
  // stays, so that the removal can run again.
  bool restRemoved = false;
};

// A kit file could not be read before anything changed: a read failure
// under the file's read name.
struct KitProblem {
  KitFileFailure failure;
};

// What a failed installation did about the work it had done: each replaced
// file put back and each new one removed, or not.
struct RollbackReport {
  std::vector<std::wstring> putBack;     // files as they were before
  std::vector<std::wstring> notPutBack;  // files and folders that could not be put back or removed, and why
};

// A file step failed midway (read or write), or the setting or the uninstall
// entry could not be written (registration).
struct StepFailed {
  KitFileFailure failure;
  RollbackReport rollback;
};

// A removal deleted the files but not the uninstall entry: the registry's
// status, or the call broke down (status kRegistryCallBrokeDown).
struct EntryNotDeleted {
  std::int32_t status;
};

using OperationResult =
    std::variant<Done, Refused, Cancelled, InUse, KitProblem, StepFailed, EntryNotDeleted, ProductNotRemoved>;

// Refused, made in one place for every refusal: the result holds four
// texts, and making it where each refusal is found repeated their code.
OperationResult Refusal(RefusalReason reason, const std::wstring& target, std::wstring_view folder = {},
                        std::wstring_view detail = {});

}  // namespace install
