// Deployment, end to end: setup.exe started with the switches a deployment
// system passes, never showing a window; its exit code, its log, and what
// it leaves on disk and in the registry. And one setup at a time.
#include "tests/e2e/installed_state.h"

namespace e2e {
namespace {

using enum Control;
using namespace std::chrono_literals;

const std::wstring kTarget = L"C:\\WINUTIL\\MORVANE";
const std::wstring kQuietPlace = L"C:\\Quiet Place";

std::wstring TempLog() {
  wchar_t temp[MAX_PATH] = {};
  GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
  return std::wstring(temp) + L"\\Morvane Setup.log";
}

class Silent : public SetupSession {
 protected:
  void SetUp() override {
    SetupSession::SetUp();
    DeleteFileW(TempLog().c_str());
  }
  void TearDown() override {
    SetupSession::TearDown();
    World::DeleteTree(kQuietPlace);
    DeleteFileW(TempLog().c_str());
  }

  // Runs exe with arguments to its end; no window of it may show meanwhile.
  static std::optional<DWORD> RunUnseen(const std::wstring& exe, const std::wstring& arguments) {
    SetupProcess run = SetupProcess::Start(exe, World::kRoot, arguments);
    EXPECT_TRUE(run);
    bool shown = false;
    WaitUntil(
        [&] {
          shown = shown || !run.VisibleTopLevelWindows().empty();
          return !run.Running();
        },
        90s);
    EXPECT_FALSE(shown) << "a window showed";
    return run.WaitForExit(0ms);
  }

  // The log as UTF-8 text; every line starts with its time.
  static std::string Log(const std::wstring& path = TempLog()) {
    std::string log = World::ReadFile(path).value_or("");
    EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF") << Utf8(path);
    for (std::size_t line = 3, end = 0; line < log.size() && end != std::string::npos; line = end + 2) {
      EXPECT_EQ(log.compare(line, 2, "20"), 0) << log.substr(line, 40);
      end = log.find("\r\n", line);
    }
    return log;
  }

  static void ExpectLogHas(const std::string& log, const std::string& line) {
    EXPECT_NE(log.find(line), std::string::npos) << "no \"" << line << "\" in\n" << log;
  }

  static void ExpectNothingInstalled() {
    EXPECT_FALSE(World::Exists(L"C:\\WinUtil"));
    EXPECT_FALSE(World::InstallDir());
    EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView32));
    EXPECT_FALSE(World::Exists(World::DesktopShortcut()));
  }
};

TEST_F(Silent, InstallsAsTheWindowDoesAndItsQuietCommandRemovesIt) {
  World::MakeKit(kKit);
  ASSERT_EQ(RunUnseen(kKit + L"\\setup.exe", L"/S"), 0u);

  ExpectCompleteInstallation(kKit, kTarget);
  EXPECT_TRUE(KitCopies().empty());
  std::optional<std::wstring> quiet =
      World::RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString", kView32);
  ASSERT_EQ(quiet, L"\"C:\\WINUTIL\\MORVANE\\setup.exe\" /S /uninstall");

  std::string log = Log();
  for (const char* line : {"Kit: C:\\e2e\\kit\\", "Kit checked and used from its copy in C:\\windows\\Temp\\Morvane Kit ",
                           "Target: C:\\WinUtil\\Morvane",
                           "Writing file C:\\WINUTIL\\MORVANE\\Morvane.exe",
                           "Writing file C:\\WINUTIL\\MORVANE\\TestThis\\10_Artist___CD___Title.tst",
                           "Setting QolMORVANE\\Installer\\InstallDir = C:\\WINUTIL\\MORVANE\\",
                           "\\QolMORVANE\\QuietUninstallString = \"C:\\WINUTIL\\MORVANE\\setup.exe\" /S /uninstall",
                           "Finished: done, exit code 0"}) {
    ExpectLogHas(log, line);
  }

  // The deployment system's removal: the command as the entry holds it,
  // which starts the installed setup. Once it has ended, nothing of the
  // installation is left: the setup's own files and the folder neither.
  std::size_t close = quiet->find(L'"', 1);
  ASSERT_EQ(RunUnseen(quiet->substr(1, close - 1), quiet->substr(close + 2)), 0u);
  EXPECT_FALSE(World::Exists(kTarget)) << testing::PrintToString(World::List(kTarget));
  EXPECT_FALSE(World::Exists(World::DesktopShortcut()));
  EXPECT_FALSE(World::Exists(World::ProgramsShortcut()));
  EXPECT_EQ(World::InstallDir(), L"UNINSTALLED");
  EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView32));
  log = Log();
  ExpectLogHas(log, "Removing file C:\\WINUTIL\\MORVANE\\morvane.exe");
  ExpectLogHas(log, "Finished: done, exit code 0");
  World::DeleteTree(L"C:\\WinUtil");
}

// A deployment that fails leaves the installed copy as it found it: its
// files byte for byte, its entry and its setting.
TEST_F(Silent, FailedDeploymentsKeepTheInstalledCopyWhole) {
  World::MakeKit(kKit);
  ASSERT_EQ(RunUnseen(kKit + L"\\setup.exe", L"/S"), 0u);
  auto expectTheInstalledCopy = [&] {
    ExpectInstalledFilesMatchTheKit(kKit, kTarget);
    EXPECT_EQ(World::InstallDir(), kTarget + L"\\");
    EXPECT_EQ(World::RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString", kView32),
              kTarget + L"\\setup.exe");
    EXPECT_TRUE(WorkFolders().empty());
  };

  // Another folder that cannot be written: the copy there was never made,
  // so the installed one was never removed.
  World::MakeDirectories(L"C:\\RO");
  ASSERT_TRUE(World::SetFolderWritable(L"C:\\RO", false));
  EXPECT_EQ(RunUnseen(kKit + L"\\setup.exe", L"/S /D=C:\\RO\\Morvane"), 1603u);
  EXPECT_FALSE(World::Exists(L"C:\\RO\\Morvane"));
  expectTheInstalledCopy();
  World::SetFolderWritable(L"C:\\RO", true);
  World::DeleteTree(L"C:\\RO");

  // A newer kit whose re-deploy fails at Help\AddFile.bmp: every file it had
  // replaced by then is put back.
  std::map<std::wstring, std::string> newerFiles;
  for (const wchar_t* name : {L"morvane.1", L"morvane.2", L"morvane.3", L"morvane.4"}) {
    newerFiles[name] = "version 2.5 of " + Utf8(name);
  }
  const std::wstring newer = World::AssembleKit(L"C:\\e2e\\newer", newerFiles);
  ASSERT_TRUE(World::Exists(newer + L"\\setup.exe"));
  World::SetAttributes(kTarget + L"\\Help\\AddFile.bmp", FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(RunUnseen(newer + L"\\setup.exe", L"/S"), 1603u);
  World::SetAttributes(kTarget + L"\\Help\\AddFile.bmp", FILE_ATTRIBUTE_NORMAL);
  expectTheInstalledCopy();
  std::string log = Log();
  ExpectLogHas(log, "HELP\\ADDFILE.BMP");
  ExpectLogHas(log, "Put back as it was: C:\\WINUTIL\\MORVANE\\Morvane.exe");
  World::DeleteTree(L"C:\\WinUtil");
}

TEST_F(Silent, BrokenKitChangesNothingAndTheFolderAskedForIsUsed) {
  std::wstring kit = KitWithout(L"morvane.4");
  EXPECT_EQ(RunUnseen(kit + L"\\setup.exe", L"/S"), 1619u);
  ExpectLogHas(Log(), "The installation kit is incomplete; missing: morvane.4");
  ExpectNothingInstalled();

  // One byte changed after assembly, and a library swapped in whose code
  // would leave a marker beside it: named, nothing installed, never run.
  std::string picture = World::ReadFile(PristineKit() + L"\\morvane.4").value_or("");
  ASSERT_GT(picture.size(), 100u);
  picture[100] ^= 1;
  World::WriteFile(kit + L"\\morvane.4", picture);
  EXPECT_EQ(RunUnseen(kit + L"\\setup.exe", L"/S"), 1620u);
  ExpectLogHas(Log(), "The installation kit is damaged; not as assembled: morvane.4");
  ExpectNothingInstalled();
  ASSERT_TRUE(CopyFileW((TestBinaries() + L"\\planted_dll.dll").c_str(), (kit + L"\\setup.dll").c_str(), FALSE));
  EXPECT_EQ(RunUnseen(kit + L"\\setup.exe", L"/S"), 1620u);
  ExpectLogHas(Log(), "The installation kit is damaged; not as assembled: setup.dll, morvane.4");
  EXPECT_EQ(RunUnseen(kit + L"\\setup.exe", L"/S /uninstall"), 1605u);
  EXPECT_FALSE(World::Exists(kit + L"\\setup.dll.loaded"));
  EXPECT_TRUE(KitCopies().empty()) << "a copy with a marker in it could not be removed";
  ExpectNothingInstalled();

  // Mended, and run with its folder and log given.
  World::MakeKit(kKit);
  const std::wstring log = World::kRoot + std::wstring(L"\\deploy.log");
  ASSERT_EQ(RunUnseen(kit + L"\\setup.exe", L"/S /LOG=" + log + L" /D=C:\\Quiet Place\\Morvane"), 0u);
  EXPECT_EQ(World::ReadFile(L"C:\\Quiet Place\\Morvane\\Morvane.exe"), World::ReadFile(kKit + L"\\morvane.1"));
  EXPECT_EQ(World::InstallDir(), L"C:\\QUIET PLACE\\MORVANE\\");
  EXPECT_EQ(World::RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString", kView32),
            L"\"C:\\QUIET PLACE\\MORVANE\\setup.exe\" /S /uninstall");
  ExpectLogHas(Log(log), "Target: C:\\Quiet Place\\Morvane");
}

TEST_F(Silent, LogNeverWritesThroughWhatLiesUnderItsName) {
  World::MakeKit(kKit);
  const std::wstring victim = World::kRoot + std::wstring(L"\\victim.txt");
  for (const char* plant : {"ln -s", "ln"}) {  // a link, a second name of the file
    SCOPED_TRACE(plant);
    World::WriteFile(victim, "keep");
    ASSERT_TRUE(World::RunUnix(std::string(plant) + " '" + World::UnixPath(victim) + "' '" +
                               World::UnixPath(TempLog()) + "'"));
    EXPECT_EQ(RunUnseen(kKit + L"\\setup.exe", L"/S"), 1622u);
    EXPECT_EQ(World::ReadFile(victim), "keep");
    ExpectNothingInstalled();
    World::RunUnix("rm -f '" + World::UnixPath(TempLog()) + "'");
  }
}

TEST_F(Silent, OneSetupAtATime) {
  World::MakeKit(kKit);
  // The window keeps a log too when asked.
  const std::wstring windowLog = World::kRoot + std::wstring(L"\\window.log");
  setup_ = SetupProcess::Start(kKit + L"\\setup.exe", kKit, L"/LOG=" + windowLog);
  HWND window = setup_.WaitForWindow(kMainTitle);
  ASSERT_TRUE(window);
  ExpectLogHas(Log(windowLog), "Morvane Setup, window: ");

  EXPECT_EQ(RunUnseen(kKit + L"\\setup.exe", L"/S"), 1618u);
  ExpectLogHas(Log(), "Finished: another setup is running, exit code 1618");
  ExpectNothingInstalled();

  // A second double-click: the first window comes back to the front.
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }));
  EXPECT_EQ(RunUnseen(kKit + L"\\setup.exe", L""), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(window) && GetForegroundWindow() == window; }));
  EXPECT_EQ(Text(window, Label1), kInstallPrompt);

  Click(Handle(window, Command1));
  ExpectEndsCleanly();
}

// The single file that carries the whole kit, downloaded alone: it runs as
// the kit's setup.exe would, with its switches and exit code.
TEST_F(Silent, SingleFileAloneOpensTheWindowAndInstallsSilently) {
  const std::wstring installer = L"C:\\e2e\\Downloads\\morvane-2.4.5-setup.exe";
  World::MakeDirectories(L"C:\\e2e\\Downloads");
  ASSERT_TRUE(CopyFileW(SingleFileInstaller().c_str(), installer.c_str(), FALSE)) << Utf8(SingleFileInstaller());

  SetupProcess plain = SetupProcess::Start(installer, L"C:\\e2e\\Downloads");
  ASSERT_TRUE(plain);
  HWND window = WaitForAnyWindow(kMainTitle);
  ASSERT_TRUE(window);
  EXPECT_EQ(Text(window, Label1), kInstallPrompt);
  EXPECT_TRUE(Visible(window, cmdNext0));
  World::Screenshot(window, "single-file");
  Click(Handle(window, Command1));
  EXPECT_EQ(plain.WaitForExit(), 0u);

  EXPECT_EQ(RunUnseen(installer, L"/S /uninstall"), 1605u);  // its exit code is the setup's
  ASSERT_EQ(RunUnseen(installer, L"/S"), 0u);
  ExpectCompleteInstallation(PristineKit(), kTarget);
  ExpectLogHas(Log(), "Finished: done, exit code 0");
  EXPECT_TRUE(KitCopies().empty());
  EXPECT_EQ(World::List(L"C:\\e2e\\Downloads"), std::vector<std::wstring>{L"morvane-2.4.5-setup.exe"});
  World::DeleteTree(L"C:\\WinUtil");
}

}  // namespace
}  // namespace e2e
