// What another program's windows show on screen: screenshots, pixels, ink.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Saves the window, frame included, as it is on screen.
bool SaveScreenshot(HWND window, const std::wstring& path);
// The colour of a client pixel of window as it is on screen.
COLORREF ScreenPixel(HWND window, int x, int y);
// The width in pixels of the dark "ink" (text) drawn inside a control, as it
// is on screen: from the leftmost to the rightmost dark pixel, border excluded.
int InkWidth(HWND control);
// How many client pixels of window inside area differ, on screen, from the
// background picture as the program draws it at 96 dots per inch.
int PixelsDifferingFromThePicture(HWND window, RECT area);
// Where text is drawn inside area (client pixels of window at dpi), as it is on
// screen: the box around every pixel of ink. Dark ink is the text of buttons
// and boxes; light ink on the picture is what labels draw over it. Empty when
// there is none, or none is looked for.
enum class Ink { None, Dark, OnThePicture };
RECT InkBox(HWND window, RECT area, Ink ink, int dpi);
// The width the system draws text in with the message font (buttons' font).
int MessageFontTextWidth(const std::wstring& text);

}  // namespace e2e
