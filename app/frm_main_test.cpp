#include "app/frm_main.h"

#include <gtest/gtest.h>

#include "app/fakes/fake_setup.h"
#include "app/texts.h"
#include "platform/text.h"

namespace {

using enum Control;

enum class State { Install, RemoveOrReinstall, RemoveOnly, Uninstalled, NoKit, IncompleteKit };

// The window states written out control by control, as a user sees them.
void ExpectState(const FakeMainForm& f, State state, const std::wstring& text1) {
  switch (state) {
    case State::Install:
      EXPECT_EQ(f[Label1].text, texts::kInstallPrompt);
      EXPECT_TRUE(f[Label2].visible);
      EXPECT_EQ(f[Label2].text, L"Target Directory:");
      EXPECT_TRUE(f[Text1].visible);
      EXPECT_FALSE(f[Text1].readOnly);
      EXPECT_EQ(f[Text1].tooltip, L"The path where Morvane by Halvo will be installed");
      EXPECT_TRUE(f[cmdBrowse].visible);
      EXPECT_TRUE(f[cmdNext0].visible);
      EXPECT_EQ(f[cmdNext0].text, L"&Next");
      EXPECT_FALSE(f[cmdNext1].visible);
      EXPECT_FALSE(f[cmdNext2].visible);
      EXPECT_EQ(f[Command1].text, L"&Cancel");
      for (Control c : {lblDisk, lblDiskReq, lblDiskFree}) EXPECT_TRUE(f[c].visible);
      break;
    case State::RemoveOrReinstall:
    case State::RemoveOnly: {
      bool reinstall = state == State::RemoveOrReinstall;
      EXPECT_EQ(f[Label1].text, reinstall ? texts::kRemoveOrReinstall : texts::kRemove);
      EXPECT_EQ(f[Label2].text, texts::kLocation);
      EXPECT_TRUE(f[Text1].visible);
      EXPECT_TRUE(f[Text1].readOnly);
      EXPECT_EQ(f[Text1].tooltip, texts::kLocationTooltip);
      EXPECT_TRUE(f[cmdNext0].visible);
      EXPECT_EQ(f[cmdNext0].text, reinstall ? std::wstring(texts::kReinstall) : L"&Next");
      EXPECT_EQ(f[cmdNext0].top, 3120);
      EXPECT_TRUE(f[cmdNext1].visible);
      EXPECT_EQ(f[cmdNext1].top, reinstall ? 2760 : 3120);
      EXPECT_FALSE(f[cmdNext2].visible);
      EXPECT_EQ(f[Command1].text, L"&Cancel");
      for (Control c : {cmdBrowse, lblDisk, lblDiskReq, lblDiskFree}) EXPECT_FALSE(f[c].visible);
      break;
    }
    case State::Uninstalled:
    case State::NoKit:
    case State::IncompleteKit:  // its caption is the test's own
      if (state != State::IncompleteKit) {
        EXPECT_EQ(f[Label1].text, state == State::NoKit ? std::wstring(texts::kNoKit) : L"");
      }
      for (Control c : {Label2, Text1, cmdBrowse, cmdNext0, cmdNext1, cmdNext2, lblDisk, lblDiskReq, lblDiskFree}) {
        EXPECT_FALSE(f[c].visible) << DesignOf(c).id;
      }
      EXPECT_TRUE(f[Command1].visible);
      EXPECT_EQ(f[Command1].text, texts::kExit);
      break;
  }
  EXPECT_EQ(f[Text1].text, text1);
  for (Control c : {lblProgBack, lblProgFore, lblProgZero, lblProgHundred}) EXPECT_FALSE(f[c].visible);
}

class LoadDecision : public ::testing::Test {
 protected:
  // The setup's own two files are always there; the kit files where a test says so.
  LoadDecision() {
    for (const wchar_t* own : {L"C:\\Kit\\setup.exe", L"C:\\Kit\\setup.dll"}) setup.files.AddFile(own, "MZ");
  }
  FakeSetup setup;
};

TEST_F(LoadDecision, NothingStoredWithCompleteKitOffersInstallationWithDiskSpace) {
  setup.AddKit(L"C:\\Kit");
  setup.companion.freeBytes = 1536;
  setup.main.Form_Load();
  ExpectState(setup.form, State::Install, L"C:\\WinUtil\\Morvane");
  EXPECT_EQ(setup.form[lblDiskFree].text, L"Free: 2 Kb");
  EXPECT_TRUE(setup.messages.shown.empty());
}

TEST_F(LoadDecision, NothingStoredWithoutKitOffersOnlyExit) {
  setup.main.Form_Load();
  ExpectState(setup.form, State::NoKit, L"C:\\WinUtil\\Morvane");
  EXPECT_TRUE(setup.messages.shown.empty());
}

TEST_F(LoadDecision, UninstalledWithCompleteKitOffersInstallationWithoutMessage) {
  setup.AddKit(L"C:\\Kit");
  setup.settings.SetInstallDir(L"UNINSTALLED");
  setup.main.Form_Load();
  ExpectState(setup.form, State::Install, L"C:\\WinUtil\\Morvane");
  EXPECT_TRUE(setup.messages.shown.empty());
}

TEST_F(LoadDecision, UninstalledWithoutKitShowsTheInformationMessage) {
  setup.settings.SetInstallDir(L"UNINSTALLED");
  setup.main.Form_Load();
  ExpectState(setup.form, State::Uninstalled, L"C:\\WinUtil\\Morvane");
  ASSERT_EQ(setup.messages.shown.size(), 1u);
  EXPECT_EQ(setup.messages.shown[0].text, texts::kUninstalledMessage);
  EXPECT_EQ(setup.messages.shown[0].flags, 64);
}

TEST_F(LoadDecision, IncompleteOrDamagedKitNamesTheFilesWhateverIsStored) {
  setup.AddKit(L"C:\\Kit");
  setup.files.RemoveFile(L"C:\\Kit\\morvane.4");
  for (const wchar_t* stored : {L"", L"UNINSTALLED"}) {
    setup.form = FakeMainForm();
    setup.settings.SetInstallDir(stored);
    setup.main.Form_Load();
    ExpectState(setup.form, State::IncompleteKit, L"C:\\WinUtil\\Morvane");
    EXPECT_EQ(setup.form[Label1].text, L"The installation kit is incomplete. Missing: morvane.4");
  }
  EXPECT_TRUE(setup.messages.shown.empty());
  setup.files.RemoveFile(L"C:\\Kit\\setup.dll");
  setup.files.RemoveFile(L"C:\\Kit\\morvane.1");
  setup.main.Form_Load();
  EXPECT_EQ(setup.form[Label1].text, L"The installation kit is incomplete. Missing: morvane.1, morvane.4, setup.dll");

  // A damaged file is named before a missing one; no installation is offered.
  setup.environment.damagedKitFiles = {L"setup.dll", L"morvane.6"};
  setup.main.Form_Load();
  ExpectState(setup.form, State::IncompleteKit, L"C:\\WinUtil\\Morvane");
  EXPECT_EQ(setup.form[Label1].text, texts::kDamagedKit + std::wstring(L"morvane.6, setup.dll"));
  // More than the label holds are counted.
  setup.environment.damagedKitFiles = {L"setup.dll", L"morvane.6", L"morvane.2", L"morvane.3"};
  setup.main.Form_Load();
  EXPECT_EQ(setup.form[Label1].text, texts::kDamagedKit + std::wstring(L"morvane.2, morvane.3 and 2 more files"));
  // With an installed copy, only its removal is offered.
  setup.files.AddFile(L"C:\\Apps\\Morvane\\Morvane.exe", "MZ");
  setup.settings.SetInstallDir(L"C:\\Apps\\Morvane\\");
  setup.AddKit(L"C:\\Kit");
  setup.form = FakeMainForm();
  setup.main.Form_Load();
  ExpectState(setup.form, State::RemoveOnly, L"C:\\Apps\\Morvane\\");
}

TEST_F(LoadDecision, InstalledCopyWinsOverACompleteKit) {
  setup.AddKit(L"C:\\Kit");
  setup.files.AddFile(L"C:\\Apps\\Morvane\\Morvane.exe", "MZ");
  setup.settings.SetInstallDir(L"C:\\Apps\\Morvane");  // no trailing backslash stored
  setup.main.Form_Load();
  ExpectState(setup.form, State::RemoveOrReinstall, L"C:\\Apps\\Morvane\\");
}

TEST_F(LoadDecision, InstalledCopyWithoutKitOffersOnlyRemoval) {
  setup.files.AddFile(L"C:\\Apps\\Morvane\\Morvane.exe", "MZ");
  setup.settings.SetInstallDir(L"C:\\Apps\\Morvane\\");
  setup.main.Form_Load();
  ExpectState(setup.form, State::RemoveOnly, L"C:\\Apps\\Morvane\\");
}

TEST_F(LoadDecision, SetupStartedFromTheInstalledDirectoryOffersOnlyRemoval) {
  // The uninstall entry runs the installed copy, which has no kit beside it.
  setup.environment.setupDirectory = L"C:\\WINUTIL\\MORVANE";
  for (const wchar_t* name : {L"Morvane.exe", L"setup.exe", L"setup.dll", L"about.htm"}) {
    setup.files.AddFile(std::wstring(L"C:\\WINUTIL\\MORVANE\\") + name, "x");
  }
  setup.settings.SetInstallDir(L"C:\\WINUTIL\\MORVANE\\");
  setup.main.Form_Load();
  ExpectState(setup.form, State::RemoveOnly, L"C:\\WINUTIL\\MORVANE\\");
}

TEST_F(LoadDecision, RememberedDirectoryWithoutTheProgramIsOfferedAgain) {
  setup.AddKit(L"C:\\Kit");
  setup.files.AddDirectory(L"C:\\Old");
  setup.settings.SetInstallDir(L"C:\\Old");
  setup.main.Form_Load();
  ExpectState(setup.form, State::Install, L"C:\\Old\\");
}

TEST_F(LoadDecision, HiddenProgramDoesNotCountAsInstalled) {
  setup.AddKit(L"C:\\Kit");
  setup.files.AddFile(L"C:\\Apps\\MORVANE.EXE", "MZ", {.hidden = true});
  setup.settings.SetInstallDir(L"C:\\Apps\\");
  setup.main.Form_Load();
  ExpectState(setup.form, State::Install, L"C:\\Apps\\");
}

TEST_F(LoadDecision, LowerCaseUninstalledIsADirectoryFirstAndTheMarkSecond) {
  setup.settings.SetInstallDir(L"uninstalled");
  setup.main.Form_Load();
  ExpectState(setup.form, State::Uninstalled, L"uninstalled\\");
  EXPECT_EQ(setup.messages.shown.size(), 1u);
}

TEST_F(LoadDecision, LowerCaseUninstalledWithKitShowsItAsTheTarget) {
  setup.AddKit(L"C:\\Kit");
  setup.settings.SetInstallDir(L"uninstalled");
  setup.main.Form_Load();
  ExpectState(setup.form, State::Install, L"uninstalled\\");
  EXPECT_TRUE(setup.messages.shown.empty());
}

TEST_F(LoadDecision, RememberedPathThatIsNotPlainIsNoInstallation) {
  // Each with the program where the path, read literally, leads: still no
  // removal is offered there.
  for (const wchar_t* stored : {L"C:\\Apps\\..\\Windows\\", L"C:\\Apps\\.\\", L"C:\\Apps \\", L"C:\\Apps.\\",
                                L"\\\\?\\C:\\Apps\\", L"\\\\.\\C:\\Apps\\", L"C:/Apps/", L"Apps\\", L"C:\\Apps\\\\",
                                L"C:\\Apps\\nul.txt\\"}) {
    FakeSetup fresh;
    fresh.AddKit(L"C:\\Kit");
    fresh.files.AddFile(std::wstring(stored) + L"MORVANE.EXE", "MZ");
    fresh.settings.SetInstallDir(stored);
    fresh.main.Form_Load();
    ExpectState(fresh.form, State::Install, text::WithTrailingBackslash(stored));
  }
}

TEST_F(LoadDecision, AnyStoredTextStartsSomeState) {
  setup.AddKit(L"C:\\Kit");
  for (const std::wstring& stored : {std::wstring(32768, L'x'), std::wstring(L"Q:\\Nowhere"),
                                     std::wstring(L"C:\\\x65e5\x672c\\"), std::wstring(L"C:\\*\\?")}) {
    FakeSetup fresh;
    fresh.AddKit(L"C:\\Kit");
    fresh.settings.SetInstallDir(stored);
    fresh.main.Form_Load();
    EXPECT_EQ(fresh.form[Label1].text, texts::kInstallPrompt);
    EXPECT_EQ(fresh.form[Text1].text, text::WithTrailingBackslash(stored));
  }
}

// The machine's uninstall entry as an installation from another account left it.
void SetUninstallString(FakeRegistry& registry, const std::wstring& command) {
  RegistryHandle key = 0;
  registry.CreateKey(hkey::kLocalMachine, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE", 0x3F,
                     key);
  registry.SetStringValue(key, L"UninstallString", command);
  registry.CloseKey(key);
}

TEST_F(LoadDecision, UninstallEntryNamingAnInstalledCopyOffersItsRemovalFirst) {
  setup.AddKit(L"C:\\Kit");
  setup.files.AddFile(L"C:\\Other Account\\Morvane\\MORVANE.EXE", "MZ");
  SetUninstallString(setup.registry, L"\"C:\\Other Account\\Morvane\\setup.exe\"");
  setup.settings.SetInstallDir(L"UNINSTALLED");
  setup.main.Form_Load();
  const FakeMainForm& f = setup.form;
  EXPECT_EQ(f[Label1].text, texts::kRemoveBeforeReinstall);
  EXPECT_EQ(f[Text1].text, L"C:\\Other Account\\Morvane\\");
  EXPECT_TRUE(f[Text1].readOnly);
  EXPECT_TRUE(f[cmdNext2].visible);
  EXPECT_FALSE(f[cmdNext1].visible);
  EXPECT_TRUE(setup.messages.shown.empty());
}

TEST_F(LoadDecision, UninstallEntryWithoutAnInstalledCopyChangesNothing) {
  const std::wstring kCommands[] = {L"C:\\Nowhere\\setup.exe", L"C:\\Empty\\setup.exe", L"C:\\File.txt\\setup.exe",
                                    L"setup.exe",                 L"Apps\\setup.exe",      L"C:\\*\\setup.exe",
                                    L"C:\\a<b>|\\setup.exe",     L"",                      L"\"\""};
  for (const std::wstring& command : kCommands) {
    FakeSetup fresh;
    fresh.AddKit(L"C:\\Kit");
    fresh.files.AddDirectory(L"C:\\Empty");
    fresh.files.AddFile(L"C:\\File.txt", "a file");
    fresh.files.AddFile(L"C:\\x\\Morvane.exe", "MZ");
    fresh.files.AddFile(L"Morvane.exe", "relative to whatever the current directory is");
    fresh.files.AddFile(L"Apps\\Morvane.exe", "relative as well");
    SetUninstallString(fresh.registry, command);
    fresh.main.Form_Load();
    ExpectState(fresh.form, State::Install, L"C:\\WinUtil\\Morvane");
  }
  // Not text at all.
  RegistryHandle key = 0;
  setup.registry.CreateKey(hkey::kLocalMachine, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE",
                           0x3F, key);
  setup.registry.SetDwordValue(key, L"UninstallString", 1);
  setup.registry.CloseKey(key);
  setup.AddKit(L"C:\\Kit");
  setup.main.Form_Load();
  ExpectState(setup.form, State::Install, L"C:\\WinUtil\\Morvane");
  EXPECT_EQ(setup.registry.openHandles(), 0u);
}

TEST_F(LoadDecision, UninstallEntryIsLookedAtOnlyWhenInstallingWouldBeOffered) {
  setup.files.AddFile(L"C:\\Older\\Morvane.exe", "MZ");
  SetUninstallString(setup.registry, L"C:\\Older\\setup.exe");
  setup.main.Form_Load();
  ExpectState(setup.form, State::NoKit, L"C:\\WinUtil\\Morvane");

  FakeSetup remembered;
  remembered.AddKit(L"C:\\Kit");
  remembered.files.AddFile(L"C:\\Older\\Morvane.exe", "MZ");
  remembered.files.AddFile(L"C:\\Mine\\Morvane.exe", "MZ");
  SetUninstallString(remembered.registry, L"C:\\Older\\setup.exe");
  remembered.settings.SetInstallDir(L"C:\\Mine\\");
  remembered.main.Form_Load();
  ExpectState(remembered.form, State::RemoveOrReinstall, L"C:\\Mine\\");
}

class KitCheck : public ::testing::Test {
 protected:
  KitCheck() { setup.AddKit(L"C:\\Kit"); }
  FakeSetup setup;
};

TEST_F(KitCheck, ShippedKitIsComplete) {
  EXPECT_TRUE(setup.main.CompleteInstallKit(L""));
  EXPECT_TRUE(setup.main.CompleteInstallKit(L"C:\\kit\\"));
}

TEST_F(KitCheck, KitAfterAnInstallationIsStillComplete) {
  FileError error;
  ASSERT_TRUE(setup.files.RenameFile(L"C:\\Kit\\morvane.7", L"C:\\Kit\\MORVANE.7", error));
  EXPECT_TRUE(setup.main.CompleteInstallKit(L""));
}

TEST_F(KitCheck, PresetsLeftRenamedMakeTheKitIncomplete) {
  FileError error;
  ASSERT_TRUE(setup.files.RenameFile(L"C:\\Kit\\morvane.7", L"C:\\Kit\\presets.reg", error));
  EXPECT_FALSE(setup.main.CompleteInstallKit(L""));
}

TEST_F(KitCheck, HiddenOrSystemKitFileOrADirectoryCountsAsMissing) {
  setup.files.SetAttributes(L"C:\\Kit\\morvane.8", {.hidden = true});
  EXPECT_FALSE(setup.main.CompleteInstallKit(L""));
  setup.files.SetAttributes(L"C:\\Kit\\morvane.8", {.system = true});
  EXPECT_FALSE(setup.main.CompleteInstallKit(L""));
  setup.files.SetAttributes(L"C:\\Kit\\morvane.8", {.readOnly = true});
  EXPECT_TRUE(setup.main.CompleteInstallKit(L""));
  setup.files.RemoveFile(L"C:\\Kit\\setup.dll");
  setup.files.AddDirectory(L"C:\\Kit\\setup.dll");
  EXPECT_FALSE(setup.main.CompleteInstallKit(L""));
}

TEST_F(KitCheck, DirectoryWithoutBackslashOrMissingDirectoryIsIncomplete) {
  EXPECT_FALSE(setup.main.CompleteInstallKit(L"C:\\Kit"));
  EXPECT_FALSE(setup.main.CompleteInstallKit(L"D:\\Nowhere\\"));
}

TEST_F(KitCheck, TestsAllTenNamesOnEveryCall) {
  std::vector<std::wstring> listed;
  setup.files.RemoveFile(L"C:\\Kit\\morvane.1");
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::List) listed.push_back(path);
    return std::nullopt;
  };
  EXPECT_FALSE(setup.main.CompleteInstallKit(L""));
  EXPECT_EQ(listed.size(), 10u);
}

TEST(OldUninstall, WithCompleteKitAsksToRemoveBeforeReinstalling) {
  FakeSetup setup;
  setup.AddKit(L"C:\\Kit");
  setup.main.OldUninstall(L"C:\\Older\\");
  const FakeMainForm& f = setup.form;
  EXPECT_EQ(f[Label1].text, texts::kRemoveBeforeReinstall);
  EXPECT_EQ(f[Label2].text, texts::kLocation);
  EXPECT_EQ(f[Text1].text, L"C:\\Older\\");
  EXPECT_TRUE(f[Text1].readOnly);
  EXPECT_EQ(f[Text1].tooltip, texts::kLocationTooltip);
  EXPECT_FALSE(f[cmdNext1].visible);
  EXPECT_TRUE(f[cmdNext2].visible);
  EXPECT_EQ(f[cmdNext2].top, 3120);
  EXPECT_EQ(f[cmdNext2].text, L"&Uninstall");
  EXPECT_TRUE(f[cmdNext0].visible);  // underneath, still "&Next"
  EXPECT_EQ(f[cmdNext0].text, L"&Next");
  for (Control c : {cmdBrowse, lblDisk, lblDiskReq, lblDiskFree}) EXPECT_FALSE(f[c].visible);
}

TEST(OldUninstall, WithoutKitOnlyNamesTheRemoval) {
  FakeSetup setup;
  setup.main.OldUninstall(L"C:\\Older\\");
  EXPECT_EQ(setup.form[Label1].text, texts::kRemove);
  EXPECT_TRUE(setup.form[cmdNext2].visible);
}

class DiskSpace : public ::testing::Test {
 protected:
  DiskSpace() {
    setup.files.AddDrive(L'D');
    setup.companion.freeBytes = 5000;
  }
  FakeSetup setup;
};

TEST_F(DiskSpace, TargetDriveBecomesCurrentBeforeTheLibraryIsAsked) {
  wchar_t driveSeen = 0;
  setup.companion.onDiskSpace = [&] { driveSeen = setup.files.currentDrive(); };
  setup.form.SetText(Text1, L"d:\\Tools");
  setup.main.ShowDiskSpace();
  EXPECT_EQ(driveSeen, L'D');
  EXPECT_EQ(setup.form[lblDiskFree].text, L"Free: 5 Kb");
  EXPECT_EQ(setup.form.repaints, 1);
  EXPECT_EQ(setup.ui.turns, 1);
}

TEST_F(DiskSpace, UnusableTargetsLeaveTheCurrentDrive) {
  ASSERT_TRUE(setup.files.ChangeDrive(L'D'));
  for (const wchar_t* target : {L"", L"\\\\server\\share", L"Q:\\Nowhere", L"7zip"}) {
    setup.form.SetText(Text1, target);
    setup.main.ShowDiskSpace();
    EXPECT_EQ(setup.files.currentDrive(), L'D') << target;
    EXPECT_EQ(setup.form[lblDiskFree].text, L"Free: 5 Kb");
  }
}

TEST_F(DiskSpace, MissingLibraryShowsZeroBytes) {
  setup.companion.loaded = false;
  setup.main.ShowDiskSpace();
  EXPECT_EQ(setup.form[lblDiskFree].text, L"Free: 0 bytes");
}

TEST_F(DiskSpace, LeavingTheTargetBoxRefreshesTheDisplay) {
  setup.form.SetText(Text1, L"D:\\");
  setup.main.Text1_LostFocus();
  EXPECT_EQ(setup.files.currentDrive(), L'D');
  EXPECT_EQ(setup.form[lblDiskFree].text, L"Free: 5 Kb");
}

TEST(FolderChooserReference, BrowseShowsTheChooserThenRefreshesTheDiskSpace) {
  struct Chooser : ::FolderChooser {
    FakeSetup& setup;
    explicit Chooser(FakeSetup& s) : setup(s) {}
    void ShowModal() override { setup.form.SetText(Control::Text1, L"D:\\Chosen"); }
  };
  FakeSetup setup;
  setup.files.AddDrive(L'D');
  setup.companion.freeBytes = 2048;
  Chooser chooser(setup);
  setup.main.SetFolderChooser(chooser);
  setup.main.cmdBrowse_Click();
  EXPECT_EQ(setup.files.currentDrive(), L'D');
  EXPECT_EQ(setup.form[Control::lblDiskFree].text, L"Free: 2 Kb");
}

TEST(Progress, ThirteenStepsFillTheTrackAndFourteenRunPastIt) {
  FakeSetup setup;
  for (int step = 0; step < 13; ++step) setup.main.ShowProgress();
  EXPECT_EQ(setup.form[lblProgFore].text, setup.form[lblProgBack].text);
  setup.main.ShowProgress();
  EXPECT_EQ(setup.form[lblProgFore].text, std::wstring(28, L'_'));
  EXPECT_EQ(setup.ui.turns, 14);
}

}  // namespace
