// The display scale a window is drawn at. Windows 10 (version 1607 and
// later) gives every window the scale of its monitor and tells it when that
// changes; Windows 7 and 8.1 lack those calls and give a system-aware program
// the one scale of the whole desktop. The calls are looked up at run time,
// so that the program starts on both.
#pragma once

#include <windows.h>

inline constexpr int kDesignDpi = 96;

// The dots per inch window is shown at.
int WindowDpi(HWND window);
// The outer size of a window of this style whose client area is
// clientWidth x clientHeight pixels at dpi.
SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);
// The system's message font (the one buttons use) made for dpi.
LOGFONTW MessageFont(int dpi);
// A system metric (GetSystemMetrics) at dpi.
int SystemMetric(int index, int dpi);
// A length of the 96-dpi design in pixels at dpi.
int ScaledPixels(int pixels, int dpi);
