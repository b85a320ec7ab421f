// Reading another program's controls as assistive technology does: their
// texts, styles, places and tooltips, and which one has the focus.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct ControlInfo {
  HWND hwnd = nullptr;
  int id = 0;
  std::wstring className;
  std::wstring text;
  bool visible = false;  // the control's own style, whatever its window shows
  bool enabled = false;
  bool readOnly = false;
  RECT twips{};  // in the parent's client area, 15 twips to a pixel
  std::wstring tooltip;
};

// Every child control of window, with tooltips read from the window's
// tooltip control in the other process's memory.
std::vector<ControlInfo> ListControls(HWND window, HANDLE process);
std::optional<ControlInfo> FindControl(const std::vector<ControlInfo>& controls, int id);
std::wstring ControlText(HWND window, int id);
HWND ControlHandle(HWND window, int id);
// The control with the keyboard focus in window's thread.
HWND FocusedControl(HWND window);
void SetText(HWND control, const std::wstring& text);  // as assistive technology may, without input

}  // namespace e2e
