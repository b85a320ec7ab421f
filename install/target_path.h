// What the installation accepts as a target directory.
#pragma once

#include <string>
#include <string_view>

namespace install {

// A drive letter, a colon and a backslash, or \\server\share. Anything else
// ("Morvane", "D:Morvane", "\Morvane") depends on the current directory,
// which changes while the window runs, and would be recorded as a path that
// means nothing later; the \\?\ and \\.\ device forms are not folders a user
// installs to.
bool IsFullPath(std::wstring_view path);

// A full path (as IsFullPath) that means exactly what it reads: backslashes
// only, no empty, "." or ".." part, no part ending in a blank or a dot, no
// character a name may not hold, no device name. The system would resolve
// anything else to some other place.
bool IsPlainFullPath(std::wstring_view path);

// The root of a full path: "C:\" or "\\server\share\".
std::wstring RootOf(const std::wstring& path);

// A drive path whose separators may be either slash: the form the system
// resolves to a full path without asking the network.
bool IsDrivePath(std::wstring_view path);

}  // namespace install
