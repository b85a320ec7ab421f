// How the window turns the operations' results into its messages, captions
// and states. What the operations themselves do is tested beside them.
#include "app/window_actions.h"

#include <gtest/gtest.h>

#include "app/fakes/fake_setup.h"
#include "app/result_texts.h"
#include "app/texts.h"
#include "install/registration_names.h"
#include "platform/modReg.h"

namespace {

using enum Control;

constexpr const wchar_t* kD = L"C:\\WINUTIL\\MORVANE\\";

// The machine's uninstall entry for a copy in folder, which is what a
// removal trusts.
void Register(FakeSetup& setup, const std::wstring& folder) {
  RegistryHandle key = 0;
  setup.registry.CreateKey(hkey::kLocalMachine, texts::kUninstallKey, 0x3F, key);
  setup.registry.SetStringValue(key, L"UninstallString", folder + L"setup.exe");
  setup.registry.CloseKey(key);
}

// The end state every action leaves: only Exit to press.
void ExpectEndState(const FakeSetup& setup, const std::wstring& caption) {
  EXPECT_EQ(setup.form[Label1].text, caption);
  for (Control c : {cmdNext0, cmdNext1, cmdNext2, Label2, Text1, cmdBrowse}) EXPECT_FALSE(setup.form[c].visible);
  EXPECT_TRUE(setup.form[Command1].visible);
  EXPECT_EQ(setup.form[Command1].text, texts::kExit);
  EXPECT_EQ(setup.form.focused, Command1);  // Enter ends the program
  EXPECT_EQ(setup.ui.pointer, MousePointer::Default);
}

class WindowInstallation : public ::testing::Test {
 protected:
  WindowInstallation() {
    setup.environment.variables = {{L"ProgramW6432", L"C:\\Program Files"}};
    setup.AddKit(L"C:\\Kit");
    setup.main.Form_Load();
    before_ = setup.files.List(L"C:\\");
  }

  void InstallTo(const std::wstring& typed) {
    setup.form.SetText(Text1, typed);
    setup.main.cmdNext_Click(0);
  }

  // A check refused: its message, and the window as it was.
  void ExpectRefusedWith(const std::wstring& message, int flags) {
    ASSERT_EQ(setup.messages.shown.size(), 1u);
    EXPECT_EQ(setup.messages.shown[0].text, message);
    EXPECT_EQ(setup.messages.shown[0].flags, flags);
    EXPECT_EQ(setup.form[Label1].text, texts::kInstallPrompt);
    for (Control c : {cmdNext0, Text1, cmdBrowse, lblDiskFree}) EXPECT_TRUE(setup.form[c].visible);
    EXPECT_EQ(setup.form[Command1].text, DesignOf(Command1).caption);
    EXPECT_EQ(setup.form[lblProgFore].text, L"");
    EXPECT_EQ(setup.files.List(L"C:\\"), before_);
    EXPECT_EQ(setup.form.focused, Text1);  // for the corrected target
  }

  FakeSetup setup;
  std::vector<std::wstring> before_;
};

TEST_F(WindowInstallation, CompletedInstallationEndsWithItsCaptionAndTheFullBar) {
  InstallTo(L"C:\\WinUtil\\Morvane");
  EXPECT_TRUE(setup.messages.shown.empty());
  ExpectEndState(setup, texts::kInstallCompleted);
  EXPECT_EQ(setup.form[lblProgFore].text, std::wstring(28, L'_'));
  for (Control c : {lblDisk, lblDiskReq, lblDiskFree}) EXPECT_FALSE(setup.form[c].visible);
  for (Control c : {lblProgBack, lblProgFore, lblProgZero, lblProgHundred}) EXPECT_TRUE(setup.form[c].visible);
}

TEST_F(WindowInstallation, RefusedTargetIsToldAndTheWindowStaysAsItWas) {
  setup.files.AddDrive(L'D');
  InstallTo(L"C:\\Program Files\\Morvane");
  ExpectRefusedWith(texts::kProgramFilesRefused, 64);
  for (const std::wstring typed : {L"X:\\Tools\\Morvane", L"C:\\Tools\\a|b"}) {
    setup.messages.shown.clear();
    InstallTo(typed);
    install::Refused refused{typed.starts_with(L"X") ? install::RefusalReason::NoSuchDrive
                                                     : install::RefusalReason::InvalidName,
                             typed};
    if (typed.starts_with(L"X")) refused.folder = L"X:\\";
    ExpectRefusedWith(app::RefusalMessage(refused), 16);
  }
  // A kit file gone since the start is a read failure under its name, with the window as it was.
  setup.files.RemoveFile(L"C:\\Kit\\morvane.2");
  before_ = setup.files.List(L"C:\\");
  setup.messages.shown.clear();
  InstallTo(L"C:\\WinUtil\\Morvane");
  ExpectRefusedWith(install::FailureMessage(install::ReadFailure(L"MORVANE.2", FakeFileSystem::Error(2))), 16);
}

TEST(WindowReinstall, RefusalSaysToUninstallFirstWhereNoOtherFolderCanBeChosen) {
  FakeSetup setup;
  setup.AddKit(L"C:\\Kit");
  setup.files.AddDrive(L'E');
  setup.files.driveKinds = {{L'E', DriveKind::Removable}};
  setup.files.AddFile(L"E:\\Morvane\\Morvane.exe", "MZ");
  setup.settings.SetInstallDir(L"E:\\Morvane\\");
  setup.main.Form_Load();
  ASSERT_EQ(setup.form[cmdNext0].text, texts::kReinstall);
  setup.main.cmdNext_Click(0);
  install::Refused refused{install::RefusalReason::RemovableDrive, L"E:\\Morvane\\"};
  refused.folder = L"E:\\";
  ASSERT_EQ(setup.messages.shown.size(), 1u);
  EXPECT_EQ(setup.messages.shown[0].text, app::RefusalMessage(refused, true));
  EXPECT_TRUE(setup.messages.shown[0].text.ends_with(std::wstring(texts::kUninstallFirst)));
  EXPECT_EQ(setup.form[Label1].text, texts::kRemoveOrReinstall);
}

TEST_F(WindowInstallation, MorvaneRunningIsAskedAboutAndCancelLeavesTheWindow) {
  setup.files.AddFile(L"C:\\WINUTIL\\MORVANE\\Morvane.exe", "MZ");
  FileError error;
  auto running = setup.files.OpenForReading(L"C:\\WINUTIL\\MORVANE\\Morvane.exe", error);
  before_ = setup.files.List(L"C:\\");
  InstallTo(L"C:\\WinUtil\\Morvane");
  ASSERT_EQ(setup.messages.shown.size(), 1u);
  EXPECT_EQ(setup.messages.shown[0].text, app::InUseQuestion(kD));
  EXPECT_EQ(setup.messages.shown[0].flags, 53);
  EXPECT_EQ(setup.form[Label1].text, texts::kInstallPrompt);
  EXPECT_EQ(setup.form.focused, Text1);
  EXPECT_EQ(setup.files.List(L"C:\\"), before_);
}

TEST_F(WindowInstallation, FailureMidwayIsToldAndTheBarStandsWhereItStopped) {
  setup.files.AddFile(L"C:\\WINUTIL\\MORVANE\\screenshot.jpg", "old", {.readOnly = true});
  InstallTo(L"C:\\WinUtil\\Morvane");
  ASSERT_EQ(setup.messages.shown.size(), 1u);
  EXPECT_EQ(setup.messages.shown[0].text,
            install::FailureMessage(install::WriteFailure(L"SCREENSHOT.JPG", FakeFileSystem::Error(5))));
  EXPECT_EQ(setup.messages.shown[0].flags, 16);
  ExpectEndState(setup, texts::kInstallFailed);
  EXPECT_EQ(setup.form[lblProgFore].text, std::wstring(6, L'_'));
  EXPECT_FALSE(setup.files.Exists(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"));  // put back: there was none

  // The setting or the entry that cannot be written is a failure too.
  FakeSetup denied;
  denied.AddKit(L"C:\\Kit");
  denied.registry.DenyWrites(hkey::kLocalMachine, L"Software");
  denied.main.Form_Load();
  denied.main.cmdNext_Click(0);
  ASSERT_EQ(denied.messages.shown.size(), 1u);
  EXPECT_TRUE(denied.messages.shown[0].text.starts_with(std::wstring(texts::kRegistrationFailure)));
  ExpectEndState(denied, texts::kInstallFailed);
  EXPECT_FALSE(denied.settings.InstallDir());
}

TEST_F(WindowInstallation, ClosingTheWindowMidwayEndsAtOnceAndKeepsWhatWasCopied) {
  setup.end.onUnloadMain = [this] { setup.main.Form_QueryUnload(); };
  setup.ui.onTurn = [this] {
    if (setup.form[lblProgFore].text.size() == 8) setup.main.Form_QueryUnload();  // at step 4
  };
  setup.form.SetText(Text1, L"C:\\WinUtil\\Morvane");
  EXPECT_THROW(setup.main.cmdNext_Click(0), ProcessEnded);
  EXPECT_EQ(setup.end.ends, 1);
  EXPECT_EQ(setup.end.unfinishedDrops, 1);
  EXPECT_TRUE(setup.files.IsOrdinaryFile(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"));
  EXPECT_TRUE(setup.files.IsOrdinaryFile(L"C:\\WINUTIL\\MORVANE\\screenshot.jpg"));
  EXPECT_FALSE(setup.files.Exists(L"C:\\WINUTIL\\MORVANE\\about.htm"));
  EXPECT_FALSE(setup.settings.InstallDir());
}

TEST(NextButton, OtherInstancesOnlyRunTheClosingSteps) {
  for (int index : {3, -1}) {
    FakeSetup setup;
    setup.AddKit(L"C:\\Kit");
    setup.main.Form_Load();
    setup.ui.pointer = MousePointer::Hourglass;
    setup.main.cmdNext_Click(index);
    EXPECT_EQ(setup.form[Command1].text, texts::kExit);
    EXPECT_TRUE(setup.form[Command1].visible);
    EXPECT_EQ(setup.ui.pointer, MousePointer::Default);
    EXPECT_EQ(setup.files.List(L"C:\\").size(), 11u);
  }
}

// Installed from C:\Kit into its default folder; the uninstall entry then
// starts the installed setup.exe, and Uninstall is pressed.
class WindowRemoval : public ::testing::Test {
 protected:
  WindowRemoval() {
    setup.AddKit(L"C:\\Kit");
    setup.main.Form_Load();
    setup.main.cmdNext_Click(0);
    EXPECT_EQ(setup.form[Label1].text, texts::kInstallCompleted);
    setup.form = FakeMainForm();
    setup.companion.calls.clear();
    setup.environment.setupDirectory = L"C:\\WINUTIL\\MORVANE";
  }

  void StartAndUninstall() {
    setup.main.Form_Load();
    EXPECT_EQ(setup.form[Label1].text, texts::kRemove);
    setup.main.cmdNext_Click(1);
  }

  void ExpectTheQuestionFirst(std::size_t messages) const {
    ASSERT_EQ(setup.messages.shown.size(), messages);
    EXPECT_EQ(setup.messages.shown[0].text, texts::kConfirmUninstall);
    EXPECT_EQ(setup.messages.shown[0].flags, 52);
  }

  FakeSetup setup;
};

TEST_F(WindowRemoval, CaptionFollowsTheKitCheckOfTheFolder) {
  StartAndUninstall();
  ExpectTheQuestionFirst(1);
  ExpectEndState(setup, texts::kUninstalledDeleteTheRest);

  // setup.exe and setup.dll in use there, and the kit's other files beside them.
  FakeSetup kept;
  kept.AddKit(L"C:\\WINUTIL\\MORVANE");
  kept.files.AddFile(L"C:\\WINUTIL\\MORVANE\\Morvane.exe", "MZ");
  kept.settings.SetInstallDir(kD);
  Register(kept, kD);
  kept.environment.setupDirectory = L"C:\\WINUTIL\\MORVANE";
  kept.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    bool own = path.ends_with(L"setup.exe") || path.ends_with(L"setup.dll");
    return op == FileOp::Remove && own ? std::optional(FakeFileSystem::Error(32)) : std::nullopt;
  };
  kept.main.Form_Load();
  kept.main.cmdNext_Click(1);
  ExpectEndState(kept, texts::kUninstallCompleted);
}

TEST_F(WindowRemoval, NoOrMorvaneRunningChangesNothingButTheExitCaption) {
  setup.messages.answers = {MessageBoxAnswer::No, MessageBoxAnswer::No};
  StartAndUninstall();
  EXPECT_EQ(setup.form[Label1].text, texts::kRemove);
  EXPECT_TRUE(setup.form[cmdNext1].visible && setup.form[Text1].visible);
  setup.main.OldUninstall(kD);
  setup.main.cmdNext_Click(2);
  EXPECT_TRUE(setup.form[cmdNext2].visible);
  EXPECT_EQ(setup.messages.shown.size(), 2u);
  EXPECT_TRUE(setup.form[Command1].visible);
  EXPECT_EQ(setup.form[Command1].text, texts::kExit);
  EXPECT_EQ(setup.settings.InstallDir(), kD);

  // Found running again after its delete: the removal stopped there.
  setup.form = FakeMainForm();
  setup.messages.shown.clear();
  setup.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    return op == FileOp::Remove && path.ends_with(L"morvane.exe") ? std::optional(FakeFileSystem::Error(32))
                                                                   : std::nullopt;
  };
  StartAndUninstall();
  ExpectEndState(setup, texts::kProductNotRemoved);
}

TEST_F(WindowRemoval, FolderTheMachineDoesNotKnowIsNeitherRemovedNorReinstalledOver) {
  // The per-user setting, which programs without elevation can change,
  // names another folder than the machine's entry.
  setup.files.AddFile(L"C:\\Elsewhere\\Morvane.exe", "MZ");
  setup.settings.SetInstallDir(L"C:\\Elsewhere\\");
  setup.main.Form_Load();
  setup.main.cmdNext_Click(0);  // Reinstall: the registered copy would lose its entry
  setup.main.cmdNext_Click(1);
  ASSERT_EQ(setup.messages.shown.size(), 2u);
  install::Refused refused{install::RefusalReason::OtherCopyRegistered, L"C:\\Elsewhere\\"};
  refused.folder = L"C:\\Elsewhere\\";
  refused.detail = kD;
  EXPECT_EQ(setup.messages.shown[0].text, app::RefusalMessage(refused, true));
  refused.reason = install::RefusalReason::NotRegistered;
  EXPECT_EQ(setup.messages.shown[1].text, app::RefusalMessage(refused));
  EXPECT_EQ(setup.files.Contents(L"C:\\Elsewhere\\Morvane.exe"), "MZ");
  EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, L"UninstallString"), kD + std::wstring(L"setup.exe"));
  EXPECT_EQ(setup.form[Command1].text, texts::kExit);
}

TEST_F(WindowRemoval, EntryNotDeletedIsToldAfterEverythingElseInItsOwnWords) {
  setup.registry.DenyWrites(hkey::kLocalMachine, texts::kUninstallKey);
  setup.messages.onShow = [&](const FakeMessageBoxes::Shown& shown) {
    if (shown.flags != 16) return;
    EXPECT_EQ(setup.settings.InstallDir(), texts::kUninstalledMark);
    EXPECT_EQ(setup.companion.calls.size(), 2u);
  };
  StartAndUninstall();
  ExpectTheQuestionFirst(2);
  EXPECT_EQ(setup.messages.shown[1].text, std::wstring(modReg::kDeleteErrorStart) + modReg::RegistryStatusText(5) +
                                              L"\r\n" + modReg::RootKeyName(hkey::kLocalMachine) + texts::kUninstallKey);
  EXPECT_EQ(setup.messages.shown[1].flags, 16);
  ExpectEndState(setup, texts::kUninstalledDeleteTheRest);

  FakeSetup broken;
  broken.settings.SetInstallDir(kD);
  Register(broken, kD);
  broken.files.AddFile(L"C:\\WINUTIL\\MORVANE\\Morvane.exe", "MZ");
  broken.registry.deleteBreaksDown = true;
  broken.main.Form_Load();
  broken.main.cmdNext_Click(1);
  ASSERT_EQ(broken.messages.shown.size(), 2u);
  EXPECT_EQ(broken.messages.shown[1].text, texts::kUninstallKeyNotDeleted);
  EXPECT_EQ(broken.messages.shown[1].flags, 16);
}

// An older copy in C:\Older that the uninstall entry names, and the kit
// next to the running setup in C:\Kit.
class WindowOlderInstallation : public ::testing::Test {
 protected:
  WindowOlderInstallation() {
    for (const wchar_t* name : {L"Morvane.exe", L"setup.exe", L"setup.dll", L"Help\\AddFile.bmp"}) {
      setup.files.AddFile(std::wstring(L"C:\\Older\\") + name, "x");
    }
    setup.files.AddDirectory(L"C:\\Older\\Undo");
    Register(setup, L"C:\\Older\\");
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

TEST_F(WindowOlderInstallation, WithCompleteKitTheWindowIsReadyToInstallAgain) {
  setup.AddKit(L"C:\\Kit");
  setup.files.ChangeDrive(L'D');
  // Next, uncovered while the removal runs, is clicked: it starts nothing.
  setup.ui.onTurn = [&] {
    if (setup.form[Label1].text == texts::kUninstalling) setup.main.cmdNext_Click(0);
  };
  RemoveAndAnswer(MessageBoxAnswer::Yes);
  EXPECT_TRUE(setup.processes.started.empty());
  EXPECT_EQ(setup.files.List(L"C:\\Older"), std::vector<std::wstring>{L"C:\\Older\\Undo"});
  EXPECT_EQ(setup.settings.InstallDir(), texts::kUninstalledMark);

  const FakeMainForm& f = setup.form;
  EXPECT_EQ(f[Label1].text, texts::kUninstalledReinstall);
  EXPECT_EQ(f[Text1].text, texts::kReinstallDirectory);
  EXPECT_TRUE(f[Text1].visible && f[Text1].enabled && !f[Text1].readOnly);
  for (Control c : {cmdNext0, cmdBrowse, lblDisk, lblDiskReq, lblDiskFree, Command1}) EXPECT_TRUE(f[c].visible);
  for (Control c : {cmdNext1, cmdNext2, Label2}) EXPECT_FALSE(f[c].visible);
  EXPECT_EQ(f[cmdNext0].text, DesignOf(cmdNext0).caption);
  EXPECT_EQ(f[Command1].text, texts::kExit);
  EXPECT_EQ(setup.files.currentDrive(), L'C');  // fresh figures, for the new target's drive
  EXPECT_EQ(f[lblDiskFree].text, L"Free: 5 Kb");

  setup.main.cmdNext_Click(0);
  EXPECT_EQ(setup.form[Label1].text, texts::kInstallCompleted);
  EXPECT_EQ(setup.settings.InstallDir(), kD);
}

TEST_F(WindowOlderInstallation, WithIncompleteKitOnlyExitIsLeft) {
  RemoveAndAnswer(MessageBoxAnswer::Yes);
  ExpectEndState(setup, texts::kUninstallCompleted);
  EXPECT_FALSE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
}

}  // namespace
