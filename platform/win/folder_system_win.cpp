#include "platform/win/folder_system_win.h"

#include <windows.h>

#include "platform/text.h"
#include "platform/win/access_lists_win.h"
#include "platform/win/file_system_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/text_win.h"

namespace {

std::wstring VolumeLabel(const wchar_t* root) {
  wchar_t label[MAX_PATH + 1];
  if (!GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) return {};
  return label;
}

// The share a network drive stands for. mpr.dll is loaded only here, after
// the DLL search has been restricted to the system folder.
std::wstring NetworkShare(wchar_t letter) {
  UniqueModule mpr(LoadLibraryW(L"mpr.dll"));
  using GetConnectionFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);
  auto getConnection = mpr ? ProcAs<GetConnectionFn>(GetProcAddress(mpr.get(), "WNetGetConnectionW")) : nullptr;
  if (!getConnection) return {};
  const wchar_t drive[] = {letter, L':', L'\0'};
  wchar_t share[MAX_PATH + 1];
  DWORD size = MAX_PATH + 1;
  return getConnection(drive, share, &size) == NO_ERROR ? std::wstring(share) : std::wstring();
}

}  // namespace

std::vector<DriveInfo> FolderSystemWin::Drives() {
  std::vector<DriveInfo> drives;
  DWORD present = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(present & (1u << i))) continue;
    auto letter = static_cast<wchar_t>(L'A' + i);
    // Listed even when its root cannot be reached (a network drive that is
    // away, a mapping to a folder that has gone): choosing it tells the user.
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    UINT type = GetDriveTypeW(root);
    DriveInfo drive{letter, {}};
    if (type == DRIVE_REMOTE) {
      drive.label = NetworkShare(letter);
    } else if (type != DRIVE_NO_ROOT_DIR && !(type == DRIVE_REMOVABLE && i < 2)) {  // a floppy drive would spin up for its label
      drive.label = VolumeLabel(root);
    }
    drives.push_back(std::move(drive));
  }
  return drives;
}

std::wstring FolderSystemWin::CurrentDirectory() {
  // "." in full is the current directory, through the call the program
  // makes full paths with anyway.
  DWORD size = GetFullPathNameW(L".", 0, nullptr, nullptr);
  std::wstring path(size, L'\0');
  path.resize(GetFullPathNameW(L".", size, path.data(), nullptr));
  return path;
}

std::wstring FolderSystemWin::DriveDirectory(wchar_t letter) {
  // "X:" alone stands for the directory the process last used on that drive.
  wchar_t drive[] = {letter, L':', L'\0', L'\0'};
  wchar_t path[MAX_PATH];
  DWORD length = GetFullPathNameW(drive, MAX_PATH, path, nullptr);
  if (length == 0 || length >= MAX_PATH) {
    drive[2] = L'\\';  // the root will do
    return drive;
  }
  // Some systems answer with a trailing backslash; only a root keeps one.
  if (length > 3 && path[length - 1] == L'\\') path[length - 1] = L'\0';
  return path;
}

bool FolderSystemWin::ListFolders(const std::wstring& directory, std::vector<std::wstring>& names, FileError& error) {
  WIN32_FIND_DATAW found;
  std::wstring pattern = text::WithTrailingBackslash(directory);
  pattern += L'*';
  UniqueFindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchLimitToDirectories,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!search) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return true;  // an empty root has not even "." in it
    error = Error(code);
    return false;
  }
  do {
    bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    // Added as a made text, which the program's other lists of texts share the growing code for.
    if (folder && !IsDotEntry(found.cFileName)) names.push_back(std::wstring(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  return true;
}

bool FolderSystemWin::MakeDirectory(const std::wstring& path, FileError& error) {
  // The installation finds this folder existing and leaves its list alone:
  // it must be made with the one the installation gives its own folders.
  ProtectedDescriptor list(ProtectedFolderSddl(UsersMay::ReadAndExecute));
  if (list && CreateDirectoryW(path.c_str(), list.attributes())) return true;
  error = Error(GetLastError());
  return false;
}

FileError FolderSystemWin::Error(std::uint32_t code) { return FileError{code, text::SystemMessage(code)}; }
