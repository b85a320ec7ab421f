// The window as each start-up state shows it, read control by control from
// the running program.
#include <cstdlib>
#include <map>

#include "app/texts.h"
#include "tests/e2e/installed_state.h"

namespace e2e {
namespace {

using enum Control;

struct Expected {
  const wchar_t* className;
  std::wstring text;
  bool visible;
  int left, top, width, height;  // twips
  std::wstring tooltip;
  bool readOnly = false;
};

// The designed window, written out as a user would measure it.
std::map<Control, Expected> Design() {
  return {
      {cmdNext2, {L"Button", L"&Uninstall", false, 120, 2760, 1335, 300, L"Uninstall Morvane by Halvo"}},
      {cmdNext1, {L"Button", L"&Uninstall", true, 120, 2760, 1335, 300, L"Uninstall Morvane by Halvo"}},
      {cmdNext0, {L"Button", L"&Next", true, 120, 3120, 1335, 300, L"Install Morvane by Halvo"}},
      {Command1, {L"Button", L"&Cancel", true, 3360, 3120, 1335, 300, L"Exit setup"}},
      {cmdBrowse, {L"Button", L"&Browse...", true, 3360, 2160, 1335, 300, L"Browse for the installation path"}},
      {Text1,
       {L"Edit", L"C:\\WinUtil\\Morvane", true, 120, 1800, 4575, 285,
        L"The path where Morvane by Halvo will be installed"}},
      {lblProgHundred, {L"Static", L"100%", false, 3840, 2520, 735, 255, L""}},
      {lblProgZero, {L"Static", L"0%", false, 240, 2520, 495, 255, L""}},
      {lblProgFore, {L"Static", L"", false, 360, 2520, 4335, 375, L""}},
      {lblProgBack, {L"Static", std::wstring(26, L'_'), false, 360, 2520, 4335, 375, L""}},
      {lblDiskFree, {L"Static", L"Free:", true, 360, 2640, 4335, 255, L""}},
      {lblDiskReq, {L"Static", L"Required: < 1 Mb", true, 360, 2400, 2895, 255, L""}},
      {lblDisk, {L"Static", L"Disk space", true, 240, 2160, 3015, 255, L""}},
      {Label2, {L"Static", L"Target Directory:", true, 120, 1440, 4575, 375, L""}},
      {Label1, {L"Static", L"#", true, 120, 120, 4575, 1455, L""}},
  };
}

// Both removal states of the installation in C:\e2e\Installed.
std::map<Control, Expected> RemovalState(const std::wstring& message) {
  auto expected = Design();
  expected[Label1].text = message;
  expected[Label2].text = texts::kLocation;
  expected[Text1].text = L"C:\\e2e\\Installed\\";
  expected[Text1].readOnly = true;
  expected[Text1].tooltip = texts::kLocationTooltip;
  for (Control c : {cmdBrowse, lblDisk, lblDiskReq, lblDiskFree}) expected[c].visible = false;
  return expected;
}

// The uninstalled and no-kit states: a message and the Exit button only.
std::map<Control, Expected> ExitOnlyState(const std::wstring& message) {
  auto expected = Design();
  expected[Label1].text = message;
  expected[Command1].text = texts::kExit;
  for (Control c : {Label2, Text1, cmdBrowse, cmdNext0, cmdNext1, lblDisk, lblDiskReq, lblDiskFree}) {
    expected[c].visible = false;
  }
  return expected;
}

// The child window IDs, uppermost first, as the window stacks its controls.
constexpr std::pair<Control, int> kStacking[] = {
    {cmdNext2, 102},       {cmdNext1, 101},    {cmdNext0, 100},    {Command1, 110},    {cmdBrowse, 111},
    {Text1, 120},          {lblProgHundred, 153}, {lblProgZero, 152}, {lblProgFore, 151}, {lblProgBack, 150},
    {lblDiskFree, 142},    {lblDiskReq, 141},  {lblDisk, 140},     {Label2, 131},      {Label1, 130},
};

class StartStates : public SetupSession {
 protected:
  // Compares every control of the window with the expected state, and the
  // window itself with its design.
  void ExpectWindow(HWND window, const std::map<Control, Expected>& expected) {
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right * 15, 4785);
    EXPECT_EQ(client.bottom * 15, 3585);
    LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << std::hex << style;
    EXPECT_TRUE(style & WS_SYSMENU);

    std::vector<ControlInfo> controls = ListControls(window, setup_.handle());
    ASSERT_EQ(controls.size(), expected.size());
    ASSERT_EQ(controls.size(), std::size(kStacking));
    std::size_t stack = 0;
    for (auto [control, id] : kStacking) {
      // Children come back in stacking order, uppermost first.
      EXPECT_EQ(controls[stack++].id, id) << "stacking at " << id;
      std::optional<ControlInfo> c = FindControl(controls, id);
      ASSERT_TRUE(c) << id;
      const Expected& e = expected.at(control);
      SCOPED_TRACE(id);
      EXPECT_EQ(c->className, e.className);
      EXPECT_EQ(Utf8(c->text), Utf8(e.text));
      EXPECT_EQ(c->visible, e.visible);
      EXPECT_TRUE(c->enabled);
      EXPECT_EQ(c->readOnly, e.readOnly);
      EXPECT_EQ(Utf8(c->tooltip), Utf8(e.tooltip));
      EXPECT_NEAR(c->twips.left, e.left, 15);
      EXPECT_NEAR(c->twips.top, e.top, 15);
      EXPECT_NEAR(c->twips.right - c->twips.left, e.width, 15);
      EXPECT_NEAR(c->twips.bottom - c->twips.top, e.height, 15);
    }
  }

  // The button a click at the centre of this control's rectangle would hit.
  HWND ButtonHitAt(HWND window, Control control) {
    RECT r{};
    GetWindowRect(Handle(window, control), &r);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(window, &centre);
    return ChildWindowFromPointEx(window, centre, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  }
};

TEST_F(StartStates, NothingStoredWithCompleteKitOffersInstallation) {
  // Started from the small drive T:, it must show the free space of C:, the
  // target's drive, which has more than the 2 GB that the caption tells.
  ASSERT_TRUE(World::SmallDriveReady()) << "no empty 64 MiB drive T: (the test script mounts it as root)";
  ULARGE_INTEGER available{}, total{}, free{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &total, &free));
  ASSERT_GT(available.QuadPart, 0x80000000ull) << "the test needs more than 2 GB free on C:";
  HWND window = StartAndWaitForWindow(World::MakeKit(L"T:\\kit"));
  ASSERT_TRUE(window);
  auto expected = Design();
  expected[Label1].text = texts::kInstallPrompt;
  expected[cmdNext1].visible = false;
  expected[lblDiskFree].text = L"Free:  > 2 Gb";
  ExpectWindow(window, expected);
  EXPECT_EQ(FocusedControl(window), Handle(window, Text1));
  EXPECT_EQ(setup_.VisibleTopLevelWindows().size(), 1u);
  World::Screenshot(window, "install");
  // The picture is drawn at the top-left, unscaled: its corner is dark.
  COLORREF corner = ScreenPixel(window, 1, 230);
  EXPECT_LT(GetRValue(corner) + GetGValue(corner) + GetBValue(corner), 150);
}

TEST_F(StartStates, InstalledCopyWithCompleteKitOffersRemovalOrReinstallation) {
  RememberInstalledCopy(L"C:\\e2e\\Installed");  // stored without its backslash
  HWND window = StartAndWaitForWindow(World::MakeKit(L"C:\\e2e\\kit"));
  ASSERT_TRUE(window);
  auto expected = RemovalState(texts::kRemoveOrReinstall);
  expected[cmdNext0].text = texts::kReinstall;
  ExpectWindow(window, expected);
  EXPECT_EQ(ButtonHitAt(window, cmdNext1), Handle(window, cmdNext1));
  EXPECT_EQ(ButtonHitAt(window, cmdNext0), Handle(window, cmdNext0));
  World::Screenshot(window, "remove-or-reinstall");
}

TEST_F(StartStates, InstalledCopyWithoutKitOffersOnlyRemoval) {
  RememberInstalledCopy(L"C:\\e2e\\Installed\\", L"MORVANE.EXE");
  HWND window = StartAndWaitForWindow(KitWithout(L"morvane.8"));
  ASSERT_TRUE(window);
  auto expected = RemovalState(texts::kRemove);
  expected[cmdNext1].top = 3120;
  ExpectWindow(window, expected);
  // Uninstall lies exactly over Next: it is the one a click reaches and the
  // one the user sees.
  EXPECT_EQ(ButtonHitAt(window, cmdNext0), Handle(window, cmdNext1));
  int ink = InkWidth(Handle(window, cmdNext0));
  int uninstall = MessageFontTextWidth(L"Uninstall"), next = MessageFontTextWidth(L"Next");
  EXPECT_LT(std::abs(ink - uninstall), std::abs(ink - next)) << ink << " " << uninstall << " " << next;
  World::Screenshot(window, "remove-only");
}

// The setup's own two files without any kit file, as in the installed folder.
std::wstring SetupAlone() {
  std::wstring dir = World::MakeKit(L"C:\\e2e\\alone");
  for (int n = 1; n <= 8; ++n) DeleteFileW((dir + L"\\morvane." + std::to_wstring(n)).c_str());
  return dir;
}

TEST_F(StartStates, UninstalledWithoutKitShowsTheMessageBeforeTheWindow) {
  World::SetInstallDir(L"UNINSTALLED");
  StartSetup(SetupAlone());
  std::optional<MessageBoxInfo> box = setup_.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(Utf8(box->title), Utf8(texts::kAppTitle));
  EXPECT_EQ(box->text, texts::kUninstalledMessage);
  EXPECT_EQ(box->icon, MessageIcon::Information);
  EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_FALSE(setup_.FindWindowTitled(kMainTitle, true)) << "the main window showed before the message";
  World::Screenshot(box->hwnd, "message");
  ASSERT_TRUE(AnswerMessageBox(*box, L"OK"));

  HWND window = setup_.WaitForWindow(kMainTitle);
  ASSERT_TRUE(window);
  ExpectWindow(window, ExitOnlyState(L""));
  EXPECT_EQ(FocusedControl(window), Handle(window, Command1));
  World::Screenshot(window, "uninstalled");
}

TEST_F(StartStates, NothingStoredWithoutKitOffersOnlyExitAndAKitNotWholeSaysWhichFiles) {
  HWND window = StartAndWaitForWindow(SetupAlone());
  ASSERT_TRUE(window);
  ExpectWindow(window, ExitOnlyState(texts::kNoKit));
  World::Screenshot(window, "no-kit");
  CloseWithCloseBox(window);
  ExpectEndsCleanly();

  std::wstring kit = World::MakeKit(L"C:\\e2e\\kit");
  World::SetAttributes(kit + L"\\morvane.5", FILE_ATTRIBUTE_HIDDEN);  // hidden counts as missing
  window = StartAndWaitForWindow(kit);
  ASSERT_TRUE(window);
  ExpectWindow(window, ExitOnlyState(L"The installation kit is incomplete. Missing: morvane.5"));
  World::Screenshot(window, "incomplete-kit");
  CloseWithCloseBox(window);
  ExpectEndsCleanly();

  // One byte changed after the kit was assembled: no installation offered.
  kit = World::MakeKit(L"C:\\e2e\\damaged");
  std::string picture = World::ReadFile(kit + L"\\morvane.4").value_or("");
  ASSERT_GT(picture.size(), 100u);
  picture[100] ^= 1;
  World::WriteFile(kit + L"\\morvane.4", picture);
  window = StartAndWaitForWindow(kit);
  ASSERT_TRUE(window);
  ExpectWindow(window, ExitOnlyState(texts::kDamagedKit + std::wstring(L"morvane.4")));
  World::Screenshot(window, "damaged-kit");
  CloseWithCloseBox(window);
  ExpectEndsCleanly();
  EXPECT_TRUE(KitCopies().empty());
  EXPECT_EQ(World::ReadFile(kit + L"\\morvane.4"), picture);  // the kit is never written
}

TEST_F(StartStates, HiddenProgramIsNoInstalledCopy) {
  World::WriteFile(L"C:\\e2e\\Installed\\MORVANE.EXE", "MZ");
  World::SetAttributes(L"C:\\e2e\\Installed\\MORVANE.EXE", FILE_ATTRIBUTE_HIDDEN);
  World::SetInstallDir(L"C:\\e2e\\Installed");
  HWND window = StartAndWaitForWindow(World::MakeKit(L"C:\\e2e\\kit"));
  ASSERT_TRUE(window);
  EXPECT_EQ(Text(window, Label1), texts::kInstallPrompt);
  EXPECT_EQ(Text(window, Text1), L"C:\\e2e\\Installed\\");
}

TEST_F(StartStates, AnyStoredTextStartsTheProgram) {
  const std::wstring kStored[] = {
      L"",
      std::wstring(32 * 1024, L'x'),
      L"C:\\e2e\\\x65E5\x672C\x8A9E\\\x0416\x0443\x0440\\",  // outside any ANSI code page
      L"Q:\\No such drive\\Morvane",
  };
  std::wstring kit = World::MakeKit(L"C:\\e2e\\kit");
  for (const std::wstring& stored : kStored) {
    SCOPED_TRACE(stored.size());
    World::SetInstallDir(stored);
    HWND window = StartAndWaitForWindow(kit);
    ASSERT_TRUE(window);
    EXPECT_EQ(Text(window, Label1), texts::kInstallPrompt);
    if (!stored.empty() && stored.size() < 1000) {
      EXPECT_EQ(Text(window, Text1), stored.back() == L'\\' ? stored : stored + L"\\");
    }
    CloseWithCloseBox(window);
    ExpectEndsCleanly();
  }
}

TEST_F(StartStates, SwappedCompanionLibraryNeverRunsAndABrokenOneIsSkippedSilently) {
  // Swapped after the kit was assembled: a library that leaves a marker
  // beside itself wherever it is loaded from.
  std::wstring kit = World::MakeKit(L"C:\\e2e\\kit");
  ASSERT_TRUE(CopyFileW((TestBinaries() + L"\\planted_dll.dll").c_str(), (kit + L"\\setup.dll").c_str(), FALSE));
  HWND window = StartAndWaitForWindow(kit);
  ASSERT_TRUE(window);
  EXPECT_EQ(Text(window, Label1), texts::kDamagedKit + std::wstring(L"setup.dll"));
  CloseWithCloseBox(window);
  ExpectEndsCleanly();
  EXPECT_FALSE(World::Exists(kit + L"\\setup.dll.loaded"));
  EXPECT_TRUE(KitCopies().empty()) << "a copy with a marker in it could not be removed";

  // Assembled so: it is the kit's own, and loading it just fails.
  World::AssembleKit(L"C:\\e2e\\broken", {{L"setup.dll", "This is not a library."}});
  window = StartAndWaitForWindow(L"C:\\e2e\\broken");
  ASSERT_TRUE(window);
  EXPECT_EQ(Text(window, Label1), texts::kInstallPrompt);
  EXPECT_EQ(Text(window, lblDiskFree), L"Free: 0 bytes");
  EXPECT_EQ(setup_.VisibleTopLevelWindows().size(), 1u);
}

TEST_F(StartStates, MissingCompanionLibraryIsSkippedSilently) {
  RememberInstalledCopy(L"C:\\e2e\\Installed\\");
  HWND window = StartAndWaitForWindow(KitWithout(L"setup.dll"));
  ASSERT_TRUE(window);
  // Leaving the target box asks the library for the free space: none there.
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(window) == Handle(window, Text1); }));
  PressKey(Handle(window, Text1), VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return Text(window, lblDiskFree) == L"Free: 0 bytes"; }));
  EXPECT_TRUE(setup_.Running());
  EXPECT_EQ(setup_.VisibleTopLevelWindows().size(), 1u);
}

}  // namespace
}  // namespace e2e
