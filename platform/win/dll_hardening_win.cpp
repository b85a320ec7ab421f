#include "platform/win/dll_hardening_win.h"

#include <windows.h>

#include <string>

#include "platform/win/handles_win.h"

namespace {

// Loaded lazily by theming, drawing, the shell and accessibility; none of
// them is one of the system's known DLLs, so a bare name would be searched.
constexpr const wchar_t* kLazilyLoadedSystemDlls[] = {
    L"uxtheme.dll", L"dwmapi.dll",  L"msimg32.dll", L"version.dll", L"cryptbase.dll",
    L"propsys.dll", L"profapi.dll", L"userenv.dll", L"oleacc.dll",   L"mpr.dll",
};

}  // namespace

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

void PreloadSystemDlls() {
  wchar_t system[MAX_PATH] = {};
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  for (const wchar_t* name : kLazilyLoadedSystemDlls) {
    std::wstring path = std::wstring(system) + L"\\" + name;
    // Their own imports come from their own folder, System32. They stay
    // loaded for the life of the process; a missing one is simply skipped.
    LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
}
