#include "app/silent_setup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/result_log_lines.h"
#include "app/result_texts.h"
#include "app/texts.h"
#include "install/registration_names.h"
#include "platform/fakes/fake_system.h"
#include "platform/logged_services.h"
#include "platform/shortcut_places.h"

namespace {

struct LogLines : LogSink {
  std::vector<std::wstring> lines;
  void WriteLine(const std::wstring& line) override { lines.push_back(line); }
  bool Has(const std::wstring& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
};

// The setup started with /S and these switches from C:\Kit, on fakes, with
// the log the Windows build keeps.
struct SilentSetup : FakeSystem {
  LogLines log;
  LoggedFileSystem loggedFiles{files, log};
  LoggedRegistry loggedRegistry{registry, log};
  SystemServices silentServices{loggedFiles, settings, environment, companion, loggedRegistry, processes};

  SilentSetup() {
    environment.variables[L"ProgramW6432"] = L"C:\\Program Files";
    // A copy installed from another account: only the machine's entry names it.
    files.AddFile(L"C:\\Older\\Morvane.exe", "MZ");
    RegistryHandle key = 0;
    registry.CreateKey(hkey::kLocalMachine, texts::kUninstallKey, 0x3F, key);
    registry.SetStringValue(key, L"UninstallString", L"C:\\Older\\setup.exe");
    registry.CloseKey(key);
  }
  Outcome Run(const wchar_t* switches) {
    return RunSilently(ParseCommandLine(std::wstring(L"setup.exe /S ") + switches), silentServices, log);
  }
};

TEST(SilentSetup, InstallsFirstAndRemovesTheCopyItReplacesOnlyThen) {
  SilentSetup setup;
  setup.AddKit(L"C:\\Kit");
  std::size_t installedAt = 0;
  ASSERT_EQ(setup.Run(L"/D=C:\\New Place\\Morvane"), Outcome::Done);
  EXPECT_FALSE(setup.files.Exists(L"C:\\Older"));  // the older copy, gone once the new one was complete
  EXPECT_EQ(setup.files.Contents(L"C:\\NEW PLACE\\MORVANE\\Morvane.exe"), "morvane.1");
  EXPECT_EQ(setup.settings.InstallDir(), L"C:\\NEW PLACE\\MORVANE\\");
  EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, L"QuietUninstallString"),
            L"\"C:\\NEW PLACE\\MORVANE\\setup.exe\" /S /uninstall");
  for (const wchar_t* line :
       {L"Target: C:\\New Place\\Morvane", L"Writing file C:\\NEW PLACE\\MORVANE\\Morvane.exe",
        L"Registry value HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE"
        L"\\QuietUninstallString = \"C:\\NEW PLACE\\MORVANE\\setup.exe\" /S /uninstall",
        L"Removing the copy this installation replaces, in C:\\Older\\", L"Removing file C:\\Older\\morvane.exe"}) {
    auto found = std::find(setup.log.lines.begin(), setup.log.lines.end(), line);
    ASSERT_NE(found, setup.log.lines.end()) << testing::PrintToString(line);
    std::size_t at = static_cast<std::size_t>(found - setup.log.lines.begin());
    EXPECT_GE(at, installedAt) << testing::PrintToString(line);  // in this order
    installedAt = at;
  }
}

TEST(SilentSetup, TheInstalledFolderUnderAnotherNameIsInstalledOverNotRemoved) {
  SilentSetup setup;
  setup.AddKit(L"C:\\Kit");
  setup.files.AddShortName(L"C:\\OLDER~1", L"C:\\Older");
  ASSERT_EQ(setup.Run(L"/D=C:\\OLDER~1"), Outcome::Done);
  EXPECT_TRUE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
  EXPECT_FALSE(setup.log.Has(L"Removing the copy this installation replaces, in C:\\Older\\"));
}

TEST(SilentSetup, EveryStopChangesNothingAndHasItsOutcome) {
  for (const wchar_t* refused : {L"/D=Q:\\Morvane", L"/D=c:\\program files\\Morvane", L"/D=\\\\server\\share\\Morvane"}) {
    // No drive Q:, Program Files, a network share (never even opened):
    // refused before anything is made or the older copy is touched.
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    EXPECT_EQ(setup.Run(refused), Outcome::TargetRefused) << testing::PrintToString(refused);
    for (const std::wstring& opened : setup.files.openedToCompare) EXPECT_FALSE(opened.starts_with(L"\\\\"));
    EXPECT_TRUE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
    EXPECT_FALSE(setup.files.Exists(L"C:\\Quiet Place") || setup.files.Exists(L"C:\\program files"));
  }
  {
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    setup.files.freeBytes[L'C'] = 100;
    EXPECT_EQ(setup.Run(L""), Outcome::NotEnoughSpace);
  }
  {
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    setup.files.RemoveFile(L"C:\\Kit\\morvane.4");
    setup.files.RemoveFile(L"C:\\Kit\\morvane.8");
    EXPECT_EQ(setup.Run(L""), Outcome::KitIncomplete);
    // Named as the administrator knows them: kit name and installed name.
    EXPECT_TRUE(setup.log.Has(
        L"The installation kit is incomplete; missing: morvane.4 (Help\\AddFile.bmp), morvane.8; nothing was changed."));
    EXPECT_TRUE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
    EXPECT_FALSE(setup.files.Exists(L"C:\\WINUTIL"));
  }
  {
    // A kit file not as assembled is named, even beside a missing one.
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    setup.files.RemoveFile(L"C:\\Kit\\morvane.8");
    setup.environment.damagedKitFiles = {L"morvane.4", L"setup.dll"};
    EXPECT_EQ(setup.Run(L""), Outcome::KitDamaged);
    EXPECT_TRUE(setup.log.Has(L"The installation kit is damaged; not as assembled: morvane.4, setup.dll; nothing was changed."));
    EXPECT_TRUE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
    EXPECT_FALSE(setup.files.Exists(L"C:\\WINUTIL"));
  }
  {
    // Morvane running from the copy it would replace: not waited for.
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    FileError error;
    auto running = setup.files.OpenForReading(L"C:\\Older\\Morvane.exe", error);
    EXPECT_EQ(setup.Run(L"/D=C:\\New"), Outcome::MorvaneInUse);
    EXPECT_FALSE(setup.files.Exists(L"C:\\NEW"));
  }
  {
    // A failure midway is put back, and the log says what failed, on which
    // installed file, with the system's code and words, and what was put back.
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    setup.files.AddFile(L"C:\\Older\\Help\\AddFile.bmp", "older", {.readOnly = true});
    EXPECT_EQ(setup.Run(L""), Outcome::ReadOrWriteFailure);  // into the installed copy's folder
    EXPECT_TRUE(setup.log.Has(L"Could not write C:\\OLDER\\Help\\AddFile.bmp: error 5, Access is denied."));
    EXPECT_TRUE(setup.log.Has(L"Put back as it was: C:\\OLDER\\Morvane.exe"));
    EXPECT_EQ(setup.files.Contents(L"C:\\Older\\Morvane.exe"), "MZ");
  }
}

// A kit file that fails is named as the kit holds it when it was read or
// copied to a work file, and as installed when it was written in place.
// The system's reason goes on with the line, without its own full stop.
TEST(SilentSetup, AFailureNamesTheFileWhereItFailedAndTheSystemsReason) {
  LogLines log;
  FakeRegistry registry;
  app::ResultPlaces places{L"C:\\Kit\\", L"C:\\WINUTIL\\MORVANE\\", registry};
  auto line = [&](install::FailureKind kind, const wchar_t* name) {
    app::WriteResultLog(log, install::KitProblem{{kind, name, L"Access is denied.", 5}}, places);
    return log.lines.back();
  };
  EXPECT_EQ(line(install::FailureKind::Read, L"MORVANE.4"),
            L"Could not read the kit file C:\\Kit\\morvane.4 (Help\\AddFile.bmp): error 5, Access is denied; nothing "
            L"was changed.");
  EXPECT_EQ(line(install::FailureKind::Write, L"PRESETS.REG"),
            L"Could not copy the kit file morvane.7 (the presets script): error 5, Access is denied; nothing was "
            L"changed.");
  EXPECT_EQ(line(install::FailureKind::Write, L"MORVANE.EXE"),
            L"Could not write C:\\WINUTIL\\MORVANE\\Morvane.exe: error 5, Access is denied; nothing was changed.");
  app::WriteResultLog(log, install::ProductNotRemoved{L"C:\\WINUTIL\\MORVANE\\Morvane.exe", L"Access is denied.", 5, true},
                      places);
  EXPECT_EQ(log.lines.back(),
            L"Could not remove C:\\WINUTIL\\MORVANE\\Morvane.exe: error 5, Access is denied; the rest was removed, "
            L"and the uninstall entry stays so that the removal can run again.");
}

TEST(SilentSetup, RemovalFindsTheCopyThroughTheMachinesEntryAndLeavesNothing) {
  SilentSetup setup;
  setup.files.AddDirectory(L"C:\\Older\\Undo");
  // Its folder turned into a link: a failure that keeps the entry, and says why.
  setup.files.SetAttributes(L"C:\\Older", {.link = true});
  EXPECT_EQ(setup.Run(L"/uninstall"), Outcome::Failed);
  EXPECT_TRUE(setup.log.Has(L"The folder to remove, C:\\Older\\, is reached through a link: C:\\Older; nothing was changed."));
  setup.files.SetAttributes(L"C:\\Older", {});
  EXPECT_EQ(setup.Run(L"/uninstall"), Outcome::Done);
  EXPECT_FALSE(setup.files.Exists(L"C:\\Older"));
  EXPECT_EQ(setup.Run(L"/uninstall"), Outcome::NotInstalled);
  // A remembered folder that holds no copy any more is no target.
  setup.AddKit(L"C:\\Kit");
  setup.settings.SetInstallDir(L"C:\\Gone\\");
  EXPECT_EQ(setup.Run(L""), Outcome::Done);
  EXPECT_EQ(setup.settings.InstallDir(), L"C:\\WINUTIL\\MORVANE\\");
}

// Run as SYSTEM, as deployment agents run it: no user signs in as SYSTEM, so
// the shortcuts go where every user sees them and the presets reach every
// user through Active Setup; the removal takes all of it again.
TEST(SilentSetup, AsSystemEveryUserGetsTheShortcutsAndThePresets) {
  using namespace shortcut_places;
  const std::wstring kEntry = texts::kActiveSetupKey;
  {
    // A failure at the last step puts back the presets copy and the entries too.
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    setup.environment.runsAsSystem = true;
    setup.registry.DenyWrites(hkey::kLocalMachine, kEntry);
    EXPECT_EQ(setup.Run(L""), Outcome::RegistrationFailed);
    EXPECT_FALSE(setup.files.Exists(L"C:\\Older\\presets.reg"));
    EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, L"UninstallString"),
              L"C:\\Older\\setup.exe");
  }
  SilentSetup setup;
  setup.AddKit(L"C:\\Kit");
  setup.environment.runsAsSystem = true;

  ASSERT_EQ(setup.Run(L"/D=C:\\Tools\\Morvane"), Outcome::Done);
  std::vector<std::pair<std::wstring, std::wstring>> links;
  for (const FakeCompanion::Call& call : setup.companion.calls) links.emplace_back(call.folder, call.target);
  const std::wstring product = L"C:\\TOOLS\\MORVANE\\Morvane.exe";
  EXPECT_EQ(links, (std::vector<std::pair<std::wstring, std::wstring>>{{kAllUsers.desktop, product},
                                                                         {kAllUsers.programs, product}}));
  // Not imported into SYSTEM's own registry, which no user sees.
  EXPECT_TRUE(setup.processes.started.empty());
  EXPECT_EQ(setup.files.Contents(L"C:\\TOOLS\\MORVANE\\presets.reg"), "morvane.7");
  EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, kEntry, L"StubPath"),
            L"\"C:\\windows\\System32\\reg.exe\" import \"C:\\TOOLS\\MORVANE\\presets.reg\"");
  EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, kEntry, L""), texts::kDisplayName);
  EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, kEntry, L"Version"), L"2,4,5");
  ASSERT_TRUE(setup.registry.Find(hkey::kLocalMachine, kEntry, L"IsInstalled"));
  EXPECT_EQ(setup.registry.Find(hkey::kLocalMachine, kEntry, L"IsInstalled")->type, regtype::kDword);

  // Removed by an administrator who is not SYSTEM, it still takes what was
  // made for every user.
  setup.environment.runsAsSystem = false;
  setup.companion.calls.clear();
  EXPECT_EQ(setup.Run(L"/uninstall"), Outcome::Done);
  EXPECT_FALSE(setup.registry.KeyExists(hkey::kLocalMachine, kEntry));
  EXPECT_FALSE(setup.files.Exists(L"C:\\TOOLS\\MORVANE"));
  std::vector<std::wstring> removed;
  for (const FakeCompanion::Call& call : setup.companion.calls) removed.push_back(call.folder);
  EXPECT_EQ(removed, (std::vector<std::wstring>{std::wstring(kAllUsers.desktop) + L"\\", kAllUsers.programs,
                                                std::wstring(kThisUser.desktop) + L"\\", kThisUser.programs}));
}

}  // namespace
