// Reading another program's tooltips.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// Tool window handle -> tooltip text, read from the tooltip controls owned
// by window.
std::vector<std::pair<HWND, std::wstring>> ReadTooltips(HWND window, HANDLE process);

}  // namespace e2e
