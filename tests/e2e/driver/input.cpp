#include "tests/e2e/driver/input.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <vector>

#include "tests/e2e/driver/controls.h"
#include "tests/e2e/driver/utf8.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/window_query.h"

namespace e2e {
namespace {

// Input goes to the foreground window, so the control's window is brought
// there first: a key or a click sent earlier would reach another window.
HWND ReadyForInput(HWND control) {
  HWND top = GetAncestor(control, GA_ROOT);
  bool ready = WaitUntil([&] {
    if (!IsWindow(control) || !IsWindowVisible(top) || !IsWindowEnabled(top)) return false;
    if (GetForegroundWindow() != top) SetForegroundWindow(top);
    // Asked of the system, not of the window: a busy program answers a
    // message only at its next message-loop turn, and input must not wait.
    return GetForegroundWindow() == top && !IsHungAppWindow(top);
  });
  if (!ready) {
    ADD_FAILURE() << "window " << top << " never became ready for input (visible, enabled, in front, not hung)";
    return nullptr;
  }
  return top;
}

void Send(std::vector<INPUT> inputs) {
  UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) ADD_FAILURE() << "SendInput sent " << sent << " of " << inputs.size() << " events";
}

// A mouse event at a screen point of the primary screen. Every event carries
// its position, button presses too: one without a position lands wherever the
// cursor is when it is handled, and a window that has just opened or closed
// under the pointer can still move the cursor back to where the pointer was.
INPUT MouseEvent(DWORD buttons, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Absolute positions are in 1/65536 of the screen; aiming at the pixel's
  // centre maps back to exactly that pixel.
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((screen.x * 65536LL + 32768) / width);
  input.mi.dy = static_cast<LONG>((screen.y * 65536LL + 32768) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  return input;
}

// The pointer rests on the point, as a user's does before a click: a window
// that has just opened or closed under the old position can still move the
// cursor back there, and the move is made again until it stays.
bool RestPointerAt(POINT screen) {
  auto at = [&] {
    POINT cursor{};
    return GetCursorPos(&cursor) && cursor.x == screen.x && cursor.y == screen.y;
  };
  bool rests = WaitUntil(
      [&] {
        if (!at()) Send({MouseEvent(0, screen)});
        if (!at()) return false;
        Sleep(50);
        return at();
      },
      2s);
  if (!rests) ADD_FAILURE() << "the cursor does not stay at " << screen.x << "," << screen.y;
  return rests;
}

// Presses and releases the left button clicks times at the screen point, as
// fast as a user does: the button-up events are queued together with the
// button-down ones. The cursor must then be where the clicks went.
// aimed: the pointer was made to rest there before, and the click goes at once.
void ClickScreenPoint(POINT screen, int clicks, bool aimed = false) {
  POINT cursor{};
  if (!aimed || !GetCursorPos(&cursor) || cursor.x != screen.x || cursor.y != screen.y) RestPointerAt(screen);
  std::vector<INPUT> inputs;
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseEvent(MOUSEEVENTF_LEFTDOWN, screen));
    inputs.push_back(MouseEvent(MOUSEEVENTF_LEFTUP, screen));
  }
  Send(inputs);
  if (!GetCursorPos(&cursor) || cursor.x != screen.x || cursor.y != screen.y) {
    ADD_FAILURE() << "clicked at " << screen.x << "," << screen.y << " but the cursor is at " << cursor.x << ","
                  << cursor.y;
  }
}

INPUT KeyEvent(WORD virtualKey, bool up, wchar_t unicode = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  if (unicode) {
    input.ki.wScan = unicode;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
  } else {
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    switch (virtualKey) {
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
      case VK_HOME:
      case VK_END:
      case VK_PRIOR:
      case VK_NEXT:
      case VK_INSERT:
      case VK_DELETE:
        input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
        break;
      default:
        break;
    }
  }
  if (up) input.ki.dwFlags |= KEYEVENTF_KEYUP;
  return input;
}

// The control (or a child of it) is what the mouse hits at this screen point.
// The system passes over a disabled control to its parent, where a user's
// click on it lands.
bool Hits(HWND control, POINT screen) {
  HWND hit = WindowFromPoint(screen);
  if (!IsWindowEnabled(control) && hit == GetParent(control)) return true;
  return hit == control || IsChild(control, hit);
}

// Moves the mouse onto the control's client point and clicks there.
void ClickClientPoint(HWND control, POINT client, int clicks) {
  if (!ReadyForInput(control)) return;
  POINT screen = client;
  ClientToScreen(control, &screen);
  Send({MouseEvent(0, screen)});
  // A control that another window covers there cannot be clicked by a user.
  if (!WaitUntil([&] { return Hits(control, screen); }, 2s)) {
    ADD_FAILURE() << "control " << control << " (" << Utf8(ClassOf(control)) << " \"" << Utf8(WindowText(control))
                  << "\") is not what the mouse hits at " << screen.x << "," << screen.y << ": "
                  << WindowFromPoint(screen) << " is";
    return;
  }
  ClickScreenPoint(screen, clicks);
}

POINT ClientCentre(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return POINT{r.right / 2, r.bottom / 2};
}

}  // namespace

void Click(HWND button) { ClickClientPoint(button, ClientCentre(button), 1); }

void ClickInto(HWND control) { ClickClientPoint(control, ClientCentre(control), 1); }

void ClickAt(HWND control, int x, int y) { ClickClientPoint(control, POINT{x, y}, 1); }

void DoubleClick(HWND control) { ClickClientPoint(control, ClientCentre(control), 2); }

void DoubleClickAt(HWND control, int x, int y) { ClickClientPoint(control, POINT{x, y}, 2); }

void PressKey(HWND target, UINT virtualKey) {
  if (!ReadyForInput(target)) return;
  auto key = static_cast<WORD>(virtualKey);
  Send({KeyEvent(key, false), KeyEvent(key, true)});
}

void PressKeyWith(HWND target, UINT modifier, UINT virtualKey) {
  if (!ReadyForInput(target)) return;
  auto key = static_cast<WORD>(virtualKey);
  auto held = static_cast<WORD>(modifier);
  // A hand lets go of the modifier a moment after the key, by which time the
  // program has handled the key: what it does on the modifier's release alone
  // shows then.
  Send({KeyEvent(held, false), KeyEvent(key, false), KeyEvent(key, true)});
  Sleep(100);
  Send({KeyEvent(held, true)});
}

void PressAccessKey(HWND target, wchar_t letter) {
  PressKeyWith(target, VK_MENU, static_cast<UINT>(std::towupper(letter)));
}

void TypeText(HWND target, const std::wstring& text) {
  if (!ReadyForInput(target)) return;
  if (!WaitUntil([&] { return FocusedControl(target) == target; }, 5s)) {
    ADD_FAILURE() << "cannot type into " << target << ": the focus is on " << FocusedControl(target);
    return;
  }
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    // The key a user presses for the character, Shift included; characters
    // no plain key gives arrive as Unicode input, as from an input method.
    SHORT scan = VkKeyScanW(c);
    BYTE shifts = HIBYTE(scan);
    if (scan == -1 || (shifts & ~1)) {
      inputs.push_back(KeyEvent(0, false, c));
      inputs.push_back(KeyEvent(0, true, c));
      continue;
    }
    auto key = static_cast<WORD>(LOBYTE(scan));
    if (shifts & 1) inputs.push_back(KeyEvent(VK_SHIFT, false));
    inputs.push_back(KeyEvent(key, false));
    inputs.push_back(KeyEvent(key, true));
    if (shifts & 1) inputs.push_back(KeyEvent(VK_SHIFT, true));
  }
  Send(inputs);
}

namespace {

// The close box is the rightmost button of the title bar, just above the
// client area's right end.
POINT CloseBoxPoint(HWND window) {
  POINT clientCorner{0, 0};
  ClientToScreen(window, &clientCorner);
  RECT client{};
  GetClientRect(window, &client);
  int caption = GetSystemMetrics(SM_CYCAPTION), button = GetSystemMetrics(SM_CXSIZE);
  return POINT{clientCorner.x + client.right - button / 2 - 1, clientCorner.y - caption / 2};
}

}  // namespace

void AimAtCloseBox(HWND window) {
  if (ReadyForInput(window)) RestPointerAt(CloseBoxPoint(window));
}

void CloseWithCloseBox(HWND window, const std::function<void()>& given) {
  if (!ReadyForInput(window)) return;
  // The window confirms the point only after the click is on its way: a busy
  // program answers at its next message-loop turn, and a user's click does
  // not wait for that either.
  POINT target = CloseBoxPoint(window);
  ClickScreenPoint(target, 1, true);
  if (given) given();
  DWORD_PTR hit = HTNOWHERE;
  if (SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(target.x, target.y), SMTO_ABORTIFHUNG, kAnswerWaitMs,
                          &hit) &&
      hit != HTCLOSE) {
    ADD_FAILURE() << "the click at " << target.x << "," << target.y << " missed the close box of window " << window;
  }
}

}  // namespace e2e
