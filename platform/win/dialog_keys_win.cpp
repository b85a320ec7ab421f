#include "platform/win/dialog_keys_win.h"

#include <cwctype>
#include <string>

#include "platform/win/handles_win.h"

namespace {

bool IsClass(HWND control, const wchar_t* name) {
  wchar_t className[32];
  return GetClassNameW(control, className, 32) && CompareStringOrdinal(className, -1, name, -1, TRUE) == CSTR_EQUAL;
}

bool IsButton(HWND control) { return IsClass(control, L"Button"); }

wchar_t Mnemonic(HWND control) {
  // A button's caption is a few words; one longer than this room would
  // lose only an ampersand past its end.
  wchar_t caption[256];
  int length = GetWindowTextW(control, caption, 256);
  for (int i = 0; i + 1 < length; ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;  // "&&" is a plain ampersand
      continue;
    }
    return static_cast<wchar_t>(std::towupper(caption[i + 1]));
  }
  return 0;
}

bool Pressed(int key) { return GetKeyState(key) < 0; }

void Click(HWND button) {
  SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void ShowKeyboardCues(HWND window) {
  SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

// Where the focused control is in controls; their count when it is none of them.
std::size_t FocusedOf(const std::vector<HWND>& controls) {
  HWND focus = GetFocus();
  std::size_t at = 0;
  while (at < controls.size() && controls[at] != focus) ++at;
  return at;
}

// The next usable control after the focused one in the tab order, round
// to the start (before it, round to the end, backwards); the first (last)
// usable one when the focus is on none of them.
void MoveFocus(const DialogKeys& keys, bool backwards) {
  const std::vector<HWND>& order = keys.tabOrder;
  std::size_t count = order.size();
  HWND focus = GetFocus();
  std::size_t at = 0;
  while (at < count && order[at] != focus) ++at;
  if (at == count || !IsUsableControl(focus)) at = backwards ? 0 : count - 1;
  for (std::size_t step = 1; step <= count; ++step) {
    HWND next = order[(backwards ? at + count - step : at + step) % count];
    if (IsUsableControl(next)) {
      FocusControl(next);
      return;
    }
  }
}

// The access key of a visible, enabled button: its focus first, then its click.
// A key that several buttons share only moves the focus on to the next of
// them, as in any dialog, so that it never presses the wrong one.
// True from an access key's press until the release of Alt that ends it.
bool g_altReleaseBelongsToAccessKey = false;

bool PressAccessKey(const DialogKeys& keys, wchar_t letter) {
  std::vector<HWND> buttons;
  for (HWND control : keys.tabOrder) {
    if (IsButton(control) && IsUsableControl(control) && Mnemonic(control) == letter) buttons.push_back(control);
  }
  if (buttons.empty()) return false;
  if (buttons.size() > 1) {
    std::size_t next = FocusedOf(buttons) + 1;
    FocusControl(next < buttons.size() ? buttons[next] : buttons.front());
    return true;
  }
  FocusControl(buttons.front());
  Click(buttons.front());
  return true;
}

}  // namespace

namespace {

// Controls that paint a body of their own hide what lies under them; a
// label, a group box's frame or a transparent window does not.
bool Hides(HWND sibling) {
  LONG style = GetWindowLongW(sibling, GWL_STYLE);
  if (!(style & WS_VISIBLE) || (GetWindowLongW(sibling, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) return false;
  if (IsClass(sibling, L"Static")) return false;
  return !(IsButton(sibling) && (style & BS_TYPEMASK) == BS_GROUPBOX);
}

}  // namespace

bool IsCoveredControl(HWND control) {
  if (!(GetWindowLongW(control, GWL_STYLE) & WS_CHILD)) return false;
  RECT own;
  if (!GetWindowRect(control, &own)) return false;
  UniqueGdiObject seen(CreateRectRgnIndirect(&own));
  if (!seen) return false;
  auto region = static_cast<HRGN>(seen.get());
  // Siblings before it in the stacking order lie above it.
  for (HWND above = GetWindow(control, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (!Hides(above)) continue;
    RECT r;
    if (!GetWindowRect(above, &r)) continue;
    UniqueGdiObject cover(CreateRectRgnIndirect(&r));
    if (cover && CombineRgn(region, region, static_cast<HRGN>(cover.get()), RGN_DIFF) == NULLREGION) return true;
  }
  return false;
}

bool IsUsableControl(HWND control) {
  LONG style = GetWindowLongW(control, GWL_STYLE);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED) && !IsCoveredControl(control);
}

HWND FirstUsableControl(const DialogKeys& keys) {
  for (HWND control : keys.tabOrder) {
    if (IsUsableControl(control)) return control;
  }
  return nullptr;
}

void FocusControl(HWND control) {
  SetFocus(control);
  if (IsClass(control, L"Edit")) SendMessageW(control, EM_SETSEL, 0, -1);
}

bool HandleDialogKey(const DialogKeys& keys, const MSG& message) {
  if (!keys.window || (message.hwnd != keys.window && !IsChild(keys.window, message.hwnd))) return false;
  if (!IsWindowEnabled(keys.window)) return false;  // a modal window of ours is in front

  // The system never saw the access key below, so the release of Alt that
  // follows looks to it like Alt pressed alone, which opens the window menu:
  // a modal loop that would hold the action the key started until Esc.
  if ((message.message == WM_SYSKEYUP || message.message == WM_KEYUP) && message.wParam == VK_MENU &&
      g_altReleaseBelongsToAccessKey) {
    g_altReleaseBelongsToAccessKey = false;
    return true;
  }
  if (message.message == WM_SYSKEYDOWN) {
    auto key = static_cast<wchar_t>(message.wParam);
    bool letterOrDigit = (key >= L'A' && key <= L'Z') || (key >= L'0' && key <= L'9');
    // Set before the click: the action it starts runs the message loop itself.
    g_altReleaseBelongsToAccessKey = letterOrDigit;
    if (letterOrDigit && PressAccessKey(keys, key)) {
      ShowKeyboardCues(keys.window);
      return true;
    }
    g_altReleaseBelongsToAccessKey = false;
    return false;
  }
  if (message.message != WM_KEYDOWN || Pressed(VK_MENU)) return false;

  switch (message.wParam) {
    case VK_TAB:
      if (Pressed(VK_CONTROL)) return false;
      MoveFocus(keys, Pressed(VK_SHIFT));
      ShowKeyboardCues(keys.window);
      return true;
    case VK_ESCAPE:
      if (keys.cancelButton && IsUsableControl(keys.cancelButton)) Click(keys.cancelButton);
      return true;
    case VK_RETURN: {
      HWND focus = GetFocus();
      HWND target = IsButton(focus) && IsUsableControl(focus) ? focus : keys.defaultButton;
      // No default button and no button in focus: Enter does nothing at all.
      if (target && IsUsableControl(target)) Click(target);
      return true;
    }
    default:
      break;
  }
  // On a button (not in a text box) the letter alone is the access key.
  HWND focus = GetFocus();
  auto key = static_cast<wchar_t>(message.wParam);
  bool letterOrDigit = (key >= L'A' && key <= L'Z') || (key >= L'0' && key <= L'9');
  if (letterOrDigit && !Pressed(VK_CONTROL) && IsButton(focus)) return PressAccessKey(keys, key);
  return false;
}
