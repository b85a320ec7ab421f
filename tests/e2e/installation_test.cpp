// The installation, end to end: the real setup.exe from a kit folder, worked
// through its window, then the disk, the registry (both views), the
// shortcuts and the setting checked.
#include "app/result_texts.h"
#include "app/texts.h"
#include "tests/e2e/installed_state.h"

namespace e2e {
namespace {

using enum Control;
using namespace std::chrono_literals;

const std::wstring kTarget = L"C:\\WINUTIL\\MORVANE";

// The failure message for reading or writing the file of this name.
std::string FailureText(const char* kind, const char* name, const std::string& description) {
  auto wide = [](const std::string& text) { return std::wstring(text.begin(), text.end()); };
  install::FailureKind failure = std::string(kind) == "reading" ? install::FailureKind::Read : install::FailureKind::Write;
  return Utf8(install::FailureMessage({failure, wide(name), wide(description)}));
}

class Installation : public SetupSession {
 protected:
  // Starts the setup from kitDir, types the target (unless empty) and
  // presses Next.
  HWND StartAndInstall(const std::wstring& kitDir, const std::wstring& target = L"") {
    HWND window = StartAndWaitForWindow(kitDir);
    if (!window) return nullptr;
    if (!target.empty()) SetText(Handle(window, Text1), target);
    Click(Handle(window, cmdNext0));
    return window;
  }

  // Waits for the installation to end: completed, or a message box shown.
  std::optional<MessageBoxInfo> WaitForEnd(HWND window, std::chrono::milliseconds timeout = 60s) {
    std::optional<MessageBoxInfo> box;
    WaitUntil(
        [&] {
          if (Text(window, Label1) == texts::kInstallCompleted) return true;
          box = setup_.WaitForMessageBox(0ms);
          return box.has_value() || !setup_.Running();
        },
        timeout);
    return box;
  }

  // After a failure message: the end state of a failed installation.
  void ExpectFailedEndState(HWND window, std::size_t steps) {
    EXPECT_TRUE(WaitUntil([&] { return Text(window, Label1) == texts::kInstallFailed; }));
    EXPECT_TRUE(WaitUntil([&] { return Visible(window, Command1); }));
    EXPECT_EQ(Text(window, Command1), texts::kExit);
    EXPECT_EQ(Text(window, lblProgFore), std::wstring(2 * steps, L'_'));
    EXPECT_FALSE(World::InstallDir());
    EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView32));
    EXPECT_FALSE(World::Exists(World::DesktopShortcut()));
  }

  std::optional<MessageBoxInfo> ExpectFailureMessage(HWND window, const std::string& text) {
    std::optional<MessageBoxInfo> box = WaitForEnd(window);
    EXPECT_TRUE(box) << "no failure message; Label1: " << Utf8(Text(window, Label1));
    if (!box) return box;
    EXPECT_EQ(Utf8(box->title), Utf8(texts::kAppTitle));
    EXPECT_EQ(box->icon, MessageIcon::Critical);
    EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(Utf8(box->text), text);
    return box;
  }

  // The failure message with this text, answered, then the end state of an
  // installation stopped after that many steps.
  void ExpectStoppedBy(HWND window, const std::string& text, std::size_t steps) {
    std::optional<MessageBoxInfo> box = ExpectFailureMessage(window, text);
    ASSERT_TRUE(box);
    AnswerMessageBox(*box, L"OK");
    ExpectFailedEndState(window, steps);
  }

  static std::string DescriptionOf(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer, length);
    LocalFree(buffer);
    std::size_t end = text.find_first_of(L"\r\n");
    if (end != std::wstring::npos) text.resize(end);
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return Utf8(text);
  }
};

TEST_F(Installation, NormalInstallationLeavesEverythingInPlace) {
  World::MakeKit(kKit);
  HWND window = StartAndInstall(kKit);
  ASSERT_TRUE(window);
  ASSERT_FALSE(WaitForEnd(window)) << "a message box came up";
  ASSERT_EQ(Text(window, Label1), texts::kInstallCompleted);
  ASSERT_TRUE(WaitUntil([&] { return Visible(window, Command1); }));
  World::Screenshot(window, "completed");
  // The three-line prompt became one line: below it, only the picture.
  EXPECT_EQ(PixelsDifferingFromThePicture(window, RECT{8, 34, 311, 95}), 0);

  // The window's end state: only Exit is left.
  EXPECT_EQ(Text(window, lblProgFore), std::wstring(28, L'_'));
  EXPECT_EQ(Text(window, Command1), texts::kExit);
  for (Control c : {cmdNext0, cmdNext1, cmdNext2, cmdBrowse, Text1, Label2, lblDisk, lblDiskReq, lblDiskFree}) {
    EXPECT_FALSE(Visible(window, c)) << DesignOf(c).id;
  }
  for (Control c : {lblProgBack, lblProgFore, lblProgZero, lblProgHundred}) EXPECT_TRUE(Visible(window, c));

  // The disk: the path upper-case, the folders and files as the table names them.
  EXPECT_EQ(World::List(L"C:\\WinUtil"), std::vector<std::wstring>{L"MORVANE"});
  EXPECT_TRUE(World::IsDirectory(L"C:\\WINUTIL"));
  ExpectCompleteInstallation(kKit, kTarget);
  std::string listed = World::RunAndCapture(L"uninstaller.exe --list");
  EXPECT_NE(listed.find(Utf8(texts::kDisplayName)), std::string::npos) << listed;

  Click(Handle(window, Command1));
  ExpectEndsCleanly();
  EXPECT_TRUE(KitCopies().empty());
}

TEST_F(Installation, EntryTestsRefuseAndChangeNothing) {
  World::MakeKit(kKit);
  HWND window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window);
  struct Entry {
    std::wstring typed;
    MessageIcon icon;
    std::string text;
  };
  const std::string kProgramFiles = Utf8(texts::kProgramFilesRefused);
  const std::string kTooShort = Utf8(texts::kEnterTarget);
  auto refused = [](install::RefusalReason reason, const std::wstring& typed, const std::wstring& folder) {
    install::Refused refusal{reason, typed};
    refusal.folder = folder;
    return Utf8(app::RefusalMessage(refusal));
  };
  wchar_t programFilesShort[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(L"C:\\Program Files", programFilesShort, MAX_PATH), 0u);
  // A folder on the way that is a link to another place, seen as one before anything is made there.
  World::MakeDirectories(L"C:\\e2e\\Victim");
  ASSERT_TRUE(World::MakeUnixLink(L"C:\\e2e\\Linked", L"C:\\e2e\\Victim"));
  install::Refused linked{install::RefusalReason::Unsafe, L"C:\\e2e\\Linked\\Morvane"};
  linked.unsafe = {L"C:\\e2e\\Linked", texts::kFolderIsALink};
  const Entry kEntries[] = {
      {L"", MessageIcon::Critical, kTooShort},
      {L"C:", MessageIcon::Critical, kTooShort},
      {L"c:\\program files\\Morvane", MessageIcon::Information, kProgramFiles},
      {L"C:\\Program Files (x86)\\Morvane", MessageIcon::Information, kProgramFiles},
      {L"C:\\Program FilesX", MessageIcon::Information, kProgramFiles},
      // Not what they seem: relative to the current directory, or Program Files by another name.
      {L"Morvane", MessageIcon::Critical, refused(install::RefusalReason::NotAFullPath, L"Morvane", L"")},
      {L"D:Morvane", MessageIcon::Critical, refused(install::RefusalReason::NotAFullPath, L"D:Morvane", L"")},
      {std::wstring(programFilesShort) + L"\\Morvane", MessageIcon::Information, kProgramFiles},
      {L"C:/Program Files/Morvane", MessageIcon::Information, kProgramFiles},
      // Typos that no folder can be made of: told before anything is made.
      {L"X:\\Tools\\Morvane", MessageIcon::Critical,
       refused(install::RefusalReason::NoSuchDrive, L"X:\\Tools\\Morvane", L"X:\\")},
      {L"C:\\Tools\\a|b", MessageIcon::Critical, refused(install::RefusalReason::InvalidName, L"C:\\Tools\\a|b", L"")},
      {L"C:\\e2e\\Linked\\Morvane", MessageIcon::Critical, Utf8(app::RefusalMessage(linked))},
      // The kit is only read, never installed into.
      {kKit, MessageIcon::Critical, refused(install::RefusalReason::KitFolder, kKit, kKit + L"\\")},
  };
  for (const Entry& entry : kEntries) {
    SCOPED_TRACE(Utf8(entry.typed));
    SetText(Handle(window, Text1), entry.typed);
    Click(Handle(window, cmdNext0));
    std::optional<MessageBoxInfo> box = setup_.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(Utf8(box->title), Utf8(texts::kAppTitle));
    EXPECT_EQ(Utf8(box->text), entry.text);
    EXPECT_EQ(box->icon, entry.icon);
    EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
    if (&entry == &kEntries[2]) World::Screenshot(box->hwnd, "program-files");
    AnswerMessageBox(*box, L"OK");
    ASSERT_TRUE(WaitUntil([&] { return setup_.VisibleTopLevelWindows().size() == 1; }));
    // The box has the focus and its text selected: typing replaces the text
    // ("c" is also Cancel's access key).
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(window) == Handle(window, Text1); }));
    TypeText(Handle(window, Text1), L"c");
    EXPECT_TRUE(WaitUntil([&] { return Text(window, Text1) == L"c"; })) << Utf8(Text(window, Text1));
    // The window is as it was, ready for another try.
    EXPECT_EQ(Text(window, Label1), kInstallPrompt);
    EXPECT_TRUE(Visible(window, cmdNext0));
    EXPECT_TRUE(Visible(window, Text1));
    EXPECT_EQ(Text(window, Command1), L"&Cancel");
    EXPECT_EQ(Text(window, lblProgFore), L"");
  }
  for (const wchar_t* made : {L"C:\\Program FilesX", L"C:\\WinUtil", L"C:\\Program Files\\Morvane", L"C:\\e2e\\kit\\Morvane",
                              L"C:\\Morvane", L"D:\\Morvane", L"C:\\Tools", L"C:\\TOOLS"}) {
    EXPECT_FALSE(World::Exists(made)) << Utf8(made);
  }
  EXPECT_FALSE(World::InstallDir());
  EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView32));
  EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView64));
  EXPECT_FALSE(World::Exists(World::DesktopShortcut()));
  EXPECT_FALSE(World::Exists(World::ProgramsShortcut()));
  EXPECT_EQ(World::List(kKit).size(), 10u);
  EXPECT_TRUE(World::List(L"C:\\e2e\\Victim").empty());
  EXPECT_TRUE(World::RemoveUnixLink(L"C:\\e2e\\Linked"));
}

TEST_F(Installation, DriveRootIsRefusedAsATarget) {
  World::MakeKit(kKit);
  HWND window = StartAndInstall(kKit, L"C:\\");
  ASSERT_TRUE(window);
  std::optional<MessageBoxInfo> box = setup_.WaitForMessageBox();
  ASSERT_TRUE(box);
  // It holds far more than Morvane, and more than administrators may write to it.
  EXPECT_TRUE(box->text.starts_with(std::wstring(texts::kUnsafeTarget))) << Utf8(box->text);
  EXPECT_EQ(box->icon, MessageIcon::Critical);
  AnswerMessageBox(*box, L"OK");
  ASSERT_TRUE(WaitUntil([&] { return setup_.VisibleTopLevelWindows().size() == 1; }));
  EXPECT_EQ(Text(window, Label1), kInstallPrompt);
  EXPECT_FALSE(World::Exists(L"C:\\Morvane.exe") || World::Exists(L"C:\\FileList"));
}

TEST_F(Installation, ReadOnlyScreenshotStopsItAndWhatWasCopiedIsTakenBack) {
  World::MakeKit(kKit);
  World::WriteFile(kTarget + L"\\screenshot.jpg", "an older picture");
  World::SetAttributes(kTarget + L"\\screenshot.jpg", FILE_ATTRIBUTE_READONLY);
  HWND window = StartAndInstall(kKit);
  ASSERT_TRUE(window);
  std::optional<MessageBoxInfo> box =
      ExpectFailureMessage(window, FailureText("writing", "SCREENSHOT.JPG", DescriptionOf(ERROR_ACCESS_DENIED)));
  ASSERT_TRUE(box);
  World::Screenshot(box->hwnd, "message");
  AnswerMessageBox(*box, L"OK");
  ExpectFailedEndState(window, 3);
  World::Screenshot(window, "failed");
  // What the installation made is gone again; what was there stays as it was.
  EXPECT_EQ(World::List(kTarget), std::vector<std::wstring>{L"screenshot.jpg"});
  EXPECT_EQ(World::ReadFile(kTarget + L"\\screenshot.jpg"), "an older picture");
  EXPECT_TRUE(WorkFolders().empty());
}

TEST_F(Installation, KitFileUnreadableAtTheStartIsNamedAndOneGoneLaterIsNotMissed) {
  World::MakeKit(kKit);
  ASSERT_TRUE(World::SetPermissions(kKit + L"\\morvane.3", L"a-r"));
  HWND window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window);
  EXPECT_EQ(Text(window, Label1), texts::kDamagedKit + std::wstring(L"morvane.3"));  // not to be proven
  EXPECT_FALSE(Visible(window, cmdNext0));
  CloseWithCloseBox(window);
  ExpectEndsCleanly();

  // Changed or gone once the setup has checked it: the checked copy is installed.
  ASSERT_TRUE(World::SetPermissions(kKit + L"\\morvane.3", L"a+r"));
  window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window);
  ASSERT_TRUE(DeleteFileW((kKit + L"\\morvane.2").c_str()));
  World::WriteFile(kKit + L"\\morvane.3", "changed after the setup started");
  Click(Handle(window, cmdNext0));
  ASSERT_FALSE(WaitForEnd(window)) << "a message box came up";
  EXPECT_EQ(Text(window, Label1), texts::kInstallCompleted);
  World::MakeKit(kKit);
  ExpectInstalledFilesMatchTheKit(kKit, kTarget);
}

TEST_F(Installation, ReadOnlyKitInstallsCompletelyAndStaysAsItWas) {
  World::MakeKit(kKit);
  ASSERT_TRUE(World::SetPermissions(kKit, L"a-w", true));  // as on a read-only medium
  const std::vector<std::wstring> kit = World::List(kKit);
  HWND window = StartAndInstall(kKit);
  ASSERT_TRUE(window);
  ASSERT_FALSE(WaitForEnd(window)) << "a message box came up";
  EXPECT_EQ(Text(window, Label1), texts::kInstallCompleted);
  ExpectInstalledFilesMatchTheKit(kKit, kTarget);
  EXPECT_EQ(World::RegistryText(HKEY_CURRENT_USER, kPresetsKey, L"Separator"), L"___");
  EXPECT_EQ(World::List(kKit), kit);
}

TEST_F(Installation, TestFileThatCannotBeMadeStopsItAndTheKitStaysComplete) {
  World::MakeKit(kKit);
  World::MakeDirectories(kTarget + L"\\TestThis\\" + TestFile(5));  // a folder in the way
  HWND window = StartAndInstall(kKit);
  ASSERT_TRUE(window);
  std::optional<MessageBoxInfo> box =
      ExpectFailureMessage(window, FailureText("writing", "10x empty test file", DescriptionOf(ERROR_ACCESS_DENIED)));
  ASSERT_TRUE(box);
  AnswerMessageBox(*box, L"OK");
  ExpectFailedEndState(window, 11);
  // Taken back: the test files before it, and the product's files.
  EXPECT_FALSE(World::Exists(kTarget + L"\\TestThis\\" + TestFile(4)));
  EXPECT_FALSE(World::Exists(kTarget + L"\\Morvane.exe"));
  EXPECT_TRUE(World::IsDirectory(kTarget + L"\\TestThis\\" + TestFile(5)));
  // The script was imported from a copy of this run's own, which is gone again.
  EXPECT_EQ(World::RegistryText(HKEY_CURRENT_USER, kPresetsKey, L"Separator"), L"___");
  EXPECT_TRUE(WorkFolders().empty());
  EXPECT_EQ(World::List(kKit), World::List(PristineKit()));
  Click(Handle(window, Command1));
  ExpectEndsCleanly();
  HWND again = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(again);
  EXPECT_EQ(Text(again, Label1), kInstallPrompt);
}

TEST_F(Installation, WinDirSetByTheUserDoesNotChooseTheRegistryEditor) {
  World::MakeKit(kKit);
  const std::wstring planted = L"C:\\e2e\\PlantedWindows";
  World::MakeDirectories(planted);
  ASSERT_TRUE(CopyFileW((TestBinaries() + L"\\fake_regedit.exe").c_str(), (planted + L"\\regedit.exe").c_str(), FALSE));
  // The program inherits this environment, as it would the user's own HKCU\Environment.
  ASSERT_TRUE(SetEnvironmentVariableW(L"WinDir", planted.c_str()));
  HWND window = StartAndInstall(kKit);
  SetEnvironmentVariableW(L"WinDir", L"C:\\windows");
  ASSERT_TRUE(window);
  ASSERT_FALSE(WaitForEnd(window));
  EXPECT_EQ(Text(window, Label1), texts::kInstallCompleted);
  EXPECT_FALSE(World::Exists(planted + L"\\regedit.exe.ran"));
  EXPECT_EQ(World::RegistryText(HKEY_CURRENT_USER, kPresetsKey, L"Separator"), L"___");
}

TEST_F(Installation, NamesOutsideTheAnsiCodePageGetWorkingShortcuts) {
  const std::wstring target = L"C:\\T\u00f6\u00f6ls\\\u041c\u043e\u0440\u0432\u0430\u043d\u0435";  // C:\Tööls\Морване
  World::DeleteTree(L"C:\\T\u00f6\u00f6ls");
  World::MakeKit(kKit);
  HWND window = StartAndInstall(kKit, target);
  ASSERT_TRUE(window);
  ASSERT_FALSE(WaitForEnd(window));
  EXPECT_EQ(Text(window, Label1), texts::kInstallCompleted);
  std::wstring installed = World::InstallDir().value_or(L"");
  EXPECT_TRUE(World::Exists(installed + L"Morvane.exe")) << Utf8(installed);
  for (const std::wstring& link : {World::DesktopShortcut(), World::ProgramsShortcut()}) {
    std::optional<ShellLinkInfo> info = ReadShellLink(link);
    ASSERT_TRUE(info) << Utf8(link);
    EXPECT_EQ(Utf8(info->idListPath), Utf8(installed + L"Morvane.exe"));
    // Made from the target the library was given: '?' for each lost letter otherwise.
    EXPECT_EQ(Utf8(info->workingDirectory.c_str() + std::wstring(L"\\")), Utf8(installed));
  }
  Click(Handle(window, Command1));
  ExpectEndsCleanly();
  World::DeleteTree(L"C:\\T\u00f6\u00f6ls");
}

TEST_F(Installation, BlanksInKitAndTargetPathsStillImportAndRegister) {
  const std::wstring kit = L"C:\\e2e\\Jane Doe\\Downloads\\Morvane kit";
  World::MakeKit(kit);
  HWND window = StartAndInstall(kit, L"C:\\My Tools\\Morvane");
  ASSERT_TRUE(window);
  ASSERT_FALSE(WaitForEnd(window));
  EXPECT_EQ(Text(window, Label1), texts::kInstallCompleted);
  EXPECT_EQ(World::RegistryText(HKEY_CURRENT_USER, kPresetsKey, L"Separator"), L"___");
  EXPECT_EQ(World::RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString", kView32),
            L"\"C:\\MY TOOLS\\MORVANE\\setup.exe\"");
  Click(Handle(window, Command1));
  ExpectEndsCleanly();

  // The system's uninstaller runs the entry's command: the installed setup
  // starts, finds its installation, and offers to remove it.
  SetupProcess uninstaller = SetupProcess::Start(L"C:\\windows\\system32\\uninstaller.exe", L"C:\\",
                                                 L"--remove QolMORVANE");
  ASSERT_TRUE(uninstaller);
  HWND removal = WaitForAnyWindow(kMainTitle);
  ASSERT_TRUE(removal);
  EXPECT_EQ(ControlText(removal, Id(Label1)), texts::kRemove);
  EXPECT_EQ(ControlText(removal, Id(Text1)), L"C:\\MY TOOLS\\MORVANE\\");
  World::Screenshot(removal, "started-by-uninstaller");
  CloseWithCloseBox(removal);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(removal); }));
  EXPECT_TRUE(uninstaller.WaitForExit());
}

TEST_F(Installation, ReinstallReplacesEveryFile) {
  World::MakeKit(kKit);
  HWND first = StartAndInstall(kKit);
  ASSERT_TRUE(first);
  ASSERT_FALSE(WaitForEnd(first));
  Click(Handle(first, Command1));
  ExpectEndsCleanly();

  for (const auto& [kitName, installedName] : kInstalled) {
    World::WriteFile(kTarget + L"\\" + installedName, "changed by hand, and longer than some of the originals");
  }
  World::WriteFile(kTarget + L"\\Morvane.exe", "the marker that counts as an installed copy");
  DeleteFileW(World::DesktopShortcut().c_str());

  HWND window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window);
  ASSERT_EQ(Text(window, Label1), texts::kRemoveOrReinstall);
  ASSERT_EQ(Text(window, cmdNext0), texts::kReinstall);
  Click(Handle(window, cmdNext0));
  ASSERT_FALSE(WaitForEnd(window));
  EXPECT_EQ(Text(window, Label1), texts::kInstallCompleted);
  ExpectInstalledFilesMatchTheKit(kKit, kTarget);
  EXPECT_TRUE(World::Exists(World::DesktopShortcut()));
  EXPECT_EQ(World::InstallDir(), L"C:\\WINUTIL\\MORVANE\\");
}

TEST_F(Installation, ClosingTheWindowMidwayEndsAtOnceAndKeepsWhatWasCopied) {
  const std::size_t bigSize = 128 * 1024 * 1024;
  World::AssembleKit(kKit, {{L"morvane.2", std::string(bigSize, 'M')}});
  auto sizeOf = [](const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ULONGLONG{0};
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  };
  const std::wstring picture = kTarget + L"\\screenshot.jpg";
  // An older Morvane.exe there is kept for putting back until the end, which comes first.
  World::MakeDirectories(kTarget);
  ASSERT_TRUE(World::WriteFile(kTarget + L"\\Morvane.exe", "older"));
  HWND window = StartAndInstall(kKit);
  ASSERT_TRUE(window);
  // Closed while the big picture is being copied (step 4 comes after it),
  // the program ends at that step: before the page of row 3 is copied. The
  // pointer waits on the close box, so that the click goes as soon as the
  // copy has begun, and is known to have been given before the copy ended.
  AimAtCloseBox(window);
  ASSERT_TRUE(WaitUntil([&] { return sizeOf(picture) > 0; }));
  ULONGLONG copiedWhenClosed = 0;
  CloseWithCloseBox(window, [&] { copiedWhenClosed = sizeOf(picture); });
  ASSERT_LT(copiedWhenClosed, bigSize) << "the copy ended before the close was given; the test needs a bigger file";
  ExpectEndsCleanly();
  EXPECT_TRUE(World::ReadFile(kTarget + L"\\Morvane.exe") == World::ReadFile(kKit + L"\\morvane.1"));
  EXPECT_EQ(sizeOf(picture), bigSize);
  for (const wchar_t* later : {L"about.htm", L"setup.dll", L"setup.exe", L"Help\\AddFile.bmp",
                               L"Help\\AddPath.bmp", L"Help\\FileList.htm"}) {
    EXPECT_FALSE(World::Exists(kTarget + L"\\" + later)) << Utf8(later);
  }
  EXPECT_TRUE(World::Exists(kKit + L"\\morvane.7"));
  EXPECT_FALSE(World::Exists(kKit + L"\\presets.reg"));
  EXPECT_TRUE(World::List(kTarget + L"\\TestThis").empty());
  EXPECT_TRUE(WorkFolders().empty());
  EXPECT_FALSE(World::InstallDir());
  EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView32));
  EXPECT_FALSE(World::Exists(World::DesktopShortcut()));
  EXPECT_FALSE(World::Exists(World::ProgramsShortcut()));
}

}  // namespace
}  // namespace e2e
