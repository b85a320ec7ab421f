#include "install/installation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "install/fakes/recording_hooks.h"
#include "install/install_checks.h"
#include "install/install_texts.h"
#include "install/registration_names.h"
#include "platform/fakes/fake_system.h"

namespace install {
namespace {

constexpr const wchar_t* kKit = L"C:\\Users\\jane\\Kit";
constexpr const wchar_t* kTarget = L"C:\\WINUTIL\\MORVANE\\";
// Where the presets script is imported from: the first work folder of a run.
constexpr const wchar_t* kScriptCopy = L"C:\\Windows\\Temp\\Morvane Setup 1\\presets.reg";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Everything an installation may change: files and folders with their
// bytes, the settings, the registry.
struct MachineState {
  std::map<std::wstring, std::optional<std::string>> files;
  std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> settings;
  FakeRegistry registry;
  bool operator==(const MachineState& other) const {
    return files == other.files && settings == other.settings && registry == other.registry;
  }
};

// What differs, for a failure report; empty when nothing does.
std::string Difference(const MachineState& now, const MachineState& before) {
  std::string out;
  for (const auto& [path, contents] : now.files) {
    auto was = before.files.find(path);
    if (was == before.files.end()) out += "new: " + Narrow(path) + "\n";
    else if (was->second != contents) out += "changed: " + Narrow(path) + "\n";
  }
  for (const auto& [path, contents] : before.files) {
    if (!now.files.contains(path)) out += "gone: " + Narrow(path) + "\n";
  }
  if (now.settings != before.settings) out += "settings changed\n";
  if (!(now.registry == before.registry)) out += "registry changed\n";
  return out;
}

MachineState StateOf(const FakeSystem& machine) {
  MachineState state{{}, machine.settings.values, machine.registry};
  for (const std::wstring& path : machine.files.List(L"C:\\")) state.files[path] = machine.files.Contents(path);
  return state;
}

// The kit in kKit, started from there on 64-bit Windows.
void PrepareKit(FakeSystem& machine) {
  machine.environment.setupDirectory = kKit;
  machine.environment.variables = {{L"ProgramW6432", L"C:\\Program Files"},
                                   {L"ProgramFiles(x86)", L"C:\\Program Files (x86)"}};
  machine.AddKit(kKit);
  // What every Windows has.
  machine.files.AddDirectory(L"C:\\Windows\\Temp");
  RegistryHandle uninstall = 0;
  machine.registry.CreateKey(hkey::kLocalMachine, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0x3F,
                             uninstall);
  machine.registry.CloseKey(uninstall);
}

// An installation of an earlier version in kTarget, with its entry and setting.
void InstallEarlierVersion(FakeSystem& machine) {
  for (const KitFile& row : KitFiles()) {
    if (*row.installedName) {
      machine.files.AddFile(kTarget + std::wstring(row.installedName), "earlier " + Narrow(row.installedName));
    }
  }
  for (int n = 1; n <= 10; ++n) {
    machine.files.AddFile(kTarget + std::wstring(L"TestThis\\") + (n < 10 ? L"0" : L"") + std::to_wstring(n) +
                              L"_Artist___CD___Title.tst",
                          n == 3 ? "renamed by the user" : "");
  }
  machine.files.AddDirectory(kTarget + std::wstring(L"FileList"));
  machine.files.AddFile(kTarget + std::wstring(L"Undo\\undo.dat"), "the user's");
  machine.settings.SetInstallDir(kTarget);
  RegistryHandle key = 0;
  machine.registry.CreateKey(hkey::kLocalMachine, texts::kUninstallKey, 0x3F, key);
  machine.registry.SetStringValue(key, L"DisplayName", L"Morvane by Halvo 2.4.4");
  machine.registry.SetStringValue(key, L"UninstallString", L"C:\\WINUTIL\\MORVANE\\setup.exe");
  machine.registry.SetStringValue(key, L"Comments", L"not the setup's");
  machine.registry.CloseKey(key);
}

OperationResult InstallOn(FakeSystem& machine, const std::wstring& typed, RecordingProgress& progress,
                          RecordingQuestions& questions, std::optional<std::wstring> replaces = std::nullopt) {
  return Install({.target = typed, .kitDirectory = machine.environment.setupDirectory, .replaces = std::move(replaces)},
                 machine.system, questions, progress);
}

class Installing : public ::testing::Test {
 protected:
  Installing() {
    PrepareKit(machine);
    before_ = StateOf(machine);
  }

  OperationResult InstallTo(const std::wstring& typed, std::optional<std::wstring> replaces = std::nullopt) {
    return InstallOn(machine, typed, progress, questions, std::move(replaces));
  }
  void InstallEarlierVersion() { install::InstallEarlierVersion(machine); }

  // Refused before anything changed, for this reason.
  void ExpectRefused(const OperationResult& result, RefusalReason reason) {
    ASSERT_TRUE(std::holds_alternative<Refused>(result));
    EXPECT_EQ(std::get<Refused>(result).reason, reason);
    EXPECT_EQ(progress.started, 0);
    EXPECT_EQ(Difference(StateOf(machine), before_), "");
  }

  FakeSystem machine;
  RecordingQuestions questions;
  RecordingProgress progress;
  MachineState before_;
};

TEST_F(Installing, NormalInstallationLeavesEveryPieceInPlace) {
  // A work folder name someone made already is passed over, with what it holds.
  machine.files.AddFile(L"C:\\Windows\\Temp\\Morvane Setup 1\\presets.reg", "planted");
  const std::wstring scriptCopy = L"C:\\Windows\\Temp\\Morvane Setup 2\\presets.reg";
  std::vector<std::wstring> kitBefore = machine.files.List(kKit);
  bool copyReadWhileKitHeld = false;
  machine.processes.onWait = [&] {
    FileError error;
    copyReadWhileKitHeld =
        machine.files.Contents(scriptCopy) == "morvane.7" &&
        !machine.files.CreateForWriting(std::wstring(kKit) + L"\\morvane.7", UsersMay::ReadAndExecute, error) &&
        !machine.files.RemoveFile(std::wstring(kKit) + L"\\setup.exe");
  };
  ASSERT_TRUE(std::holds_alternative<Done>(InstallTo(L"C:\\WinUtil\\Morvane")));

  std::vector<std::wstring> expected = {
      L"C:\\WINUTIL\\MORVANE\\about.htm",         L"C:\\WINUTIL\\MORVANE\\FileList",
      L"C:\\WINUTIL\\MORVANE\\Help",              L"C:\\WINUTIL\\MORVANE\\Help\\AddFile.bmp",
      L"C:\\WINUTIL\\MORVANE\\Help\\AddPath.bmp", L"C:\\WINUTIL\\MORVANE\\Help\\FileList.htm",
      L"C:\\WINUTIL\\MORVANE\\Morvane.exe",       L"C:\\WINUTIL\\MORVANE\\screenshot.jpg",
      L"C:\\WINUTIL\\MORVANE\\setup.dll",         L"C:\\WINUTIL\\MORVANE\\setup.exe",
      L"C:\\WINUTIL\\MORVANE\\TestThis",          L"C:\\WINUTIL\\MORVANE\\Undo",
  };
  for (int n = 1; n <= 10; ++n) {
    expected.push_back(std::wstring(L"C:\\WINUTIL\\MORVANE\\TestThis\\") + (n < 10 ? L"0" : L"") +
                       std::to_wstring(n) + L"_Artist___CD___Title.tst");
  }
  std::vector<std::wstring> listed = machine.files.List(L"C:\\WINUTIL");
  ASSERT_FALSE(listed.empty()) << "nothing made under C:\\WINUTIL";
  EXPECT_EQ(listed.front(), L"C:\\WINUTIL\\MORVANE");
  listed.erase(listed.begin());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(machine.files.StoredName(L"C:\\WinUtil"), L"C:\\WINUTIL");
  EXPECT_EQ(machine.files.Contents(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"), "morvane.1");
  EXPECT_EQ(machine.files.Contents(L"C:\\WINUTIL\\MORVANE\\Help\\FileList.htm"), "morvane.6");
  EXPECT_EQ(machine.files.Contents(L"C:\\WINUTIL\\MORVANE\\TestThis\\07_Artist___CD___Title.tst"), "");
  // Every folder made gets its own access list; only the product's working folders let users write.
  EXPECT_EQ(machine.files.protectedFolders, (std::map<std::wstring, UsersMay>{
                                                {L"C:\\WINUTIL\\", UsersMay::ReadAndExecute},
                                                {L"C:\\WINUTIL\\MORVANE\\", UsersMay::ReadAndExecute},
                                                {L"C:\\WINUTIL\\MORVANE\\FileList\\", UsersMay::Modify},
                                                {L"C:\\WINUTIL\\MORVANE\\Help\\", UsersMay::ReadAndExecute},
                                                {L"C:\\WINUTIL\\MORVANE\\TestThis\\", UsersMay::Modify},
                                                {L"C:\\WINUTIL\\MORVANE\\Undo\\", UsersMay::Modify},
                                                {L"C:\\Windows\\Temp\\Morvane Setup 2", UsersMay::ReadAndExecute},
                                            }));
  // And every file written its own: users may run the program, and change only the test files.
  std::map<std::wstring, UsersMay> files;
  for (const std::wstring& path : listed) {
    if (machine.files.IsDirectory(path)) continue;
    files[path] = path.ends_with(L".tst") ? UsersMay::Modify : UsersMay::ReadAndExecute;
  }
  files[scriptCopy] = UsersMay::ReadAndExecute;  // the script's copy too, though it is gone by now
  EXPECT_EQ(machine.files.protectedFiles, files);

  // The editor imported a copy of the script in a folder of this run's own,
  // while the kit was held against writing and deleting; the copy and its
  // folder went afterwards, and the kit was never changed.
  ASSERT_EQ(machine.processes.started.size(), 1u);
  EXPECT_EQ(machine.processes.started[0].program, L"C:\\windows\\regedit.exe");
  EXPECT_EQ(machine.processes.started[0].commandLine, L"\"C:\\windows\\regedit.exe\" /s \"" + scriptCopy + L"\"");
  EXPECT_TRUE(copyReadWhileKitHeld);
  EXPECT_EQ(machine.processes.waits, std::vector<std::chrono::milliseconds>{std::chrono::seconds(30)});
  EXPECT_FALSE(machine.files.Exists(L"C:\\Windows\\Temp\\Morvane Setup 2"));
  EXPECT_EQ(machine.files.Contents(L"C:\\Windows\\Temp\\Morvane Setup 1\\presets.reg"), "planted");
  EXPECT_EQ(machine.files.List(kKit), kitBefore);
  EXPECT_EQ(machine.files.Contents(std::wstring(kKit) + L"\\morvane.7"), "morvane.7");

  ASSERT_EQ(machine.companion.calls.size(), 2u);
  for (const FakeCompanion::Call& call : machine.companion.calls) {
    EXPECT_EQ(call.function, L"fCreateShellLink");
    EXPECT_EQ(call.name, L"Morvane");
    EXPECT_EQ(call.target, L"C:\\WINUTIL\\MORVANE\\Morvane.exe");
    EXPECT_EQ(call.arguments, L"");
  }
  EXPECT_EQ(machine.companion.calls[0].folder, L"..\\..\\Desktop");
  EXPECT_EQ(machine.companion.calls[1].folder, L"");

  EXPECT_EQ(machine.settings.InstallDir(), kTarget);
  EXPECT_EQ(machine.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, L"DisplayName"),
            texts::kDisplayName);
  EXPECT_EQ(machine.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, L"UninstallString"),
            L"C:\\WINUTIL\\MORVANE\\setup.exe");
  EXPECT_EQ(machine.registry.openHandles(), 0u);
  // Fourteen steps, the start counting as the first; the editor's start gets three turns of the window.
  EXPECT_EQ(progress.started, 1);
  EXPECT_EQ(progress.steps, 13);
  EXPECT_EQ(progress.yields, 3);
  EXPECT_TRUE(questions.inUse.empty());
}

TEST_F(Installing, UninstallEntryDescribesTheInstallation) {
  machine.files.AddFile(std::wstring(kKit) + L"\\morvane.1", std::string(3000, 'M'));
  ASSERT_TRUE(std::holds_alternative<Done>(InstallTo(L"C:\\WinUtil\\Morvane")));
  auto text = [&](const wchar_t* name) {
    const FakeRegistry::Value* value = machine.registry.Find(hkey::kLocalMachine, texts::kUninstallKey, name);
    return value && value->type == 1 ? machine.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, name)
                                     : std::wstring(L"(not text)");
  };
  auto number = [&](const wchar_t* name) {
    const FakeRegistry::Value* value = machine.registry.Find(hkey::kLocalMachine, texts::kUninstallKey, name);
    if (!value || value->type != 4 || value->bytes.size() != 4) return -1;
    return value->bytes[0] | value->bytes[1] << 8 | value->bytes[2] << 16 | value->bytes[3] << 24;
  };
  EXPECT_EQ(text(L"QuietUninstallString"), L"\"C:\\WINUTIL\\MORVANE\\setup.exe\" /S /uninstall");
  EXPECT_EQ(text(L"DisplayVersion"), texts::kDisplayVersion);
  EXPECT_EQ(text(L"Publisher"), texts::kPublisher);
  EXPECT_EQ(text(L"DisplayIcon"), L"C:\\WINUTIL\\MORVANE\\Morvane.exe,0");
  EXPECT_EQ(text(L"InstallLocation"), kTarget);
  // 3000 bytes of program and seven kit files of 9 bytes each: 3063 bytes.
  EXPECT_EQ(number(L"EstimatedSize"), 3);
  EXPECT_EQ(number(L"NoModify"), 1);
  EXPECT_EQ(number(L"NoRepair"), 1);

  // Paths with blanks are quoted for the editor and the entry.
  FakeSystem blanks;
  blanks.environment.setupDirectory = L"C:\\Users\\Jane Doe\\Downloads\\Morvane kit";
  blanks.AddKit(blanks.environment.setupDirectory);
  ASSERT_TRUE(std::holds_alternative<Done>(Install({.target = L"C:\\My Tools\\Morvane",
                                                    .kitDirectory = blanks.environment.setupDirectory,
                                                    .replaces = std::nullopt},
                                                   blanks.system, questions, progress)));
  EXPECT_EQ(blanks.processes.started.at(0).commandLine,
            L"\"C:\\windows\\regedit.exe\" /s \"C:\\Windows\\Temp\\Morvane Setup 1\\presets.reg\"");
  EXPECT_EQ(blanks.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, L"UninstallString"),
            L"\"C:\\MY TOOLS\\MORVANE\\setup.exe\"");
}

TEST_F(Installing, TargetsThatCannotWorkAreRefusedBeforeAnythingChanges) {
  machine.files.AddDrive(L'D');
  machine.files.AddDrive(L'E');
  machine.files.notReady.insert(L'E');
  machine.files.freeBytes[L'D'] = 30;  // the kit's files alone take more
  machine.files.AddShortName(L"C:\\PROGRA~1", L"C:\\Program Files");
  machine.files.AddShortName(L"C:\\PROGRA~2", L"C:\\Program Files (x86)");
  before_ = StateOf(machine);
  struct Case {
    std::wstring typed;
    RefusalReason reason;
  };
  using enum RefusalReason;
  const std::vector<Case> cases = {
      {L"c:\\program files\\Morvane", ProgramFiles},
      {L"C:\\Program Files (x86)\\Morvane", ProgramFiles},
      {L"C:\\Program FilesX", ProgramFiles},  // a leading part is compared
      {L"C:\\PROGRA~1\\Morvane", ProgramFiles},
      {L"C:/Program Files/Morvane", ProgramFiles},
      {L"C:\\Program Files\\..\\Program Files\\Morvane", ProgramFiles},
      {L"c:\\Tools\\..\\PROGRA~2", ProgramFiles},
      {L"C:", NotAFullPath},  // Program Files is tested first, and passes
      {L"", NotAFullPath},
      {L"Morvane", NotAFullPath},
      {L"D:Morvane", NotAFullPath},
      {L"\\Morvane", NotAFullPath},
      {L"C:/Tools/Morvane", NotAFullPath},
      {L"\\\\?\\C:\\Morvane", NotAFullPath},
      {L"\\\\.\\C:\\Morvane", NotAFullPath},
      {L"\\\\server", NotAFullPath},
      {L"C:\\Tools\\a|b", InvalidName},
      {L"C:\\Tools\\Morvane.", InvalidName},
      {L"C:\\Tools\\..\\Morvane", InvalidName},
      {L"C:\\Tools\\con\\Morvane", InvalidName},
      {L"C:\\" + std::wstring(190, L'm') + L"\\" + std::wstring(30, L'n'), TooLong},  // 35 more for a test file
      {L"X:\\Tools\\Morvane", NoSuchDrive},
      {L"\\\\server\\share\\Morvane", NetworkDrive},
      {L"E:\\Morvane", DriveNotReady},
      {L"D:\\Morvane", NotEnoughSpace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.typed));
    ExpectRefused(InstallTo(c.typed), c.reason);
  }
  // One below the limit is a target like any other.
  EXPECT_TRUE(std::holds_alternative<Done>(InstallTo(L"C:\\" + std::wstring(190, L'm') + L"\\" + std::wstring(29, L'n'))));

  // On 32-bit Windows neither Program Files variable is set.
  FakeSystem bare;
  bare.AddKit(L"C:\\Kit");
  EXPECT_TRUE(std::holds_alternative<Done>(
      Install({.target = L"C:\\Program Files\\Morvane", .kitDirectory = L"C:\\Kit", .replaces = std::nullopt},
              bare.system, questions, progress)));
}

TEST_F(Installing, NotEnoughSpaceCountsTheCopiesKeptOfReplacedFilesOnTheSystemDrive) {
  InstallEarlierVersion();
  std::uint64_t kit = 0;
  for (const KitFile& row : KitFiles()) {
    if (*row.installedName) kit += std::wstring(row.kitName).size();  // each kit file holds its own name
  }
  std::uint64_t earlier = 0;
  for (const KitFile& row : KitFiles()) {
    if (*row.installedName) earlier += Narrow(L"earlier " + std::wstring(row.installedName)).size();
  }
  machine.files.freeBytes[L'C'] = kSpaceMargin + kit + earlier - 1;
  before_ = StateOf(machine);
  OperationResult result = InstallTo(kTarget);
  ExpectRefused(result, RefusalReason::NotEnoughSpace);
  EXPECT_EQ(std::get<Refused>(result).bytesNeeded, kSpaceMargin + kit + earlier);
  EXPECT_EQ(std::get<Refused>(result).folder, L"C:\\");
  machine.files.freeBytes[L'C'] += 1;
  EXPECT_TRUE(std::holds_alternative<Done>(InstallTo(kTarget)));
}

// Folder security shaped as Windows reads it back: an administrator's
// folder with the entries given added, under this owner.
FolderSecurity Protected(std::vector<AccessEntry> more, Trustee owner = Trustee::Administrators) {
  FolderSecurity security = FakeFileSystem::ProtectedFolder();
  security.owner = owner;
  security.entries.insert(security.entries.end(), more.begin(), more.end());
  return security;
}

// What Windows gives a folder made under C:\ by hand or by another setup:
// Authenticated Users may change and delete it.
FolderSecurity InheritedModify() { return Protected({{Trustee::Other, true, 0x1301BF}}); }

TEST_F(Installing, TargetsThatCannotBeMadeSafeAreRefusedAndChangeNothing) {
  using enum Trustee;
  struct Case {
    const wchar_t* existing;  // given the security below
    FolderSecurity security;
    const wchar_t* typed;
    const wchar_t* refused;  // the folder the refusal names
    text::Ascii reason;
  };
  FolderSecurity dataDrive = FakeFileSystem::SystemDriveRoot();
  dataDrive.entries.push_back({Other, true, 0x1301BF | rights::kDeleteChild});
  const Case cases[] = {
      // A default Windows C:\: users may make folders in it, and it holds far more than Morvane.
      {L"C:\\", FakeFileSystem::SystemDriveRoot(), L"C:\\", L"C:\\", texts::kOthersMayAddFiles},
      {L"E:\\", {.result = FolderRead::NoAccessLists}, L"E:\\Morvane", L"E:\\", texts::kKeepsNoAccessList},
      {L"C:\\Tools\\Morvane", Protected({}, Other), L"C:\\Tools\\Morvane", L"C:\\Tools\\Morvane", texts::kOwnedByOthers},
      // Someone else's folder, with their files in it.
      {L"C:\\Open\\Morvane", InheritedModify(), L"C:\\Open\\Morvane\\", L"C:\\Open\\Morvane", texts::kOthersMayAddFiles},
      // Someone's folder on the way is never changed.
      {L"C:\\Home\\jane", Protected({{Other, true, rights::kFileAllAccess}}, Other), L"C:\\Home\\jane\\Tools\\Morvane",
       L"C:\\Home\\jane", texts::kOwnedByOthers},
      // A drive root is never changed: what it lets others delete stays deletable.
      {L"D:\\Apps", InheritedModify(), L"D:\\Apps\\Morvane", L"D:\\Apps", texts::kOthersMayDelete},
      {L"C:\\Locked", {.result = FolderRead::Unreadable}, L"C:\\Locked\\Morvane", L"C:\\Locked",
       texts::kAccessListUnreadable},
  };
  machine.files.AddDrive(L'D');
  machine.files.AddDrive(L'E');
  machine.files.SetSecurity(L"D:\\", dataDrive);
  for (const Case& c : cases) {
    machine.files.AddDirectory(c.existing);
    machine.files.SetSecurity(c.existing, c.security);
  }
  machine.files.AddFile(L"C:\\Open\\Morvane\\theirs.txt", "theirs");
  machine.files.AddDirectory(L"C:\\Home\\jane\\Tools");
  machine.files.AddDirectory(L"C:\\Victim");
  machine.files.MakeFolderLink(L"C:\\Linked", L"C:\\Victim");
  // An installation with a library someone else put beside it, which Morvane would load.
  for (const wchar_t* file : {L"Morvane.exe", L"setup.exe", L"version.dll"}) {
    machine.files.AddFile(L"C:\\Older\\" + std::wstring(file), "MZ");
  }
  machine.files.SetSecurity(L"C:\\Older\\version.dll", Protected({}, Other));
  // Older copies whose Help folder is someone else's, or holds their library.
  for (const wchar_t* older : {L"C:\\Older2\\", L"C:\\Older3\\"}) {
    for (const wchar_t* file : {L"Morvane.exe", L"setup.exe", L"Help\\FileList.htm"}) {
      machine.files.AddFile(older + std::wstring(file), "MZ");
    }
  }
  machine.files.SetSecurity(L"C:\\Older2\\Help", Protected({}, Other));
  machine.files.AddFile(L"C:\\Older3\\Help\\version.dll", "MZ");
  // And one with a kit's file beside it, with the kit's rights.
  for (const wchar_t* file : {L"Morvane.exe", L"setup.exe", L"morvane.3"}) {
    machine.files.AddFile(L"C:\\Older4\\" + std::wstring(file), "MZ");
  }
  machine.files.SetSecurity(L"C:\\Older4\\morvane.3", Protected({}, Other));
  machine.files.SetSecurity(L"C:\\Older3\\Help\\version.dll", Protected({}, Other));
  machine.files.AddFile(L"C:\\Kits\\kit.zip", "PK");
  before_ = StateOf(machine);
  auto expectRefused = [&](const std::wstring& typed, const std::wstring& folder, text::Ascii reason) {
    SCOPED_TRACE(Narrow(typed));
    OperationResult result = InstallTo(typed);
    ExpectRefused(result, RefusalReason::Unsafe);
    EXPECT_EQ(std::get<Refused>(result).unsafe.folder, folder);
    EXPECT_EQ(std::get<Refused>(result).unsafe.reason, reason);
  };
  for (const Case& c : cases) {
    expectRefused(c.typed, c.refused, c.reason);
    EXPECT_EQ(machine.files.ReadFolderSecurity(c.existing), c.security);
  }
  expectRefused(L"C:\\Linked\\Morvane", L"C:\\Linked", texts::kFolderIsALink);
  expectRefused(L"C:\\Older", L"C:\\Older\\version.dll", texts::kOthersEntry);
  expectRefused(L"C:\\Older2", L"C:\\Older2\\Help", texts::kOwnedByOthers);
  expectRefused(L"C:\\Older4", L"C:\\Older4\\morvane.3", texts::kOthersEntry);
  expectRefused(L"C:\\Older3", L"C:\\Older3\\Help\\version.dll", texts::kOthersEntry);

  // Network shares and removable drives are judged by their own accounts; the Windows folder is the system's.
  machine.files.AddDrive(L'F');
  machine.files.driveKinds = {{L'E', DriveKind::Removable}, {L'F', DriveKind::Network}};
  ExpectRefused(InstallTo(L"E:\\Morvane"), RefusalReason::RemovableDrive);
  ExpectRefused(InstallTo(L"F:\\Morvane"), RefusalReason::NetworkDrive);
  ExpectRefused(InstallTo(L"\\\\server\\share\\Morvane"), RefusalReason::NetworkDrive);
  ExpectRefused(InstallTo(L"c:\\windows\\Morvane"), RefusalReason::WindowsFolder);
  for (const wchar_t* typed : {L"C:\\Users\\admin\\Morvane", L"c:\\users\\Public\\Morvane"}) {
    ExpectRefused(InstallTo(typed), RefusalReason::ProfilesFolder);  // making them safe would take the users' rights
  }
  for (const wchar_t* typed : {L"C:\\Kits\\kit.zip", L"C:\\Kits\\kit.zip\\Morvane"}) {
    ExpectRefused(InstallTo(typed), RefusalReason::NotAFolder);  // a file where a folder must be
  }
  EXPECT_TRUE(std::holds_alternative<Done>(InstallTo(L"C:\\WindowsApps\\Morvane")));
}

TEST_F(Installing, TargetsOthersCouldChangeAreMadeSafeWithAdministratorsAsOwner) {
  using enum Trustee;
  // An older copy's folders as any setup leaves them under C:\.
  InstallEarlierVersion();
  for (const wchar_t* folder : {L"C:\\WINUTIL", L"C:\\WINUTIL\\MORVANE", L"C:\\WINUTIL\\MORVANE\\Help"}) {
    machine.files.SetSecurity(folder, InheritedModify());
  }
  // A folder of the account running the setup, as its programs without elevation may change it.
  FolderSecurity runningAccounts = Protected({{CurrentUser, true, rights::kFileAllAccess}}, CurrentUser);
  machine.files.AddDirectory(L"C:\\Mine");
  machine.files.SetSecurity(L"C:\\Mine", runningAccounts);
  machine.files.AddDirectory(L"C:\\Yours");
  machine.files.SetSecurity(L"C:\\Yours", runningAccounts);
  ASSERT_TRUE(std::holds_alternative<Done>(InstallTo(kTarget)));
  // Each further copy takes the entry from the one before, which it replaces.
  ASSERT_TRUE(std::holds_alternative<Done>(InstallTo(L"C:\\Mine\\Morvane", kTarget)));
  ASSERT_TRUE(std::holds_alternative<Done>(InstallTo(L"C:\\Yours", L"C:\\Mine\\Morvane\\")));
  EXPECT_EQ(machine.files.ReadFolderSecurity(L"C:\\Yours"), FakeFileSystem::ProtectedFolder());
  // ProgramData as Windows makes it: users may add to it, but neither delete nor re-permission it; it stays so.
  FolderSecurity programData = Protected({{System, true, rights::kFileAllAccess},
                                          {Administrators, true, rights::kFileAllAccess},
                                          {CreatorOwner, true, rights::kFileAllAccess, true},
                                          {Other, true, rights::kFileReadAndExecute},
                                          {Other, true, 0x116}},
                                         System);
  machine.files.AddDirectory(L"C:\\ProgramData");
  machine.files.SetSecurity(L"C:\\ProgramData", programData);
  ASSERT_TRUE(std::holds_alternative<Done>(InstallTo(L"C:\\ProgramData\\Morvane", L"C:\\Yours\\")));
  EXPECT_EQ(machine.files.ReadFolderSecurity(L"C:\\ProgramData"), programData);
  FolderSecurity product = FakeFileSystem::ProtectedFolder();
  EXPECT_EQ(machine.files.ReadFolderSecurity(kTarget), product);
  EXPECT_EQ(machine.files.ReadFolderSecurity(L"C:\\WINUTIL\\MORVANE\\Help"), product);
  EXPECT_EQ(machine.files.ReadFolderSecurity(L"C:\\WINUTIL"), FakeFileSystem::SafeOnTheWay(InheritedModify()));
  FolderSecurity mine = machine.files.ReadFolderSecurity(L"C:\\Mine");
  EXPECT_EQ(mine.owner, Administrators);
  // The running account keeps its rights there, but for deleting, renaming and re-permissioning it.
  EXPECT_TRUE(std::ranges::any_of(mine.entries, [](const AccessEntry& entry) {
    return entry.trustee == CurrentUser && entry.rights == (rights::kFileAllAccess & ~0xD0040u);
  }));

  // A failure puts the owners and lists back as they were.
  FakeSystem failing;
  PrepareKit(failing);
  install::InstallEarlierVersion(failing);
  failing.files.SetSecurity(L"C:\\WINUTIL", InheritedModify());
  failing.files.SetSecurity(kTarget, InheritedModify());
  failing.files.SetAttributes(kTarget + std::wstring(L"about.htm"), {.readOnly = true});
  EXPECT_TRUE(std::holds_alternative<StepFailed>(InstallOn(failing, kTarget, progress, questions)));
  EXPECT_EQ(failing.files.ReadFolderSecurity(L"C:\\WINUTIL"), InheritedModify());
  EXPECT_EQ(failing.files.ReadFolderSecurity(kTarget), InheritedModify());
}

TEST_F(Installing, KitFileGoneSinceTheStartIsNamedBeforeAnythingChanges) {
  machine.files.RemoveFile(std::wstring(kKit) + L"\\morvane.2");
  machine.files.RemoveFile(std::wstring(kKit) + L"\\morvane.8");
  before_ = StateOf(machine);
  OperationResult result = InstallTo(L"C:\\WinUtil\\Morvane");
  ASSERT_TRUE(std::holds_alternative<KitProblem>(result));
  const KitFileFailure& failure = std::get<KitProblem>(result).failure;
  EXPECT_EQ(failure.kind, FailureKind::Read);
  EXPECT_EQ(failure.name, L"MORVANE.2");
  EXPECT_EQ(failure.description, L"The system cannot find the file specified.");
  EXPECT_EQ(progress.started, 0);
  EXPECT_EQ(Difference(StateOf(machine), before_), "");
}

TEST_F(Installing, MorvaneRunningIsWaitedForOrLeftAsItIs) {
  InstallEarlierVersion();
  FileError error;
  auto running = machine.files.OpenForReading(kTarget + std::wstring(L"Morvane.exe"), error);
  before_ = StateOf(machine);
  OperationResult result = InstallTo(kTarget);
  ASSERT_TRUE(std::holds_alternative<InUse>(result));
  EXPECT_EQ(std::get<InUse>(result).folder, kTarget);
  EXPECT_TRUE(std::get<InUse>(result).changedNothing);
  EXPECT_EQ(questions.inUse, std::vector<std::wstring>{kTarget});
  EXPECT_EQ(Difference(StateOf(machine), before_), "");

  // Closed, then looked at again: the installation goes on.
  questions.retry = [&](const std::wstring&) {
    running.reset();
    return true;
  };
  EXPECT_TRUE(std::holds_alternative<Done>(InstallTo(kTarget)));

  // Running from the copy that is to be replaced afterwards stops it too.
  machine.files.AddFile(L"C:\\Old\\Morvane.exe", "MZ");
  running = machine.files.OpenForReading(L"C:\\Old\\Morvane.exe", error);
  questions.retry = nullptr;
  EXPECT_TRUE(std::holds_alternative<InUse>(InstallTo(L"C:\\New", L"C:\\Old")));
  EXPECT_FALSE(machine.files.Exists(L"C:\\NEW"));
}

// A failure at any single step of the file system or the registry leaves
// the machine exactly as it was: a first installation, and a reinstall over
// an earlier version whose files, entry and setting are all put back.
TEST(InstallationRollback, FailureAtAnyStepPutsBackWhatWasThere) {
  // Each run fails at its own step: of the file system, of the registry, or the setting.
  enum class Failing { FileStep, RegistryWrite, Setting };
  for (bool reinstall : {false, true}) {
    auto prepared = [reinstall](FakeSystem& machine) {
      PrepareKit(machine);
      if (reinstall) InstallEarlierVersion(machine);
    };
    // How many steps of each kind a whole installation takes.
    FakeSystem clean;
    prepared(clean);
    int fileSteps = 0;
    clean.files.failWhen = [&](FileOp, const std::wstring&) -> std::optional<FileError> {
      ++fileSteps;
      return std::nullopt;
    };
    int registryWritesBefore = clean.registry.writes();
    RecordingProgress progress;
    RecordingQuestions questions;
    ASSERT_TRUE(std::holds_alternative<Done>(InstallOn(clean, kTarget, progress, questions)));
    int registryWrites = clean.registry.writes() - registryWritesBefore;

    for (Failing failing : {Failing::FileStep, Failing::RegistryWrite, Failing::Setting}) {
      int steps = failing == Failing::FileStep ? fileSteps : failing == Failing::RegistryWrite ? registryWrites : 1;
      for (int failAt = 1; failAt <= steps; ++failAt) {
        SCOPED_TRACE(std::string(reinstall ? "reinstall" : "first installation") + ", failing " +
                     std::to_string(static_cast<int>(failing)) + " at " + std::to_string(failAt));
        FakeSystem machine;
        prepared(machine);
        MachineState before = StateOf(machine);
        int calls = 0;
        switch (failing) {
          case Failing::FileStep:
            machine.files.failWhen = [&](FileOp, const std::wstring&) -> std::optional<FileError> {
              return ++calls == failAt ? std::optional(FakeFileSystem::Error(5)) : std::nullopt;
            };
            break;
          case Failing::RegistryWrite:
            machine.registry.failWriteNumber = machine.registry.writes() + failAt;
            break;
          case Failing::Setting:
            machine.settings.failWith = 5;
            break;
        }
        OperationResult result = InstallOn(machine, kTarget, progress, questions);
        // A step whose failure harms nothing (a folder already there, a
        // listing for the entry's size) lets it complete.
        if (std::holds_alternative<Done>(result)) continue;
        EXPECT_EQ(Difference(StateOf(machine), before), "");
        const StepFailed* failed = std::get_if<StepFailed>(&result);
        if (failed) {
          EXPECT_TRUE(failed->rollback.notPutBack.empty());
        }
        if (failing == Failing::FileStep) continue;
        ASSERT_TRUE(failed);
        EXPECT_EQ(failed->failure.kind, FailureKind::Registration);
        EXPECT_EQ(failed->failure.description, L"Access is denied.");
        if (failing == Failing::Setting) {
          EXPECT_EQ(failed->failure.name, L"QolMORVANE\\Installer\\InstallDir");
        }
        // The shortcuts point where they pointed before, or are gone.
        const FakeCompanion::Call& last = machine.companion.calls.back();
        EXPECT_EQ(last.function, reinstall ? L"fCreateShellLink" : L"fRemoveShellLink");
        if (reinstall) {
          EXPECT_EQ(last.target, kTarget + std::wstring(L"Morvane.exe"));
        }
      }
    }
  }
}

TEST_F(Installing, ReadOnlyFileStopsItAtItsNameAndTheEarlierVersionIsWhole) {
  InstallEarlierVersion();
  machine.files.SetAttributes(kTarget + std::wstring(L"Help\\AddFile.bmp"), {.readOnly = true});
  before_ = StateOf(machine);
  OperationResult result = InstallTo(kTarget);
  ASSERT_TRUE(std::holds_alternative<StepFailed>(result));
  const StepFailed& failed = std::get<StepFailed>(result);
  EXPECT_EQ(failed.failure.kind, FailureKind::Write);
  EXPECT_EQ(failed.failure.name, L"HELP\\ADDFILE.BMP");
  EXPECT_EQ(failed.failure.description, L"Access is denied.");
  EXPECT_EQ(progress.steps, 6);  // stopped in the eighth step
  EXPECT_EQ(Difference(StateOf(machine), before_), "");
  EXPECT_EQ(failed.rollback.putBack.size(), 5u);  // the program, two files, setup's own two
  EXPECT_FALSE(machine.files.Exists(L"C:\\Windows\\Temp\\Morvane Setup 1"));
}

TEST_F(Installing, FolderOthersMakeOnTheWayMeanwhileStopsItBeforeAnyFile) {
  // Someone who may make folders in C:\ makes C:\WinUtil after the checks.
  machine.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op != FileOp::MakeDirectory || path.size() <= 3 || machine.files.IsDirectory(L"C:\\WinUtil")) return std::nullopt;
    machine.files.AddDirectory(L"C:\\WinUtil");
    FolderSecurity theirs = FakeFileSystem::ProtectedFolder();
    theirs.owner = Trustee::Other;
    machine.files.SetSecurity(L"C:\\WinUtil", theirs);
    return FakeFileSystem::Error(183);
  };
  OperationResult result = InstallTo(L"C:\\WinUtil\\Morvane");
  ASSERT_TRUE(std::holds_alternative<StepFailed>(result));
  EXPECT_EQ(std::get<StepFailed>(result).failure.name, L"C:\\WINUTIL");
  EXPECT_EQ(std::get<StepFailed>(result).failure.description, texts::kOwnedByOthers);
  EXPECT_FALSE(machine.files.Exists(L"C:\\WINUTIL\\MORVANE"));

  // A link put there instead has no folder made where it leads.
  machine.files.AddDirectory(L"C:\\Victim");
  machine.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op != FileOp::MakeDirectory || path != L"C:\\TOOLS\\") return std::nullopt;
    machine.files.MakeFolderLink(L"C:\\Tools", L"C:\\Victim");
    return FakeFileSystem::Error(183);
  };
  result = InstallTo(L"C:\\Tools\\Morvane");
  ASSERT_TRUE(std::holds_alternative<StepFailed>(result));
  EXPECT_EQ(std::get<StepFailed>(result).failure.description, texts::kFolderIsALink);
  EXPECT_TRUE(machine.files.List(L"C:\\Victim").empty());
  // One put above the folders once they are made keeps them from being
  // removed through it: they are named as not put back.
  machine.files.AddDirectory(L"C:\\Victim\\Morvane\\Undo");
  machine.files.failWhen = [&](FileOp op, const std::wstring&) -> std::optional<FileError> {
    if (op != FileOp::Create || machine.files.IsLink(L"C:\\Apps")) return std::nullopt;
    machine.files.MakeFolderLink(L"C:\\Apps", L"C:\\Victim");
    return FakeFileSystem::Error(5);
  };
  result = InstallTo(L"C:\\Apps\\Morvane");
  ASSERT_TRUE(std::holds_alternative<StepFailed>(result));
  EXPECT_EQ(std::get<StepFailed>(result).rollback.notPutBack.size(), 6u);  // C:\Apps, Morvane and its four
  EXPECT_EQ(machine.files.List(L"C:\\Victim").size(), 2u);
}

TEST_F(Installing, StepsThatMayFailWithoutHarmStillComplete) {
  // No editor to start, no library for the shortcuts: nothing that the
  // installed product needs.
  machine.processes.startFails = true;
  machine.companion.loaded = false;
  EXPECT_TRUE(std::holds_alternative<Done>(InstallTo(L"C:\\WinUtil\\Morvane")));
  EXPECT_TRUE(machine.files.IsOrdinaryFile(std::wstring(kKit) + L"\\morvane.7"));
}

TEST_F(Installing, TheKitsOwnFolderIsNoTarget) {
  // The kit unpacked where Morvane is to go, and the setup started there.
  machine.AddKit(L"C:\\WinUtil\\Morvane");
  before_ = StateOf(machine);
  for (const wchar_t* typed : {L"c:\\winutil\\morvane\\", L"C:\\WinUtil\\Morvane\\Program"}) {
    SCOPED_TRACE(Narrow(typed));
    ExpectRefused(Install({.target = typed,
                           .kitDirectory = kKit,
                           .replaces = std::nullopt,
                           .startDirectory = L"C:\\WinUtil\\Morvane"},
                          machine.system, questions, progress),
                  RefusalReason::KitFolder);
  }
}

TEST_F(Installing, ScriptCopyGoesOnlyOnceTheRegistryEditorLetsGoOfIt) {
  for (auto runsFor : {std::chrono::seconds(20), std::chrono::seconds(300)}) {  // within the wait, and longer
    FakeSystem machine;
    machine.AddKit(L"C:\\Kit");
    std::unique_ptr<InputFile> script;  // the editor's open file
    machine.processes.onStart = [&] {
      FileError error;
      script = machine.files.OpenForReading(kScriptCopy, error);
    };
    machine.processes.onExit = [&] { script.reset(); };
    machine.processes.runsFor = runsFor;
    EXPECT_TRUE(std::holds_alternative<Done>(
        Install({.target = L"C:\\WinUtil\\Morvane", .kitDirectory = L"C:\\Kit", .replaces = std::nullopt},
                machine.system, questions, progress)));
    // Still held: it stays where only administrators reach it.
    EXPECT_EQ(machine.files.Exists(kScriptCopy), script != nullptr);
    EXPECT_EQ(script != nullptr, runsFor > kPresetsImportWait);
  }
}

TEST_F(Installing, ReinstallReplacesEveryFileAndLeavesTheUsersOwn) {
  InstallEarlierVersion();
  // Someone made TestThis a link to a folder with files of the test files'
  // names: they are not emptied, and the rest installs.
  machine.files.AddFile(L"C:\\Victim\\01_Artist___CD___Title.tst", "not the setup's");
  machine.files.MakeFolderLink(kTarget + std::wstring(L"TestThis"), L"C:\\Victim");
  ASSERT_TRUE(std::holds_alternative<Done>(InstallTo(kTarget)));
  EXPECT_EQ(machine.files.Contents(L"C:\\Victim\\01_Artist___CD___Title.tst"), "not the setup's");
  EXPECT_EQ(machine.files.List(L"C:\\Victim").size(), 1u);
  EXPECT_EQ(machine.files.Contents(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"), "morvane.1");
  EXPECT_EQ(machine.files.Contents(L"C:\\WINUTIL\\MORVANE\\setup.exe"), "setup.exe");
  EXPECT_EQ(machine.files.Contents(L"C:\\WINUTIL\\MORVANE\\Help\\AddPath.bmp"), "morvane.5");
  EXPECT_EQ(machine.files.Contents(L"C:\\WINUTIL\\MORVANE\\Undo\\undo.dat"), "the user's");
  // A value of the entry the setup never writes stays; the copies kept for a rollback are gone.
  EXPECT_EQ(machine.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, L"Comments"), L"not the setup's");
  EXPECT_FALSE(machine.files.Exists(L"C:\\Windows\\Temp\\Morvane Setup 1"));
}

}  // namespace
}  // namespace install
