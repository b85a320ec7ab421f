#include "app/result_log_lines.h"

#include "install/installed_layout.h"
#include "install/registration_names.h"
#include "platform/modReg.h"
#include "platform/text.h"

namespace app {
namespace {

using install::KitFileFailure;
using text::Concat;

constexpr text::Ascii kNothingChanged = "; nothing was changed.";

std::wstring WithoutFullStop(std::wstring sentence) {
  while (!sentence.empty() && sentence.back() == L'.') sentence.pop_back();
  return sentence;
}

// ": error 5, Access is denied." A failure without a code (a folder found
// unsafe) has only its words.
std::wstring SystemError(std::uint32_t code, const std::wstring& description) {
  return code != 0 ? Concat({": error ", std::to_wstring(code), ", ", description}) : Concat({": ", description});
}

// What the failure was about, as an administrator finds it on the disk.
std::wstring FailedOn(const KitFileFailure& failure, const ResultPlaces& places) {
  for (const KitFile& file : KitFiles()) {
    if (failure.kind == install::FailureKind::Read && failure.name == file.readName) {
      return Concat({"read the kit file ", places.kit, KitFileForLog(file)});
    }
    if (failure.kind == install::FailureKind::Write && failure.name == file.writeName) {
      return *file.installedName != L'\0' ? Concat({"write ", places.target, file.installedName})
                                          : Concat({"copy the kit file ", KitFileForLog(file)});
    }
  }
  if (failure.name == install::kTestFilesWriteName) {
    return Concat({"write a test file in ", places.target, install::kTestFolder});
  }
  return Concat({"write ", failure.name});
}

std::wstring RefusalLine(const install::Refused& refused) {
  using enum install::RefusalReason;
  const std::wstring& target = refused.target;
  switch (refused.reason) {
    case ProgramFiles:
      return Concat(
          {"The target folder lies in a Program Files folder, where Morvane cannot write its undo files: ", target});
    case NotAFullPath:
      return Concat({"The target folder is not a full path (a drive letter, a colon and a backslash, or "
                     "\\\\server\\share): \"",
                     target, "\""});
    case InvalidName:
      return Concat({"The target folder holds a name no folder can have (\\ / : * ? \" < > |, a blank or a dot at its "
                     "end, or a device name such as CON): ",
                     target});
    case TooLong:
      return Concat({"The target folder's path is too long: Morvane's files in it would pass the path limit of 260 "
                     "characters: ",
                     target});
    case NoSuchDrive:
      return Concat({"The target's drive or network share is not there: ", refused.folder});
    case DriveNotReady:
      return Concat({"The target's drive is not ready: ", refused.folder, ": ", refused.detail});
    case NotEnoughSpace:
      return Concat({"Not enough free space on ", refused.folder, ": ",
                     std::to_wstring((refused.bytesNeeded + 1023) / 1024), " KB needed, ",
                     std::to_wstring((refused.bytesFree + 1023) / 1024), " KB free"});
    case NetworkDrive:
      return Concat(
          {"The target folder lies on a network drive or share, whose own accounts decide who may change it: ",
           refused.folder});
    case RemovableDrive:
      return Concat({"The target folder lies on a removable drive: ", refused.folder});
    case NotAFolder:
      return Concat({"The target folder's path leads through a file: ", refused.folder});
    case KitFolder:
      return Concat({"The target folder is the installation kit's folder, or lies in it, and the kit is never written: ",
                     refused.folder});
    case ProfilesFolder:
      return Concat({"The target folder lies among the users' profiles, whose folders belong to their users: ",
                     refused.folder});
    case WindowsFolder:
      return Concat({"The target folder lies in the Windows folder: ", refused.folder});
    case OtherCopyRegistered:
      return Concat({"The machine's uninstall entry names another copy of Morvane, in ", refused.detail,
                     ", which an installation into ", refused.folder, " would leave without it"});
    case NotRegistered:
      return Concat({"The folder to remove, ", refused.folder, ", is not the one the machine's uninstall entry names (",
                     refused.detail.empty() ? text::Part("there is none") : text::Part(refused.detail), ")"});
    case LinkOnTheWay:
      return Concat({"The folder to remove, ", target, ", is reached through a link: ", refused.folder});
    case Unsafe:
      // The reason is a sentence of the window's; the line goes on after it.
      return Concat({"The target folder is not safe for a program administrators run: ", refused.unsafe.folder,
                     ": ", WithoutFullStop(refused.unsafe.reason)});
  }
  return Concat({"The target folder is refused: ", target});
}

}  // namespace

std::wstring KitFileForLog(const KitFile& file) {
  // Setup's own files keep their names.
  if (*file.installedName != L'\0' && std::wstring_view(file.installedName) != file.kitName) {
    return Concat({file.kitName, " (", file.installedName, ")"});
  }
  return Concat({file.kitName, file.handling == KitHandling::PresetsScript ? text::Ascii(" (the presets script)")
                                                                          : text::Ascii("")});
}

std::vector<std::wstring> ResultLogLines(const install::OperationResult& result, const ResultPlaces& places) {
  std::vector<std::wstring> lines;
  if (const auto* refused = std::get_if<install::Refused>(&result)) {
    lines.push_back(Concat({RefusalLine(*refused), kNothingChanged}));
  } else if (std::holds_alternative<install::Cancelled>(result)) {
    lines.push_back(Concat({"Cancelled", kNothingChanged}));
  } else if (const auto* inUse = std::get_if<install::InUse>(&result)) {
    lines.push_back(Concat({"Morvane is running from ", inUse->folder,
                            inUse->changedNothing
                                ? kNothingChanged
                                : text::Ascii("; its program could not be removed, nor anything else.")}));
  } else if (const auto* problem = std::get_if<install::KitProblem>(&result)) {
    const KitFileFailure& failure = problem->failure;
    lines.push_back(Concat({"Could not ", FailedOn(failure, places), SystemError(failure.code, failure.description),
                            kNothingChanged}));
  } else if (const auto* failed = std::get_if<install::StepFailed>(&result)) {
    const KitFileFailure& failure = failed->failure;
    lines.push_back(Concat({"Could not ", failure.kind == install::FailureKind::Registration
                                               ? Concat({"write ", failure.name})
                                               : FailedOn(failure, places),
                            SystemError(failure.code, failure.description)}));
    for (const std::wstring& file : failed->rollback.putBack) lines.push_back(Concat({"Put back as it was: ", file}));
    for (const std::wstring& what : failed->rollback.notPutBack) lines.push_back(Concat({"Not put back: ", what}));
    lines.push_back(failed->rollback.notPutBack.empty()
                        ? text::Ascii("Everything this run changed was put back as it was.")
                        : text::Ascii("Everything else this run changed was put back as it was."));
  } else if (const auto* kept = std::get_if<install::ProductNotRemoved>(&result)) {
    lines.push_back(Concat({"Could not remove ", kept->path, SystemError(kept->code, kept->description),
                            kept->restRemoved ? text::Ascii("; the rest was removed, and the uninstall entry stays so "
                                                            "that the removal can run again.")
                                              : text::Ascii("; nothing else was removed.")}));
  } else if (const auto* entry = std::get_if<install::EntryNotDeleted>(&result)) {
    std::wstring status = entry->status == kRegistryCallBrokeDown
                              ? text::Ascii(": the registry could not be reached")
                              : SystemError(static_cast<std::uint32_t>(entry->status),
                                            places.registry.StatusText(entry->status));
    lines.push_back(Concat({"Could not delete the uninstall entry ", modReg::RootKeyName(hkey::kLocalMachine),
                            texts::kUninstallKey, status, "; Morvane's files are removed."}));
  }
  return lines;
}

}  // namespace app
