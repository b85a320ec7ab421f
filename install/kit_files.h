// The kit file table: which kit file becomes which installed file, and the
// names a failure message shows for it. The installation copies in this
// order; the kit check and the kit-assembly tool read the same rows.
#pragma once

#include <cstdint>
#include <array>
#include <span>

enum class KitHandling : std::uint8_t {
  Copied,
  SetupsOwn,  // setup.dll and setup.exe: copied too, over the running setup where it runs from the target
  PresetsScript,        // copied to a folder only administrators can write, for the registry editor
  PresenceOnly,         // held with the others but never read; its presence makes the kit complete
};

struct KitFile {
  int number;
  const wchar_t* kitName;
  const wchar_t* installedName;  // empty: not installed
  const wchar_t* readName;       // empty: never reported
  const wchar_t* writeName;
  KitHandling handling;
};

// The table itself, for what must be known at compile time: names taken
// from it and the checks that lists naming installed files agree with it.
// Other code reads it through KitFiles().
namespace kit_table {

using enum KitHandling;

inline constexpr std::array<KitFile, 10> kKitFiles = {{
    {1, L"morvane.1", L"Morvane.exe", L"MORVANE.1", L"MORVANE.EXE", Copied},
    {2, L"morvane.2", L"screenshot.jpg", L"MORVANE.2", L"SCREENSHOT.JPG", Copied},
    {3, L"morvane.3", L"about.htm", L"MORVANE.3", L"ABOUT.HTM", Copied},
    {4, L"setup.dll", L"setup.dll", L"SETUP.DLL", L"SETUP.DLL", SetupsOwn},
    {5, L"setup.exe", L"setup.exe", L"SETUP.EXE", L"SETUP.EXE", SetupsOwn},
    {6, L"morvane.4", L"Help\\AddFile.bmp", L"MORVANE.4", L"HELP\\ADDFILE.BMP", Copied},
    {7, L"morvane.5", L"Help\\AddPath.bmp", L"MORVANE.5", L"HELP\\ADDPATH.BMP", Copied},
    {8, L"morvane.6", L"Help\\FileList.htm", L"MORVANE.6", L"HELP\\FILELIST.HTM", Copied},
    {9, L"morvane.7", L"", L"MORVANE.7", L"PRESETS.REG", PresetsScript},
    {10, L"morvane.8", L"", L"", L"", PresenceOnly},
}};

// Whether two names are the same, letter case aside as the file system
// compares them.
constexpr bool SameName(const wchar_t* a, const wchar_t* b) {
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  while (*a != L'\0' && lower(*a) == lower(*b)) ++a, ++b;
  return lower(*a) == lower(*b);
}

// Whether some row installs a file by this name.
constexpr bool Installs(const wchar_t* name) {
  for (const KitFile& row : kKitFiles) {
    if (*row.installedName != L'\0' && SameName(row.installedName, name)) return true;
  }
  return false;
}

}  // namespace kit_table

std::span<const KitFile> KitFiles();
const KitFile& KitFileNumber(int number);  // 1 to 10
