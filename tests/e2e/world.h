// The world a scenario runs in: kit folders, the per-user setting, the
// registry in both views, shortcuts and files, made and checked through the
// system's own calls, and reset between scenarios.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/driver.h"

namespace e2e {

inline constexpr const wchar_t* kMainTitle = L"Morvane by Halvo Setup";
inline constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE";
inline constexpr const wchar_t* kActiveSetupKey = L"Software\\Microsoft\\Active Setup\\Installed Components\\QolMORVANE";
inline constexpr const wchar_t* kSettingsKey = L"Software\\QolMORVANE\\Installer";
inline constexpr const wchar_t* kPresetsKey = L"Software\\QolMORVANE\\Presets";
inline constexpr REGSAM kView32 = KEY_WOW64_32KEY;
inline constexpr REGSAM kView64 = KEY_WOW64_64KEY;

// Where the test run keeps its inputs and outputs (set by the test script).
std::wstring PristineKit();      // the sample kit as built
std::wstring SingleFileInstaller();  // the single file that carries it
std::wstring TestBinaries();     // helper programs and DLLs
std::wstring ScreenshotFolder();

class World {
 public:
  static constexpr const wchar_t* kRoot = L"C:\\e2e";
  // A drive of known size: a 64 MiB tmpfs that the test script mounts and
  // maps to T: in the prefix, empty at the start of every scenario.
  static constexpr const wchar_t* kSmallDrive = L"T:\\";
  static constexpr unsigned long long kSmallDriveBytes = 64ull * 1024 * 1024;

  // Leaves nothing of an earlier scenario: processes, folders, settings,
  // registry entries, shortcuts; fails the running test when something is
  // left all the same.
  static void Reset();
  // True when kSmallDrive is there, empty and of its known size.
  static bool SmallDriveReady();

  // A copy of the sample kit in dir (made along its whole path).
  static std::wstring MakeKit(const std::wstring& dir);
  // A kit in dir as make_kit assembles one, from the sample kit's files with
  // those named here (by kit name, setup.dll among them) changed first.
  static std::wstring AssembleKit(const std::wstring& dir, const std::map<std::wstring, std::string>& changed);

  static void SetInstallDir(const std::wstring& value);
  static std::optional<std::wstring> InstallDir();

  static bool WriteFile(const std::wstring& path, const std::string& bytes);
  static std::optional<std::string> ReadFile(const std::wstring& path);
  static bool Exists(const std::wstring& path);
  static bool IsDirectory(const std::wstring& path);
  static void MakeDirectories(const std::wstring& path);
  static void DeleteTree(const std::wstring& path);
  static void SetAttributes(const std::wstring& path, DWORD attributes);
  // Changes the Unix permissions of a file or folder (chmod's mode words).
  static bool SetPermissions(const std::wstring& path, const std::wstring& mode, bool recursive = false);
  // Replaces path (file or folder) with a Unix symbolic link to target,
  // which Wine shows as a link, and removes that link alone again. (Wine's
  // own deletion may take what a file link leads to.)
  static bool MakeUnixLink(const std::wstring& path, const std::wstring& target);
  static bool RemoveUnixLink(const std::wstring& path);
  // Names in a directory as the file system keeps them, sorted.
  static std::vector<std::wstring> List(const std::wstring& directory);

  static std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const std::wstring& name,
                                                  REGSAM view = 0);
  static std::optional<DWORD> RegistryNumber(HKEY root, const std::wstring& key, const std::wstring& name,
                                             REGSAM view = 0);
  static bool RegistryKeyExists(HKEY root, const std::wstring& key, REGSAM view = 0);
  static void DeleteRegistryTree(HKEY root, const std::wstring& key, REGSAM view = 0);

  static std::wstring DesktopShortcut();
  static std::wstring ProgramsShortcut();
  // The same two where every user of the computer sees them.
  static std::wstring AllUsersDesktopShortcut();
  static std::wstring AllUsersProgramsShortcut();

  // Saves a screenshot named after the running test and the given step.
  static void Screenshot(HWND window, const std::string& step);

  // Runs a shell command on the Unix side and waits until it has finished
  // (Wine starts Unix programs without waiting for them).
  static bool RunUnix(const std::string& script);
  // The Unix path of a path inside the prefix; empty when there is none.
  static std::string UnixPath(const std::wstring& path);

  // Runs a console program and returns what it printed.
  static std::string RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs = 60000);
};

}  // namespace e2e
