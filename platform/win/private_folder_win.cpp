#include "platform/win/private_folder_win.h"

#include <windows.h>

#include "platform/folder_access.h"
#include "platform/text.h"
#include "platform/win/access_lists_win.h"
#include "platform/win/handles_win.h"

std::wstring SystemTempFolder() {
  wchar_t windows[MAX_PATH];
  UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring temp = text::WithTrailingBackslash(windows);
  temp += L"Temp\\";
  return temp;
}

unsigned long UnguessableNumber() {
  DWORD seed = GetCurrentProcessId() * 7919u + static_cast<DWORD>(GetTickCount64());
  using RandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
  auto random = advapi ? ProcAs<RandomFn>(GetProcAddress(advapi, "SystemFunction036")) : nullptr;  // RtlGenRandom
  if (random) random(&seed, sizeof seed);
  return seed;
}

std::wstring MakePrivateFolder(const std::wstring& base) {
  ProtectedDescriptor list(ProtectedFolderSddl(UsersMay::ReadAndExecute));
  if (!list) return {};
  // Users may make folders where these go (Windows\Temp, a drive's root),
  // even links; a random start keeps them from taking the names ahead, and
  // a name that is taken makes the folder fail, so the next one is tried.
  DWORD seed = UnguessableNumber();
  for (DWORD attempt = 0; attempt < 100; ++attempt) {
    wchar_t name[16];
    wsprintfW(name, L"%08lX", static_cast<unsigned long>(seed + attempt * 104729u));
    std::wstring folder = base + name;
    // Given at creation, so the folder never exists with its parent's rights.
    if (CreateDirectoryW(folder.c_str(), list.attributes())) {
      folder += L'\\';
      return folder;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return {};
}
