#include "uninstall/removal.h"

#include <gtest/gtest.h>

#include "install/fakes/recording_hooks.h"
#include "install/installation.h"
#include "install/registration_names.h"
#include "platform/fakes/fake_system.h"

namespace uninstall {
namespace {

using install::OperationResult;

constexpr const wchar_t* kD = L"C:\\WINUTIL\\MORVANE\\";

std::wstring In(const std::wstring& relative) { return kD + relative; }

struct RecordingRemovalProgress : RemovalProgress {
  int started = 0;
  void Started() override { ++started; }
};

// A machine on which Morvane was installed from C:\Kit into its default
// folder; the uninstall entry then starts the installed setup.exe.
class Removing : public ::testing::Test {
 protected:
  Removing() {
    machine.AddKit(L"C:\\Kit");
    RecordingProgress installing;
    EXPECT_TRUE(std::holds_alternative<install::Done>(install::Install(
        {.target = L"C:\\WinUtil\\Morvane", .kitDirectory = L"C:\\Kit", .replaces = std::nullopt}, machine.system,
        questions, installing)));
    machine.companion.calls.clear();
    machine.environment.setupDirectory = L"C:\\WINUTIL\\MORVANE";
  }

  OperationResult Remove(RemovalScope scope = RemovalScope::Everything, bool leaveNothing = false,
                         const std::wstring& directory = kD) {
    return uninstall::Remove({.directory = directory, .scope = scope, .leaveNothing = leaveNothing}, machine.system,
                             questions, progress);
  }

  bool EntryExists() const { return machine.registry.KeyExists(hkey::kLocalMachine, texts::kUninstallKey); }

  // Nothing of the installation was touched.
  void ExpectUntouched(const std::vector<std::wstring>& files) const {
    EXPECT_EQ(machine.files.List(L"C:\\"), files);
    EXPECT_EQ(machine.settings.InstallDir(), kD);
    EXPECT_TRUE(EntryExists());
    EXPECT_TRUE(machine.companion.calls.empty());
  }

  FakeSystem machine;
  RecordingQuestions questions;
  RecordingRemovalProgress progress;
};

TEST_F(Removing, RemovesTheNamedEntriesInOrderAndNothingElse) {
  machine.files.AddFile(In(L"Help\\mine.txt"), "the user's");
  machine.files.AddFile(In(L"TestThis\\keep.tstx"), "the user's");
  machine.files.SetShortName(In(L"TestThis\\keep.tstx"), L"KEEP~1.TST");  // what Windows matches "*.tst" against
  machine.files.AddFile(In(L"TestThis\\LOUD.TST"), "");
  machine.files.AddFile(In(L"Undo\\undo.lst"), "the user's");
  std::vector<std::wstring> log;
  machine.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Remove || op == FileOp::RemoveDirectory) log.push_back(path);
    // The library is still called after its own file is gone.
    if (op == FileOp::Remove && path == In(L"setup.dll")) {
      EXPECT_TRUE(machine.companion.calls.empty());
    }
    return std::nullopt;
  };
  EXPECT_TRUE(std::holds_alternative<install::Done>(Remove()));

  std::vector<std::wstring> expected = {In(L"morvane.exe"),       In(L"about.htm"),        In(L"screenshot.jpg"),
                                        In(L"Help\\FileList.htm"), In(L"Help\\AddFile.bmp"), In(L"Help\\AddPath.bmp")};
  for (int n = 1; n <= 10; ++n) {
    expected.push_back(In(L"TestThis\\") + (n < 10 ? L"0" : L"") + std::to_wstring(n) + L"_Artist___CD___Title.tst");
  }
  expected.insert(expected.end(), {In(L"TestThis\\LOUD.TST"), In(L"Help"), In(L"TestThis"), In(L"setup.exe"),
                                   In(L"setup.dll")});
  EXPECT_EQ(log, expected);
  EXPECT_EQ(machine.files.List(kD),
            (std::vector<std::wstring>{In(L"FileList"), In(L"Help"), In(L"Help\\mine.txt"), In(L"TestThis"),
                                       In(L"TestThis\\keep.tstx"), In(L"Undo"), In(L"Undo\\undo.lst")}));
  ASSERT_EQ(machine.companion.calls.size(), 2u);
  EXPECT_EQ(machine.companion.calls[0].function, L"fRemoveShellLink");
  EXPECT_EQ(machine.companion.calls[0].folder, L"..\\..\\Desktop\\");
  EXPECT_EQ(machine.companion.calls[1].folder, L"");
  for (const auto& call : machine.companion.calls) EXPECT_EQ(call.name, L"Morvane");
  EXPECT_EQ(machine.settings.InstallDir(), L"UNINSTALLED");
  EXPECT_FALSE(EntryExists());
  EXPECT_EQ(questions.confirmations, 1);
  EXPECT_EQ(progress.started, 1);
  EXPECT_TRUE(machine.files.IsOrdinaryFile(L"C:\\Kit\\morvane.1"));
}

TEST_F(Removing, NoOrMorvaneRunningLeavesEverything) {
  std::vector<std::wstring> files = machine.files.List(L"C:\\");
  questions.confirm = false;
  EXPECT_TRUE(std::holds_alternative<install::Cancelled>(Remove()));
  ExpectUntouched(files);

  questions.confirm = true;
  FileError error;
  auto running = machine.files.OpenForReading(In(L"Morvane.exe"), error);
  OperationResult result = Remove();
  ASSERT_TRUE(std::holds_alternative<install::InUse>(result));
  EXPECT_TRUE(std::get<install::InUse>(result).changedNothing);
  EXPECT_EQ(questions.inUse, std::vector<std::wstring>{kD});
  EXPECT_EQ(progress.started, 0);
  ExpectUntouched(files);
  running.reset();

  // Started again between the check and the delete: the removal stops
  // there, so that the installation, its entry and the setting stay whole.
  machine.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Remove && path == In(L"morvane.exe")) return FakeFileSystem::Error(32);
    return std::nullopt;
  };
  result = Remove();
  ASSERT_TRUE(std::holds_alternative<install::InUse>(result));
  EXPECT_FALSE(std::get<install::InUse>(result).changedNothing);
  ExpectUntouched(files);

  // Any other reason it stays is named as it is, not as in use.
  machine.files.failWhen = nullptr;
  machine.files.SetAttributes(In(L"Morvane.exe"), {.readOnly = true});
  result = Remove();
  ASSERT_TRUE(std::holds_alternative<install::ProductNotRemoved>(result));
  EXPECT_EQ(std::get<install::ProductNotRemoved>(result).description, L"Access is denied.");
  ExpectUntouched(files);
}

TEST_F(Removing, EveryOtherFailureIsPassedOverAndTheSequenceRunsToItsEnd) {
  machine.files.SetAttributes(In(L"about.htm"), {.readOnly = true});
  machine.files.RemoveFile(In(L"screenshot.jpg"));
  machine.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::List && path.find(L'*') != std::wstring::npos) return FakeFileSystem::Error(21);
    bool own = path == In(L"setup.exe") || path == In(L"setup.dll");
    if (op == FileOp::Remove && own) return FakeFileSystem::Error(32);  // in use
    return std::nullopt;
  };
  machine.companion.loaded = false;
  EXPECT_TRUE(std::holds_alternative<install::Done>(Remove()));
  EXPECT_EQ(machine.settings.InstallDir(), L"UNINSTALLED");
  for (const wchar_t* left : {L"about.htm", L"setup.exe", L"setup.dll", L"TestThis\\01_Artist___CD___Title.tst"}) {
    EXPECT_TRUE(machine.files.Exists(In(left))) << left;
  }
  EXPECT_FALSE(machine.files.Exists(In(L"Help")));
}

TEST_F(Removing, OnlyTheFolderTheMachinesEntryNamesIsRemoved) {
  machine.files.AddFile(L"C:\\Elsewhere\\Morvane.exe", "MZ");
  std::vector<std::wstring> files = machine.files.List(L"C:\\");
  OperationResult result = Remove(RemovalScope::Everything, false, L"C:\\Elsewhere");
  ASSERT_TRUE(std::holds_alternative<install::Refused>(result));
  EXPECT_EQ(std::get<install::Refused>(result).detail, kD);
  EXPECT_EQ(questions.confirmations, 0);
  ExpectUntouched(files);
  machine.registry.DeleteKey(hkey::kLocalMachine, texts::kUninstallKey);
  EXPECT_TRUE(std::holds_alternative<install::Refused>(Remove()));
  EXPECT_TRUE(machine.files.Exists(In(L"Morvane.exe")));
}

TEST_F(Removing, EntryThatCannotBeDeletedIsTheOneFailureReported) {
  machine.registry.DenyWrites(hkey::kLocalMachine, texts::kUninstallKey);
  OperationResult result = Remove();
  ASSERT_TRUE(std::holds_alternative<install::EntryNotDeleted>(result));
  EXPECT_EQ(std::get<install::EntryNotDeleted>(result).status, 5);
  EXPECT_EQ(machine.settings.InstallDir(), L"UNINSTALLED");
  EXPECT_EQ(machine.companion.calls.size(), 2u);
  EXPECT_TRUE(EntryExists());

  machine.registry.deleteBreaksDown = true;
  result = Remove();
  ASSERT_TRUE(std::holds_alternative<install::EntryNotDeleted>(result));
  EXPECT_EQ(std::get<install::EntryNotDeleted>(result).status, kRegistryCallBrokeDown);
}

TEST_F(Removing, NothingIsRemovedThroughALink) {
  // Someone without rights turned Help into a link to a folder of theirs
  // choosing; the elevated removal must not follow it.
  machine.files.SetAttributes(In(L"Help"), {.link = true});
  // TestThis is turned into a link to a folder of files of the same names
  // after it was listed, before its files are deleted.
  const std::wstring victim = L"C:\\Victim\\03_Artist___CD___Title.tst";
  machine.files.AddFile(victim, "not the setup's");
  machine.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Remove && path.find(L"\\TestThis\\") != std::wstring::npos &&
        !machine.files.IsLink(In(L"TestThis"))) {
      machine.files.MakeFolderLink(In(L"TestThis"), L"C:\\Victim");
    }
    return std::nullopt;
  };
  EXPECT_TRUE(std::holds_alternative<install::Done>(Remove(RemovalScope::Everything, true)));
  for (const wchar_t* kept : {L"Help\\FileList.htm", L"Help\\AddFile.bmp", L"Help\\AddPath.bmp", L"Help"}) {
    EXPECT_TRUE(machine.files.Exists(In(kept))) << kept;
  }
  EXPECT_FALSE(machine.files.Exists(In(L"Morvane.exe")));
  EXPECT_EQ(machine.files.Contents(victim), "not the setup's");
  EXPECT_FALSE(EntryExists());
}

// What a removal a deployment runs would meet where others may rename the
// installed folder or one above it, and put a link in its place.
TEST_F(Removing, AFolderOnTheWayTurnedIntoALinkStopsTheRemoval) {
  // Refused before the question, and the installation stays registered, for
  // either removal.
  std::vector<std::wstring> files = machine.files.List(L"C:\\");
  machine.files.SetAttributes(L"C:\\WINUTIL", {.link = true});
  for (RemovalScope scope : {RemovalScope::Everything, RemovalScope::FilesOnly}) {
    OperationResult result = Remove(scope, true);
    ASSERT_TRUE(std::holds_alternative<install::Refused>(result));
    EXPECT_EQ(std::get<install::Refused>(result).reason, install::RefusalReason::LinkOnTheWay);
    EXPECT_EQ(std::get<install::Refused>(result).folder, L"C:\\WINUTIL");
  }
  EXPECT_EQ(questions.confirmations, 0);
  machine.files.SetAttributes(L"C:\\WINUTIL", {});
  ExpectUntouched(files);

  // Swapped in after that check, before Morvane.exe goes, leading to empty
  // folders of the product's names: what is not seen there is not gone.
  const std::wstring victim = L"C:\\Victim\\";
  for (const wchar_t* name : {L"FileList", L"Help", L"TestThis", L"Undo"}) machine.files.AddDirectory(victim + name);
  machine.files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Remove && path == In(L"morvane.exe")) machine.files.MakeFolderLink(kD, victim);
    return std::nullopt;
  };
  EXPECT_TRUE(std::holds_alternative<install::ProductNotRemoved>(Remove(RemovalScope::Everything, true)));
  EXPECT_EQ(machine.files.List(victim).size(), 4u);
  EXPECT_TRUE(EntryExists());
  EXPECT_EQ(machine.settings.InstallDir(), kD);
  EXPECT_TRUE(machine.companion.calls.empty());
}

TEST_F(Removing, DriveRootLosesOnlyTheNamedEntries) {
  FakeSystem machine;
  for (const wchar_t* name : {L"C:\\Morvane.exe", L"C:\\setup.exe", L"C:\\pagefile.sys", L"C:\\Help\\notes.txt",
                              L"C:\\TestThis\\a.tst", L"C:\\Undo\\x"}) {
    machine.files.AddFile(name, "x");
  }
  RegistryHandle key = 0;
  machine.registry.CreateKey(hkey::kLocalMachine, texts::kUninstallKey, 0x3F, key);
  machine.registry.SetStringValue(key, L"UninstallString", L"C:\\setup.exe");
  machine.registry.CloseKey(key);
  EXPECT_TRUE(std::holds_alternative<install::Done>(uninstall::Remove(
      {.directory = L"C:\\", .scope = RemovalScope::Everything, .leaveNothing = true}, machine.system, questions,
      progress)));
  EXPECT_EQ(machine.files.List(L"C:\\"),
            (std::vector<std::wstring>{L"C:\\Help", L"C:\\Help\\notes.txt", L"C:\\Undo", L"C:\\Undo\\x",
                                       L"C:\\pagefile.sys"}));
}

TEST_F(Removing, ForADeploymentNothingOfTheInstallationStays) {
  // Started from the installed folder, as the entry's quiet command does: this setup holds its own two files.
  FileError error;
  auto program = machine.files.OpenForReading(In(L"setup.exe"), error);
  auto library = machine.files.OpenForReading(In(L"setup.dll"), error);
  EXPECT_TRUE(std::holds_alternative<install::Done>(Remove(RemovalScope::Everything, true)));
  EXPECT_FALSE(machine.files.Exists(L"C:\\WINUTIL\\MORVANE"));
  EXPECT_EQ(machine.files.setAside,
            (std::vector<std::wstring>{L"C:\\WINUTIL\\MORVANE\\setup.exe", L"C:\\WINUTIL\\MORVANE\\setup.dll"}));
  EXPECT_TRUE(machine.files.Exists(L"C:\\WINUTIL"));  // made along the way, perhaps not by the setup

  // What the user keeps in the product's folders stays, and so do they.
  FakeSystem again;
  again.AddKit(L"C:\\Kit");
  RecordingProgress installing;
  ASSERT_TRUE(std::holds_alternative<install::Done>(install::Install(
      {.target = L"C:\\WinUtil\\Morvane", .kitDirectory = L"C:\\Kit", .replaces = std::nullopt}, again.system,
      questions, installing)));
  again.files.AddFile(In(L"Undo\\undo.lst"), "the user's");
  EXPECT_TRUE(std::holds_alternative<install::Done>(uninstall::Remove(
      {.directory = kD, .scope = RemovalScope::Everything, .leaveNothing = true}, again.system, questions, progress)));
  EXPECT_EQ(again.files.List(kD), (std::vector<std::wstring>{In(L"Undo"), In(L"Undo\\undo.lst")}));
  EXPECT_TRUE(again.files.setAside.empty());  // started from C:\Kit, its files were no one's
}

TEST_F(Removing, FilesOnlyForACopyReplacedElsewhere) {
  EXPECT_TRUE(std::holds_alternative<install::Done>(Remove(RemovalScope::FilesOnly, true)));
  EXPECT_EQ(questions.confirmations, 0);  // the installation that replaced it was asked for
  EXPECT_FALSE(machine.files.Exists(L"C:\\WINUTIL\\MORVANE"));
  EXPECT_TRUE(machine.companion.calls.empty());
  EXPECT_EQ(machine.settings.InstallDir(), kD);
  EXPECT_TRUE(EntryExists());
}

}  // namespace
}  // namespace uninstall
