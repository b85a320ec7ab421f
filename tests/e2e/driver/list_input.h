// Reading and working list boxes and combo boxes of another process: their
// item texts, and a mouse click on one entry as a user gives it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

std::vector<std::wstring> ListBoxItems(HWND list);
int ListBoxSelection(HWND list);
int ListBoxTopIndex(HWND list);
// The number the program keeps with an entry.
LRESULT ListBoxItemData(HWND list, int index);
std::vector<std::wstring> ComboBoxItems(HWND combo);
// The text of the entry the closed combo box shows.
std::wstring ComboBoxSelection(HWND combo);

// Clicks the entry of a list box with the mouse (twice, quickly, for a
// double-click); false when the entry is not in view.
bool ClickListEntry(HWND list, int index, bool doubleClick = false);

}  // namespace e2e
