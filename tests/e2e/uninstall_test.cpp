// Removal, end to end: the whole life cycle through the system's uninstall
// entry, and an older installation that only the machine's entry still knows.
#include <iostream>
#include <set>

#include "app/result_texts.h"
#include "app/texts.h"
#include "platform/win/access_lists_win.h"
#include "tests/e2e/installed_state.h"

namespace e2e {
namespace {

using enum Control;
using namespace std::chrono_literals;


BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM lParam) {
  wchar_t className[16] = {};
  GetClassNameW(hwnd, className, 16);
  if (lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(hwnd) && GetDlgItem(hwnd, 0xFFFF)) {
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A message box of any process: the setup that the system's uninstaller
// starts is not a process this test started.
std::optional<MessageBoxInfo> WaitForAnyMessageBox() {
  HWND box = nullptr;
  if (!WaitUntil([&] { return !EnumWindows(&FindMessageBox, reinterpret_cast<LPARAM>(&box)) && box; })) {
    return std::nullopt;
  }
  MessageBoxInfo info;
  WaitUntil([&] { return (info = ReadMessageBox(box)).icon != MessageIcon::None; }, 2s);
  return info;
}

// Every path under dir, relative to it, sorted.
std::vector<std::wstring> Tree(const std::wstring& dir, const std::wstring& prefix = L"") {
  std::vector<std::wstring> all;
  for (const std::wstring& name : World::List(dir)) {
    all.push_back(prefix + name);
    if (World::IsDirectory(dir + L"\\" + name)) {
      for (const std::wstring& below : Tree(dir + L"\\" + name, prefix + name + L"\\")) all.push_back(below);
    }
  }
  return all;
}

bool ReadOnly(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & ES_READONLY) != 0; }

class Removal : public SetupSession {
 protected:
  // Installs from the kit into target through the window, and exits.
  void Install(const std::wstring& target) {
    HWND window = StartAndWaitForWindow(kKit);
    ASSERT_TRUE(window);
    ASSERT_EQ(Text(window, Label1), kInstallPrompt);
    SetText(Handle(window, Text1), target);
    Click(Handle(window, cmdNext0));
    ASSERT_TRUE(WaitUntil([&] { return Text(window, Label1) == texts::kInstallCompleted; }, 60s))
        << Utf8(Text(window, Label1));
    ASSERT_TRUE(WaitUntil([&] { return Visible(window, Command1); }));
    Click(Handle(window, Command1));
    ExpectEndsCleanly();
  }

  static void AnswerTheQuestion(const wchar_t* answer) {
    std::optional<MessageBoxInfo> box = WaitForAnyMessageBox();
    ASSERT_TRUE(box) << "no question";
    EXPECT_EQ(Utf8(box->title), Utf8(texts::kAppTitle));
    EXPECT_EQ(Utf8(box->text), Utf8(texts::kConfirmUninstall));
    EXPECT_EQ(box->icon, MessageIcon::Exclamation);
    EXPECT_EQ(box->buttons, (std::vector<std::wstring>{L"&Yes", L"&No"}));
    ASSERT_TRUE(AnswerMessageBox(*box, answer));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box->hwnd); }));  // not taken for the next message
  }

  static bool EntryInEitherView() {
    return World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView32) ||
           World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView64);
  }
};

TEST_F(Removal, LifeCycleThroughTheSystemsUninstaller) {
  World::MakeKit(kKit);
  ASSERT_NO_FATAL_FAILURE(Install(L"C:\\e2e\\My Apps\\Morvane"));
  const std::wstring d = L"C:\\E2E\\MY APPS\\MORVANE\\";

  // The entry describes the installation with the types Windows reads.
  auto text = [](const wchar_t* name) { return World::RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, name, kView32); };
  auto number = [](const wchar_t* name) {
    return World::RegistryNumber(HKEY_LOCAL_MACHINE, kUninstallKey, name, kView32);
  };
  EXPECT_EQ(text(L"DisplayVersion"), texts::kDisplayVersion);
  EXPECT_EQ(text(L"Publisher"), texts::kPublisher);
  EXPECT_EQ(text(L"DisplayIcon"), d + L"Morvane.exe,0");
  EXPECT_EQ(text(L"InstallLocation"), d);
  std::size_t bytes = 0;
  for (const wchar_t* name : {L"Morvane.exe", L"screenshot.jpg", L"about.htm", L"setup.dll", L"setup.exe",
                              L"Help\\AddFile.bmp", L"Help\\AddPath.bmp", L"Help\\FileList.htm"}) {
    bytes += World::ReadFile(d + name).value_or("").size();
  }
  EXPECT_EQ(number(L"EstimatedSize"), static_cast<DWORD>((bytes + 1023) / 1024));
  EXPECT_EQ(number(L"NoModify"), 1u);
  EXPECT_EQ(number(L"NoRepair"), 1u);
  std::string listed = World::RunAndCapture(L"uninstaller.exe --list");
  EXPECT_NE(listed.find("QolMORVANE|||Morvane by Halvo 2.4.5.w11"), std::string::npos) << listed;

  // The user's own files beside the product's.
  World::WriteFile(d + L"Help\\my notes.txt", "mine");
  World::WriteFile(d + L"TestThis\\keep.tstx", "mine");
  const std::vector<std::wstring> before = Tree(d);

  SetupProcess uninstaller =
      SetupProcess::Start(L"C:\\windows\\system32\\uninstaller.exe", L"C:\\", L"--remove QolMORVANE");
  ASSERT_TRUE(uninstaller);
  HWND window = WaitForAnyWindow(kMainTitle);
  ASSERT_TRUE(window);
  ASSERT_EQ(Text(window, Label1), texts::kRemove);
  ASSERT_EQ(Text(window, Text1), d);

  // No: nothing changes but the caption of the cancel button.
  Click(Handle(window, cmdNext1));
  ASSERT_NO_FATAL_FAILURE(AnswerTheQuestion(L"&No"));
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Command1) == texts::kExit; }));
  EXPECT_EQ(Text(window, Label1), texts::kRemove);
  EXPECT_TRUE(Visible(window, cmdNext1));
  EXPECT_EQ(Tree(d), before);
  EXPECT_EQ(World::InstallDir(), d);
  EXPECT_EQ(text(L"UninstallString"), L"\"C:\\E2E\\MY APPS\\MORVANE\\setup.exe\"");
  EXPECT_TRUE(World::Exists(World::DesktopShortcut()));
  EXPECT_TRUE(World::Exists(World::ProgramsShortcut()));

  // Yes: the product goes, the user's files stay.
  Click(Handle(window, cmdNext1));
  ASSERT_NO_FATAL_FAILURE(AnswerTheQuestion(L"&Yes"));
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Label1) != texts::kRemove &&
                                     Text(window, Label1) != texts::kUninstalling && Visible(window, Command1); }));
  World::Screenshot(window, "removed");
  std::vector<std::wstring> left = Tree(d);
  // The running setup.exe and its loaded library: whatever the system
  // allows; the caption follows the kit check of d alone.
  std::set<std::wstring> running;
  for (const wchar_t* own : {L"setup.exe", L"setup.dll"}) {
    auto it = std::find(left.begin(), left.end(), own);
    if (it != left.end()) {
      running.insert(own);
      left.erase(it);
    }
  }
  std::cout << "[ record    ] left in the installed folder by its running setup:";
  for (const std::wstring& name : running) std::cout << " " << Utf8(name);
  std::cout << (running.empty() ? " nothing" : "") << "\n";
  EXPECT_EQ(Text(window, Label1),
            texts::kUninstalledDeleteTheRest);
  EXPECT_EQ(left, (std::vector<std::wstring>{L"FileList", L"Help", L"Help\\my notes.txt", L"TestThis",
                                             L"TestThis\\keep.tstx", L"Undo"}));
  EXPECT_FALSE(World::Exists(World::DesktopShortcut()));
  EXPECT_FALSE(World::Exists(World::ProgramsShortcut()));
  EXPECT_EQ(World::InstallDir(), L"UNINSTALLED");
  EXPECT_FALSE(EntryInEitherView());
  for (Control c : {cmdNext0, cmdNext1, cmdNext2, Label2, Text1}) EXPECT_FALSE(Visible(window, c));
  EXPECT_EQ(Text(window, Command1), texts::kExit);
  listed = World::RunAndCapture(L"uninstaller.exe --list");
  EXPECT_EQ(listed.find("QolMORVANE"), std::string::npos) << listed;

  Click(Handle(window, Command1));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
  EXPECT_TRUE(uninstaller.WaitForExit());

  // The next start from the kit offers an installation again.
  HWND again = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(again);
  EXPECT_EQ(Text(again, Label1), kInstallPrompt);
  EXPECT_TRUE(setup_.VisibleTopLevelWindows().size() == 1);
}

TEST_F(Removal, TestThisTurnedIntoALinkLeadsNothingOutside) {
  World::MakeKit(kKit);
  ASSERT_NO_FATAL_FAILURE(Install(L"C:\\WinUtil\\Morvane"));
  // A user makes TestThis a link to a folder of files with the test files' names.
  const std::wstring victim = L"C:\\e2e\\Victim\\";
  for (int n = 1; n <= 10; ++n) {
    World::WriteFile(victim + (n < 10 ? L"0" : L"") + std::to_wstring(n) + L"_Artist___CD___Title.tst", "theirs");
  }
  ASSERT_TRUE(World::MakeUnixLink(L"C:\\WINUTIL\\MORVANE\\TestThis", victim));
  const std::vector<std::wstring> files = World::List(victim);
  auto untouched = [&] {
    for (const std::wstring& name : files) EXPECT_EQ(World::ReadFile(victim + name), "theirs") << Utf8(name);
    EXPECT_EQ(World::List(victim), files);
  };

  HWND window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window);
  ASSERT_EQ(Text(window, cmdNext0), texts::kReinstall);
  Click(Handle(window, cmdNext0));
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Label1) == texts::kInstallCompleted; }, 60s))
      << Utf8(Text(window, Label1));
  untouched();
  ASSERT_TRUE(WaitUntil([&] { return Visible(window, Command1); }));
  Click(Handle(window, Command1));
  ExpectEndsCleanly();

  window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window);
  Click(Handle(window, cmdNext1));
  ASSERT_NO_FATAL_FAILURE(AnswerTheQuestion(L"&Yes"));
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Label1).starts_with(L"Uninstall") && Visible(window, Command1); }))
      << Utf8(Text(window, Label1));
  EXPECT_FALSE(World::Exists(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"));
  untouched();
  EXPECT_TRUE(World::RemoveUnixLink(L"C:\\WINUTIL\\MORVANE\\TestThis"));
}

TEST_F(Removal, RunningMorvaneIsClosedFirstAndNothingChangesUntilThen) {
  World::MakeKit(kKit);
  ASSERT_NO_FATAL_FAILURE(Install(L"C:\\e2e\\Apps\\Morvane"));
  const std::wstring d = L"C:\\E2E\\APPS\\MORVANE\\";
  World::WriteFile(d + L"about.htm", "changed by hand");
  SetupProcess product = SetupProcess::Start(d + L"Morvane.exe", d);
  // The in-use message, answered after what happens meanwhile.
  auto inUse = [&](const wchar_t* answer, bool closeProduct = false, bool kitHeld = false) {
    std::optional<MessageBoxInfo> box = setup_.WaitForMessageBox();
    ASSERT_TRUE(box) << "no in-use message";
    // The setup works from its checked copy of the kit, whose files no one
    // can rewrite or delete until it ends: what it copies is what it checked.
    std::vector<std::wstring> copies = KitCopies();
    if (kitHeld) ASSERT_EQ(copies.size(), 1u);
    for (const wchar_t* name : {L"morvane.1", L"morvane.7", L"setup.dll"}) {
      if (!kitHeld) break;
      std::wstring path = copies[0] + L"\\" + name;
      HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
      EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << Utf8(name);
      if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
      EXPECT_FALSE(DeleteFileW(path.c_str())) << Utf8(name);
    }
    EXPECT_EQ(box->title, texts::kAppTitle);
    EXPECT_EQ(box->text, app::InUseQuestion(d));
    EXPECT_EQ(box->icon, MessageIcon::Exclamation);
    EXPECT_EQ(box->buttons, (std::vector<std::wstring>{L"&Retry", L"Cancel"}));
    if (closeProduct) CloseWithCloseBox(product.WaitForWindow(L"Morvane (sample)"));
    ASSERT_TRUE(!closeProduct || product.WaitForExit());
    ASSERT_TRUE(AnswerMessageBox(*box, answer));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box->hwnd); }));
  };

  // Reinstall: nothing is copied until Morvane is closed and Retry chosen.
  HWND window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window && product.WaitForWindow(L"Morvane (sample)"));
  Click(Handle(window, cmdNext0));
  ASSERT_NO_FATAL_FAILURE(inUse(L"&Retry", false, true));
  EXPECT_EQ(World::ReadFile(d + L"about.htm"), "changed by hand");
  ASSERT_NO_FATAL_FAILURE(inUse(L"&Retry", true));
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Label1) == texts::kInstallCompleted; }, 60s));
  EXPECT_TRUE(World::ReadFile(d + L"about.htm") == World::ReadFile(kKit + L"\\morvane.3"));
  Click(Handle(window, Command1));
  ExpectEndsCleanly();

  // Uninstall, Yes: Cancel is No; closed, Retry removes it completely.
  product = SetupProcess::Start(d + L"Morvane.exe", d);
  const std::vector<std::wstring> before = Tree(d);
  window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window && product.WaitForWindow(L"Morvane (sample)"));
  Click(Handle(window, cmdNext1));
  ASSERT_NO_FATAL_FAILURE(AnswerTheQuestion(L"&Yes"));
  ASSERT_NO_FATAL_FAILURE(inUse(L"Cancel"));
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Command1) == texts::kExit; }));
  EXPECT_EQ(Text(window, Label1), texts::kRemoveOrReinstall);
  EXPECT_TRUE(Tree(d) == before && World::InstallDir() == d && EntryInEitherView());
  Click(Handle(window, cmdNext1));
  ASSERT_NO_FATAL_FAILURE(AnswerTheQuestion(L"&Yes"));
  ASSERT_NO_FATAL_FAILURE(inUse(L"&Retry", true));
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Label1).starts_with(L"Uninstalled."); }));
  EXPECT_EQ(Tree(d), (std::vector<std::wstring>{L"FileList", L"Undo"}));
  EXPECT_TRUE(World::InstallDir() == L"UNINSTALLED" && !EntryInEitherView());
}

// An older copy in the default folder, installed from another account, with
// its folders open to everyone as any folder made under C:\ is: removed, then
// installed again there, the folders made safe on the way.
TEST_F(Removal, OlderInstallationIsRemovedBeforeInstallingAgain) {
  World::MakeKit(kKit);
  ASSERT_NO_FATAL_FAILURE(Install(L"C:\\WinUtil\\Morvane"));
  const std::wstring older = L"C:\\WINUTIL\\MORVANE\\";
  World::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\QolMORVANE");  // this user's setting knows nothing
  ASSERT_TRUE(World::SetPermissions(L"C:\\WinUtil", L"777") && World::SetPermissions(older, L"777"));

  HWND window = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(window);
  World::Screenshot(window, "older-installation");
  EXPECT_EQ(Text(window, Label1), texts::kRemoveBeforeReinstall);
  EXPECT_EQ(Text(window, Text1), older);
  EXPECT_TRUE(ReadOnly(Handle(window, Text1)));
  EXPECT_TRUE(Visible(window, cmdNext2));
  EXPECT_FALSE(Visible(window, cmdBrowse));

  Click(Handle(window, cmdNext2));
  ASSERT_NO_FATAL_FAILURE(AnswerTheQuestion(L"&Yes"));
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Label1) == texts::kUninstalledReinstall; }))
      << Utf8(Text(window, Label1));
  ASSERT_TRUE(WaitUntil([&] { return Visible(window, Command1); }));
  World::Screenshot(window, "ready-to-install");
  EXPECT_EQ(Tree(older), (std::vector<std::wstring>{L"FileList", L"Undo"}));
  EXPECT_FALSE(EntryInEitherView());
  EXPECT_FALSE(setup_.WaitForMessageBox(0ms));
  EXPECT_FALSE(World::Exists(World::DesktopShortcut()));
  EXPECT_EQ(Text(window, Text1), L"C:\\WINUTIL\\MORVANE");
  EXPECT_FALSE(ReadOnly(Handle(window, Text1)));
  for (Control c : {Text1, cmdNext0, cmdBrowse, lblDisk, lblDiskReq, lblDiskFree}) EXPECT_TRUE(Visible(window, c));
  EXPECT_EQ(Text(window, lblDiskFree).rfind(L"Free: ", 0), 0u) << Utf8(Text(window, lblDiskFree));

  Click(Handle(window, cmdNext0));
  std::optional<MessageBoxInfo> box;
  ASSERT_TRUE(WaitUntil([&] {
    box = setup_.WaitForMessageBox(0ms);
    return box || Text(window, Label1) == texts::kInstallCompleted;
  }, 60s));
  ASSERT_FALSE(box) << Utf8(box->text);
  EXPECT_TRUE(World::Exists(L"C:\\WINUTIL\\MORVANE\\Morvane.exe"));
  // No one else may add to, delete or rename anything in the installed folder, nor the folder above.
  for (const wchar_t* folder : {L"C:\\WINUTIL\\MORVANE", L"C:\\WINUTIL"}) {
    FolderSecurity security = ReadFolderSecurityWin(folder);
    ASSERT_EQ(security.result, FolderRead::Read) << Utf8(folder);
    for (const AccessEntry& entry : security.entries) {
      if (entry.trustee != Trustee::Other || !entry.allow) continue;
      std::uint32_t forbidden = rights::kDelete | rights::kDeleteChild | rights::kWriteDac | rights::kWriteOwner |
                                (std::wstring(folder).size() > 10 ? rights::kAddFile | rights::kAddSubdirectory : 0);
      EXPECT_EQ(entry.rights & forbidden, 0u) << Utf8(folder) << std::hex << " " << entry.rights;
    }
  }
  EXPECT_EQ(World::InstallDir(), L"C:\\WINUTIL\\MORVANE\\");
  EXPECT_EQ(World::RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", kView32),
            L"C:\\WINUTIL\\MORVANE\\");
}

}  // namespace
}  // namespace e2e
