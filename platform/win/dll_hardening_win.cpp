#include "platform/win/dll_hardening_win.h"

#include <windows.h>

#include "platform/win/handles_win.h"

void RestrictDllSearchToSystem32() {
  // Drops the current directory from the search on every Windows.
  SetDllDirectoryW(L"");
  // Windows 7 has SetDefaultDllDirectories only with update KB2533623, so it
  // is looked up rather than imported: the program must start without it.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto restrict = kernel ? ProcAs<SetDefaultDllDirectoriesFn>(GetProcAddress(kernel, "SetDefaultDllDirectories"))
                         : nullptr;
  if (restrict) restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
