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

  DialogKeys keys{form, {lower, upper}, nullptr, nullptr};
  EXPECT_EQ(FirstUsableControl(keys), upper);

  SetWindowPos(upper, nullptr, 8, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // half of Next shows
  EXPECT_TRUE(IsUsableControl(lower));
  SetWindowPos(upper, nullptr, 8, 48, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(upper, SW_HIDE);
  EXPECT_TRUE(IsUsableControl(lower));
  EXPECT_EQ(FirstUsableControl(keys), lower);
  DestroyWindow(form);
}

// The access key's Alt+letter never reaches the system, so the system would
// take the release of Alt for Alt pressed alone and open the window menu over
// the action the key started. That release is the dialog keys' own.
MSG Key(HWND target, UINT message, WPARAM key) {
  MSG msg{};
  msg.hwnd = target;
  msg.message = message;
  msg.wParam = key;
  msg.lParam = static_cast<LPARAM>(message == WM_SYSKEYUP ? 0xE0000001u : 0x20000001u);  // Alt held
  return msg;
}

// The clicks a form's buttons report to it, as a window's own handler counts them.
int g_clicks = 0;
LRESULT CALLBACK CountingClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ++g_clicks;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(DialogKeys, AltReleaseAfterAnAccessKeyIsConsumed) {
  WNDCLASSW counting{};
  counting.lpfnWndProc = CountingClicks;
  counting.hInstance = GetModuleHandleW(nullptr);
  counting.lpszClassName = L"CountingClicks";
  RegisterClassW(&counting);
  HWND form = CreateWindowExW(0, L"CountingClicks", L"form", WS_OVERLAPPED, 0, 0, 200, 120, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(form);
  HWND next = MakeButton(form, L"&Next", 48);
  int& clicks = g_clicks;
  DialogKeys keys{form, {next}, nullptr, nullptr};
  EXPECT_TRUE(HandleDialogKey(keys, Key(next, WM_SYSKEYDOWN, 'N')));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(HandleDialogKey(keys, Key(next, WM_SYSKEYUP, VK_MENU)));
  // A later Alt alone is the system's again.
  EXPECT_FALSE(HandleDialogKey(keys, Key(next, WM_SYSKEYUP, VK_MENU)));
  // Alt with a letter no button has is the system's too, and so is its release.
  EXPECT_FALSE(HandleDialogKey(keys, Key(next, WM_SYSKEYDOWN, 'Q')));
  EXPECT_FALSE(HandleDialogKey(keys, Key(next, WM_SYSKEYUP, VK_MENU)));
  DestroyWindow(form);
}

}  // namespace
