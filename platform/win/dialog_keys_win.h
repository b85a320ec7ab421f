// Dialog keys for a window whose tab order is not its stacking order (so the
// system's dialog manager cannot be used): Tab and Shift+Tab through the tab
// order, Esc for the cancel button, Enter for the focused or default button,
// and access keys (Alt+letter, or the letter alone on a button).
#pragma once

#include <windows.h>

#include <vector>

// A key that presses a button sends its window what a click on it sends,
// BN_CLICKED in a WM_COMMAND, as the system's dialog manager does.
struct DialogKeys {
  HWND window = nullptr;
  std::vector<HWND> tabOrder;  // the controls that can take the focus
  HWND cancelButton = nullptr;
  HWND defaultButton = nullptr;
};

// True when the message was one of the dialog keys and has been handled.
bool HandleDialogKey(const DialogKeys& keys, const MSG& message);

// Visible and enabled, the window's style alone (its parent may be hidden),
// and not covered: a control that other controls above it hide completely
// cannot be seen, so it takes no focus, no access key and no Enter.
bool IsUsableControl(HWND control);
bool IsCoveredControl(HWND control);

// The first control of the tab order that can take the focus, or nullptr.
HWND FirstUsableControl(const DialogKeys& keys);

// Moves the focus to control; a text box gets its whole text selected, as
// in any dialog.
void FocusControl(HWND control);
