// Which controls the dialog keys can reach: a button hidden under another
// one cannot be seen, so it is no more usable than a hidden one, until it is
// uncovered.
#include <gtest/gtest.h>

#include "platform/win/dialog_keys_win.h"

namespace {

HWND MakeButton(HWND parent, const wchar_t* caption, int top) {
  return CreateWindowExW(0, L"Button", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 8, top, 89, 20,
                         parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(DialogKeys, ButtonUnderAnotherIsUnusableUntilUncovered) {
  HWND form = CreateWindowExW(0, L"Static", L"form", WS_OVERLAPPED, 0, 0, 200, 120, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(form);
  HWND label = CreateWindowExW(0, L"Static", L"label", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, form, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  HWND upper = MakeButton(form, L"&Uninstall", 48);  // created first: uppermost
  HWND lower = MakeButton(form, L"&Next", 48);
  SetWindowPos(label, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // a label over both hides neither
  EXPECT_TRUE(IsUsableControl(upper));
  EXPECT_FALSE(IsUsableControl(lower));

  DialogKeys keys{form, {lower, upper}, nullptr, nullptr, {}};
  EXPECT_EQ(FirstUsableControl(keys), upper);

  SetWindowPos(upper, nullptr, 8, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // half of Next shows
  EXPECT_TRUE(IsUsableControl(lower));
  SetWindowPos(upper, nullptr, 8, 48, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(upper, SW_HIDE);
  EXPECT_TRUE(IsUsableControl(lower));
  EXPECT_EQ(FirstUsableControl(keys), lower);
  DestroyWindow(form);
}

}  // namespace
