#include "uninstall/removal.h"

#include <array>

#include "install/installed_layout.h"
#include "install/product_in_use.h"
#include "platform/modReg.h"
#include "platform/text.h"
#include "uninstall/older_installation.h"

namespace uninstall {
namespace {

constexpr std::int32_t kEntryAlreadyGone = 2;

// What the removal sequence leaves on purpose for a person to see: the
// setup that may be running from the folder, the folders that may hold the
// user's own files, and the folder itself.
void LeaveNothing(const SystemServices& services, const std::wstring& directory) {
  FileSystem& files = services.files;
  // Started from this folder (as the entry's command starts it), this very
  // setup holds its program: it cannot be deleted while it runs, but it can
  // be moved out of the way. (Its library is loaded from the kit's checked
  // copy; should anything else hold the one here, it goes the same way.)
  if (text::EqualsIgnoringCase(text::WithTrailingBackslash(services.environment.SetupDirectory()), directory)) {
    for (const wchar_t* name : {L"setup.exe", L"setup.dll"}) {
      std::wstring path = directory + name;
      FileError error;
      if (files.IsOrdinaryFile(path)) files.SetAsideInUseFile(path, error);
    }
  }
  // Each only when the user keeps nothing there, and never through a link.
  for (const install::ProductFolder& folder : install::kProductFolders) files.RemoveEmptyDirectory(directory + folder.name);
  files.RemoveEmptyDirectory(directory);
}

}  // namespace

install::OperationResult Remove(const RemovalRequest& request, const SystemServices& services,
                                install::OperationQuestions& questions, RemovalProgress& progress) {
  std::wstring directory = text::WithTrailingBackslash(request.directory);
  // The per-user setting that named the folder can be changed without
  // elevation; the machine's entry cannot. A copy that a new installation
  // has just replaced was the registered one before it.
  if (request.scope == RemovalScope::Everything) {
    std::optional<std::wstring> registered = RegisteredFolder(services.registry);
    if (!registered || !text::EqualsIgnoringCase(*registered, directory)) {
      return install::Refusal(install::RefusalReason::NotRegistered, directory, directory, registered.value_or(L""));
    }
  }
  // The folder or one above it turned into a link leads elsewhere: nothing
  // there is the installation's, and none of it is gone.
  if (std::wstring link = FirstLinkOnTheWay(services.files, directory); !link.empty()) {
    return install::Refusal(install::RefusalReason::LinkOnTheWay, directory, link);
  }
  if (request.scope == RemovalScope::Everything && !questions.ConfirmRemoval()) return install::Cancelled{};
  // Its files could not be deleted while Morvane runs from there.
  if (!install::ProductIsClosed(services.files, questions, directory)) return install::InUse{directory, true};
  progress.Started();
  // Nothing may stay where no entry leads any more: for a removal that leaves
  // nothing, the entry goes only once every file of the product has.
  bool entryLast = request.leaveNothing && request.scope == RemovalScope::Everything;
  SequenceResult sequence = RunRemovalSequence(services, directory, request.scope, !entryLast);
  if (!sequence.productRemoved) {
    constexpr std::uint32_t kSharingViolation = 32;
    if (sequence.productError == kSharingViolation) return install::InUse{directory, false};
    return install::ProductNotRemoved{directory + L"Morvane.exe", sequence.productErrorText, sequence.productError};
  }
  if (request.leaveNothing) LeaveNothing(services, directory);
  if (entryLast) {
    if (std::wstring left = FirstProductFileLeft(services.files, directory); !left.empty()) {
      FileError error;
      if (!services.files.RemovePlainFile(left, error)) {
        return install::ProductNotRemoved{left, error.description, error.code, true};
      }
    }
    sequence.entryStatus = DeleteUninstallEntry(services);
  }
  if (sequence.entryStatus && *sequence.entryStatus != 0 && *sequence.entryStatus != kEntryAlreadyGone) {
    return install::EntryNotDeleted{*sequence.entryStatus};
  }
  return install::Done{};
}

}  // namespace uninstall
