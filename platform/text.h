// Small string helpers shared by the window logic, the installation and the
// platform layer. Strings are UTF-16 (std::wstring) everywhere inside.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace text {

bool EndsWithBackslash(std::wstring_view s);

// The path with one backslash at its end; an existing one is kept, not doubled.
std::wstring WithTrailingBackslash(std::wstring s);

// Upper case as the system's own case mapping does it (the Windows build uses
// the system's table; the host build an equivalent for the letters tests use).
std::wstring UpperCase(std::wstring_view s);

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

// The first line of a system message without its line break:
// "Access is denied.\r\n" becomes "Access is denied.".
std::wstring FirstLine(std::wstring_view s);

// Quotes a path for a command line when it holds a blank, so that Windows
// does not split it or try a shorter path first.
std::wstring QuotedIfBlank(const std::wstring& path);

std::wstring Quoted(const std::wstring& path);

// The parts one after the other: one call where a chain of + would make a
// string for every step.
std::wstring Concat(std::initializer_list<std::wstring_view> parts);

// A to Z in either case: the letters a drive can have.
bool IsDriveLetter(wchar_t c);

}  // namespace text
