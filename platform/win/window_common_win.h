// What both windows do alike: their geometry in pixels, fonts, tooltips, tab
// order, and the focus they give back when they are activated again.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win/dialog_keys_win.h"
#include "platform/win/handles_win.h"
#include "platform/window_design.h"

// A rectangle of the design (twips) in pixels of the client area at dpi.
RECT PixelRect(int left, int top, int width, int height, int dpi);

std::wstring WindowText(HWND hwnd);

// The fonts of one window's design at one scale, each made once and freed
// with the set (a window takes a new set when its scale changes).
class DesignFonts {
 public:
  explicit DesignFonts(int dpi = 96) : dpi_(dpi) {}
  // A font without a face is the system's message font.
  HFONT Get(const FontSpec& font);

 private:
  struct Made {
    FontSpec asked;  // face, size and weight
    UniqueGdiObject font;
  };
  int dpi_;
  std::vector<Made> fonts_;  // a handful: searched in turn
};

// The program icon at the two sizes a window shows at dpi (title bar and
// task switcher), set as the window's own icons.
class WindowIcons {
 public:
  WindowIcons() = default;
  WindowIcons(const WindowIcons&) = delete;
  WindowIcons& operator=(const WindowIcons&) = delete;
  ~WindowIcons();
  void Apply(HINSTANCE instance, int iconId, HWND window, int dpi);

 private:
  void Free();
  HICON big_ = nullptr;
  HICON small_ = nullptr;
};

// Sizes window so that its client area is client, with the frame it has at
// its scale now (the system scales frames itself).
void ResizeClientArea(HWND window, SIZE client);
// A fixed window keeps its designed outer size frame even where that is
// larger than the screen (WM_GETMINMAXINFO): the system would otherwise cut
// it down to the screen's size.
void KeepDesignedSize(MINMAXINFO& limits, SIZE frame);
// Moves window to where WM_DPICHANGED suggests, keeping its size.
void MoveToSuggested(HWND window, const RECT& suggested);

// The tooltip window for owner's controls, or nullptr when it cannot be made.
HWND CreateTooltips(HINSTANCE instance, HWND owner);
// Shows text over control; nothing for an empty text. subclass: the tooltip
// watches the control's mouse messages itself; otherwise the window's own
// loop relays them.
void AddTooltip(HWND tooltips, HWND owner, HWND control, const std::wstring& text, bool subclass);

// The child of window that has the focus, or nullptr.
HWND FocusedChild(HWND window);
// On activation: the focus goes back to remembered while it can take it,
// otherwise to the first control of the tab order that can.
void RestoreFocus(HWND remembered, const DialogKeys& keys);
