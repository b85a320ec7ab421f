#include "platform/win/plain_file_win.h"

namespace {

constexpr DWORD kLongest = 1024;

// The path the final-path call gives for a handle, without its "\\?\" (and
// a UNC path with its two leading backslashes back).
bool FinalPath(HANDLE file, wchar_t* out) {
  wchar_t raw[kLongest];
  DWORD length = GetFinalPathNameByHandleW(file, raw, kLongest, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= kLongest) return false;
  const wchar_t* from = raw;
  if (CompareStringOrdinal(raw, 4, L"\\\\?\\", 4, FALSE) == CSTR_EQUAL) from += 4;
  if (CompareStringOrdinal(from, 4, L"UNC\\", 4, TRUE) == CSTR_EQUAL) {
    from += 2;
    raw[from - raw] = L'\\';  // "UNC\server" becomes "\\server"
  }
  lstrcpynW(out, from, kLongest);
  return true;
}

}  // namespace

bool IsLinkReparsePoint(DWORD attributes, DWORD tag) {
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  return tag == IO_REPARSE_TAG_MOUNT_POINT || tag == IO_REPARSE_TAG_SYMLINK || tag == 0;
}

// The file's own facts are asked for one by one: the call that gives them
// all at once also asks for the volume's serial number, which Wine fetches
// from another process at a millisecond a time, several times per kit file.
bool IsPlainFileAt(HANDLE file, const wchar_t* path, HANDLE folder) {
  FILE_STANDARD_INFO standard;
  if (!GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) return false;
  if (standard.Directory || standard.NumberOfLinks != 1) return false;
  return LiesWhereItSays(file, path, folder);
}

bool LiesWhereItSays(HANDLE file, const wchar_t* path, HANDLE folder) {
  FILE_BASIC_INFO basic;
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) return false;
  if (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) ||
        IsLinkReparsePoint(tag.FileAttributes, tag.ReparseTag)) {
      return false;
    }
  }
  // The final path resolves every link; the expected one does not.
  wchar_t full[kLongest], expected[kLongest], final[kLongest];
  DWORD length = GetFullPathNameW(path, kLongest, full, nullptr);
  if (length == 0 || length >= kLongest) return false;
  if (folder) {
    const wchar_t* name = full + length;
    while (name > full && name[-1] != L'\\') --name;
    if (!FinalPath(folder, expected)) return false;
    int at = lstrlenW(expected);
    if (at + 1 + lstrlenW(name) >= static_cast<int>(kLongest)) return false;
    expected[at++] = L'\\';
    lstrcpynW(expected + at, name, static_cast<int>(kLongest) - at);
  } else {
    // The names as the folders list them, one by one: a link on the way
    // keeps its own name here. Only a short name needs that slow walk; one
    // written out in full already is as listed.
    lstrcpynW(expected, full, kLongest);
    bool shortName = false;
    for (const wchar_t* c = full; *c; ++c) shortName |= *c == L'~';
    if (shortName) {
      length = GetLongPathNameW(full, expected, kLongest);
      if (length == 0 || length >= kLongest) lstrcpynW(expected, full, kLongest);
    }
  }
  return FinalPath(file, final) && CompareStringOrdinal(final, -1, expected, -1, TRUE) == CSTR_EQUAL;
}

HANDLE OpenPlainFile(const wchar_t* path, DWORD access, DWORD share, bool create, HANDLE folder,
                     SECURITY_ATTRIBUTES* newFile, bool* created) {
  access |= FILE_READ_ATTRIBUTES;
  HANDLE file = CreateFileW(path, access, share, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE && create && GetLastError() == ERROR_FILE_NOT_FOUND) {
    file = CreateNewPlainFile(path, access, share, folder, newFile);
    if (created) *created = file != INVALID_HANDLE_VALUE;
    return file;
  }
  if (created) *created = false;
  if (file == INVALID_HANDLE_VALUE) return file;
  if (!IsPlainFileAt(file, path, folder)) {
    CloseHandle(file);
    SetLastError(kErrorReparsePointEncountered);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

HANDLE CreateNewPlainFile(const wchar_t* path, DWORD access, DWORD share, HANDLE folder,
                          SECURITY_ATTRIBUTES* newFile) {
  // Made anew only where nothing of that name is, not even a dangling link;
  // with the right to take it back if it landed in the wrong place.
  HANDLE file = CreateFileW(path, access | FILE_READ_ATTRIBUTES | DELETE, share, newFile, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  if (!IsPlainFileAt(file, path, folder)) {
    DeleteThroughHandle(file);
    CloseHandle(file);
    SetLastError(kErrorReparsePointEncountered);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

bool DeleteThroughHandle(HANDLE file) {
  // Where the system can (Windows 10 and later), the name goes at once, as
  // DeleteFileW lets it go there: a new file may take it while someone
  // still holds the old one. Elsewhere it goes with the last handle.
  constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
  constexpr DWORD kDeleteAtOnce = 0x1 | 0x2;  // FILE_DISPOSITION_FLAG_DELETE | _POSIX_SEMANTICS
  DWORD flags = kDeleteAtOnce;
  if (SetFileInformationByHandle(file, kDispositionInfoEx, &flags, sizeof flags)) return true;
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}
