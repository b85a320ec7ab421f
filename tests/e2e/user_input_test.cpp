// The user's first mouse click and keys, as real input: a click counts the
// first time, also when it takes the focus from the target box, and a button
// that cannot be seen cannot be pressed.
#include "app/texts.h"
#include "tests/e2e/session.h"

namespace e2e {
namespace {

using enum Control;
using namespace std::chrono_literals;

class UserInput : public SetupSession {
 protected:
  // The installation ran to its end, into target.
  void ExpectInstalledInto(HWND window, const std::wstring& target) {
    EXPECT_TRUE(WaitUntil([&] { return Text(window, Label1) == texts::kInstallCompleted; }, 60s))
        << "Label1: " << Utf8(Text(window, Label1));
    EXPECT_TRUE(World::Exists(target + L"\\Morvane.exe"));
  }
};

TEST_F(UserInput, OneClickOnNextInstalls) {
  HWND window = StartAndWaitForWindow(World::MakeKit(L"C:\\e2e\\kit"));
  ASSERT_TRUE(window);
  Click(Handle(window, cmdNext0));
  ExpectInstalledInto(window, L"C:\\WinUtil\\Morvane");
}

TEST_F(UserInput, TypedTargetThenOneClickOnNextInstallsThere) {
  HWND window = StartAndWaitForWindow(World::MakeKit(L"C:\\e2e\\kit"));
  ASSERT_TRUE(window);
  TypeText(Handle(window, Text1), L"C:\\e2e\\Typed");  // replaces the selected text
  Click(Handle(window, cmdNext0));
  ExpectInstalledInto(window, L"C:\\e2e\\Typed");
  EXPECT_FALSE(World::Exists(L"C:\\WinUtil"));
}

// Alt+N starts the installation, which runs to its end.
TEST_F(UserInput, AccessKeyOfNextInstallsToTheEnd) {
  HWND window = StartAndWaitForWindow(World::MakeKit(L"C:\\e2e\\kit"));
  ASSERT_TRUE(window);
  PressAccessKey(window, L'n');
  ExpectInstalledInto(window, L"C:\\WinUtil\\Morvane");
}

// Next lies under Uninstall: neither Tab, nor its access key, nor Enter
// reaches it, so no installation starts over the installed copy.
TEST_F(UserInput, NextUnderUninstallCannotBePressed) {
  RememberInstalledCopy(L"C:\\e2e\\Installed\\");
  HWND window = StartAndWaitForWindow(KitWithout(L"morvane.8"));
  ASSERT_TRUE(window);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(window) == Handle(window, Text1); }));
  std::vector<HWND> cycle;
  do {
    HWND before = cycle.empty() ? Handle(window, Text1) : cycle.back();
    PressKey(window, VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(window) != before; })) << "Tab moved nothing";
    cycle.push_back(FocusedControl(window));
    if (cycle.back() == Handle(window, Command1)) PressKey(window, 'N');  // the letter alone on a button
  } while (cycle.back() != Handle(window, Text1) && cycle.size() < 6);
  EXPECT_EQ(cycle, (std::vector<HWND>{Handle(window, Command1), Handle(window, cmdNext1), Handle(window, Text1)}));
  PressAccessKey(window, L'n');
  PressKey(window, VK_RETURN);
  // Tab is handled after the keys before it: once it has moved the focus,
  // they have been handled too.
  PressKey(window, VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(window) == Handle(window, Command1); }));
  EXPECT_FALSE(setup_.WaitForMessageBox(1s)) << "an action started";
  EXPECT_EQ(Text(window, Label1), texts::kRemove);
  EXPECT_FALSE(Visible(window, lblProgBack));
  EXPECT_EQ(World::List(kInstalledDir), std::vector<std::wstring>{L"Morvane.exe"});
}

}  // namespace
}  // namespace e2e
