// Leaving the program, and the keyboard of the main window.
#include "app/texts.h"
#include "tests/e2e/session.h"

namespace e2e {
namespace {

using enum Control;

class Leaving : public SetupSession {
 protected:
  HWND StartInstallState() {
    HWND window = StartAndWaitForWindow(World::MakeKit(L"C:\\e2e\\kit"));
    EXPECT_TRUE(window && WaitUntil([&] { return FocusedControl(window) == Handle(window, Text1); }));
    return window;
  }
};

TEST_F(Leaving, EscEndsTheProgramWithoutAQuestion) {
  HWND window = StartInstallState();
  ASSERT_TRUE(window);
  PressKey(Handle(window, Text1), VK_ESCAPE);
  ExpectEndsCleanly();
}

TEST_F(Leaving, CancelButtonEndsTheProgram) {
  HWND window = StartInstallState();
  ASSERT_TRUE(window);
  Click(Handle(window, Command1));
  ExpectEndsCleanly();
}

TEST_F(Leaving, CloseBoxEndsTheProgram) {
  HWND window = StartInstallState();
  ASSERT_TRUE(window);
  CloseWithCloseBox(window);
  ExpectEndsCleanly();
}

TEST_F(Leaving, AccessKeyOfCancelEndsTheProgram) {
  HWND window = StartInstallState();
  ASSERT_TRUE(window);
  PressAccessKey(Handle(window, Text1), L'c');
  ExpectEndsCleanly();
}

TEST_F(Leaving, EnterOnTheFocusedCancelButtonEndsTheProgram) {
  HWND window = StartInstallState();
  ASSERT_TRUE(window);
  PressKey(Handle(window, Text1), VK_TAB);
  PressKey(Handle(window, Text1), VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(window) == Handle(window, Command1); }));
  PressKey(Handle(window, Command1), VK_RETURN);
  ExpectEndsCleanly();
}

TEST_F(Leaving, ExitButtonOfTheNoKitStateEndsTheProgram) {
  HWND window = StartAndWaitForWindow(KitWithout(L"morvane.1"));
  ASSERT_TRUE(window);
  EXPECT_EQ(Text(window, Command1), texts::kExit);
  Click(Handle(window, Command1));
  ExpectEndsCleanly();
}

TEST_F(Leaving, TabbingAwayFromTheTargetRefreshesTheFreeSpace) {
  // Started from C:, it must show the free space of the target's drive T:,
  // an empty 64 MiB drive.
  ASSERT_TRUE(World::SmallDriveReady()) << "no empty 64 MiB drive T: (the test script mounts it as root)";
  HWND window = StartInstallState();
  ASSERT_TRUE(window);
  HWND target = Handle(window, Text1);
  SetText(Handle(window, lblDiskFree), L"stale");
  TypeText(target, L"T:\\Morvane");  // replaces the selected text
  PressKey(target, VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return Text(window, lblDiskFree) == L"Free: 64 Mb"; }))
      << Utf8(Text(window, lblDiskFree));
  EXPECT_EQ(Text(window, Text1), L"T:\\Morvane");
  EXPECT_EQ(FocusedControl(window), Handle(window, cmdBrowse));
}

TEST_F(Leaving, EnterInTheTargetBoxStartsNothing) {
  HWND window = StartInstallState();
  ASSERT_TRUE(window);
  HWND target = Handle(window, Text1);
  SetText(Handle(window, lblDiskFree), L"stale");
  PressKey(target, VK_RETURN);
  TypeText(target, L"q");  // handled after the Enter key, in order
  ASSERT_TRUE(WaitUntil([&] { return Text(window, Text1) == L"q"; }));
  EXPECT_EQ(Text(window, Label1), texts::kInstallPrompt);
  EXPECT_TRUE(Visible(window, cmdNext0));
  EXPECT_FALSE(Visible(window, lblProgBack));
  EXPECT_EQ(Text(window, lblDiskFree), L"stale");  // the focus never left
  EXPECT_EQ(setup_.VisibleTopLevelWindows().size(), 1u);
  EXPECT_TRUE(setup_.Running());
}

TEST_F(Leaving, TabCycleFollowsTheTabOrder) {
  HWND window = StartInstallState();
  ASSERT_TRUE(window);
  const Control kCycle[] = {cmdBrowse, Command1, cmdNext0, Text1};  // cmdNext(1) and (2) are hidden
  for (Control next : kCycle) {
    PressKey(FocusedControl(window), VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(window) == Handle(window, next); })) << DesignOf(next).id;
  }
}

}  // namespace
}  // namespace e2e
