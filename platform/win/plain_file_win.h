// Files worked on only where they really are: opened without following a
// link in their place, checked through the open handle, then changed through
// that same handle. Shared by setup.exe and setup.dll, so it uses nothing of
// the C++ standard library.
#pragma once

#include <windows.h>

// ERROR_REPARSE_POINT_ENCOUNTERED, which the headers at hand lack.
inline constexpr DWORD kErrorReparsePointEncountered = 4395;

// A junction or a symbolic link; also a reparse point whose kind cannot be
// read (Wine shows a Unix symbolic link so). Other kinds (deduplicated or
// cloud-synced files) are the file itself and count as no link.
bool IsLinkReparsePoint(DWORD attributes, DWORD tag);

// True when the open file is a plain file whose only name is path: no
// directory, no link, one hard link, and at that place. Without folder, the
// place is path itself with its names written out in full, so no link may
// lie anywhere on the way; with folder (a held handle to the folder the
// file must lie in, however that folder is reached), the place is that
// folder's final path and the file's name.
bool IsPlainFileAt(HANDLE file, const wchar_t* path, HANDLE folder = nullptr);

// True when the open file or folder is no link and lies at path itself:
// its final path, which resolves every link, is path with its names written
// out (or with folder, that folder's final path and the name).
bool LiesWhereItSays(HANDLE file, const wchar_t* path, HANDLE folder = nullptr);

// Opens path itself for access (FILE_READ_ATTRIBUTES is added) with the
// given sharing, never what a link in its place leads to; with create, a
// missing file is made anew. INVALID_HANDLE_VALUE, with the system's last
// error, when it cannot be opened; when it is no plain file at its place
// (IsPlainFileAt) the handle is closed (a file just made there is deleted
// again) and the last error is kErrorReparsePointEncountered.
// A file made anew gets newFile's security, when given, and sets *created.
HANDLE OpenPlainFile(const wchar_t* path, DWORD access, DWORD share, bool create, HANDLE folder = nullptr,
                     SECURITY_ATTRIBUTES* newFile = nullptr, bool* created = nullptr);

// Makes path anew, as OpenPlainFile does with create, but never opens a
// file that is there already: the result is always a new file object.
HANDLE CreateNewPlainFile(const wchar_t* path, DWORD access, DWORD share, HANDLE folder = nullptr,
                          SECURITY_ATTRIBUTES* newFile = nullptr);

// Marks the open file (opened with DELETE) for deletion when it is closed.
bool DeleteThroughHandle(HANDLE file);
