// A scenario with the real setup.exe: a fresh world, a kit folder, the
// running program and its main window.
#pragma once

#include <gtest/gtest.h>

#include "app/main_form_design.h"
#include "app/texts.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/world.h"

namespace e2e {

// The kit folder most scenarios start the setup from, and the install state's prompt.
inline const std::wstring kKit = L"C:\\e2e\\kit";
inline const std::wstring kInstallPrompt = texts::kInstallPrompt;

class SetupSession : public ::testing::Test {
 protected:
  void SetUp() override { World::Reset(); }
  void TearDown() override { setup_.Kill(); }

  static constexpr const wchar_t* kInstalledDir = L"C:\\e2e\\Installed";

  // An installed copy in kInstalledDir (its marker file named as given), and
  // the setting that remembers it, stored exactly as given.
  static void RememberInstalledCopy(const std::wstring& stored, const wchar_t* marker = L"Morvane.exe") {
    World::WriteFile(std::wstring(kInstalledDir) + L"\\" + marker, "MZ");
    World::SetInstallDir(stored);
  }

  // The sample kit in C:\e2e\kit without one of its files.
  static std::wstring KitWithout(const wchar_t* name) {
    std::wstring kit = World::MakeKit(L"C:\\e2e\\kit");
    DeleteFileW((kit + L"\\" + name).c_str());
    return kit;
  }

  // Starts setup.exe from kitDir (its working directory too).
  void StartSetup(const std::wstring& kitDir) {
    setup_ = SetupProcess::Start(kitDir + L"\\setup.exe", kitDir);
    ASSERT_TRUE(setup_) << "setup.exe did not start from " << Utf8(kitDir);
  }

  // Starts it and waits for the main window to show.
  HWND StartAndWaitForWindow(const std::wstring& kitDir) {
    StartSetup(kitDir);
    HWND window = setup_.WaitForWindow(kMainTitle);
    EXPECT_TRUE(window) << "no main window";
    return window;
  }

  static int Id(Control control) { return DesignOf(control).id; }
  std::wstring Text(HWND window, Control control) const { return ControlText(window, Id(control)); }
  HWND Handle(HWND window, Control control) const { return ControlHandle(window, Id(control)); }
  bool Visible(HWND window, Control control) const {
    return (GetWindowLongW(Handle(window, control), GWL_STYLE) & WS_VISIBLE) != 0;
  }

  // The process ends by itself within the wait, with exit code 0.
  void ExpectEndsCleanly() {
    std::optional<DWORD> code = setup_.WaitForExit();
    ASSERT_TRUE(code) << "setup.exe is still running";
    EXPECT_EQ(*code, 0u);
  }

  SetupProcess setup_;
};

}  // namespace e2e
