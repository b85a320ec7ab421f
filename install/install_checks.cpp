#include "install/install_checks.h"

#include <algorithm>
#include <vector>

#include "install/installed_layout.h"
#include "install/kit_files.h"
#include "install/product_in_use.h"
#include "install/target_access.h"
#include "install/target_path.h"
#include "platform/text.h"
#include "uninstall/older_installation.h"

namespace install {
namespace {

constexpr std::uint32_t kNotReady = 21;  // ERROR_NOT_READY: a drive without its disc

bool InProgramFiles(const SystemServices& services, const std::wstring& typed) {
  // As typed, and as the system will resolve it: a short name, forward
  // slashes or a detour through ".." name the same folder.
  auto longForm = [&](const std::wstring& path) {
    return IsDrivePath(path) ? services.files.LongForm(path) : std::wstring();
  };
  const std::wstring resolved = longForm(typed);
  // A leading part is compared, so "C:\Program FilesX" is refused as well.
  auto within = [&](std::wstring_view folder) {
    auto starts = [&](std::wstring_view target) {
      return text::EqualsIgnoringCase(target.substr(0, folder.size()), folder);
    };
    return !folder.empty() && (starts(typed) || starts(resolved));
  };
  for (const wchar_t* variable : {L"ProgramW6432", L"ProgramFiles(x86)"}) {
    std::wstring programFiles = services.environment.Variable(variable);
    if (within(programFiles) || within(longForm(programFiles))) return true;
  }
  return false;
}

// The longest path under the target that the installation writes, and the
// longest folder it makes (with its trailing backslash).
constexpr std::size_t LongestFile() {
  std::size_t longest = std::wstring_view(kTestFolder).size() + kTestFileNameForm.size();
  for (const KitFile& row : kit_table::kKitFiles) {
    longest = std::max(longest, std::wstring_view(row.installedName).size());
  }
  return longest;
}

constexpr std::size_t LongestFolder() {
  std::size_t longest = 0;
  for (const ProductFolder& folder : kProductFolders) longest = std::max(longest, std::wstring_view(folder.name).size());
  return longest;
}

bool WithinPathLimits(const std::wstring& target) {
  constexpr std::size_t kLongestFile = LongestFile(), kLongestFolder = LongestFolder();
  return target.size() + kLongestFile < kMaxPath && target.size() + kLongestFolder <= kMaxDirectoryPath;
}

// The folder given, or one inside it, as the system resolves the target.
bool Within(const SystemServices& services, const std::wstring& folderGiven, const std::wstring& target) {
  if (folderGiven.empty()) return false;
  std::wstring folder = text::WithTrailingBackslash(services.files.LongForm(folderGiven));
  std::wstring resolved = text::WithTrailingBackslash(services.files.LongForm(target));
  return folder.size() > 1 && text::EqualsIgnoringCase(std::wstring_view(resolved).substr(0, folder.size()), folder);
}

bool Copies(const KitFile& row) {
  return row.handling == KitHandling::Copied || row.handling == KitHandling::SetupsOwn;
}

// What the kit's copies take on the target's drive. The files they replace
// stay (copied into the work folder, on the system's drive) until the
// installation is through, so on that drive they count twice.
std::uint64_t BytesNeeded(const SystemServices& services, const InstallPlan& plan, const std::wstring& root) {
  std::wstring windows = services.environment.WindowsDirectory();
  bool backupsOnThisDrive = !windows.empty() && text::EqualsIgnoringCase(RootOf(windows), root);
  std::uint64_t needed = kSpaceMargin;
  for (const KitFile& row : KitFiles()) {
    if (!Copies(row)) continue;
    needed += plan.kit[static_cast<std::size_t>(row.number - 1)].file->Size();
    if (!backupsOnThisDrive) continue;
    needed += InstalledBytes(services.files, plan.directories.target, row);
  }
  return needed;
}

// A folder as the plan holds it: upper case with a trailing backslash (an
// empty one stays empty).
std::wstring PlanFolder(const std::wstring& folder) {
  return folder.empty() ? folder : text::WithTrailingBackslash(text::UpperCase(folder));
}

std::wstring ReadNameOf(const KitFile& row) {
  return *row.readName != L'\0' ? std::wstring(row.readName) : text::UpperCase(row.kitName);
}

}  // namespace

std::uint64_t InstalledBytes(FileSystem& files, const std::wstring& directory, const KitFile& row) {
  std::uint64_t bytes = 0;
  if (*row.installedName == L'\0') return bytes;
  for (const FoundFile& found : files.FindFiles(directory + row.installedName)) {
    if (!found.directory) bytes += found.size;
  }
  return bytes;
}

// A file where the target's path (below its root) needs a folder: nothing
// could be made there, and the first step would fail with a code of the system's.
std::optional<std::wstring> FileOnTheWay(FileSystem& files, const std::wstring& target, const std::wstring& root) {
  for (std::size_t end = target.find(L'\\', root.size()); end != std::wstring::npos;
       end = target.find(L'\\', end + 1)) {
    std::wstring part = target.substr(0, end);
    std::vector<FoundFile> found = files.FindFiles(part);
    if (found.size() == 1 && !found.front().directory) return part;
  }
  return std::nullopt;
}

// Out of line: in its caller's frame its locals would need longer offsets.
[[gnu::noinline]] std::optional<OperationResult> CheckInstallation(const InstallRequest& request,
                                                                    const SystemServices& services,
                                                                    OperationQuestions& questions, InstallPlan& plan) {
  const std::wstring& typed = request.target;  // exactly as typed: not trimmed, not normalised
  auto refused = [&](RefusalReason reason, std::wstring_view folder = {},
                     std::wstring_view detail = {}) -> std::optional<OperationResult> {
    return Refusal(reason, typed, folder, detail);
  };
  if (InProgramFiles(services, typed)) return refused(RefusalReason::ProgramFiles);
  if (typed.size() < 3 || !IsFullPath(typed)) return refused(RefusalReason::NotAFullPath);
  // The system would resolve anything else somewhere other than it reads, or refuse it halfway through.
  if (!IsPlainFullPath(typed)) return refused(RefusalReason::InvalidName);
  std::wstring target = PlanFolder(typed);
  if (!WithinPathLimits(target)) return refused(RefusalReason::TooLong);

  std::wstring root = RootOf(target);
  // Asked before the drive is: a network path is never even looked at, so
  // that no server learns the administrator's credentials from it.
  if (target.starts_with(L"\\\\")) return refused(RefusalReason::NetworkDrive, root);
  switch (services.files.KindOfDrive(root)) {
    case DriveKind::Network:
      return refused(RefusalReason::NetworkDrive, root);
    case DriveKind::Removable:
    case DriveKind::Optical:
      return refused(RefusalReason::RemovableDrive, root);
    case DriveKind::Fixed:
    case DriveKind::Unknown:  // not there at all: told below
      break;
  }
  // Only now is the path resolved: on a network drive it never is.
  if (Within(services, services.environment.WindowsDirectory(), typed)) {
    return refused(RefusalReason::WindowsFolder, typed);
  }
  // Making the way there safe would take their rights from the users whose
  // profiles (or the public folders) it passes.
  if (std::wstring profiles = services.environment.ProfilesDirectory(); Within(services, profiles, typed)) {
    return refused(RefusalReason::ProfilesFolder, profiles);
  }
  std::uint64_t free = 0;
  FileError error;
  if (!services.files.FreeSpace(root, free, error)) {
    return refused(error.code == kNotReady ? RefusalReason::DriveNotReady : RefusalReason::NoSuchDrive, root,
                   error.description);
  }
  // The kit is only ever read: installed into its own folder, or one in
  // it, the kit's files would be rewritten, re-permissioned, and later
  // removed with the installation.
  if (const std::wstring& kit = request.startDirectory;
      !kit.empty() && (Within(services, kit, typed) || services.files.SameFolder(kit, typed))) {
    return refused(RefusalReason::KitFolder, text::WithTrailingBackslash(kit));
  }
  if (std::optional<std::wstring> file = FileOnTheWay(services.files, target, root)) {
    return refused(RefusalReason::NotAFolder, *file);
  }
  if (std::optional<TargetRefusal> unsafe = PlanTargetSafety(services.files, typed, plan.fixes)) {
    std::optional<OperationResult> refusal = refused(RefusalReason::Unsafe, unsafe->folder);
    std::get<Refused>(*refusal).unsafe = std::move(*unsafe);
    return refusal;
  }
  // The machine's entry is rewritten for this copy: it must not be taken
  // from another installed copy that stays, which Windows could then no
  // longer remove.
  if (!request.replaces) {
    std::optional<std::wstring> registered = uninstall::OlderInstallation(services.registry, services.files);
    if (registered && !services.files.SameFolder(*registered, typed)) {
      return refused(RefusalReason::OtherCopyRegistered, text::WithTrailingBackslash(typed), *registered);
    }
  }

  plan.directories.kit = PlanFolder(request.startDirectory);
  plan.directories.target = target;
  // Without a folder there is no kit: a bare name would be read wherever
  // the process happens to be.
  std::wstring copy = PlanFolder(request.kitDirectory);
  for (const KitFile& row : KitFiles()) {
    HeldKitFile& held = plan.kit[static_cast<std::size_t>(row.number - 1)];
    held.file = services.files.OpenForReading(copy.empty() ? copy : copy + row.kitName, held.error);
    if (!held.file) return KitProblem{ReadFailure(ReadNameOf(row), held.error)};
  }

  std::uint64_t needed = BytesNeeded(services, plan, root);
  if (free < needed) {
    std::optional<OperationResult> refusal = refused(RefusalReason::NotEnoughSpace, root);
    Refused& space = std::get<Refused>(*refusal);
    space.bytesNeeded = needed;
    space.bytesFree = free;
    return refusal;
  }

  // Nothing is copied over a running Morvane, nor over one that the caller
  // is to remove afterwards.
  if (!ProductIsClosed(services.files, questions, target)) return InUse{target, true};
  std::wstring replaced = request.replaces ? text::WithTrailingBackslash(*request.replaces) : target;
  if (request.replaces && !ProductIsClosed(services.files, questions, replaced)) return InUse{replaced, true};
  // The program of the copy replaced: the one the caller removes, else one in the target.
  std::wstring product = replaced + KitFileNumber(1).installedName;
  if (request.replaces || services.files.IsOrdinaryFile(product)) plan.earlierProduct = std::move(product);
  return std::nullopt;
}

}  // namespace install
