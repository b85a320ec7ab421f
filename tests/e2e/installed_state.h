// What a completed installation leaves, as both roads to it (the window and
// the silent run) must leave it: the same files, presets, shortcuts, setting
// and uninstall entry, and the kit as it was.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/texts.h"
#include "tests/e2e/driver/lnk_reader.h"
#include "tests/e2e/session.h"

namespace e2e {

// Kit name -> installed name, for the byte-for-byte comparison.
inline const std::pair<const wchar_t*, const wchar_t*> kInstalled[] = {
    {L"morvane.1", L"Morvane.exe"},       {L"morvane.2", L"screenshot.jpg"},    {L"morvane.3", L"about.htm"},
    {L"setup.dll", L"setup.dll"},         {L"setup.exe", L"setup.exe"},         {L"morvane.4", L"Help\\AddFile.bmp"},
    {L"morvane.5", L"Help\\AddPath.bmp"}, {L"morvane.6", L"Help\\FileList.htm"},
};

inline std::wstring TestFile(int n) {
  return std::wstring(n < 10 ? L"0" : L"") + std::to_wstring(n) + L"_Artist___CD___Title.tst";
}

// The setup's folders in the system Temp folder whose names start so.
inline std::vector<std::wstring> TempFolders(const wchar_t* start) {
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  std::vector<std::wstring> found;
  for (const std::wstring& name : World::List(std::wstring(windows) + L"\\Temp")) {
    if (name.rfind(start, 0) == 0) found.push_back(std::wstring(windows) + L"\\Temp\\" + name);
  }
  return found;
}

// The work folders of a setup, and the checked copies of a kit a setup works from.
inline std::vector<std::wstring> WorkFolders() { return TempFolders(L"Morvane Setup "); }
inline std::vector<std::wstring> KitCopies() { return TempFolders(L"Morvane Kit "); }

inline void ExpectInstalledFilesMatchTheKit(const std::wstring& kitDir, const std::wstring& target) {
  for (const auto& [kitName, installedName] : kInstalled) {
    std::optional<std::string> installed = World::ReadFile(target + L"\\" + installedName);
    ASSERT_TRUE(installed) << Utf8(installedName);
    EXPECT_TRUE(installed == World::ReadFile(kitDir + L"\\" + kitName)) << Utf8(installedName);
  }
}

// A completed installation from kitDir into target (upper case, no blank,
// no trailing backslash).
inline void ExpectCompleteInstallation(const std::wstring& kitDir, const std::wstring& target) {
  // The disk: the folders and files as the table names them.
  EXPECT_EQ(World::List(target),
            (std::vector<std::wstring>{L"FileList", L"Help", L"Morvane.exe", L"TestThis", L"Undo", L"about.htm",
                                       L"screenshot.jpg", L"setup.dll", L"setup.exe"}));
  EXPECT_EQ(World::List(target + L"\\Help"),
            (std::vector<std::wstring>{L"AddFile.bmp", L"AddPath.bmp", L"FileList.htm"}));
  EXPECT_TRUE(World::List(target + L"\\FileList").empty());
  EXPECT_TRUE(World::List(target + L"\\Undo").empty());
  std::vector<std::wstring> testFiles;
  for (int n = 1; n <= 10; ++n) {
    testFiles.push_back(TestFile(n));
    EXPECT_EQ(World::ReadFile(target + L"\\TestThis\\" + TestFile(n)), "");
  }
  EXPECT_EQ(World::List(target + L"\\TestThis"), testFiles);
  ExpectInstalledFilesMatchTheKit(kitDir, target);

  // The presets were really imported by the registry editor.
  EXPECT_EQ(World::RegistryText(HKEY_CURRENT_USER, kPresetsKey, L"Separator"), L"___");
  EXPECT_EQ(World::RegistryText(HKEY_CURRENT_USER, kPresetsKey, L"Pattern1"), L"%Artist%\\%CD%\\%Track% %Title%");

  // Two shortcuts to the installed program.
  for (const std::wstring& link : {World::DesktopShortcut(), World::ProgramsShortcut()}) {
    std::optional<ShellLinkInfo> info = ReadShellLink(link);
    ASSERT_TRUE(info) << Utf8(link);
    EXPECT_EQ(Utf8(info->localBasePath), Utf8(target + L"\\Morvane.exe"));
  }

  // The setting, and the uninstall entry where 32-bit programs' entries go.
  EXPECT_EQ(World::InstallDir(), target + L"\\");
  EXPECT_EQ(World::RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName", kView32),
            texts::kDisplayName);
  EXPECT_EQ(World::RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString", kView32),
            target + L"\\setup.exe");
  EXPECT_FALSE(World::RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView64));

  // The kit keeps its names; the script's copy and its folder are gone.
  EXPECT_EQ(World::List(kitDir), World::List(PristineKit()));
  EXPECT_TRUE(WorkFolders().empty());
}

}  // namespace e2e
