#include "install/installation.h"

#include <gtest/gtest.h>

#include "app/fakes/fake_setup.h"
#include "app/texts.h"

namespace install {
namespace {

using enum Control;

constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE";
// Where the presets script is imported from: the first work folder of a run.
constexpr const wchar_t* kScriptCopy = L"C:\\Windows\\Temp\\Morvane Setup 1\\presets.reg";

class InstallationTest : public ::testing::Test {
 protected:
  InstallationTest() {
    setup.environment.setupDirectory = L"C:\\Users\\jane\\Kit";
    setup.environment.variables = {{L"ProgramW6432", L"C:\\Program Files"},
                                   {L"ProgramFiles(x86)", L"C:\\Program Files (x86)"},
                                   {L"WinDir", L"C:\\Users\\jane\\bin"}};  // set by the user: never used
    setup.AddKit(L"C:\\Users\\jane\\Kit");
    setup.main.Form_Load();
    before_ = setup.files.List(L"C:\\");
  }

  void InstallTo(const std::wstring& typed) {
    setup.form.SetText(Text1, typed);
    setup.main.cmdNext_Click(0);
  }

  void ExpectUnchangedAfterRefusal(const wchar_t* message, int flags) {
    ASSERT_EQ(setup.messages.shown.size(), 1u);
    EXPECT_EQ(setup.messages.shown[0].text, message);
    EXPECT_EQ(setup.messages.shown[0].flags, flags);
    EXPECT_EQ(setup.form[Label1].text, L"Click Next to install Morvane by Halvo to your computer.");
    EXPECT_TRUE(setup.form[cmdNext0].visible);
    EXPECT_TRUE(setup.form[Text1].visible);
    EXPECT_EQ(setup.form[Command1].text, L"&Cancel");
    EXPECT_EQ(setup.form[lblProgFore].text, L"");
    EXPECT_EQ(setup.files.List(L"C:\\"), before_);
    EXPECT_FALSE(setup.settings.InstallDir());
    EXPECT_EQ(setup.form.focused, Text1);  // for the corrected target
  }

  void ExpectFailedAtStep(int steps) {
    EXPECT_EQ(setup.form[Label1].text, L"An error occured while installing.");
    EXPECT_EQ(setup.form[lblProgFore].text, std::wstring(2 * steps, L'_'));
    EXPECT_TRUE(setup.form[Command1].visible);
    EXPECT_EQ(setup.form[Command1].text, L"E&xit");
    EXPECT_EQ(setup.ui.pointer, MousePointer::Default);
  }

  std::wstring FailureText() const {
    return setup.messages.shown.empty() ? L"" : setup.messages.shown.back().text;
  }

  FakeSetup setup;
  std::vector<std::wstring> before_;
};

TEST_F(InstallationTest, NormalInstallationLeavesEveryPieceInPlace) {
  // A work folder name someone made already is passed over, with what it holds.
  setup.files.AddFile(L"C:\\Windows\\Temp\\Morvane Setup 1\\presets.reg", "planted");
  const std::wstring scriptCopy = L"C:\\Windows\\Temp\\Morvane Setup 2\\presets.reg";
  std::vector<std::wstring> kitBefore = setup.files.List(L"C:\\Users\\jane\\Kit");
  bool copyReadWhileKitHeld = false;
  setup.processes.onWait = [&] {
    FileError error;
    copyReadWhileKitHeld = setup.files.Contents(scriptCopy) == "morvane.7" &&
                           !setup.files.CreateForWriting(L"C:\\Users\\jane\\Kit\\morvane.7", UsersMay::ReadAndExecute, error) &&
                           !setup.files.RemoveFile(L"C:\\Users\\jane\\Kit\\setup.exe");
  };
  InstallTo(L"C:\\WinUtil\\Morvane");

  EXPECT_TRUE(setup.messages.shown.empty());
  std::vector<std::wstring> expected = {
      L"C:\\WINUTIL\\MORVANE\\about.htm",
      L"C:\\WINUTIL\\MORVANE\\FileList",
      L"C:\\WINUTIL\\MORVANE\\Help",
      L"C:\\WINUTIL\\MORVANE\\Help\\AddFile.bmp",
      L"C:\\WINUTIL\\MORVANE\\Help\\AddPath.bmp",
      L"C:\\WINUTIL\\MORVANE\\Help\\FileList.htm",
      L"C:\\WINUTIL\\MORVANE\\Morvane.exe",
      L"C:\\WINUTIL\\MORVANE\\screenshot.jpg",
      L"C:\\WINUTIL\\MORVANE\\setup.dll",
      L"C:\\WINUTIL\\MORVANE\\setup.exe",
      L"C:\\WINUTIL\\MORVANE\\TestThis",
  };
  for (int n = 1; n <= 10; ++n) {
    expected.push_back(std::wstring(L"C:\\WINUTIL\\MORVANE\\TestThis\\") + (n < 10 ? L"0" : L"") +
                       std::to_wstring(n) + L"_Artist___CD___Title.tst");
  }
  expected.push_back(L"C:\\WINUTIL\\MORVANE\\Undo");
  std::vector<std::wstring> listed = setup.files.List(L"C:\\WINUTIL");
  ASSERT_FALSE(listed.empty()) << "nothing made under C:\\WINUTIL";
  EXPECT_EQ(listed.front(), L"C:\\WINUTIL\\MORVANE");
  listed.erase(listed.begin());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(setup.files.StoredName(L"C:\\WinUtil"), L"C:\\WINUTIL");
  EXPECT_EQ(setup.files.Contents(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"), "morvane.1");
  EXPECT_EQ(setup.files.Contents(L"C:\\WINUTIL\\MORVANE\\Help\\FileList.htm"), "morvane.6");
  EXPECT_EQ(setup.files.Contents(L"C:\\WINUTIL\\MORVANE\\TestThis\\07_Artist___CD___Title.tst"), "");
  // Every folder made gets its own access list; only the product's working folders let users write.
  EXPECT_EQ(setup.files.protectedFolders, (std::map<std::wstring, UsersMay>{
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
    if (setup.files.IsDirectory(path)) continue;
    files[path] = path.ends_with(L".tst") ? UsersMay::Modify : UsersMay::ReadAndExecute;
  }
  files[scriptCopy] = UsersMay::ReadAndExecute;  // the script's copy too, though it is gone by now
  EXPECT_EQ(setup.files.protectedFiles, files);

  // The editor imported a copy of the script in a folder of this run's own,
  // while the kit was held against writing and deleting; the copy and its
  // folder went afterwards, and the kit was never changed.
  ASSERT_EQ(setup.processes.started.size(), 1u);
  EXPECT_EQ(setup.processes.started[0].program, L"C:\\windows\\regedit.exe");
  EXPECT_EQ(setup.processes.started[0].commandLine,
            L"\"C:\\windows\\regedit.exe\" /s \"" + scriptCopy + L"\"");
  EXPECT_TRUE(copyReadWhileKitHeld);
  EXPECT_EQ(setup.processes.waits, std::vector<std::chrono::milliseconds>{std::chrono::seconds(30)});
  EXPECT_FALSE(setup.files.Exists(L"C:\\Windows\\Temp\\Morvane Setup 2"));
  EXPECT_EQ(setup.files.Contents(L"C:\\Windows\\Temp\\Morvane Setup 1\\presets.reg"), "planted");
  EXPECT_EQ(setup.files.List(L"C:\\Users\\jane\\Kit"), kitBefore);
  EXPECT_EQ(setup.files.Contents(L"C:\\Users\\jane\\Kit\\morvane.7"), "morvane.7");

  ASSERT_EQ(setup.companion.calls.size(), 3u);  // the disk space at start, then the two shortcuts
  for (int i : {1, 2}) {
    EXPECT_EQ(setup.companion.calls[i].function, L"fCreateShellLink");
    EXPECT_EQ(setup.companion.calls[i].name, L"Morvane");
    EXPECT_EQ(setup.companion.calls[i].target, L"C:\\WINUTIL\\MORVANE\\Morvane.exe");
    EXPECT_EQ(setup.companion.calls[i].arguments, L"");
  }
  EXPECT_EQ(setup.companion.calls[1].folder, L"..\\..\\Desktop");
  EXPECT_EQ(setup.companion.calls[2].folder, L"");

  EXPECT_EQ(setup.settings.InstallDir(), L"C:\\WINUTIL\\MORVANE\\");
  EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, kUninstallKey, L"DisplayName"), L"Morvane by Halvo 2.4.5.w11");
  EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, kUninstallKey, L"UninstallString"),
            L"C:\\WINUTIL\\MORVANE\\setup.exe");
  EXPECT_EQ(setup.registry.openHandles(), 0u);

  EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
  EXPECT_EQ(setup.form[lblProgFore].text, std::wstring(28, L'_'));
  EXPECT_TRUE(setup.form[Command1].visible);
  EXPECT_EQ(setup.form[Command1].text, L"E&xit");
  for (Control c : {cmdNext0, cmdNext1, Text1, cmdBrowse, Label2, lblDisk, lblDiskReq, lblDiskFree}) {
    EXPECT_FALSE(setup.form[c].visible) << DesignOf(c).id;
  }
  for (Control c : {lblProgBack, lblProgFore, lblProgZero, lblProgHundred}) EXPECT_TRUE(setup.form[c].visible);
  EXPECT_EQ(setup.ui.pointer, MousePointer::Default);
}

TEST_F(InstallationTest, TooShortOrNotAFullPathIsRefusedAndChangesNothing) {
  setup.files.AddDrive(L'D');
  for (const wchar_t* typed : {L"", L"C:", L"Morvane", L"D:Morvane", L"\\Morvane", L"C:/Tools/Morvane",
                               L"\\\\?\\C:\\Morvane", L"\\\\.\\C:\\Morvane", L"\\\\server"}) {
    setup.messages.shown.clear();
    InstallTo(typed);
    ExpectUnchangedAfterRefusal(L"Enter target directory for installation first.", 16);
  }
  // On 32-bit Windows neither Program Files variable is set.
  setup.environment.variables = {{L"WinDir", L"C:\\windows"}};
  setup.messages.shown.clear();
  InstallTo(L"C:");
  ExpectUnchangedAfterRefusal(L"Enter target directory for installation first.", 16);
}

TEST_F(InstallationTest, TargetsOthersCouldChangeAreRefusedAndChangeNothing) {
  using enum Trustee;
  FolderSecurity standard = FakeFileSystem::ProtectedFolder();
  auto with = [&](std::vector<AccessEntry> more, Trustee owner = Administrators) {
    FolderSecurity security = standard;
    security.owner = owner;
    security.entries.insert(security.entries.end(), more.begin(), more.end());
    return security;
  };
  struct Case {
    const wchar_t* existing;  // given the security below
    FolderSecurity security;
    const wchar_t* typed;
    const wchar_t* refused;  // the folder the message names
    const wchar_t* reason;
  };
  const Case cases[] = {
      {L"E:\\", {.result = FolderRead::NoAccessLists}, L"E:\\Morvane", L"E:\\", texts::kKeepsNoAccessList},
      {L"C:\\Tools\\Morvane", with({}, Other), L"C:\\Tools\\Morvane", L"C:\\Tools\\Morvane", texts::kOwnedByOthers},
      {L"C:\\Open\\Morvane", with({{Other, true, 0x1301BF}}), L"C:\\Open\\Morvane\\", L"C:\\Open\\Morvane",
       texts::kOthersMayAddFiles},
      {L"C:\\Shared\\Morvane", with({{Other, true, rights::kGenericAll}}), L"C:\\Shared\\Morvane\\Deeper",
       L"C:\\Shared\\Morvane", texts::kOthersMayDelete},  // a folder above, as C:\ passes on its rights
      {L"C:\\Perm", with({{Other, true, rights::kWriteDac}}), L"C:\\Perm\\Morvane", L"C:\\Perm",
       texts::kOthersMayRepermission},
      {L"C:\\Drop", with({{Other, true, rights::kDeleteChild}}), L"C:\\Drop\\Morvane", L"C:\\Drop\\Morvane",
       texts::kOthersMayDelete},
      {L"C:\\Loose", with({{Other, true, rights::kDeleteChild}}), L"C:\\Loose\\New", L"C:\\Loose\\New",
       texts::kOthersMayDelete},  // not there yet: made protected, it could still be renamed away
      {L"C:\\Locked", {.result = FolderRead::Unreadable}, L"C:\\Locked\\Morvane", L"C:\\Locked",
       texts::kAccessListUnreadable},
  };
  setup.files.AddDrive(L'E');
  for (const Case& c : cases) {
    setup.files.AddDirectory(c.existing);
    setup.files.SetSecurity(c.existing, c.security);
  }
  setup.files.AddDirectory(L"C:\\Drop\\Morvane");
  before_ = setup.files.List(L"C:\\");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    setup.messages.shown.clear();
    InstallTo(c.typed);
    std::wstring message = std::wstring(L"Morvane can not be installed safely here:\r\n\r\n") + c.refused +
                           L"\r\n\r\n" + c.reason + L"\r\n\r\nChoose another folder, or create a new one.";
    ExpectUnchangedAfterRefusal(message.c_str(), 16);
    EXPECT_TRUE(setup.files.List(L"E:\\").empty());
  }

  // Rights only for what users make inside, a deny, a placeholder owner's
  // entry, and a folder of the account running the setup do not count.
  setup.files.SetSecurity(L"C:\\Tools\\Morvane",
                          with({{Other, true, 0x1301BF, true}, {Other, false, rights::kFileAllAccess},
                                {CreatorOwner, true, rights::kFileAllAccess}},
                               CurrentUser));
  setup.messages.shown.clear();
  InstallTo(L"C:\\Tools\\Morvane");
  EXPECT_TRUE(setup.messages.shown.empty());
  EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
}

TEST_F(InstallationTest, ProgramFilesTargetsAreRefusedInAnySpelling) {
  setup.files.AddShortName(L"C:\\PROGRA~1", L"C:\\Program Files");
  setup.files.AddShortName(L"C:\\PROGRA~2", L"C:\\Program Files (x86)");
  for (const wchar_t* typed :
       {L"c:\\program files\\Morvane", L"C:\\Program Files (x86)\\Morvane", L"C:\\Program FilesX",
        L"C:\\PROGRA~1\\Morvane", L"C:/Program Files/Morvane", L"C:\\Program Files\\..\\Program Files\\Morvane",
        L"c:\\Tools\\..\\PROGRA~2"}) {
    setup.messages.shown.clear();
    InstallTo(typed);
    ExpectUnchangedAfterRefusal(
        L"Morvane can not be installed in Program Files due to permission for writing Undo files. Choose another "
        L"folder.",
        64);
  }
}

TEST_F(InstallationTest, ProgramFilesX86IsRefusedOnItsOwn) {
  // Values that share no leading part: only the x86 test can refuse these.
  setup.environment.variables = {{L"ProgramFiles(x86)", L"D:\\Apps32"}, {L"WinDir", L"C:\\windows"}};
  InstallTo(L"d:\\apps32\\Morvane");
  ExpectUnchangedAfterRefusal(
      L"Morvane can not be installed in Program Files due to permission for writing Undo files. Choose another "
      L"folder.",
      64);
}

TEST_F(InstallationTest, ProgramFilesOnAnotherDriveOrWithoutTheVariablesIsAccepted) {
  setup.files.AddDrive(L'D');
  InstallTo(L"D:\\Program Files\\Morvane");
  EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");

  FakeSetup bare;
  bare.AddKit(L"C:\\Kit");
  bare.main.Form_Load();
  bare.form.SetText(Text1, L"C:\\Program Files\\Morvane");
  bare.main.cmdNext_Click(0);
  EXPECT_EQ(bare.form[Label1].text, L"Completed installation.");
}

TEST_F(InstallationTest, DriveRootIsAcceptedAsATarget) {
  InstallTo(L"C:\\");
  EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
  EXPECT_TRUE(setup.files.IsOrdinaryFile(L"C:\\Morvane.exe"));
  EXPECT_TRUE(setup.files.IsDirectory(L"C:\\FileList"));
  EXPECT_EQ(setup.settings.InstallDir(), L"C:\\");
}

TEST_F(InstallationTest, FolderOthersMakeOnTheWayMeanwhileStopsItBeforeAnyFile) {
  // Someone who may make folders in C:\ makes C:\WinUtil after the entry tests.
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op != FileOp::MakeDirectory || path.size() <= 3 || setup.files.IsDirectory(L"C:\\WinUtil")) return std::nullopt;
    setup.files.AddDirectory(L"C:\\WinUtil");
    FolderSecurity theirs = FakeFileSystem::ProtectedFolder();
    theirs.owner = Trustee::Other;
    setup.files.SetSecurity(L"C:\\WinUtil", theirs);
    return FakeFileSystem::Error(183);
  };
  InstallTo(L"C:\\WinUtil\\Morvane");
  EXPECT_EQ(FailureText(), L"An error occured while writing the following file: \r\nC:\\WINUTIL\r\n\r\n"
                           L"This folder belongs to a user who is not an administrator.\r\n\r\n"
                           L"Setup can not continue the installation.");
  EXPECT_FALSE(setup.files.Exists(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"));
}

TEST_F(InstallationTest, ReadOnlyScreenshotStopsTheInstallationAfterTheProgram) {
  setup.files.AddFile(L"C:\\WINUTIL\\MORVANE\\screenshot.jpg", "old", {.readOnly = true});
  InstallTo(L"C:\\WinUtil\\Morvane");
  EXPECT_EQ(FailureText(), L"An error occured while writing the following file: \r\nSCREENSHOT.JPG\r\n\r\n"
                           L"Access is denied.\r\n\r\nSetup can not continue the installation.");
  EXPECT_EQ(setup.messages.shown.back().flags, 16);
  ExpectFailedAtStep(3);
  EXPECT_TRUE(setup.files.IsOrdinaryFile(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"));
  EXPECT_FALSE(setup.files.Exists(L"C:\\WINUTIL\\MORVANE\\about.htm"));
  EXPECT_FALSE(setup.settings.InstallDir());
  EXPECT_FALSE(setup.registry.KeyExists(hkey::kLocalMachine, kUninstallKey));
  EXPECT_EQ(setup.companion.calls.size(), 1u);  // only the disk space at start
}

TEST_F(InstallationTest, KitFileRemovedAfterStartIsAReadFailure) {
  setup.files.RemoveFile(L"C:\\Users\\jane\\Kit\\morvane.2");
  setup.files.AddFile(L"C:\\WINUTIL\\MORVANE\\screenshot.jpg", "left alone");
  InstallTo(L"C:\\WinUtil\\Morvane");
  EXPECT_NE(FailureText().find(L"reading the following file: \r\nMORVANE.2\r\n"), std::wstring::npos);
  EXPECT_EQ(setup.files.Contents(L"C:\\WINUTIL\\MORVANE\\screenshot.jpg"), "left alone");
  ExpectFailedAtStep(3);
}

TEST_F(InstallationTest, WorkFolderThatCannotBeMadeStopsBeforeTheImport) {
  setup.files.failWhen = [](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::MakeDirectory && path.find(L"Morvane Setup") != std::wstring::npos) return FakeFileSystem::Error(5);
    return std::nullopt;
  };
  InstallTo(L"C:\\WinUtil\\Morvane");
  EXPECT_NE(FailureText().find(L"writing the following file: \r\nPRESETS.REG\r\n"), std::wstring::npos);
  EXPECT_TRUE(setup.processes.started.empty());
  ExpectFailedAtStep(10);
}

TEST_F(InstallationTest, TestFileThatCannotBeMadeStopsItAndTheKitStaysComplete) {
  setup.files.failWhen = [](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Create && path.ends_with(L"05_Artist___CD___Title.tst")) return FakeFileSystem::Error(5);
    return std::nullopt;
  };
  bool scriptThereWhileImporting = false;
  setup.processes.onWait = [&] { scriptThereWhileImporting = setup.files.IsOrdinaryFile(kScriptCopy); };
  InstallTo(L"C:\\WinUtil\\Morvane");
  ASSERT_EQ(setup.messages.shown.size(), 1u);
  EXPECT_NE(FailureText().find(L"writing the following file: \r\n10x empty test file\r\n"), std::wstring::npos);
  ExpectFailedAtStep(11);
  // The editor had its time with the script before its copy went.
  EXPECT_TRUE(scriptThereWhileImporting);
  EXPECT_FALSE(setup.files.Exists(kScriptCopy));
  EXPECT_TRUE(setup.main.CompleteInstallKit(L""));
  EXPECT_FALSE(setup.settings.InstallDir());
}

TEST_F(InstallationTest, TargetTooLongForItsFilesStopsAtTheFirstAndKeepsTheEarlierInstallation) {
  setup.settings.SetInstallDir(L"C:\\WINUTIL\\MORVANE\\");
  // 243 characters with its backslash: "Help" can be made, "Help\FileList.htm" is one too long.
  std::wstring target = L"C:\\" + std::wstring(227, L'm') + L"\\" + std::wstring(11, L'n');
  InstallTo(target);
  EXPECT_EQ(FailureText(), L"An error occured while writing the following file: \r\nHELP\\FILELIST.HTM\r\n\r\n"
                           L"The filename or extension is too long.\r\n\r\nSetup can not continue the installation.");
  ExpectFailedAtStep(9);
  EXPECT_EQ(setup.settings.InstallDir(), L"C:\\WINUTIL\\MORVANE\\");
  EXPECT_TRUE(setup.main.CompleteInstallKit(L""));
}

TEST_F(InstallationTest, InstallingFromTheTargetItselfSkipsSetupAndStillMakesFourteenSteps) {
  setup.environment.setupDirectory = L"C:\\WinUtil\\Morvane";
  setup.AddKit(L"C:\\WinUtil\\Morvane");
  std::vector<std::wstring> created;
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Create) created.push_back(path);
    return std::nullopt;
  };
  InstallTo(L"c:\\winutil\\morvane\\");
  EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
  EXPECT_EQ(setup.form[lblProgFore].text, std::wstring(28, L'_'));
  for (const std::wstring& path : created) {
    EXPECT_FALSE(path.ends_with(L"setup.exe") || path.ends_with(L"setup.dll")) << std::string(path.begin(), path.end());
  }
  EXPECT_EQ(setup.files.Contents(L"C:\\WinUtil\\Morvane\\setup.exe"), "setup.exe");
}

TEST_F(InstallationTest, HiddenLibraryInTheTargetItselfIsAWriteFailureNotAnEmptyFile) {
  // Hidden, the library counts as absent, so it is copied onto itself: the
  // open source keeps the destination from being truncated.
  setup.environment.setupDirectory = L"C:\\WinUtil\\Morvane";
  setup.AddKit(L"C:\\WinUtil\\Morvane");
  setup.files.SetAttributes(L"C:\\WinUtil\\Morvane\\setup.dll", {.hidden = true});
  InstallTo(L"C:\\WinUtil\\Morvane");
  EXPECT_EQ(FailureText(), L"An error occured while writing the following file: \r\nSETUP.DLL\r\n\r\n"
                           L"The process cannot access the file because it is being used by another process."
                           L"\r\n\r\nSetup can not continue the installation.");
  ExpectFailedAtStep(5);
  EXPECT_EQ(setup.files.Contents(L"C:\\WinUtil\\Morvane\\setup.dll"), "setup.dll");
}

TEST_F(InstallationTest, ScriptCopyGoesOnlyOnceTheRegistryEditorLetsGoOfIt) {
  for (auto runsFor : {std::chrono::seconds(20), std::chrono::seconds(300)}) {  // within the wait, and longer
    FakeSetup setup;
    setup.environment.setupDirectory = L"C:\\Kit";
    setup.AddKit(L"C:\\Kit");
    std::unique_ptr<InputFile> script;  // the editor's open file
    setup.processes.onStart = [&] {
      FileError error;
      script = setup.files.OpenForReading(kScriptCopy, error);
    };
    setup.processes.onExit = [&] { script.reset(); };
    setup.processes.runsFor = runsFor;
    setup.main.Form_Load();
    setup.form.SetText(Text1, L"C:\\WinUtil\\Morvane");
    setup.main.cmdNext_Click(0);
    EXPECT_TRUE(setup.messages.shown.empty());
    EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
    // Still held: it stays where only administrators reach it.
    EXPECT_EQ(setup.files.Exists(kScriptCopy), script != nullptr);
    EXPECT_EQ(script != nullptr, runsFor > kPresetsImportWait);
  }
}

TEST_F(InstallationTest, ReinstallReplacesEveryFile) {
  for (const wchar_t* name : {L"Morvane.exe", L"setup.exe", L"Help\\AddPath.bmp"}) {
    setup.files.AddFile(std::wstring(L"C:\\WINUTIL\\MORVANE\\") + name, "previous version, longer");
  }
  // Someone made TestThis a link to a folder with files of the test files'
  // names: they are not emptied, and the rest installs.
  setup.files.AddFile(L"C:\\Victim\\01_Artist___CD___Title.tst", "not the setup's");
  setup.files.MakeFolderLink(L"C:\\WINUTIL\\MORVANE\\TestThis", L"C:\\Victim");
  InstallTo(L"C:\\WINUTIL\\MORVANE\\");
  EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
  EXPECT_EQ(setup.files.Contents(L"C:\\Victim\\01_Artist___CD___Title.tst"), "not the setup's");
  EXPECT_EQ(setup.files.List(L"C:\\Victim").size(), 1u);
  EXPECT_EQ(setup.files.Contents(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"), "morvane.1");
  EXPECT_EQ(setup.files.Contents(L"C:\\WINUTIL\\MORVANE\\setup.exe"), "setup.exe");
  EXPECT_EQ(setup.files.Contents(L"C:\\WINUTIL\\MORVANE\\Help\\AddPath.bmp"), "morvane.5");
}

TEST_F(InstallationTest, PathsWithBlanksAreQuotedForTheEditorAndTheUninstallEntry) {
  setup.environment.setupDirectory = L"C:\\Users\\Jane Doe\\Downloads\\Morvane kit";
  setup.AddKit(setup.environment.setupDirectory);
  InstallTo(L"C:\\My Tools\\Morvane");
  EXPECT_EQ(setup.processes.started.at(0).commandLine,
            L"\"C:\\windows\\regedit.exe\" /s \"C:\\Windows\\Temp\\Morvane Setup 1\\presets.reg\"");
  EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, kUninstallKey, L"UninstallString"),
            L"\"C:\\MY TOOLS\\MORVANE\\setup.exe\"");
}

TEST_F(InstallationTest, UnstartableEditorOrMissingRightsStillComplete) {
  setup.processes.startFails = true;
  setup.registry.DenyWrites(hkey::kLocalMachine, L"Software");
  setup.companion.loaded = false;
  InstallTo(L"C:\\WinUtil\\Morvane");
  EXPECT_TRUE(setup.messages.shown.empty());
  EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
  EXPECT_TRUE(setup.files.IsOrdinaryFile(L"C:\\Users\\jane\\Kit\\MORVANE.7"));
}

TEST_F(InstallationTest, ClosingTheWindowMidwayEndsAtOnceAndKeepsWhatWasCopied) {
  setup.end.onUnloadMain = [this] { setup.main.Form_QueryUnload(); };
  setup.ui.onTurn = [this] {
    if (setup.form[lblProgFore].text.size() == 8) setup.main.Form_QueryUnload();  // at step 4
  };
  setup.form.SetText(Text1, L"C:\\WinUtil\\Morvane");
  EXPECT_THROW(setup.main.cmdNext_Click(0), ProcessEnded);
  EXPECT_EQ(setup.end.ends, 1);
  EXPECT_TRUE(setup.files.IsOrdinaryFile(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"));
  EXPECT_TRUE(setup.files.IsOrdinaryFile(L"C:\\WINUTIL\\MORVANE\\screenshot.jpg"));
  EXPECT_FALSE(setup.files.Exists(L"C:\\WINUTIL\\MORVANE\\about.htm"));
  EXPECT_FALSE(setup.settings.InstallDir());
}

TEST_F(InstallationTest, UninstallEntryDescribesTheInstallation) {
  setup.files.AddFile(L"C:\\Users\\jane\\Kit\\morvane.1", std::string(3000, 'M'));
  InstallTo(L"C:\\WinUtil\\Morvane");
  auto text = [&](const wchar_t* name) {
    const FakeRegistry::Value* value = setup.registry.Find(hkey::kLocalMachine, kUninstallKey, name);
    return value && value->type == 1 ? setup.registry.Text(hkey::kLocalMachine, kUninstallKey, name) : std::wstring(L"(not text)");
  };
  auto number = [&](const wchar_t* name) {
    const FakeRegistry::Value* value = setup.registry.Find(hkey::kLocalMachine, kUninstallKey, name);
    if (!value || value->type != 4 || value->bytes.size() != 4) return -1;
    return value->bytes[0] | value->bytes[1] << 8 | value->bytes[2] << 16 | value->bytes[3] << 24;
  };
  EXPECT_EQ(text(L"DisplayVersion"), L"2.4.5");
  EXPECT_EQ(text(L"Publisher"), L"Halvo");
  EXPECT_EQ(text(L"DisplayIcon"), L"C:\\WINUTIL\\MORVANE\\Morvane.exe,0");
  EXPECT_EQ(text(L"InstallLocation"), L"C:\\WINUTIL\\MORVANE\\");
  // 3000 bytes of program and seven kit files of 9 bytes each: 3063 bytes.
  EXPECT_EQ(number(L"EstimatedSize"), 3);
  EXPECT_EQ(number(L"NoModify"), 1);
  EXPECT_EQ(number(L"NoRepair"), 1);
}

TEST(NextButton, OtherInstancesOnlyRunTheClosingSteps) {
  for (int index : {3, -1}) {
    FakeSetup setup;
    setup.AddKit(L"C:\\Kit");
    setup.main.Form_Load();
    setup.ui.pointer = MousePointer::Hourglass;
    setup.main.cmdNext_Click(index);
    EXPECT_EQ(setup.form[Command1].text, L"E&xit");
    EXPECT_TRUE(setup.form[Command1].visible);
    EXPECT_EQ(setup.ui.pointer, MousePointer::Default);
    EXPECT_EQ(setup.files.List(L"C:\\").size(), 11u);
  }
}

}  // namespace
}  // namespace install
