// Asking another program's windows, bounded: their texts and classes, their
// children, and the top-level windows of a process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// How long another program's window may take to answer a message before
// the test calls it hung.
inline constexpr UINT kAnswerWaitMs = 10000;

// A message to another program's window that cannot hang the test run: a
// window that does not answer fails the test (once per window and test) and
// the call gives 0. A window that is gone is no hang.
LRESULT SendBounded(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// WM_GETTEXT works across processes, also for controls of another process.
std::wstring WindowText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
std::vector<HWND> TopLevelWindowsOf(DWORD pid);
std::vector<HWND> ChildrenOf(HWND window);

}  // namespace e2e
