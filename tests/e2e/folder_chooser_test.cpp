// The folder chooser behind "&Browse...", worked with the mouse and the
// keyboard as a user does.
#include <thread>

#include "app/texts.h"
#include "folder/folder_form_design.h"
#include "folder/folder_texts.h"
#include "tests/e2e/driver/list_input.h"
#include "tests/e2e/session.h"

namespace e2e {
namespace {

using enum FolderControl;


class FolderChooser : public SetupSession {
 protected:
  HWND StartInstallState() {
    World::MakeKit(kKit);
    for (const wchar_t* folder : {L"Apps\\beta", L"Apps\\Alpha\\inner", L"Apps\\gamma"}) {
      World::MakeDirectories(std::wstring(kKit) + L"\\" + folder);
    }
    HWND window = StartAndWaitForWindow(kKit);
    EXPECT_TRUE(window && WaitUntil([&] { return FocusedControl(window) == Handle(window, Control::Text1); }));
    return window;
  }
  // Presses Browse and waits for the chooser to show.
  HWND Browse(HWND main) {
    Click(Handle(main, Control::cmdBrowse));
    HWND chooser = setup_.WaitForWindow(kFolderCaption);
    EXPECT_TRUE(chooser) << "no folder chooser";
    return chooser;
  }
  // The Utf8(texts::kCreateFolderTitle) input box: a dialog, which WaitForWindow leaves to
  // the message boxes.
  static HWND WaitForInputBox() {
    HWND box = nullptr;
    const std::wstring title = texts::kCreateFolderTitle;
    WaitUntil([&] { return (box = FindWindowW(L"#32770", title.c_str())) && IsWindowVisible(box); });
    return box;
  }
  static HWND Part(HWND chooser, FolderControl control) { return GetDlgItem(chooser, DesignOf(control).id); }
  static std::wstring Typed(HWND chooser) { return ControlText(chooser, DesignOf(Text1).id); }
  static std::wstring SelectedEntry(HWND chooser) {
    HWND list = Part(chooser, Dir1);
    int selected = ListBoxSelection(list);
    return selected < 0 ? L"" : ListBoxItems(list)[static_cast<std::size_t>(selected)];
  }
  static int Entry(HWND chooser, const std::wstring& text) {
    std::vector<std::wstring> items = ListBoxItems(Part(chooser, Dir1));
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i] == text) return static_cast<int>(i);
    }
    return -1;
  }
  void ClickEntry(HWND chooser, const std::wstring& text, bool twice = false) {
    int index = Entry(chooser, text);
    ASSERT_GE(index, 0) << "no entry " << Utf8(text);
    ASSERT_TRUE(ClickListEntry(Part(chooser, Dir1), index, twice));
  }
  // Double-clicks an entry and waits until the list shows it opened (the
  // program keeps twice the indent, plus one for an opened folder, with
  // each entry).
  void OpenEntry(HWND chooser, const std::wstring& text) {
    ClickEntry(chooser, text, true);
    ASSERT_TRUE(WaitUntil([&] {
      int index = Entry(chooser, text);
      return index >= 0 && (ListBoxItemData(Part(chooser, Dir1), index) & 1);
    })) << "not opened: " << Utf8(text);
  }
  bool Hidden(HWND chooser) {
    return WaitUntil([&] { return !IsWindow(chooser) || !IsWindowVisible(chooser); });
  }
};

TEST_F(FolderChooser, OpensOnTheCurrentFolderSetsTheChosenPathAndKeepsItsStateBetweenOpenings) {
  HWND main = StartInstallState();
  ASSERT_TRUE(main);
  HWND chooser = Browse(main);
  ASSERT_TRUE(chooser);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, Command3); }));
  World::Screenshot(chooser, "first");

  // The window as designed: a fixed, owned, modal window over the main one.
  RECT client{};
  GetClientRect(chooser, &client);
  EXPECT_EQ(client.right, 525);
  EXPECT_EQ(client.bottom, 242);
  LONG style = GetWindowLongW(chooser, GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_FALSE(GetWindowLongW(chooser, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(chooser, GW_OWNER), main);
  EXPECT_FALSE(IsWindowEnabled(main));
  RECT outer{}, over{};
  GetWindowRect(chooser, &outer);
  GetWindowRect(main, &over);
  EXPECT_NEAR((outer.left + outer.right) / 2, (over.left + over.right) / 2, 1);
  EXPECT_EQ(ScreenPixel(chooser, 300, 179), RGB(83, 162, 225));  // the frame, between the lists and Text1
  std::vector<ControlInfo> controls = ListControls(chooser, setup_.handle());
  for (const FolderControlDesign& d : FolderFormDesign()) {
    std::optional<ControlInfo> c = FindControl(controls, d.id);
    ASSERT_TRUE(c) << d.id;
    EXPECT_EQ(c->text, d.kind == FolderControlKind::DriveList ? c->text : std::wstring(d.caption)) << d.id;
    EXPECT_TRUE(c->visible && c->enabled) << d.id;
    EXPECT_EQ(c->tooltip, d.tooltip) << d.id;
    EXPECT_NEAR(c->twips.left, d.left, 15) << d.id;
    EXPECT_NEAR(c->twips.top, d.top, 15) << d.id;
    EXPECT_NEAR(c->twips.right - c->twips.left, d.width, 15) << d.id;
    EXPECT_NEAR(c->twips.bottom - c->twips.top, d.height, 15) << d.id;
  }

  // The current drive and folder, nothing typed.
  EXPECT_EQ(ComboBoxSelection(Part(chooser, Drive1)).substr(0, 2), L"c:");
  EXPECT_EQ(ListBoxItems(Part(chooser, Dir1)), (std::vector<std::wstring>{L"c:\\", L"e2e", L"kit", L"Apps"}));
  EXPECT_EQ(SelectedEntry(chooser), L"kit");
  EXPECT_EQ(Typed(chooser), L"");

  // Enter at once is "&Cancel": the focus starts there.
  PressKey(Part(chooser, Command3), VK_RETURN);
  ASSERT_TRUE(Hidden(chooser));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main); }));
  EXPECT_EQ(Text(main, Control::Text1), L"C:\\WinUtil\\Morvane");

  // Into Apps, then one of its folders.
  chooser = Browse(main);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, Command3); }));
  OpenEntry(chooser, L"Apps");
  EXPECT_EQ(ListBoxItems(Part(chooser, Dir1)),
            (std::vector<std::wstring>{L"c:\\", L"e2e", L"kit", L"Apps", L"Alpha", L"beta", L"gamma"}));
  ClickEntry(chooser, L"beta");
  ASSERT_TRUE(WaitUntil([&] { return Typed(chooser) == L"C:\\e2e\\kit\\Apps\\beta"; })) << Utf8(Typed(chooser));
  EXPECT_EQ(ListBoxItems(Part(chooser, Dir1)).size(), 7u);  // the list stays on Apps
  World::Screenshot(chooser, "navigated");

  // "&Set" copies the text as it is, and the disk space is shown afresh.
  SetText(Handle(main, Control::lblDiskFree), L"stale");
  Click(Part(chooser, Command2));
  ASSERT_TRUE(Hidden(chooser));
  EXPECT_TRUE(WaitUntil([&] { return Text(main, Control::Text1) == L"C:\\e2e\\kit\\Apps\\beta"; }));
  EXPECT_TRUE(WaitUntil([&] { return Text(main, Control::lblDiskFree).starts_with(L"Free:"); }));

  // Reopened: the same drive, folder, text and focus.
  chooser = Browse(main);
  EXPECT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, Command2); }));
  EXPECT_EQ(ListBoxItems(Part(chooser, Dir1)).size(), 7u);
  EXPECT_EQ(Typed(chooser), L"C:\\e2e\\kit\\Apps\\beta");
  EXPECT_EQ(ComboBoxSelection(Part(chooser, Drive1)).substr(0, 2), L"c:");

  // "&Cancel" (Esc) leaves the main window's text; the figures are refreshed.
  SetText(Handle(main, Control::Text1), L"C:\\Typed");
  SetText(Handle(main, Control::lblDiskFree), L"stale");
  PressKey(Part(chooser, Command2), VK_ESCAPE);
  ASSERT_TRUE(Hidden(chooser));
  EXPECT_TRUE(WaitUntil([&] { return Text(main, Control::lblDiskFree).starts_with(L"Free:"); }));
  EXPECT_EQ(Text(main, Control::Text1), L"C:\\Typed");
}

TEST_F(FolderChooser, CreatesOneFolderUnderTheListedOneAndRefusesBadNamesWithAMessage) {
  HWND main = StartInstallState();
  ASSERT_TRUE(main);
  HWND chooser = Browse(main);
  ASSERT_TRUE(chooser);

  auto create = [&](const std::wstring& name) -> HWND {
    Click(Part(chooser, Command1));
    HWND box = WaitForInputBox();
    EXPECT_TRUE(box) << "no input box";
    if (!box) return nullptr;
    HWND field = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (field = FocusedControl(box)) && field != box; }));
    TypeText(field, name);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(box, GetDlgCtrlID(field)) == name; }));
    PressKey(field, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    return box;
  };

  // Below a drive's root.
  std::vector<std::wstring> before = World::List(kKit);
  Click(Part(chooser, Command1));
  HWND box = WaitForInputBox();
  ASSERT_TRUE(box);
  bool promptShown = false;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[256] = {};
    SendMessageW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    if (std::wstring(text) == L"Create new folder in\r\n\r\nC:\\e2e\\kit") promptShown = true;
  }
  EXPECT_TRUE(promptShown);
  World::Screenshot(box, "input-box");
  PressKey(FocusedControl(box), VK_ESCAPE);  // cancelled: nothing changes
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(World::List(kKit), before);

  create(L"Made Here");
  EXPECT_TRUE(WaitUntil([&] { return Typed(chooser) == L"C:\\e2e\\kit\\Made Here"; })) << Utf8(Typed(chooser));
  EXPECT_TRUE(World::IsDirectory(L"C:\\e2e\\kit\\Made Here"));
  EXPECT_EQ(World::List(kKit).size(), before.size() + 1);
  EXPECT_GE(Entry(chooser, L"Made Here"), 0);

  // Refused names: a clear message each, nothing made, the chooser as it was.
  std::vector<std::wstring> entries = ListBoxItems(Part(chooser, Dir1));
  before = World::List(kKit);
  for (const std::wstring& name : {std::wstring(L"made here"), std::wstring(L"a<b"), std::wstring(300, L'n')}) {
    create(name);
    std::optional<MessageBoxInfo> message = setup_.WaitForMessageBox();
    ASSERT_TRUE(message) << "no message for " << Utf8(name.substr(0, 20));
    EXPECT_EQ(message->title, texts::kAppTitle);
    EXPECT_TRUE(message->text.starts_with(L"The folder could not be created:\r\n\r\nC:\\e2e\\kit\\" + name + L"\r\n\r\n"))
        << Utf8(message->text);
    EXPECT_GT(message->text.size(), 40 + name.size()) << "no reason given";
    AnswerMessageBox(*message, L"OK");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message->hwnd); }));
  }
  EXPECT_EQ(World::List(kKit), before);
  EXPECT_EQ(ListBoxItems(Part(chooser, Dir1)), entries);
  EXPECT_EQ(Typed(chooser), L"C:\\e2e\\kit\\Made Here");
  EXPECT_TRUE(IsWindowVisible(chooser));

  // At the root: no doubled backslash.
  OpenEntry(chooser, L"c:\\");
  ASSERT_TRUE(WaitUntil([&] { return Entry(chooser, L"kit") < 0; }));
  const std::wstring top = L"morvane-e2e-top";
  RemoveDirectoryW((L"C:\\" + top).c_str());
  create(top);
  EXPECT_TRUE(WaitUntil([&] { return Typed(chooser) == L"C:\\" + top; })) << Utf8(Typed(chooser));
  EXPECT_TRUE(World::IsDirectory(L"C:\\" + top));

  ClickInto(Part(chooser, Text1));  // Enter in the box is "&Set", the default button
  PressKey(Part(chooser, Text1), VK_RETURN);
  ASSERT_TRUE(Hidden(chooser));
  ASSERT_TRUE(WaitUntil([&] { return Text(main, Control::Text1) == L"C:\\" + top; }));

  // The folder made here is one the installation takes: Next installs into it.
  Click(Handle(main, Control::cmdNext0));
  std::optional<MessageBoxInfo> refused;
  EXPECT_TRUE(WaitUntil(
      [&] {
        refused = setup_.WaitForMessageBox(std::chrono::milliseconds(0));
        return refused || Text(main, Control::Label1) == texts::kInstallCompleted;
      },
      std::chrono::seconds(60)));
  EXPECT_FALSE(refused) << Utf8(refused ? refused->text : L"");
  EXPECT_TRUE(World::Exists(L"C:\\" + top + L"\\setup.exe"));
  World::DeleteTree(L"C:\\" + top);
}

TEST_F(FolderChooser, ADriveThatCannotBeReadFallsBackToCWithOneMessage) {
  // Drive Q: of the prefix is mapped to a folder that does not exist: a
  // link in dosdevices, through which Wine reaches a drive's files, and the
  // same mapping defined for the running system, whose drive list Wine's
  // mount manager reads from dosdevices only when the prefix starts.
  const std::wstring missing = L"C:\\e2e\\no-such-folder";
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  auto unixName = reinterpret_cast<UnixNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* driveC = unixName ? unixName(L"C:\\") : nullptr;
  ASSERT_TRUE(driveC);
  std::string dosdevices = driveC;
  HeapFree(GetProcessHeap(), 0, driveC);
  while (!dosdevices.empty() && dosdevices.back() == '/') dosdevices.pop_back();
  dosdevices = dosdevices.substr(0, dosdevices.rfind('/'));  // C: is reached through dosdevices/c:
  ASSERT_TRUE(World::RunUnix("ln -sfn '" + dosdevices + "/c:/e2e/no-such-folder' '" + dosdevices + "/q:'"));
  ASSERT_TRUE(DefineDosDeviceW(0, L"Q:", missing.c_str()));
  struct Unmap {
    std::string link;
    ~Unmap() {
      DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"Q:", nullptr);
      World::RunUnix("rm -f '" + link + "'");
    }
  } unmap{dosdevices + "/q:"};

  HWND main = StartInstallState();
  ASSERT_TRUE(main);
  HWND chooser = Browse(main);
  ASSERT_TRUE(chooser);
  HWND drives = Part(chooser, Drive1);
  std::vector<std::wstring> listed = ComboBoxItems(drives);
  ASSERT_TRUE(std::find(listed.begin(), listed.end(), L"q:") != listed.end()) << "drive list: " << listed.size();

  // Tab to the drive list and choose Q: by its letter.
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, Command3); }));
  PressKey(Part(chooser, Command3), VK_TAB);
  PressKey(Part(chooser, Command3), VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == drives; }));
  TypeText(drives, L"q");
  std::optional<MessageBoxInfo> message = setup_.WaitForMessageBox();
  ASSERT_TRUE(message);
  EXPECT_EQ(message->text, texts::kDriveNotReady);
  EXPECT_EQ(message->icon, MessageIcon::Information);
  EXPECT_EQ(ComboBoxSelection(drives).substr(0, 2), L"c:");  // both on C: already
  EXPECT_EQ(ListBoxItems(Part(chooser, Dir1)).front(), L"c:\\");
  AnswerMessageBox(*message, L"OK");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message->hwnd); }));
  EXPECT_FALSE(setup_.WaitForMessageBox(std::chrono::milliseconds(1500))) << "the message came twice";
  EXPECT_EQ(ComboBoxSelection(drives).substr(0, 2), L"c:");
  EXPECT_EQ(ListBoxItems(Part(chooser, Dir1)).front(), L"c:\\");
  EXPECT_TRUE(IsWindowVisible(chooser));
}

TEST_F(FolderChooser, KeyboardWorksItAndItsCloseBoxCountsAsCancelAndClosingTheMainWindowEndsTheProgram) {
  HWND main = StartInstallState();
  ASSERT_TRUE(main);
  HWND chooser = Browse(main);
  ASSERT_TRUE(chooser);

  // The keyboard: the tab order; "&Cancel" and "&Create new..." share their
  // access key, which therefore only moves between them; Enter on an entry
  // of the directory list opens it.
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, Command3); }));
  for (FolderControl next : {Command2, Drive1, Dir1, Text1, Command1, Command3}) {
    PressKey(chooser, VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, next); })) << DesignOf(next).id;
  }
  PressAccessKey(chooser, L'c');
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, Command1); }));
  PressAccessKey(chooser, L'c');
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, Command3); }));
  EXPECT_FALSE(FindWindowW(L"#32770", std::wstring(texts::kCreateFolderTitle).c_str()));
  EXPECT_TRUE(IsWindowVisible(chooser));
  ClickEntry(chooser, L"Apps");
  PressKey(Part(chooser, Dir1), VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return Entry(chooser, L"gamma") >= 0; }));
  ClickEntry(chooser, L"gamma");
  ASSERT_TRUE(WaitUntil([&] { return !Typed(chooser).empty(); }));
  CloseWithCloseBox(chooser);
  ASSERT_TRUE(Hidden(chooser));
  EXPECT_EQ(Text(main, Control::Text1), L"C:\\WinUtil\\Morvane");

  chooser = Browse(main);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(chooser) == Part(chooser, Command3); }));
  EXPECT_EQ(Typed(chooser), L"");
  EXPECT_EQ(SelectedEntry(chooser), L"kit");

  // The main window is disabled under the chooser, so its close box does
  // nothing; the system (or another program) still asks it to close.
  PostMessageW(main, WM_CLOSE, 0, 0);
  ExpectEndsCleanly();
}

}  // namespace
}  // namespace e2e
