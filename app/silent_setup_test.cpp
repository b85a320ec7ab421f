#include "app/silent_setup.h"

#include <gtest/gtest.h>

#include "app/fakes/fake_setup.h"
#include "app/texts.h"
#include "install/registration_names.h"
#include "platform/logged_services.h"

namespace {

struct LogLines : LogSink {
  std::vector<std::wstring> lines;
  void WriteLine(const std::wstring& line) override { lines.push_back(line); }
  bool Has(const std::wstring& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
};

// The setup started with /S and these switches from C:\Kit, on fakes, with
// the log the Windows build keeps.
struct SilentSetup : FakeSetup {
  LogLines log;
  LoggedFileSystem loggedFiles{files, log};
  LoggedRegistry loggedRegistry{registry, log};
  SilentMessageBoxes silent{log};
  Services silentServices{loggedFiles, settings, environment, companion, loggedRegistry, processes, silent, ui, end};

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
    return RunSilently(ParseCommandLine(std::wstring(L"setup.exe /S ") + switches), silentServices, silent, log);
  }
};

TEST(SilentSetup, InstallsRemovesOrStopsWithTheOutcomeAndSaysWhyInTheLog) {
  {
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    ASSERT_EQ(setup.Run(L"/D=C:\\New Place\\Morvane"), Outcome::Done);
    EXPECT_FALSE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));  // removed first, as the window does
    EXPECT_EQ(setup.files.Contents(L"C:\\NEW PLACE\\MORVANE\\Morvane.exe"), "morvane.1");
    EXPECT_EQ(setup.settings.InstallDir(), L"C:\\NEW PLACE\\MORVANE\\");
    EXPECT_EQ(setup.registry.Text(hkey::kLocalMachine, texts::kUninstallKey, L"QuietUninstallString"),
              L"\"C:\\NEW PLACE\\MORVANE\\setup.exe\" /S /uninstall");
    for (const wchar_t* line :
         {L"Kit: C:\\Kit\\", L"Target: C:\\New Place\\Morvane", L"Removing Morvane from C:\\Older\\",
          L"Removing file C:\\Older\\morvane.exe", L"Message: Are you sure you want to uninstall?", L"Answered: Yes",
          L"Writing file C:\\NEW PLACE\\MORVANE\\Morvane.exe",
          L"Registry value HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE"
          L"\\QuietUninstallString = \"C:\\NEW PLACE\\MORVANE\\setup.exe\" /S /uninstall"}) {
      EXPECT_TRUE(setup.log.Has(line)) << testing::PrintToString(line);
    }
  }
  for (const wchar_t* refused : {L"/D=Q:\\Morvane", L"/D=C:\\Quiet Place\\Morvane /LOG=C:\\s.log"}) {
    // No drive Q:, and a switch that became part of the folder: a folder
    // that cannot be made is refused before the older copy is touched.
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    EXPECT_EQ(setup.Run(refused), Outcome::TargetRefused);
    EXPECT_TRUE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
  }
  {
    // Refused before the older copy is touched.
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    EXPECT_EQ(setup.Run(L"/D=c:\\program files\\Morvane"), Outcome::TargetRefused);
    EXPECT_TRUE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
    EXPECT_FALSE(setup.files.Exists(L"C:\\program files\\Morvane"));
    EXPECT_TRUE(setup.log.Has(std::wstring(L"Message: ") + texts::kProgramFilesRefused));
  }
  {
    SilentSetup setup;
    setup.AddKit(L"C:\\Kit");
    setup.files.RemoveFile(L"C:\\Kit\\morvane.4");
    setup.files.RemoveFile(L"C:\\Kit\\morvane.8");
    EXPECT_EQ(setup.Run(L""), Outcome::KitIncomplete);
    EXPECT_TRUE(setup.log.Has(L"The installation kit is incomplete; missing: morvane.4, morvane.8"));
    EXPECT_TRUE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
    EXPECT_FALSE(setup.files.Exists(L"C:\\WINUTIL"));
    EXPECT_FALSE(setup.settings.InstallDir());
  }
  {
    // Removal finds the copy through the machine's entry; after it, nothing is left to remove.
    SilentSetup setup;
    EXPECT_EQ(setup.Run(L"/uninstall"), Outcome::Done);
    EXPECT_FALSE(setup.files.Exists(L"C:\\Older\\Morvane.exe"));
    EXPECT_EQ(setup.Run(L"/uninstall"), Outcome::NotInstalled);
    // A remembered folder that holds no copy any more is no target.
    setup.AddKit(L"C:\\Kit");
    setup.settings.SetInstallDir(L"C:\\Gone\\");
    EXPECT_EQ(setup.Run(L""), Outcome::Done);
    EXPECT_EQ(setup.settings.InstallDir(), L"C:\\WINUTIL\\MORVANE\\");
  }
}

}  // namespace
