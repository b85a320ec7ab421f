#include "install/installation.h"

#include <memory>

#include "install/all_users.h"
#include "install/install_checks.h"
#include "install/install_texts.h"
#include "install/installed_layout.h"
#include "install/registration_names.h"
#include "install/target_access.h"
#include "install/work_items.h"
#include "platform/text.h"

namespace install {
namespace {

constexpr const wchar_t* kPresetsScript = L"presets.reg";

// An empty test file. Users may change what lies in TestThis (the product
// writes there unelevated): a link in a test file's place, or TestThis
// itself turned into one, is passed over in silence rather than followed
// and emptied.
class TestFileItem : public ReplaceFileItem {
 public:
  TestFileItem(FileSystem& files, WorkFolder& work, const std::wstring& path)
      : ReplaceFileItem(files, work, path, UsersMay::Modify, kTestFilesWriteName) {}

 private:
  StepFailure Write(const std::wstring& path) override {
    FileError error;
    // The product renames and moves these as the user it runs as.
    if (files_.EmptyPlainFile(path, UsersMay::Modify, error) || error.code == kErrorReachedThroughLink) {
      return std::nullopt;
    }
    return WriteFailure(kTestFilesWriteName, error);
  }
};

// The changing pass, once every check has passed.
class Installation {
 public:
  Installation(const SystemServices& services, InstallPlan& plan, InstallProgress& progress)
      : services_(services), files_(services.files), plan_(plan), progress_(progress), work_(services.files) {}

  OperationResult Run() {
    StepFailure failure = Steps();
    if (failure) {
      StepFailed failed{std::move(*failure), items_.Rollback()};
      RemovePresetsCopy();
      work_.RemoveIfEmpty();
      return failed;
    }
    progress_.Step();  // 13
    RemovePresetsCopy();
    items_.Commit();
    work_.RemoveIfEmpty();
    progress_.Step();  // 14
    return Done{};
  }

 private:
  const InstallDirectories& directories() const { return plan_.directories; }
  HeldKitFile& Held(const KitFile& row) { return plan_.kit[static_cast<std::size_t>(row.number - 1)]; }

  // Out of line: in its caller's frame its locals would need longer offsets.
  [[gnu::noinline]] StepFailure Steps() {
    windowsDirectory_ = services_.environment.WindowsDirectory();
    if (!windowsDirectory_.empty()) windowsDirectory_ = text::WithTrailingBackslash(windowsDirectory_);
    // Run as SYSTEM, for every user: no one signs in as SYSTEM.
    const bool allUsers = services_.environment.RunsAsSystem();

    // What others could change is made safe before anything goes in it.
    for (const FolderFix& fix : plan_.fixes) {
      if (StepFailure failure = Do<MakeSafeItem>(files_, fix)) return failure;
    }
    for (const ProductFolder& folder : kProductFolders) {
      if (StepFailure failure = Do<MakeFoldersItem>(files_, directories().target + folder.name, folder.users)) {
        return failure;
      }
    }
    // A folder that someone else made on the target's way after the checks
    // was found existing and kept as it was: judged again, now that all of
    // them exist, before the first file goes in.
    if (std::optional<TargetRefusal> refusal = RefuseUnsafeTarget(files_, directories().target)) {
      return KitFileFailure{FailureKind::Write, refusal->folder, refusal->reason};
    }
    progress_.Step();                                                // 2
    if (StepFailure failure = CopyRows(1, 3)) return failure;        // 3 to 5
    if (StepFailure failure = CopyRows(4, 5)) return failure;  // 6, 7
    if (StepFailure failure = CopyRows(6, 8)) return failure;        // 8 to 10
    if (StepFailure failure = allUsers ? KeepPresetsForEveryUser() : StartPresetsImport()) return failure;  // 11
    if (StepFailure failure = CreateTestFiles()) return failure;
    progress_.Step();  // 12
    std::wstring product = directories().target + KitFileNumber(1).installedName;
    ShortcutPlaces places = allUsers ? shortcut_places::kAllUsers : shortcut_places::kThisUser;
    if (StepFailure failure = Do<ShortcutsItem>(services_.companion, places, product, plan_.earlierProduct)) {
      return failure;
    }
    if (StepFailure failure = Do<SettingItem>(services_.settings, services_.registry, directories().target)) {
      return failure;
    }
    // Without a known Windows directory there is no reg.exe to trust.
    if (allUsers && !windowsDirectory_.empty()) {
      if (StepFailure failure = Do<MachineEntryItem>(services_.registry, texts::kActiveSetupKey, ActiveSetupValues())) {
        return failure;
      }
    }
    // Last: deployment systems take the entry for a complete installation.
    return Do<MachineEntryItem>(services_.registry, texts::kUninstallKey, EntryValues());
  }

  template <typename Item, typename... Arguments>
  StepFailure Do(Arguments&&... arguments) {
    return items_.Do(std::make_unique<Item>(std::forward<Arguments>(arguments)...));
  }

  StepFailure CopyRows(int first, int last) {
    for (int number = first; number <= last; ++number) {
      if (StepFailure failure = Copy(KitFileNumber(number))) return failure;
      progress_.Step();
    }
    return std::nullopt;
  }

  // A kit file's checked copy written to its place in the target.
  class KitFileItem : public ReplaceFileItem {
   public:
    KitFileItem(Installation& installation, const KitFile& row, const std::wstring& destination)
        : ReplaceFileItem(installation.files_, installation.work_, destination, UsersMay::ReadAndExecute,
                          row.writeName),
          installation_(installation),
          row_(row) {}

   private:
    StepFailure Write(const std::wstring& path) override { return installation_.WriteKitFile(row_, path); }

    Installation& installation_;
    const KitFile& row_;
  };

  StepFailure Copy(const KitFile& row, const wchar_t* installedName) {
    return Do<KitFileItem>(*this, row, directories().target + installedName);
  }
  StepFailure Copy(const KitFile& row) { return Copy(row, row.installedName); }

  StepFailure WriteKitFile(const KitFile& row, const std::wstring& destination) {
    return CopyKitFile(files_, Held(row), destination, names_, row.readName, row.writeName);
  }

  StepFailure StartPresetsImport() {
    // The editor runs elevated: it imports a copy in a folder that only
    // administrators can write, never the kit's own file, which others may
    // be able to replace (and the kit may be read-only).
    const KitFile& presets = KitFileNumber(9);
    FileError error;
    script_ = work_.Path(error);
    if (script_.empty()) return WriteFailure(presets.writeName, error);
    script_ += kPresetsScript;
    if (StepFailure failure = WriteKitFile(presets, script_)) return failure;
    // The editor is started by its full path, and the script's path is quoted:
    // a folder with a blank in it must import as well as any other.
    // Without a known Windows directory there is no editor to trust: a bare
    // "\regedit.exe" would be looked for on whatever drive is current.
    std::wstring editor = windowsDirectory_ + L"regedit.exe";
    std::wstring commandLine = text::Concat({"\"", editor, "\" /s \"", script_, "\""});
    if (!windowsDirectory_.empty()) registryEditor_ = services_.processes.StartMinimized(editor, commandLine);
    for (int turn = 0; turn < 3; ++turn) progress_.Yield();
    progress_.Step();
    return std::nullopt;
  }

  // The presets for every user: a copy of the kit's script in the installed
  // folder, which the Active Setup entry imports at each user's sign-in.
  StepFailure KeepPresetsForEveryUser() {
    if (StepFailure failure = Copy(KitFileNumber(9), kAllUsersPresets)) return failure;
    progress_.Step();
    return std::nullopt;
  }

  StepFailure CreateTestFiles() {
    for (int number = 1; number <= kTestFileCount; ++number) {
      std::wstring path = text::Concat({directories().target, kTestFolder, TestFileName(number)});
      if (StepFailure failure = Do<TestFileItem>(files_, work_, path)) return failure;
    }
    return std::nullopt;
  }

  // Out of line: in its caller's frame its locals would need longer offsets.
  [[gnu::noinline]] std::vector<EntryValue> EntryValues() {
    const std::wstring& target = directories().target;
    // The size: the installed product files as they lie in the target, in
    // kilobytes rounded up.
    std::uint64_t bytes = 0;
    for (const KitFile& row : KitFiles()) bytes += InstalledBytes(files_, target, row);
    std::uint64_t kilobytes = (bytes + 1023) / 1024;
    auto size = static_cast<std::int32_t>(kilobytes > 0x7FFFFFFF ? 0x7FFFFFFF : kilobytes);
    return {
        {entry_value::kDisplayName, std::wstring(texts::kDisplayName)},
        {entry_value::kUninstallString, UninstallCommand(target)},
        // The removal without a window that deployment systems run.
        {entry_value::kQuietUninstallString, text::Concat({"\"", target, "setup.exe\" /S /uninstall"})},
        // What "Apps & features" shows beside the name; the package manager
        // skips an entry without a version. An icon location is never quoted.
        {entry_value::kDisplayVersion, std::wstring(texts::kDisplayVersion)},
        {entry_value::kPublisher, std::wstring(texts::kPublisher)},
        {entry_value::kDisplayIcon, text::Concat({target, KitFileNumber(1).installedName, ",0"})},
        {entry_value::kInstallLocation, target},
        {entry_value::kEstimatedSize, size},
        // Neither a change nor a repair is offered: this setup only installs and removes.
        {entry_value::kNoModify, std::int32_t{1}},
        {entry_value::kNoRepair, std::int32_t{1}},
    };
  }

  // Out of line: in its caller's frame its locals would need longer offsets.
  [[gnu::noinline]] std::vector<EntryValue> ActiveSetupValues() {
    // Active Setup compares versions written with commas; a newer one runs
    // the import again for every user.
    std::wstring version = texts::kDisplayVersion;
    for (wchar_t& c : version) c = c == L'.' ? L',' : c;
    return {
        {active_setup_value::kName, std::wstring(texts::kDisplayName)},
        {active_setup_value::kStubPath, PresetsImportCommand(windowsDirectory_, directories().target)},
        {active_setup_value::kVersion, version},
        {active_setup_value::kIsInstalled, std::int32_t{1}},
    };
  }

  void RemovePresetsCopy() {
    // The editor reads the script by its name; deleting it before the import
    // is done would leave the import half done. Whatever cannot go stays in
    // its folder, where only administrators reach it.
    if (script_.empty()) return;
    if (registryEditor_) registryEditor_->WaitForExit(kPresetsImportWait);
    files_.RemovePlainFile(script_);
    work_.RemoveIfEmpty();
    script_.clear();
  }

  const SystemServices& services_;
  FileSystem& files_;
  InstallPlan& plan_;
  InstallProgress& progress_;
  WorkItemList items_;
  WorkFolder work_;
  std::wstring windowsDirectory_;
  std::wstring script_;  // the presets copy, while it exists
  std::unique_ptr<RunningProcess> registryEditor_;
  CurrentNames names_;
};

}  // namespace

std::wstring UninstallCommand(const std::wstring& targetDirectory) {
  // Unquoted, a path with a blank lets Windows try a shorter path first
  // (C:\My.exe for C:\My Tools\setup.exe).
  return text::QuotedIfBlank(targetDirectory + L"setup.exe");
}

OperationResult Install(const InstallRequest& request, const SystemServices& services, OperationQuestions& questions,
                        InstallProgress& progress) {
  InstallPlan plan;
  if (std::optional<OperationResult> stop = CheckInstallation(request, services, questions, plan)) {
    return std::move(*stop);
  }
  progress.Started();
  return Installation(services, plan, progress).Run();
}

}  // namespace install
