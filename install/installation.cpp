#include "install/installation.h"

#include <array>
#include <vector>

#include "install/install_texts.h"
#include "install/registration_names.h"
#include "install/target_access.h"
#include "install/product_in_use.h"
#include "install/target_path.h"
#include "platform/modReg.h"
#include "platform/text.h"

namespace install {

using enum Control;

namespace {

struct Folder {
  const wchar_t* name;
  UsersMay users;  // the product writes its lists, undo data and test files itself
};

// Created along the whole path, in this order, before anything is copied.
constexpr std::array<Folder, 4> kFolders = {{{L"FileList\\", UsersMay::Modify},
                                             {L"Help\\", UsersMay::ReadAndExecute},
                                             {L"TestThis\\", UsersMay::Modify},
                                             {L"Undo\\", UsersMay::Modify}}};

constexpr const wchar_t* kPresetsScript = L"presets.reg";
constexpr const wchar_t* kTestFilesName = L"10x empty test file";
constexpr int kTestFileCount = 10;

std::wstring TestFileName(int number) {
  std::wstring digits = std::to_wstring(number);
  if (digits.size() < 2) digits.insert(0, L"0");
  return digits + L"_Artist___CD___Title.tst";
}

}  // namespace

std::wstring UninstallCommand(const std::wstring& targetDirectory) {
  // Unquoted, a path with a blank lets Windows try a shorter path first
  // (C:\My.exe for C:\My Tools\setup.exe).
  return text::QuotedIfBlank(targetDirectory + L"setup.exe");
}

Installation::Installation(Services& services, MainFormControls& controls, InstallationWindow& window)
    : form_(window), services_(services), controls_(controls) {}

void Installation::Run() {
  if (!PassesEntryTests()) {
    // The window stays as it was, ready for the corrected target: what the
    // user types next goes into the box, not to the buttons' access keys.
    controls_.FocusOn(Text1);
    return;
  }
  // Nothing is copied over a running Morvane; Cancel leaves the window as it was.
  if (!ProductIsClosed(services_.files, services_.messages,
                       text::WithTrailingBackslash(text::UpperCase(controls_.Text(Text1))))) {
    return;
  }
  EnterProgressState();
  if (StepFailure failure = InstallSteps()) {
    RemovePresetsCopy();
    Fail(*failure);
    return;
  }
  form_.ClosingSteps();
}

StepFailure Installation::InstallSteps() {
  form_.ShowProgress();  // step 1
  controls_.Repaint();
  services_.ui.DoEvents();
  services_.ui.SetMousePointer(MousePointer::Hourglass);

  std::wstring typed = controls_.Text(Text1);
  directories_.kit = text::WithTrailingBackslash(text::UpperCase(services_.environment.SetupDirectory()));
  directories_.target = text::WithTrailingBackslash(text::UpperCase(typed));
  std::wstring windows = services_.environment.WindowsDirectory();
  windowsDirectory_ = windows.empty() ? windows : text::WithTrailingBackslash(windows);

  HoldKit();
  CreateFolders();
  // A folder that someone else made on the target's way after the entry
  // tests was found existing and kept as it was: judged again, now that all
  // of them exist, before the first file goes in.
  if (std::optional<TargetRefusal> refusal = RefuseUnsafeTarget(services_.files, directories_.target)) {
    return KitFileFailure{FailureKind::Write, refusal->folder, refusal->reason};
  }
  form_.ShowProgress();                                       // step 2
  if (StepFailure failure = CopyRows(1, 3)) return failure;   // steps 3 to 5
  if (StepFailure failure = CopyUnlessSkipped(4)) return failure;  // step 6
  if (StepFailure failure = CopyUnlessSkipped(5)) return failure;  // step 7
  if (StepFailure failure = CopyRows(6, 8)) return failure;   // steps 8 to 10
  if (StepFailure failure = StartPresetsImport()) return failure;  // step 11
  if (StepFailure failure = CreateTestFiles()) return failure;
  form_.ShowProgress();  // step 12
  CreateShortcuts();
  RegisterInstallation();
  form_.ShowProgress();  // step 13
  RemovePresetsCopy();
  form_.ShowProgress();  // step 14
  controls_.SetText(Label1, texts::kInstallCompleted);
  return std::nullopt;
}

bool Installation::PassesEntryTests() {
  std::wstring typed = controls_.Text(Text1);  // exactly as typed: not trimmed, not normalised
  if (InProgramFiles(typed)) {
    services_.messages.Show(texts::kProgramFilesRefused, mb::kInformation | mb::kOkOnly);
    return false;
  }
  if (typed.size() < 3 || !IsFullPath(typed)) {
    services_.messages.Show(texts::kEnterTarget, mb::kCritical | mb::kOkOnly);
    return false;
  }
  if (std::optional<TargetRefusal> refusal = RefuseUnsafeTarget(services_.files, typed)) {
    services_.messages.Show(RefusalMessage(*refusal), mb::kCritical | mb::kOkOnly);
    return false;
  }
  return true;
}

bool Installation::InProgramFiles(const std::wstring& typed) {
  // As typed, and as the system will resolve it: a short name, forward
  // slashes or a detour through ".." name the same folder.
  std::vector<std::wstring> targets = {typed};
  if (IsDrivePath(typed)) targets.push_back(services_.files.LongForm(typed));
  for (const wchar_t* variable : {L"ProgramW6432", L"ProgramFiles(x86)"}) {
    std::wstring programFiles = services_.environment.Variable(variable);
    if (programFiles.empty()) continue;
    std::vector<std::wstring> folders = {programFiles};
    if (IsDrivePath(programFiles)) folders.push_back(services_.files.LongForm(programFiles));
    for (const std::wstring& folder : folders) {
      for (const std::wstring& target : targets) {
        // A leading part is compared, so "C:\Program FilesX" is refused as well.
        if (!folder.empty() && text::EqualsIgnoringCase(target.substr(0, folder.size()), folder)) return true;
      }
    }
  }
  return false;
}

void Installation::EnterProgressState() {
  controls_.SetVisible(cmdNext0, false);
  controls_.SetVisible(cmdNext1, false);
  controls_.SetText(Label1, texts::kInstalling);
  for (Control c : {Label2, Text1, Command1, cmdBrowse, lblDisk, lblDiskReq, lblDiskFree}) {
    controls_.SetVisible(c, false);
  }
  for (Control c : {lblProgBack, lblProgFore, lblProgZero, lblProgHundred}) controls_.SetVisible(c, true);
}

void Installation::HoldKit() {
  // Whoever may write the kit folder (a share, a stick) could otherwise swap
  // a file between the kit check and its copy, or the presets script before
  // the elevated editor reads it. A file that cannot be opened is reported
  // when its copy comes, as if it had been opened only then.
  for (const KitFile& row : KitFiles()) {
    kit_[static_cast<std::size_t>(row.number - 1)] = HoldKitFile(services_.files, directories_.kit + row.kitName);
  }
}

void Installation::CreateFolders() {
  // Every directory along the path, from the root down; the ones that exist
  // already (and the drive root, which cannot be made) fail without harm.
  // Each one made gets its own protected access list: the default one of a
  // new folder under a drive root lets every user change what is in it.
  for (const Folder& folder : kFolders) {
    std::wstring path = directories_.target + folder.name;
    // No folder can be made past the path limit; a target of thousands of
    // parts would otherwise cost a refused call per part.
    for (std::size_t i = 0; i < path.size() && i < kMaxDirectoryPath; ++i) {
      if (path[i] != L'\\') continue;
      UsersMay users = i + 1 == path.size() ? folder.users : UsersMay::ReadAndExecute;
      services_.files.MakeProtectedDirectory(path.substr(0, i + 1), users);
    }
  }
}

StepFailure Installation::CopyRows(int first, int last) {
  for (int number = first; number <= last; ++number) {
    const KitFile& row = KitFileNumber(number);
    if (StepFailure failure = CopyHeld(row)) return failure;
    form_.ShowProgress();
  }
  return std::nullopt;
}

StepFailure Installation::CopyHeld(const KitFile& row) {
  return CopyKitFile(services_.files, kit_[static_cast<std::size_t>(row.number - 1)],
                     directories_.target + row.installedName, names_, row.readName, row.writeName);
}

StepFailure Installation::CopyUnlessSkipped(int number) {
  const KitFile& row = KitFileNumber(number);
  if (!SkipRuleHolds(services_.files, directories_, row.installedName)) {
    if (StepFailure failure = CopyHeld(row)) return failure;
  }
  form_.ShowProgress();
  return std::nullopt;
}

StepFailure Installation::StartPresetsImport() {
  // The editor runs elevated: it imports a copy in a folder that only
  // administrators can write, never the kit's own file, which others may
  // be able to replace (and the kit may be read-only).
  const KitFile& presets = KitFileNumber(9);
  names_.read = presets.readName;
  names_.write = presets.writeName;
  FileError error;
  workFolder_ = services_.files.MakeWorkFolder(error);
  if (workFolder_.empty()) return KitFileFailure{FailureKind::Write, names_.write, error.description};
  std::wstring script = workFolder_ + kPresetsScript;
  HeldKitFile& source = kit_[static_cast<std::size_t>(presets.number - 1)];
  if (StepFailure failure = CopyKitFile(services_.files, source, script, names_, presets.readName, presets.writeName)) {
    return failure;
  }
  // The editor is started by its full path, and the script's path is quoted:
  // a folder with a blank in it must import as well as any other.
  // Without a known Windows directory there is no editor to trust: a bare
  // "\regedit.exe" would be looked for on whatever drive is current.
  std::wstring editor = windowsDirectory_ + L"regedit.exe";
  std::wstring commandLine = text::Quoted(editor) + L" /s " + text::Quoted(script);
  if (!windowsDirectory_.empty()) registryEditor_ = services_.processes.StartMinimized(editor, commandLine);
  for (int turn = 0; turn < 3; ++turn) services_.ui.DoEvents();
  form_.ShowProgress();
  return std::nullopt;
}

StepFailure Installation::CreateTestFiles() {
  names_.read = L"";
  names_.write = kTestFilesName;
  // Users may change what lies in TestThis (the product writes there
  // unelevated): a link in a test file's place, or TestThis itself turned
  // into one, is passed over in silence rather than followed and emptied.
  for (int number = 1; number <= kTestFileCount; ++number) {
    FileError error;
    std::wstring path = directories_.target + L"TestThis\\" + TestFileName(number);
    // The product renames and moves these as the user it runs as.
    if (services_.files.EmptyPlainFile(path, UsersMay::Modify, error) || error.code == kErrorReachedThroughLink) continue;
    return KitFileFailure{FailureKind::Write, names_.write, error.description};
  }
  return std::nullopt;
}

void Installation::CreateShortcuts() {
  std::wstring product = directories_.target + KitFileNumber(1).installedName;
  services_.companion.fCreateShellLink(L"..\\..\\Desktop", L"Morvane", product, L"");
  services_.companion.fCreateShellLink(L"", L"Morvane", product, L"");
}

void Installation::RegisterInstallation() {
  services_.settings.SaveSetting(texts::kSettingsApplication, texts::kSettingsSection, texts::kSettingsKey,
                                 directories_.target);
  RegistryApi& registry = services_.registry;
  auto writeText = [&](const wchar_t* name, const std::wstring& value) {
    modReg::SetRegistryValue(registry, hkey::kLocalMachine, texts::kUninstallKey, name, value, regtype::kString);
  };
  auto writeNumber = [&](const wchar_t* name, std::int32_t value) {
    modReg::SetRegistryValue(registry, hkey::kLocalMachine, texts::kUninstallKey, name, value, regtype::kDword);
  };
  modReg::CreateRegistryKey(registry, hkey::kLocalMachine, texts::kUninstallKey);
  writeText(entry_value::kDisplayName, texts::kDisplayName);
  writeText(entry_value::kUninstallString, UninstallCommand(directories_.target));
  // The removal without a window that deployment systems run.
  writeText(entry_value::kQuietUninstallString, text::Quoted(directories_.target + L"setup.exe") + L" /S /uninstall");
  // What "Apps & features" shows beside the name; the package manager skips
  // an entry without a version. An icon location is never quoted.
  writeText(entry_value::kDisplayVersion, texts::kDisplayVersion);
  writeText(entry_value::kPublisher, texts::kPublisher);
  writeText(entry_value::kDisplayIcon, directories_.target + KitFileNumber(1).installedName + L",0");
  writeText(entry_value::kInstallLocation, directories_.target);
  // The size: the installed product files as they lie in the target, in
  // kilobytes rounded up.
  std::uint64_t bytes = 0;
  for (const KitFile& row : KitFiles()) {
    if (*row.installedName == L'\0') continue;
    for (const FoundFile& found : services_.files.FindFiles(directories_.target + row.installedName)) {
      if (!found.directory) bytes += found.size;
    }
  }
  std::uint64_t kilobytes = (bytes + 1023) / 1024;
  writeNumber(entry_value::kEstimatedSize, static_cast<std::int32_t>(kilobytes > 0x7FFFFFFF ? 0x7FFFFFFF : kilobytes));
  // Neither a change nor a repair is offered: this setup only installs and removes.
  writeNumber(entry_value::kNoModify, 1);
  writeNumber(entry_value::kNoRepair, 1);
}

void Installation::RemovePresetsCopy() {
  // The editor reads the script by its name; deleting it before the import
  // is done would leave the import half done. Whatever cannot go stays in
  // its folder, where only administrators reach it.
  if (workFolder_.empty()) return;
  if (registryEditor_) registryEditor_->WaitForExit(kPresetsImportWait);
  services_.files.RemovePlainFile(workFolder_ + kPresetsScript);
  services_.files.RemoveEmptyDirectory(workFolder_);
  workFolder_.clear();
}

void Installation::Fail(const KitFileFailure& failure) {
  services_.messages.Show(FailureMessage(failure), mb::kCritical | mb::kOkOnly);
  controls_.SetText(Label1, texts::kInstallFailed);
  form_.ClosingSteps();
}

}  // namespace install
