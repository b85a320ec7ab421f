// The user's mouse and keyboard.
#pragma once

#include <windows.h>

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
void CloseWithCloseBox(HWND window);  // a click on the title bar's close box

}  // namespace e2e
