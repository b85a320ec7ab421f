// Where the library's shortcuts go. Folder names are relative to the current
// user's Start menu Programs folder; "..\..\Desktop" (with or without its
// trailing backslash) is the user's own desktop, found through the shell.
#pragma once

#include <string>

std::wstring ShortcutFolder(const std::wstring& folder);
std::wstring ShortcutPath(const std::wstring& folder, const std::wstring& linkName);
