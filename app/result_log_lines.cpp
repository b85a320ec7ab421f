#include "app/result_log_lines.h"

#include <cstdint>
#include <iterator>

#include "install/installed_layout.h"
#include "install/registration_names.h"
#include "platform/modReg.h"
#include "platform/text.h"

namespace app {
namespace {

using install::KitFileFailure;
using text::Concat;

constexpr text::Ascii kNothingChanged = "; nothing was changed.";

// ": error 5, Access is denied." A failure without a code (a folder found
// unsafe) has only its words.
// The system's text ends in a full stop; the line goes on after it with a
// semicolon, or ends with a full stop of its own.
std::wstring SystemError(std::uint32_t code, const std::wstring& description) {
  std::wstring_view text = description;
  if (text.ends_with(L'.')) text.remove_suffix(1);
  return code != 0 ? Concat({": error ", text::Decimal(code), ", ", text}) : Concat({": ", text});
}

// What the failure was about, as an administrator finds it on the disk.
std::wstring FailedOn(const KitFileFailure& failure, const ResultPlaces& places) {
  for (const KitFile& file : KitFiles()) {
    bool read = failure.kind == install::FailureKind::Read && failure.name == file.readName;
    bool written = failure.kind == install::FailureKind::Write && failure.name == file.writeName;
    if (written && *file.installedName != L'\0') return Concat({"write ", places.target, file.installedName});
    // A kit file read, or copied to a work file: named as in the kit.
    if (read || written) {
      return Concat({read ? text::Ascii("read the kit file ") : text::Ascii("copy the kit file "),
                     read ? std::wstring_view(places.kit) : std::wstring_view(), KitFileForLog(file)});
    }
  }
  if (failure.name == install::kTestFilesWriteName) {
    return Concat({"write a test file in ", places.target, install::kTestFolder});
  }
  return Concat({"write ", failure.name});
}

// Which of a refusal's texts a log line names.
enum class Named : std::uint8_t { Nothing, Target, Folder, Detail, RegisteredOrNone, UnsafeFolder, UnsafeReason };

// A refusal's log line: its words, each "%" in them standing for the next
// of its texts.
struct RefusalLineRow {
  install::RefusalReason reason;
  Named first;
  Named second;
  text::Ascii words;
};

constexpr RefusalLineRow kRefusalLines[] = {
    {install::RefusalReason::ProgramFiles, Named::Target, Named::Nothing,
     "The target folder lies in a Program Files folder, where Morvane cannot write its undo files: %"},
    {install::RefusalReason::NotAFullPath, Named::Target, Named::Nothing,
     "The target folder is not a full path (a drive letter, a colon and a backslash, or \\\\server\\share): \"%\""},
    {install::RefusalReason::InvalidName, Named::Target, Named::Nothing,
     "The target folder holds a name no folder can have (\\ / : * ? \" < > |, a blank or a dot at its end, or a device "
     "name such as CON): %"},
    {install::RefusalReason::NotAFolder, Named::Folder, Named::Nothing, "The target folder's path leads through a file: %"},
    {install::RefusalReason::TooLong, Named::Target, Named::Nothing,
     "The target folder's path is too long: Morvane's files in it would pass the path limit of 260 characters: %"},
    {install::RefusalReason::NoSuchDrive, Named::Folder, Named::Nothing,
     "The target's drive or network share is not there: %"},
    {install::RefusalReason::DriveNotReady, Named::Folder, Named::Detail, "The target's drive is not ready: %: %"},
    // The figures follow.
    {install::RefusalReason::NotEnoughSpace, Named::Folder, Named::Nothing, "Not enough free space on %: "},
    {install::RefusalReason::NetworkDrive, Named::Folder, Named::Nothing,
     "The target folder lies on a network drive or share, whose own accounts decide who may change it: %"},
    {install::RefusalReason::RemovableDrive, Named::Folder, Named::Nothing,
     "The target folder lies on a removable drive: %"},
    {install::RefusalReason::WindowsFolder, Named::Folder, Named::Nothing,
     "The target folder lies in the Windows folder: %"},
    {install::RefusalReason::ProfilesFolder, Named::Folder, Named::Nothing,
     "The target folder lies among the users' profiles, whose folders belong to their users: %"},
    {install::RefusalReason::KitFolder, Named::Folder, Named::Nothing,
     "The target folder is the installation kit's folder, or lies in it, and the kit is never written: %"},
    {install::RefusalReason::OtherCopyRegistered, Named::Detail, Named::Folder,
     "The machine's uninstall entry names another copy of Morvane, in %, which an installation into % would leave "
     "without it"},
    // The reason is a sentence of the window's; the line goes on after it.
    {install::RefusalReason::Unsafe, Named::UnsafeFolder, Named::UnsafeReason,
     "The target folder is not safe for a program administrators run: %: %"},
    {install::RefusalReason::NotRegistered, Named::Folder, Named::RegisteredOrNone,
     "The folder to remove, %, is not the one the machine's uninstall entry names (%)"},
    {install::RefusalReason::LinkOnTheWay, Named::Target, Named::Folder,
     "The folder to remove, %, is reached through a link: %"},
};

constexpr bool RowsFollowReasons() {
  for (std::size_t i = 0; i < std::size(kRefusalLines); ++i) {
    if (static_cast<std::size_t>(kRefusalLines[i].reason) != i) return false;
  }
  return std::size(kRefusalLines) == static_cast<std::size_t>(install::RefusalReason::LinkOnTheWay) + 1;
}
static_assert(RowsFollowReasons(), "one row for each refusal reason, in the order of the enum");

text::Part NamedText(const install::Refused& refused, Named named) {
  switch (named) {
    case Named::Nothing:
      break;
    case Named::Target:
      return refused.target;
    case Named::Folder:
      return refused.folder;
    case Named::Detail:
      return refused.detail;
    case Named::RegisteredOrNone:
      return refused.detail.empty() ? text::Part("there is none") : text::Part(refused.detail);
    case Named::UnsafeFolder:
      return refused.unsafe.folder;
    case Named::UnsafeReason: {
      text::Ascii sentence = refused.unsafe.reason;
      std::size_t size = sentence.size();
      while (size > 0 && sentence.data()[size - 1] == '.') --size;
      return sentence.first(size);
    }
  }
  return text::Ascii();
}

std::wstring RefusalLine(const install::Refused& refused) {
  const RefusalLineRow& row = kRefusalLines[static_cast<std::size_t>(refused.reason)];
  text::Part named[] = {NamedText(refused, row.first), NamedText(refused, row.second)};
  std::wstring line;
  const text::Part* next = named;
  for (char c : std::string_view(row.words.data(), row.words.size())) {
    if (c != '%') {
      line.push_back(static_cast<wchar_t>(c));
      continue;
    }
    std::size_t at = line.size();
    line.resize(at + next->size());
    (next++)->CopyTo(line.data() + at);
  }
  if (refused.reason == install::RefusalReason::NotEnoughSpace) {
    line += Concat({text::Decimal((refused.bytesNeeded + 1023) / 1024), " KB needed, ",
                    text::Decimal((refused.bytesFree + 1023) / 1024), " KB free"});
  }
  return line;
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

void WriteResultLog(LogSink& log, const install::OperationResult& result, const ResultPlaces& places) {
  if (const auto* refused = std::get_if<install::Refused>(&result)) {
    log.WriteLine(Concat({RefusalLine(*refused), kNothingChanged}));
  } else if (std::holds_alternative<install::Cancelled>(result)) {
    log.WriteLine(Concat({"Cancelled", kNothingChanged}));
  } else if (const auto* inUse = std::get_if<install::InUse>(&result)) {
    log.WriteLine(
        Concat({"Morvane is running from ", inUse->folder,
                inUse->changedNothing ? kNothingChanged
                                      : text::Ascii("; its program could not be removed, nor anything else.")}));
  } else if (const auto* problem = std::get_if<install::KitProblem>(&result)) {
    const KitFileFailure& failure = problem->failure;
    log.WriteLine(Concat(
        {"Could not ", FailedOn(failure, places), SystemError(failure.code, failure.description), kNothingChanged}));
  } else if (const auto* failed = std::get_if<install::StepFailed>(&result)) {
    const KitFileFailure& failure = failed->failure;
    log.WriteLine(Concat({"Could not ",
                          failure.kind == install::FailureKind::Registration ? Concat({"write ", failure.name})
                                                                             : FailedOn(failure, places),
                          SystemError(failure.code, failure.description), "."}));
    for (const std::wstring& file : failed->rollback.putBack) log.WriteLine(Concat({"Put back as it was: ", file}));
    for (const std::wstring& what : failed->rollback.notPutBack) log.WriteLine(Concat({"Not put back: ", what}));
    log.WriteLine(failed->rollback.notPutBack.empty()
                      ? text::Ascii("Everything this run changed was put back as it was.")
                      : text::Ascii("Everything else this run changed was put back as it was."));
  } else if (const auto* kept = std::get_if<install::ProductNotRemoved>(&result)) {
    log.WriteLine(Concat({"Could not remove ", kept->path, SystemError(kept->code, kept->description),
                          kept->restRemoved ? text::Ascii("; the rest was removed, and the uninstall entry stays so "
                                                          "that the removal can run again.")
                                            : text::Ascii("; nothing else was removed.")}));
  } else if (const auto* entry = std::get_if<install::EntryNotDeleted>(&result)) {
    std::wstring status = entry->status == kRegistryCallBrokeDown
                              ? text::Ascii(": the registry could not be reached")
                              : SystemError(static_cast<std::uint32_t>(entry->status),
                                            places.registry.StatusText(entry->status));
    log.WriteLine(Concat({"Could not delete the uninstall entry ", modReg::RootKeyName(hkey::kLocalMachine),
                          texts::kUninstallKey, status, "; Morvane's files are removed."}));
  }
}

}  // namespace app
