#include "install/installation.h"

#include <array>
#include <vector>

#include "app/frm_main.h"
#include "app/texts.h"
#include "install/next_button.h"
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
constexpr const wchar_t* kPresetsBackName = L"MORVANE.7";
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

Installation::Installation(frmMain& form)
    : form_(form), services_(form.services()), controls_(form.controls()) {}

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
    RestorePresets();
    Fail(*failure);
    return;
  }
  ClosingSteps(form_);
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

  CreateFolders();
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
  if (StepFailure failure = RenamePresetsBack()) return failure;
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
    if (StepFailure failure = CopyKitFile(services_.files, directories_, names_, KitFileNumber(number))) {
      return failure;
    }
    form_.ShowProgress();
  }
  return std::nullopt;
}

StepFailure Installation::CopyUnlessSkipped(int number) {
  const KitFile& row = KitFileNumber(number);
  if (!SkipRuleHolds(services_.files, directories_, row.installedName)) {
    if (StepFailure failure = CopyKitFile(services_.files, directories_, names_, row)) return failure;
  }
  form_.ShowProgress();
  return std::nullopt;
}

StepFailure Installation::StartPresetsImport() {
  const KitFile& presets = KitFileNumber(9);
  names_.read = presets.readName;
  names_.write = presets.writeName;
  FileError error;
  if (!services_.files.RenameFile(directories_.kit + presets.kitName, directories_.kit + kPresetsScript, error)) {
    return KitFileFailure{FailureKind::Write, names_.write, error.description};
  }
  presetsAway_ = true;
  // The editor is started by its full path, and the script's path is quoted:
  // a kit folder with a blank in it must import as well as any other.
  // Without a known Windows directory there is no editor to trust: a bare
  // "\regedit.exe" would be looked for on whatever drive is current.
  std::wstring editor = windowsDirectory_ + L"regedit.exe";
  std::wstring commandLine = text::Quoted(editor) + L" /s " + text::Quoted(directories_.kit + kPresetsScript);
  if (!windowsDirectory_.empty()) registryEditor_ = services_.processes.StartMinimized(editor, commandLine);
  for (int turn = 0; turn < 3; ++turn) services_.ui.DoEvents();
  form_.ShowProgress();
  return std::nullopt;
}

StepFailure Installation::CreateTestFiles() {
  names_.read = L"";
  names_.write = kTestFilesName;
  for (int number = 1; number <= kTestFileCount; ++number) {
    FileError error;
    std::wstring path = directories_.target + L"TestThis\\" + TestFileName(number);
    std::unique_ptr<OutputFile> file = services_.files.CreateForWriting(path, error);
    if (!file || !file->Close(error)) return KitFileFailure{FailureKind::Write, names_.write, error.description};
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
  writeText(L"DisplayName", texts::kDisplayName);
  writeText(L"UninstallString", UninstallCommand(directories_.target));
  // What "Apps & features" shows beside the name; the package manager skips
  // an entry without a version. An icon location is never quoted.
  writeText(L"DisplayVersion", texts::kDisplayVersion);
  writeText(L"Publisher", texts::kPublisher);
  writeText(L"DisplayIcon", directories_.target + KitFileNumber(1).installedName + L",0");
  writeText(L"InstallLocation", directories_.target);
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
  writeNumber(L"EstimatedSize", static_cast<std::int32_t>(kilobytes > 0x7FFFFFFF ? 0x7FFFFFFF : kilobytes));
  // Neither a change nor a repair is offered: this setup only installs and removes.
  writeNumber(L"NoModify", 1);
  writeNumber(L"NoRepair", 1);
}

StepFailure Installation::RenamePresetsBack() {
  // The editor reads the script by this name; renaming it away before the
  // import is done would make the import find nothing.
  if (registryEditor_) registryEditor_->WaitForExit(kPresetsImportWait);
  names_.read = kPresetsBackName;
  names_.write = KitFileNumber(9).writeName;
  FileError error;
  if (!services_.files.RenameFile(directories_.kit + kPresetsScript, directories_.kit + kPresetsBackName, error)) {
    return KitFileFailure{FailureKind::Read, names_.read, error.description};
  }
  presetsAway_ = false;
  return std::nullopt;
}

void Installation::RestorePresets() {
  // Whatever stopped the installation, the kit must stay complete, or every
  // later start would find no kit and not say why. The editor gets its time
  // as on the way to success (it may be why the first rename back failed);
  // a failure here is not reported over the first one.
  if (!presetsAway_) return;
  if (registryEditor_) registryEditor_->WaitForExit(kPresetsImportWait);
  FileError ignored;
  if (services_.files.RenameFile(directories_.kit + kPresetsScript, directories_.kit + kPresetsBackName, ignored)) {
    presetsAway_ = false;
  }
}

void Installation::Fail(const KitFileFailure& failure) {
  services_.messages.Show(FailureMessage(failure), mb::kCritical | mb::kOkOnly);
  controls_.SetText(Label1, texts::kInstallFailed);
  ClosingSteps(form_);
}

}  // namespace install
