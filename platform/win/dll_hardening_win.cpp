#include "platform/win/dll_hardening_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/text.h"
#include "platform/win/handles_win.h"

namespace {

// Loaded lazily by theming, drawing, the shell, accessibility and the
// access-list calls (ntmarta, already when the kit's copy is made); none of
// them is one of the system's known DLLs, so a bare name would be searched.
struct LazilyLoaded {
  text::Ascii name;
  SystemDlls group;
};
constexpr LazilyLoaded kLazilyLoadedSystemDlls[] = {
    {"uxtheme.dll", SystemDlls::ForTheWindow},   {"dwmapi.dll", SystemDlls::ForTheWindow},
    {"msimg32.dll", SystemDlls::ForTheWindow},   {"version.dll", SystemDlls::ForTheWindow},
    {"cryptbase.dll", SystemDlls::ForTheWindow}, {"ntmarta.dll", SystemDlls::ForTheWindow},
    {"propsys.dll", SystemDlls::ForLaterSteps},  {"profapi.dll", SystemDlls::ForLaterSteps},
    {"userenv.dll", SystemDlls::ForLaterSteps},  {"oleacc.dll", SystemDlls::ForLaterSteps},
    {"mpr.dll", SystemDlls::ForLaterSteps},
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
  // Each name is written in turn after the folder and a backslash; the
  // longest, with the backslash and its end, takes fewer than kLongestName.
  constexpr UINT kLongestName = 16;
  static_assert(std::ranges::all_of(kLazilyLoadedSystemDlls,
                                    [](const LazilyLoaded& dll) { return dll.name.size() + 2 < kLongestName; }),
                "every name, its backslash and its end fit after the folder");
  wchar_t path[MAX_PATH];
  UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length + kLongestName >= MAX_PATH) return;
  path[length++] = L'\\';
  for (const LazilyLoaded& dll : kLazilyLoadedSystemDlls) {
    if (dll.group != group) continue;
    *text::Part(dll.name).CopyTo(path + length) = L'\0';
    // Their own imports come from their own folder, System32. They stay
    // loaded for the life of the process; a missing one is simply skipped.
    LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
}
