#include "platform/win/dll_hardening_win.h"

#include <windows.h>

#include <string>

#include "platform/win/handles_win.h"

namespace {

// Loaded lazily by theming, drawing, the shell, accessibility and the
// access-list calls (ntmarta, already when the kit's copy is made); none of
// them is one of the system's known DLLs, so a bare name would be searched.
struct LazilyLoaded {
  const wchar_t* name;
  SystemDlls group;
};
constexpr LazilyLoaded kLazilyLoadedSystemDlls[] = {
    {L"uxtheme.dll", SystemDlls::ForTheWindow},   {L"dwmapi.dll", SystemDlls::ForTheWindow},
    {L"msimg32.dll", SystemDlls::ForTheWindow},   {L"version.dll", SystemDlls::ForTheWindow},
    {L"cryptbase.dll", SystemDlls::ForTheWindow}, {L"ntmarta.dll", SystemDlls::ForTheWindow},
    {L"propsys.dll", SystemDlls::ForLaterSteps},  {L"profapi.dll", SystemDlls::ForLaterSteps},
    {L"userenv.dll", SystemDlls::ForLaterSteps},  {L"oleacc.dll", SystemDlls::ForLaterSteps},
    {L"mpr.dll", SystemDlls::ForLaterSteps},
};

}  // namespace

bool RestrictDllSearchToSystem32() {
  // Drops the current directory from the search on every Windows.
  SetDllDirectoryW(L"");
  // Windows 7 has SetDefaultDllDirectories only with update KB2533623, so it
  // is looked up rather than imported: the program must start without it.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto restrict = kernel ? ProcAs<SetDefaultDllDirectoriesFn>(GetProcAddress(kernel, "SetDefaultDllDirectories"))
                         : nullptr;
  return restrict && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void PreloadSystemDlls(SystemDlls group) {
  wchar_t system[MAX_PATH] = {};
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  for (const LazilyLoaded& dll : kLazilyLoadedSystemDlls) {
    if (dll.group != group) continue;
    std::wstring path = std::wstring(system) + L"\\" + dll.name;
    // Their own imports come from their own folder, System32. They stay
    // loaded for the life of the process; a missing one is simply skipped.
    LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
}
