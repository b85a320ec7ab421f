#include "uninstall/uninstall_action.h"

#include <gtest/gtest.h>


#include "app/fakes/fake_setup.h"

namespace uninstall {
namespace {

using enum Control;

constexpr const wchar_t* kD = L"C:\\WINUTIL\\MORVANE\\";
constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE";
constexpr const wchar_t* kDeleteTheRest =
    L"Uninstalled. Please delete the remaining SETUP and own files from the Morvane folder.";

std::wstring In(const std::wstring& relative) { return kD + relative; }

// A machine on which Morvane was installed from C:\Kit into its default
// folder; the uninstall entry then starts the installed setup.exe.
class Removal : public ::testing::Test {
 protected:
  Removal() {
    setup.AddKit(L"C:\\Kit");
    setup.main.Form_Load();
    setup.main.cmdNext_Click(0);
    EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
    setup.form = FakeMainForm();
    setup.companion.calls.clear();
    setup.environment.setupDirectory = L"C:\\WINUTIL\\MORVANE";
  }

  // The installed setup starts (in the removal state) and Uninstall is pressed.
  void StartAndUninstall() {
    setup.main.Form_Load();
    EXPECT_EQ(setup.form[Label1].text, L"Remove Morvane");
    setup.main.cmdNext_Click(1);
  }

  bool EntryExists() const { return setup.registry.KeyExists(hkey::kLocalMachine, kUninstallKey); }

  // Only the confirmation came up.
  void ExpectOnlyTheQuestion() const {
    ASSERT_EQ(setup.messages.shown.size(), 1u);
    EXPECT_EQ(setup.messages.shown[0].text, L"Are you sure you want to uninstall?");
    EXPECT_EQ(setup.messages.shown[0].flags, 52);
  }

  void ExpectEndState(const wchar_t* caption) const {
    EXPECT_EQ(setup.form[Label1].text, caption);
    for (Control c : {cmdNext0, cmdNext1, cmdNext2, Label2, Text1}) EXPECT_FALSE(setup.form[c].visible);
    EXPECT_TRUE(setup.form[Command1].visible);
    EXPECT_EQ(setup.form[Command1].text, L"E&xit");
    EXPECT_EQ(setup.ui.pointer, MousePointer::Default);
  }

  FakeSetup setup;
};

TEST_F(Removal, YesRemovesTheNamedEntriesInOrderAndNothingElse) {
  setup.files.AddFile(In(L"Help\\mine.txt"), "the user's");
  setup.files.AddFile(In(L"TestThis\\keep.tstx"), "the user's");
  setup.files.SetShortName(In(L"TestThis\\keep.tstx"), L"KEEP~1.TST");  // what Windows matches "*.tst" against
  setup.files.AddFile(In(L"TestThis\\LOUD.TST"), "");
  setup.files.AddFile(In(L"Undo\\undo.lst"), "the user's");
  std::vector<std::wstring> log;
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Remove || op == FileOp::RemoveDirectory) log.push_back(path);
    // The library is still called after its own file is gone.
    if (op == FileOp::Remove && path == In(L"setup.dll")) {
      EXPECT_TRUE(setup.companion.calls.empty());
    }
    return std::nullopt;
  };
  StartAndUninstall();

  std::vector<std::wstring> expected = {In(L"morvane.exe"),       In(L"about.htm"),        In(L"screenshot.jpg"),
                                        In(L"Help\\FileList.htm"), In(L"Help\\AddFile.bmp"), In(L"Help\\AddPath.bmp")};
  for (int n = 1; n <= 10; ++n) {
    expected.push_back(In(L"TestThis\\") + (n < 10 ? L"0" : L"") + std::to_wstring(n) + L"_Artist___CD___Title.tst");
  }
  expected.insert(expected.end(), {In(L"TestThis\\LOUD.TST"), In(L"Help"), In(L"TestThis"), In(L"setup.exe"),
                                   In(L"setup.dll")});
  EXPECT_EQ(log, expected);
  EXPECT_EQ(setup.files.List(kD),
            (std::vector<std::wstring>{In(L"FileList"), In(L"Help"), In(L"Help\\mine.txt"), In(L"TestThis"),
                                       In(L"TestThis\\keep.tstx"), In(L"Undo"), In(L"Undo\\undo.lst")}));
  ASSERT_EQ(setup.companion.calls.size(), 2u);
  EXPECT_EQ(setup.companion.calls[0].function, L"fRemoveShellLink");
  EXPECT_EQ(setup.companion.calls[0].folder, L"..\\..\\Desktop\\");
  EXPECT_EQ(setup.companion.calls[1].folder, L"");
  for (const auto& call : setup.companion.calls) EXPECT_EQ(call.name, L"Morvane");
  EXPECT_EQ(setup.settings.InstallDir(), L"UNINSTALLED");
  EXPECT_FALSE(EntryExists());
  ExpectOnlyTheQuestion();
  ExpectEndState(kDeleteTheRest);
  EXPECT_TRUE(setup.files.IsOrdinaryFile(L"C:\\Kit\\morvane.1"));
}

TEST_F(Removal, NoChangesNothingButTheExitCaption) {
  std::vector<std::wstring> files = setup.files.List(L"C:\\");
  setup.messages.answers = {MessageBoxAnswer::No, MessageBoxAnswer::No};
  StartAndUninstall();
  EXPECT_EQ(setup.form[Label1].text, L"Remove Morvane");
  EXPECT_TRUE(setup.form[cmdNext1].visible && setup.form[Text1].visible);
  setup.main.OldUninstall(kD);
  setup.main.cmdNext_Click(2);
  EXPECT_TRUE(setup.form[cmdNext2].visible);
  EXPECT_EQ(setup.messages.shown.size(), 2u);
  EXPECT_EQ(setup.files.List(L"C:\\"), files);
  EXPECT_EQ(setup.settings.InstallDir(), kD);
  EXPECT_TRUE(EntryExists());
  EXPECT_TRUE(setup.companion.calls.empty());
  EXPECT_TRUE(setup.form[Command1].visible);
  EXPECT_EQ(setup.form[Command1].text, L"E&xit");
}

TEST_F(Removal, EveryFailureIsSilentAndTheSequenceRunsToItsEnd) {
  setup.files.SetAttributes(In(L"about.htm"), {.readOnly = true});
  setup.files.RemoveFile(In(L"screenshot.jpg"));
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::List && path.find(L'*') != std::wstring::npos) return FakeFileSystem::Error(21);
    bool own = path == In(L"setup.exe") || path == In(L"setup.dll");
    if (op == FileOp::Remove && own) return FakeFileSystem::Error(32);  // in use
    return std::nullopt;
  };
  setup.companion.loaded = false;
  setup.registry.DeleteKey(hkey::kLocalMachine, kUninstallKey);  // already gone: no message
  StartAndUninstall();
  ExpectOnlyTheQuestion();
  ExpectEndState(kDeleteTheRest);
  EXPECT_EQ(setup.settings.InstallDir(), L"UNINSTALLED");
  for (const wchar_t* left : {L"about.htm", L"setup.exe", L"setup.dll",
                              L"TestThis\\01_Artist___CD___Title.tst"}) {
    EXPECT_TRUE(setup.files.Exists(In(left))) << left;
  }
  EXPECT_FALSE(setup.files.Exists(In(L"Help")));
}

TEST_F(Removal, MorvaneStartedAgainAfterTheCheckKeepsEverything) {
  std::vector<std::wstring> files = setup.files.List(L"C:\\");
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Remove && path == In(L"morvane.exe")) return FakeFileSystem::Error(32);
    return std::nullopt;
  };
  StartAndUninstall();
  EXPECT_EQ(setup.files.List(L"C:\\"), files);
  EXPECT_EQ(setup.settings.InstallDir(), kD);
  EXPECT_TRUE(EntryExists());
  EXPECT_TRUE(setup.companion.calls.empty());
  ExpectOnlyTheQuestion();
  ExpectEndState(L"Morvane is in use and could not be removed. Close it and start the removal again.");
}

TEST_F(Removal, NothingIsRemovedThroughALink) {
  // Someone without rights turned Help into a link to a folder of theirs
  // choosing; the elevated removal must not follow it.
  setup.files.SetAttributes(In(L"Help"), {.link = true});
  // TestThis is turned into a link to a folder of files of the same names
  // after it was listed, before its files are deleted.
  const std::wstring victim = L"C:\\Victim\\03_Artist___CD___Title.tst";
  setup.files.AddFile(victim, "not the setup's");
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Remove && path.find(L"\\TestThis\\") != std::wstring::npos && !setup.files.IsLink(In(L"TestThis"))) {
      setup.files.MakeFolderLink(In(L"TestThis"), L"C:\\Victim");
    }
    return std::nullopt;
  };
  StartAndUninstall();
  for (const wchar_t* kept : {L"Help\\FileList.htm", L"Help\\AddFile.bmp", L"Help\\AddPath.bmp", L"Help"}) {
    EXPECT_TRUE(setup.files.Exists(In(kept))) << kept;
  }
  EXPECT_FALSE(setup.files.Exists(In(L"Morvane.exe")));
  EXPECT_EQ(setup.files.Contents(victim), "not the setup's");
  EXPECT_FALSE(EntryExists());
}

TEST_F(Removal, RegistryStatusIsReportedLastInItsOwnWords) {
  setup.registry.DenyWrites(hkey::kLocalMachine, kUninstallKey);
  setup.messages.onShow = [&](const FakeMessageBoxes::Shown& shown) {
    if (shown.flags != 16) return;
    EXPECT_EQ(setup.settings.InstallDir(), L"UNINSTALLED");
    EXPECT_EQ(setup.companion.calls.size(), 2u);
  };
  StartAndUninstall();
  ASSERT_EQ(setup.messages.shown.size(), 2u);
  EXPECT_EQ(setup.messages.shown[1].text,
            std::wstring(L"Error while deleting from registry: Can't write (5)\r\nHKEY_LOCAL_MACHINE\\") + kUninstallKey);
  EXPECT_EQ(setup.messages.shown[1].flags, 16);
  EXPECT_TRUE(EntryExists());
  ExpectEndState(kDeleteTheRest);
}

TEST_F(Removal, BreakdownOfTheRegistryCallHasItsOwnMessage) {
  setup.registry.deleteBreaksDown = true;
  StartAndUninstall();
  ASSERT_EQ(setup.messages.shown.size(), 2u);
  EXPECT_EQ(setup.messages.shown[1].text,
            L"Could not delete Morvane Setup from "
            L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Currentversion\\Uninstall\\QolMORVANE");
  EXPECT_EQ(setup.messages.shown[1].flags, 16);
  ExpectEndState(kDeleteTheRest);
}

TEST_F(Removal, KitStillCompleteInTheDirectoryGivesTheShortCaption) {
  setup.AddKit(L"C:\\WINUTIL\\MORVANE");
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    bool own = path == In(L"setup.exe") || path == In(L"setup.dll");
    if (op == FileOp::Remove && own) return FakeFileSystem::Error(32);  // in use
    return std::nullopt;
  };
  setup.main.Form_Load();
  setup.main.cmdNext_Click(1);
  ExpectEndState(L"Uninstallation completed.");
  EXPECT_TRUE(setup.files.IsOrdinaryFile(In(L"morvane.8")));
}

TEST(RemovalBadInput, DriveRootLosesOnlyTheNamedEntries) {
  FakeSetup setup;
  for (const wchar_t* name : {L"C:\\Morvane.exe", L"C:\\setup.exe", L"C:\\pagefile.sys", L"C:\\Help\\notes.txt",
                              L"C:\\TestThis\\a.tst", L"C:\\Undo\\x"}) {
    setup.files.AddFile(name, "x");
  }
  setup.settings.SetInstallDir(L"C:\\");
  setup.main.Form_Load();
  setup.main.cmdNext_Click(1);
  EXPECT_EQ(setup.files.List(L"C:\\"),
            (std::vector<std::wstring>{L"C:\\Help", L"C:\\Help\\notes.txt", L"C:\\Undo", L"C:\\Undo\\x",
                                       L"C:\\pagefile.sys"}));
  EXPECT_EQ(setup.form[Label1].text, kDeleteTheRest);
}

// An older copy in C:\Older that the uninstall entry names, and the kit
// next to the running setup in C:\Kit.
class OlderInstallation : public ::testing::Test {
 protected:
  OlderInstallation() {
    for (const wchar_t* name : {L"Morvane.exe", L"setup.exe", L"setup.dll", L"Help\\AddFile.bmp"}) {
      setup.files.AddFile(std::wstring(L"C:\\Older\\") + name, "x");
    }
    setup.files.AddDirectory(L"C:\\Older\\Undo");
    setup.files.AddDrive(L'D');
    setup.companion.freeBytes = 5000;
  }

  void RemoveAndAnswer(MessageBoxAnswer answer) {
    setup.main.OldUninstall(L"C:\\Older\\");
    setup.messages.answers = {answer};
    setup.main.cmdNext_Click(2);
  }

  FakeSetup setup;
};

TEST_F(OlderInstallation, WithCompleteKitTheWindowIsReadyToInstallAgain) {
  setup.AddKit(L"C:\\Kit");
  setup.files.ChangeDrive(L'D');
  // Next, uncovered while the removal runs, is clicked: it starts nothing.
  setup.ui.onTurn = [&] { if (setup.form[Label1].text == L"Uninstalling...") setup.main.cmdNext_Click(0); };
  RemoveAndAnswer(MessageBoxAnswer::Yes);
  EXPECT_TRUE(setup.processes.started.empty());
  EXPECT_EQ(setup.files.List(L"C:\\Older"), std::vector<std::wstring>{L"C:\\Older\\Undo"});
  EXPECT_EQ(setup.settings.InstallDir(), L"UNINSTALLED");

  const FakeMainForm& f = setup.form;
  EXPECT_EQ(f[Label1].text, L"Uninstallation completed. You can now re-install.");
  EXPECT_EQ(f[Text1].text, L"C:\\WINUTIL\\MORVANE");
  EXPECT_TRUE(f[Text1].visible && f[Text1].enabled && !f[Text1].readOnly);
  for (Control c : {cmdNext0, cmdBrowse, lblDisk, lblDiskReq, lblDiskFree, Command1}) EXPECT_TRUE(f[c].visible);
  for (Control c : {cmdNext1, cmdNext2, Label2}) EXPECT_FALSE(f[c].visible);
  EXPECT_EQ(f[cmdNext0].text, L"&Next");
  EXPECT_EQ(f[Command1].text, L"E&xit");
  EXPECT_EQ(setup.files.currentDrive(), L'C');  // fresh figures, for the new target's drive
  EXPECT_EQ(f[lblDiskFree].text, L"Free: 5 Kb");

  setup.main.cmdNext_Click(0);
  EXPECT_EQ(setup.form[Label1].text, L"Completed installation.");
  EXPECT_EQ(setup.settings.InstallDir(), L"C:\\WINUTIL\\MORVANE\\");
}

TEST_F(OlderInstallation, WithIncompleteKitOnlyExitIsLeft) {
  RemoveAndAnswer(MessageBoxAnswer::Yes);
  EXPECT_EQ(setup.form[Label1].text, L"Uninstallation completed.");
  for (Control c : {cmdNext0, cmdNext1, cmdNext2, Text1, Label2}) EXPECT_FALSE(setup.form[c].visible);
  EXPECT_EQ(setup.form[Command1].text, L"E&xit");
  EXPECT_FALSE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
}

}  // namespace
}  // namespace uninstall
