#include "app/result_log_lines.h"

#include "app/overloaded.h"
#include "install/installed_layout.h"
#include "install/registration_names.h"
#include "platform/modReg.h"

namespace app {
namespace {

using install::KitFileFailure;

// ": error 5, Access is denied." A failure without a code (a folder found
// unsafe) has only its words.
std::wstring SystemError(std::uint32_t code, const std::wstring& description) {
  return (code != 0 ? L": error " + std::to_wstring(code) + L", " : L": ") + description;
}

std::wstring FailureLine(const KitFileFailure& failure, const ResultPlaces& places) {
  std::wstring error = SystemError(failure.code, failure.description);
  switch (failure.kind) {
    case install::FailureKind::Registration:
      return L"Could not write " + failure.name + error;
    case install::FailureKind::Read:
      for (const KitFile& file : KitFiles()) {
        if (failure.name == file.readName) return L"Could not read the kit file " + places.kit + KitFileForLog(file) + error;
      }
      break;
    case install::FailureKind::Write:
      for (const KitFile& file : KitFiles()) {
        if (failure.name != file.writeName) continue;
        if (*file.installedName != L'\0') return L"Could not write " + places.target + file.installedName + error;
        return L"Could not copy the presets script " + KitFileForLog(file) + L" for the registry editor" + error;
      }
      if (failure.name == install::kTestFilesWriteName) {
        return L"Could not write a test file in " + places.target + install::kTestFolder + error;
      }
      break;
  }
  return L"Could not write " + failure.name + error;
}

std::wstring RefusalLine(const install::Refused& refused) {
  using enum install::RefusalReason;
  const std::wstring& target = refused.target;
  switch (refused.reason) {
    case ProgramFiles:
      return L"The target folder lies in a Program Files folder, where Morvane cannot write its undo files: " + target;
    case NotAFullPath:
      return L"The target folder is not a full path (a drive letter, a colon and a backslash, or \\\\server\\share): \"" +
             target + L"\"";
    case InvalidName:
      return L"The target folder holds a name no folder can have (\\ / : * ? \" < > |, a blank or a dot at its "
             L"end, or a device name such as CON): " + target;
    case TooLong:
      return L"The target folder's path is too long: Morvane's files in it would pass the path limit of 260 "
             L"characters: " + target;
    case NoSuchDrive:
      return L"The target's drive or network share is not there: " + refused.folder;
    case DriveNotReady:
      return L"The target's drive is not ready: " + refused.folder + L": " + refused.detail;
    case NotEnoughSpace:
      return L"Not enough free space on " + refused.folder + L": " + std::to_wstring((refused.bytesNeeded + 1023) / 1024) +
             L" KB needed, " + std::to_wstring((refused.bytesFree + 1023) / 1024) + L" KB free.";
    case Unsafe:
      return L"The target folder is not safe for a program administrators run: " + refused.unsafe.folder + L": " +
             refused.unsafe.reason;
  }
  return L"The target folder is refused: " + target;
}

}  // namespace

std::wstring KitFileForLog(const KitFile& file) {
  std::wstring name = file.kitName;
  if (*file.installedName != L'\0') return name + L" (" + file.installedName + L")";
  return name + (file.handling == KitHandling::PresetsScript ? L" (the presets script)" : L"");
}

std::vector<std::wstring> ResultLogLines(const install::OperationResult& result, const ResultPlaces& places) {
  std::vector<std::wstring> lines;
  std::visit(Overloaded{
                 [&](const install::Done&) {},
                 [&](const install::Refused& refused) {
                   lines.push_back(RefusalLine(refused) + L"; nothing was changed.");
                 },
                 [&](const install::Cancelled&) { lines.push_back(L"Cancelled; nothing was changed."); },
                 [&](const install::InUse& inUse) {
                   lines.push_back(L"Morvane is running from " + inUse.folder +
                                   (inUse.changedNothing ? L"; nothing was changed."
                                                         : L"; its program could not be removed, nor anything else."));
                 },
                 [&](const install::KitProblem& problem) {
                   lines.push_back(FailureLine(problem.failure, places) + L"; nothing was changed.");
                 },
                 [&](const install::StepFailed& failed) {
                   lines.push_back(FailureLine(failed.failure, places));
                   for (const std::wstring& file : failed.rollback.putBack) lines.push_back(L"Put back as it was: " + file);
                   for (const std::wstring& what : failed.rollback.notPutBack) lines.push_back(L"Not put back: " + what);
                   lines.push_back(failed.rollback.notPutBack.empty()
                                       ? L"Everything this run changed was put back as it was."
                                       : L"Everything else this run changed was put back as it was.");
                 },
                 [&](const install::EntryNotDeleted& failure) {
                   std::wstring status = failure.status == kRegistryCallBrokeDown
                                             ? L": the registry could not be reached"
                                             : SystemError(static_cast<std::uint32_t>(failure.status),
                                                           places.registry.StatusText(failure.status));
                   lines.push_back(L"Could not delete the uninstall entry " + modReg::RootKeyName(hkey::kLocalMachine) +
                                   texts::kUninstallKey + status + L"; Morvane's files are removed.");
                 },
             },
             result);
  return lines;
}

}  // namespace app
