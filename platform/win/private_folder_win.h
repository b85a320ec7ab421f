// Folders for one run alone, which only administrators can write: made anew
// under a random name, where nothing of that name was, with the protected
// access list from the start. setup.exe and the single-file installer share
// these.
#pragma once

#include <string>

// The system's own Temp folder (never %TEMP%, which the user sets), with a
// trailing backslash; empty, with the last error set, when it is unknown.
std::wstring SystemTempFolder();

// A number no other account can guess ahead (the system's random source,
// else the process and the clock).
unsigned long UnguessableNumber();

// A new folder named base and eight random hexadecimal digits: its path
// with a trailing backslash, or empty with the last error set.
std::wstring MakePrivateFolder(const std::wstring& base);
