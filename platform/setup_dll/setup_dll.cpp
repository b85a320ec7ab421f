// setup.dll: shortcuts and free disk space for the setup program. Every
// export is stdcall with 8-bit strings in the system's ANSI code page; the
// two shortcut calls also come as wide ("W") exports, for names outside it.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <climits>
#include <string>

#include "platform/setup_dll/shortcut_folder.h"
#include "platform/win/com_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/text_win.h"

namespace {

constexpr LONG kDone = 1;
constexpr LONG kFailed = 0;

// Makes every missing directory of an absolute path.
void MakeDirectories(const std::wstring& directory) {
  if (GetFileAttributesW(directory.c_str()) != INVALID_FILE_ATTRIBUTES) return;  // the usual case
  for (std::size_t i = 3; i <= directory.size(); ++i) {
    if (i == directory.size() || directory[i] == L'\\') CreateDirectoryW(directory.substr(0, i).c_str(), nullptr);
  }
}

std::wstring DirectoryOf(const std::wstring& path) {
  std::size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

extern "C" {

// A shortcut named linkName (".lnk" added) in folder, to target with its
// arguments, starting in the target's own folder. 1 when it was saved.
LONG WINAPI fCreateShellLinkW(LPCWSTR folder, LPCWSTR linkName, LPCWSTR target, LPCWSTR arguments) {
  std::wstring link = ShortcutPath(folder ? folder : L"", linkName ? linkName : L"");
  std::wstring targetPath = target ? target : L"";
  if (link.empty() || targetPath.empty()) return kFailed;
  ComScope com;
  if (!com.usable()) return kFailed;
  ComPtr<IShellLinkW> shellLink;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              shellLink.put_void()))) {
    return kFailed;
  }
  shellLink->SetPath(targetPath.c_str());
  // No arguments means no argument string in the link at all.
  std::wstring linkArguments = arguments ? arguments : L"";
  if (!linkArguments.empty()) shellLink->SetArguments(linkArguments.c_str());
  shellLink->SetWorkingDirectory(DirectoryOf(targetPath).c_str());
  ComPtr<IPersistFile> file;
  if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.put_void()))) return kFailed;
  MakeDirectories(DirectoryOf(link));
  return SUCCEEDED(file->Save(link.c_str(), TRUE)) ? kDone : kFailed;
}

LONG WINAPI fCreateShellLink(LPCSTR folder, LPCSTR linkName, LPCSTR target, LPCSTR arguments) {
  return fCreateShellLinkW(text::FromAnsi(folder).c_str(), text::FromAnsi(linkName).c_str(),
                           text::FromAnsi(target).c_str(), text::FromAnsi(arguments).c_str());
}

// Deletes the shortcut named linkName in folder. 1 when it is gone.
LONG WINAPI fRemoveShellLinkW(LPCWSTR folder, LPCWSTR linkName) {
  std::wstring link = ShortcutPath(folder ? folder : L"", linkName ? linkName : L"");
  if (link.empty()) return kFailed;
  return DeleteFileW(link.c_str()) ? kDone : kFailed;
}

LONG WINAPI fRemoveShellLink(LPCSTR folder, LPCSTR linkName) {
  return fRemoveShellLinkW(text::FromAnsi(folder).c_str(), text::FromAnsi(linkName).c_str());
}

// Free bytes the user may use on the drive of the current directory, capped
// at the largest signed 32-bit number; 0 when the drive cannot be asked.
LONG WINAPI DISKSPACEFREE() {
  wchar_t current[MAX_PATH * 2] = {};
  wchar_t root[MAX_PATH * 2] = {};
  DWORD length = GetCurrentDirectoryW(MAX_PATH * 2, current);
  if (length == 0 || length >= MAX_PATH * 2 || !GetVolumePathNameW(current, root, MAX_PATH * 2)) return 0;
  ULARGE_INTEGER available{}, total{}, free{};
  if (!GetDiskFreeSpaceExW(root, &available, &total, &free)) return 0;
  return available.QuadPart > static_cast<ULONGLONG>(LONG_MAX) ? LONG_MAX : static_cast<LONG>(available.QuadPart);
}

// Registers a COM server DLL given by its full path: 0 when registered, 1
// when it cannot be loaded, 2 when it has no DllRegisterServer, 3 when that
// failed. A bare name is refused, so nothing is found through a search path.
LONG WINAPI DLLSelfRegister(LPCSTR dllPath) {
  std::wstring path = text::FromAnsi(dllPath);
  bool absolute = path.size() > 2 && (path[1] == L':' || (path[0] == L'\\' && path[1] == L'\\'));
  if (!absolute) return 1;
  UniqueModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) return 1;
  using RegisterFn = HRESULT(STDAPICALLTYPE*)();
  auto registerServer = ProcAs<RegisterFn>(GetProcAddress(module.get(), "DllRegisterServer"));
  if (!registerServer) return 2;
  ComScope com;
  return SUCCEEDED(registerServer()) ? 0 : 3;
}

}  // extern "C"
