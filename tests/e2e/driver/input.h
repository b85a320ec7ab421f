// The user's mouse and keyboard.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

// The user's input, sent as real mouse and keyboard input (SendInput), so it
// takes the same way through the program as a user's: the control's window
// is brought to the front first. Clicks go to the control's screen position,
// every press and release carrying it, and fail the test when something else
// lies there or the cursor is not there after the click; keys go to whichever
// control of target's window has the focus, as a user's keys do. A window
// that never becomes visible, enabled and in front fails the test.
void Click(HWND button);                   // a left click at the centre
void ClickInto(HWND control);              // the same click, into a text box or list
void ClickAt(HWND control, int x, int y);  // at a point of the control's client area
void DoubleClick(HWND control);
void DoubleClickAt(HWND control, int x, int y);
void PressKey(HWND target, UINT virtualKey);                     // key down and up
void PressKeyWith(HWND target, UINT modifier, UINT virtualKey);  // Shift+Tab, Alt+F4...
void PressAccessKey(HWND target, wchar_t letter);                // Alt+letter
// Types text with the keyboard into target, which must have the focus.
void TypeText(HWND target, const std::wstring& text);
// A click on the title bar's close box; given: called as soon as the click is
// on its way, before the window is asked whether it hit the close box (a busy
// program answers that only at its next message-loop turn).
void CloseWithCloseBox(HWND window, const std::function<void()>& given = {});
// Rests the pointer on window's close box ahead of a CloseWithCloseBox that
// must be given at a moment: that click then goes at once, as a user's does
// whose pointer already waits there.
void AimAtCloseBox(HWND window);

}  // namespace e2e
