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

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
  return temp;
}

// Every log a run without /LOG= wrote, oldest first.
std::vector<std::wstring> TempLogs() {
  std::vector<std::pair<ULONGLONG, std::wstring>> logs;
  for (const std::wstring& name : World::List(TempFolder())) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    std::wstring path = TempFolder() + L"\\" + name;
    if (name.rfind(L"Morvane Setup ", 0) != 0 || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
      continue;
    }
    logs.emplace_back((ULONGLONG{data.ftCreationTime.dwHighDateTime} << 32) | data.ftCreationTime.dwLowDateTime, path);
  }
  std::sort(logs.begin(), logs.end());
  std::vector<std::wstring> paths;
  for (const auto& [time, path] : logs) paths.push_back(path);
  return paths;
}

// The default log's name for a run that starts this many seconds from now.
std::wstring TempLogAt(int secondsFromNow) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  FILETIME time{};
  SystemTimeToFileTime(&now, &time);
  ULARGE_INTEGER ticks{{time.dwLowDateTime, time.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(secondsFromNow) * 10000000LL);
  time = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME then{};
  FileTimeToSystemTime(&time, &then);
  wchar_t name[64];
  wsprintfW(name, L"Morvane Setup %04u-%02u-%02u %02u.%02u.%02u.log", then.wYear, then.wMonth, then.wDay, then.wHour,
            then.wMinute, then.wSecond);
  return TempFolder() + L"\\" + name;
}

class Silent : public SetupSession {
 protected:
  void SetUp() override {
    SetupSession::SetUp();
    for (const std::wstring& log : TempLogs()) World::DeleteTree(log);
  }
  void TearDown() override {
    SetupSession::TearDown();
    World::DeleteTree(kQuietPlace);
    for (const std::wstring& log : TempLogs()) World::DeleteTree(log);
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

  // The log as UTF-8 text, by default the newest in TEMP: it starts with
  // its header, every line starts with its time, and it ends with the
  // outcome and its exit code.
  static std::string Log(std::wstring path = L"") {
    if (path.empty()) path = TempLogs().empty() ? L"" : TempLogs().back();
    std::string log = World::ReadFile(path).value_or("");
    EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF") << Utf8(path);
    for (std::size_t line = 3, end = 0; line < log.size() && end != std::string::npos; line = end + 2) {
      EXPECT_EQ(log.compare(line, 2, "20"), 0) << log.substr(line, 40);
      end = log.find("\r\n", line);
    }
    for (const char* header : {"Morvane by Halvo Setup 2.04.0005\r\n", "Command line: \"", "Account: ", "Kit folder: "}) {
      ExpectLogHas(log, header);
    }
    std::size_t lastLine = log.rfind("\r\n", log.size() - 3);
    EXPECT_NE(log.find(" Finished: ", lastLine), std::string::npos) << log;
    EXPECT_NE(log.find(", exit code ", lastLine), std::string::npos) << log;
    return log;
  }

  static void ExpectLogHas(const std::string& log, const std::string& line) {
    EXPECT_NE(log.find(line), std::string::npos) << "no \"" << line << "\" in\n" << log;
  }

  static void ExpectNothingInstalled() {
    EXPECT_FALSE(World::Exists(L"C:\\WinUtil"));
    EXPECT_FALSE(World::Exists(L"C:\\Tools"));
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

  ASSERT_EQ(TempLogs().size(), 1u);
  std::string log = Log();
  for (const char* line : {"Kit folder: C:\\e2e\\kit\\", "Kit copied, to be checked and used from there: C:\\windows\\Temp\\Morvane Kit ",
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
  // Its own log beside the installation's, which stays as it was.
  ASSERT_EQ(TempLogs().size(), 2u);
  EXPECT_EQ(Log(TempLogs().front()), log);
  log = Log();
  ExpectLogHas(log, "Command line: \"C:\\WINUTIL\\MORVANE\\setup.exe\" /S /uninstall");
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

  // Another folder that cannot be written (on R:, which only root may
  // change): the copy there was never made, so the installed one was never
  // removed.
  ASSERT_TRUE(World::IsDirectory(L"R:\\")) << "no read-only drive R: (the test script maps it as root)";
  EXPECT_EQ(RunUnseen(kKit + L"\\setup.exe", L"/S /D=R:\\Morvane"), 1603u);
  EXPECT_FALSE(World::Exists(L"R:\\Morvane"));
  ExpectLogHas(Log(), "Creating folder R:\\MORVANE\\ failed: error 5, ");
  expectTheInstalledCopy();

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
  ExpectLogHas(log, "Could not write C:\\WINUTIL\\MORVANE\\Help\\AddFile.bmp: error 5, ");
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

// What a deployment system passes wrongly never waits for a person: the
// run ends at once, says which argument it refused, and changes nothing.
TEST_F(Silent, WrongArgumentsEndTheRunAtOnceAndNameTheArgument) {
  World::MakeKit(kKit);
  for (const auto& [arguments, refused] : {std::pair<std::wstring, std::string>{L"/quiet", "\"/quiet\""},
                                           {L"/D=C:\\Tools\\Morvane /S /bogus", "\"/bogus\""}}) {
    SCOPED_TRACE(Utf8(arguments));
    EXPECT_EQ(RunUnseen(kKit + L"\\setup.exe", arguments), 1639u);
    std::string log = Log();
    ExpectLogHas(log, "The argument " + refused + " is not one this setup takes");
    ExpectLogHas(log, "Finished: command line refused, exit code 1639");
    ExpectNothingInstalled();
  }
}

// /? shows the usage, changes nothing and writes no log.
TEST_F(Silent, UsageIsShownInAMessageBox) {
  World::MakeKit(kKit);
  setup_ = SetupProcess::Start(kKit + L"\\setup.exe", kKit, L"/?");
  std::optional<MessageBoxInfo> box = setup_.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, texts::kUsage);
  EXPECT_EQ(box->icon, MessageIcon::Information);
  World::Screenshot(box->hwnd, "usage");
  ASSERT_TRUE(AnswerMessageBox(*box, L"OK"));
  ExpectEndsCleanly();
  EXPECT_TRUE(TempLogs().empty());
  ExpectNothingInstalled();
}

// A log is always a new file: whatever lies under its name, a user's file
// or a link to another, is never opened; the run writes to the next name.
TEST_F(Silent, LogsAreNewFilesWhateverLiesUnderTheirNames) {
  World::MakeKit(kKit);
  const std::wstring victim = World::kRoot + std::wstring(L"\\victim.txt");
  World::WriteFile(victim, "keep");
  // The names of the runs about to start, taken ahead: every other one by
  // a link to the victim, the rest by a user's file.
  std::vector<std::wstring> planted;
  std::string links = "true";
  for (int second = -1; second <= 30; ++second) {
    planted.push_back(TempLogAt(second));
    if (second % 2 == 0) {
      links += " && ln -s '" + World::UnixPath(victim) + "' '" + World::UnixPath(TempFolder()) + "/" +
               Utf8(planted.back().substr(TempFolder().size() + 1)) + "'";
    } else {
      ASSERT_TRUE(World::WriteFile(planted.back(), "planted"));
    }
  }
  ASSERT_TRUE(World::RunUnix(links));
  // The log asked for, and every numbered name after it, taken ahead too.
  const std::wstring asked = World::kRoot + std::wstring(L"\\deploy.log");
  ASSERT_TRUE(World::WriteFile(asked, "theirs"));
  for (int number = 2; number <= 99; ++number) {
    ASSERT_TRUE(World::WriteFile(World::kRoot + (L"\\deploy (" + std::to_wstring(number) + L").log"), "theirs"));
  }
  EXPECT_EQ(RunUnseen(kKit + L"\\setup.exe", L"/S /uninstall"), 1605u);
  EXPECT_EQ(RunUnseen(kKit + L"\\setup.exe", L"/S /uninstall /LOG=" + asked), 1605u);

  EXPECT_EQ(World::ReadFile(victim), "keep");
  EXPECT_EQ(World::ReadFile(asked), "theirs");
  for (std::size_t i = 0; i < planted.size(); ++i) {
    if (i % 2 == 0) {
      EXPECT_EQ(World::ReadFile(planted[i]), "planted") << Utf8(planted[i]);
    }
  }
  std::vector<std::wstring> made = TempLogs();
  std::erase_if(made, [&](const std::wstring& log) { return std::find(planted.begin(), planted.end(), log) != planted.end(); });
  ASSERT_EQ(made.size(), 1u);
  EXPECT_NE(made[0].find(L" (2).log"), std::wstring::npos) << Utf8(made[0]);
  ExpectLogHas(Log(made[0]), "Finished: Morvane is not installed, exit code 1605");
  EXPECT_EQ(World::ReadFile(World::kRoot + std::wstring(L"\\deploy (2).log")), "theirs");
  std::vector<std::wstring> unguessed = World::List(World::kRoot);
  std::erase_if(unguessed, [](const std::wstring& name) {
    return !name.starts_with(L"deploy (") || std::wcstoul(name.c_str() + 8, nullptr, 10) <= 99;
  });
  ASSERT_EQ(unguessed.size(), 1u);
  ExpectLogHas(Log(World::kRoot + (L"\\" + unguessed[0])), "Finished: Morvane is not installed, exit code 1605");
  for (std::size_t i = 1; i < planted.size(); i += 2) World::RemoveUnixLink(planted[i]);
}

TEST_F(Silent, OneSetupAtATime) {
  World::MakeKit(kKit);
  // /LOG= counts only with /S: the window keeps no log.
  const std::wstring windowLog = World::kRoot + std::wstring(L"\\window.log");
  setup_ = SetupProcess::Start(kKit + L"\\setup.exe", kKit, L"/LOG=" + windowLog);
  HWND window = setup_.WaitForWindow(kMainTitle);
  ASSERT_TRUE(window);
  EXPECT_FALSE(World::Exists(windowLog));
  EXPECT_TRUE(TempLogs().empty());

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
  EXPECT_FALSE(World::Exists(windowLog));
  EXPECT_EQ(TempLogs().size(), 1u);
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
