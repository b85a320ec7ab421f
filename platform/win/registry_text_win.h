// Reading a text value of an open registry key.
#pragma once

#include <windows.h>

#include <string>

// Reads the value name of key: gives the system's status and the value's
// type, and, on success, its text up to the first NUL (stored data need not
// end in one, nor stop at it). The value may be of any length, and may change
// size between two reads: it is asked for until the buffer fits.
LONG ReadRegistryText(HKEY key, const std::wstring& name, DWORD& type, std::wstring& text);
