// Conversions at the boundary to the ANSI code page, and the system's own
// words for an error code.
#pragma once

#include <windows.h>

#include <string>

namespace text {

// To the ANSI code page. Characters it cannot hold become '?', never a
// "best fit" look-alike that could name another path.
std::string ToAnsi(const std::wstring& s);

// The system's one-line description of an error code.
std::wstring SystemMessage(DWORD code);

}  // namespace text
