// What both windows do alike: their geometry in pixels, fonts, tooltips, tab
// order, and the focus they give back when they are activated again.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/dialog_keys_win.h"
#include "platform/win/handles_win.h"
#include "platform/window_design.h"

// A rectangle of the design (twips) in pixels of the client area.
RECT PixelRect(int left, int top, int width, int height);

std::wstring WindowText(HWND hwnd);

// The fonts of one window's design, each made once and freed with the window.
class DesignFonts {
 public:
  // A font without a face is the system's message font.
  HFONT Get(const FontSpec& font);

 private:
  std::map<std::wstring, UniqueGdiObject> fonts_;
};

// The tooltip window for owner's controls, or nullptr when it cannot be made.
HWND CreateTooltips(HINSTANCE instance, HWND owner);
// Shows text over control; nothing for an empty text. subclass: the tooltip
// watches the control's mouse messages itself; otherwise the window's own
// loop relays them.
void AddTooltip(HWND tooltips, HWND owner, HWND control, const wchar_t* text, bool subclass);

// The controls, each with its tab index, in the order of their tab index.
std::vector<HWND> InTabOrder(std::vector<std::pair<int, HWND>> controls);

// The child of window that has the focus, or nullptr.
HWND FocusedChild(HWND window);
// On activation: the focus goes back to remembered while it can take it,
// otherwise to the first control of the tab order that can.
void RestoreFocus(HWND remembered, const DialogKeys& keys);
