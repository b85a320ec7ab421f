#include "tests/e2e/world.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>

#include "install/kit_files.h"
#include "tools/make_kit/product_layout.h"

namespace e2e {
namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? value : L"";
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// Processes a scenario may leave running: the setup, the product, the editor.
// Ends them (when asked to) and returns the names of those that were found.
std::vector<std::wstring> StrayProcesses(bool end) {
  const wchar_t* kNames[] = {L"setup.exe", L"Morvane.exe", L"regedit.exe", L"unhardened_probe.exe",
                             L"hold_file.exe", L"morvane-2.4.5-setup.exe"};
  std::vector<std::wstring> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    for (const wchar_t* name : kNames) {
      if (lstrcmpiW(entry.szExeFile, name) != 0) continue;
      found.push_back(entry.szExeFile);
      if (!end) continue;
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
      }
    }
  }
  CloseHandle(snapshot);
  return found;
}

// Every top-level name on a drive, for emptying it.
std::vector<std::wstring> DriveContents(const std::wstring& root) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((root + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(root + name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

}  // namespace

std::wstring PristineKit() { return EnvironmentValue(L"MORVANE_TEST_KIT"); }
std::wstring SingleFileInstaller() { return EnvironmentValue(L"MORVANE_TEST_INSTALLER"); }
std::wstring TestBinaries() { return EnvironmentValue(L"MORVANE_TEST_BIN"); }
std::wstring ScreenshotFolder() { return EnvironmentValue(L"MORVANE_TEST_SCREENSHOTS"); }

void World::Reset() {
  StrayProcesses(true);
  SetPermissions(kRoot, L"u+rw", true);
  for (const std::wstring& left : DriveContents(kSmallDrive)) DeleteTree(left);
  // The scenarios' own folder last: a link elsewhere may lead into it, and
  // is removed as a link only while it leads somewhere.
  for (const wchar_t* tree : {L"C:\\WinUtil", L"C:\\My Tools", L"C:\\FileList", L"C:\\Help", L"C:\\TestThis",
                              L"C:\\Undo", kRoot}) {
    DeleteTree(tree);
  }
  for (const wchar_t* file : {L"C:\\Morvane.exe", L"C:\\screenshot.jpg", L"C:\\about.htm", L"C:\\setup.dll",
                              L"C:\\setup.exe"}) {
    SetFileAttributesW(file, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file);
  }
  DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\QolMORVANE");
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey, kView32);
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey, kView64);
  DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\setup.exe");
  DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\unhardened_probe.exe");
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kActiveSetupKey, kView32);
  for (const std::wstring& link :
       {DesktopShortcut(), ProgramsShortcut(), AllUsersDesktopShortcut(), AllUsersProgramsShortcut()}) {
    DeleteFileW(link.c_str());
  }
  // A setup ended midway leaves its work folder and its kit's copy behind.
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  for (const std::wstring& name : List(std::wstring(windows) + L"\\Temp")) {
    if (name.rfind(L"Morvane Setup ", 0) == 0 || name.rfind(L"Morvane Kit ", 0) == 0) {
      DeleteTree(std::wstring(windows) + L"\\Temp\\" + name);
    }
  }
  MakeDirectories(kRoot);

  // A scenario that starts in a dirty world proves nothing: say what is left.
  std::vector<std::string> left;
  for (const std::wstring& name : StrayProcesses(false)) left.push_back("process " + Utf8(name));
  if (!IsDirectory(kRoot)) left.push_back("no C:\\e2e");
  for (const std::wstring& name : IsDirectory(kRoot) ? List(kRoot) : std::vector<std::wstring>{}) {
    left.push_back("C:\\e2e\\" + Utf8(name));
  }
  for (const wchar_t* path : {L"C:\\WinUtil", L"C:\\My Tools", L"C:\\FileList", L"C:\\Help", L"C:\\TestThis",
                              L"C:\\Undo", L"C:\\Morvane.exe", L"C:\\screenshot.jpg", L"C:\\about.htm",
                              L"C:\\setup.dll", L"C:\\setup.exe"}) {
    if (Exists(path)) left.push_back(Utf8(path));
  }
  for (const std::wstring& name : DriveContents(kSmallDrive)) left.push_back(Utf8(name));
  if (RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\QolMORVANE")) left.push_back("the setting");
  if (RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView32) ||
      RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey, kView64)) {
    left.push_back("the uninstall entry");
  }
  if (RegistryKeyExists(HKEY_LOCAL_MACHINE, kActiveSetupKey, kView32)) left.push_back("the Active Setup entry");
  for (const std::wstring& link :
       {DesktopShortcut(), ProgramsShortcut(), AllUsersDesktopShortcut(), AllUsersProgramsShortcut()}) {
    if (Exists(link)) left.push_back(Utf8(link));
  }
  for (const std::string& what : left) ADD_FAILURE() << "the reset world still holds " << what;
}

bool World::SmallDriveReady() {
  ULARGE_INTEGER available{}, total{}, free{};
  return GetDiskFreeSpaceExW(kSmallDrive, &available, &total, &free) && total.QuadPart == kSmallDriveBytes &&
         available.QuadPart == kSmallDriveBytes;
}

std::wstring World::MakeKit(const std::wstring& dir) {
  MakeDirectories(dir);
  for (const std::wstring& name : List(PristineKit())) {
    CopyFileW((PristineKit() + L"\\" + name).c_str(), (dir + L"\\" + name).c_str(), FALSE);
  }
  return dir;
}

std::wstring World::AssembleKit(const std::wstring& dir, const std::map<std::wstring, std::string>& changed) {
  const std::wstring product = dir + L" product", library = dir + L" setup.dll";
  for (const KitFile& row : KitFiles()) {
    std::wstring name = row.kitName;
    if (name == L"setup.exe") continue;  // the build's own, before make_kit gave it a record
    auto change = changed.find(name);
    std::string bytes = change != changed.end() ? change->second
                                                : ReadFile(PristineKit() + L"\\" + name).value_or("");
    WriteFile(name == L"setup.dll" ? library : product + L"\\" + ProductName(row), bytes);
  }
  RunAndCapture(L"\"" + TestBinaries() + L"\\make_kit.exe\" \"" + product + L"\" \"" + TestBinaries() +
                L"\\setup.exe\" \"" + library + L"\" \"" + dir + L"\"");
  DeleteTree(product);
  DeleteTree(library);
  return dir;
}

void World::SetInstallDir(const std::wstring& value) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

std::optional<std::wstring> World::InstallDir() {
  return RegistryText(HKEY_CURRENT_USER, kSettingsKey, L"InstallDir");
}

bool World::WriteFile(const std::wstring& path, const std::string& bytes) {
  std::size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos) MakeDirectories(path.substr(0, slash));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::optional<std::string> World::ReadFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  bool ok = bytes.empty() || ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  if (!ok || read != bytes.size()) return std::nullopt;
  return bytes;
}

bool World::Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool World::IsDirectory(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void World::MakeDirectories(const std::wstring& path) {
  for (std::size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
}

namespace {

// The Unix name of a path in the prefix, or empty.
std::wstring UnixName(const std::wstring& path) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  auto unixName = reinterpret_cast<UnixNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unixName ? unixName(path.c_str()) : nullptr;
  std::wstring wide = name ? Wide(name) : std::wstring();
  HeapFree(GetProcessHeap(), 0, name);
  return wide;
}

// Runs a Unix shell script and waits until it is done.
bool RunUnixScript(const std::wstring& script) {
  const std::wstring marker = L"C:\\morvane-unix.done";
  DeleteFileW(marker.c_str());
  CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  std::wstring unixMarker = UnixName(marker);
  DeleteFileW(marker.c_str());
  if (unixMarker.empty()) return false;
  // Wine starts Unix programs too, but does not wait for them: the shell
  // leaves a marker once the script is done. Its command line is split by
  // Windows rules, so the script is one double-quoted argument.
  std::wstring commandLine = L"sh -c \"" + script + L"; : > '" + unixMarker + L"'\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  // For a Unix program Wine returns no process handle and leaves hThread
  // holding whatever was on its stack: closing that would close a handle
  // of ours that happens to have the same value.
  if (info.hProcess) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  bool done = WaitUntil([&] { return World::Exists(marker); });
  DeleteFileW(marker.c_str());
  return done;
}

}  // namespace

void World::DeleteTree(const std::wstring& path) {
  // The verbatim form reaches names the usual path rules would change, such
  // as a folder whose name ends in a blank or a dot.
  std::wstring verbatim = path.starts_with(L"\\\\") ? path : L"\\\\?\\" + path;
  DWORD attributes = GetFileAttributesW(verbatim.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {  // a link goes, never what it leads to
    RemoveUnixLink(path);
    return;
  }
  SetFileAttributesW(verbatim.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(verbatim.c_str());
    return;
  }
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((verbatim + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") DeleteTree(verbatim + L"\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(verbatim.c_str());
}

void World::SetAttributes(const std::wstring& path, DWORD attributes) { SetFileAttributesW(path.c_str(), attributes); }

bool World::SetPermissions(const std::wstring& path, const std::wstring& mode, bool recursive) {
  if (!Exists(path)) return false;
  std::wstring unixPath = UnixName(path);
  return !unixPath.empty() &&
         RunUnixScript(L"chmod " + std::wstring(recursive ? L"-R " : L"") + mode + L" '" + unixPath + L"'");
}

bool World::MakeUnixLink(const std::wstring& path, const std::wstring& target) {
  std::wstring unixPath = UnixName(path), unixTarget = UnixName(target);
  return !unixPath.empty() && !unixTarget.empty() &&
         RunUnixScript(L"rm -rf '" + unixPath + L"' && ln -s '" + unixTarget + L"' '" + unixPath + L"'");
}

bool World::RemoveUnixLink(const std::wstring& path) {
  // The Unix name of the link itself would name where it leads: the
  // folder's, and the link's own name in it.
  std::size_t slash = path.find_last_of(L'\\');
  std::wstring folder = slash == std::wstring::npos ? std::wstring() : UnixName(path.substr(0, slash));
  return !folder.empty() && RunUnixScript(L"rm -f '" + folder + L"/" + path.substr(slash + 1) + L"'");
}

std::vector<std::wstring> World::List(const std::wstring& directory) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::wstring> World::RegistryText(HKEY root, const std::wstring& key, const std::wstring& name,
                                                REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return std::nullopt;
  wchar_t data[4096] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  LONG status = RegQueryValueExW(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  return std::wstring(data);
}

std::optional<DWORD> World::RegistryNumber(HKEY root, const std::wstring& key, const std::wstring& name,
                                           REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return std::nullopt;
  DWORD data = 0;
  DWORD size = sizeof data;
  DWORD type = 0;
  LONG status = RegQueryValueExW(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return std::nullopt;
  return data;
}

bool World::RegistryKeyExists(HKEY root, const std::wstring& key, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

void World::DeleteRegistryTree(HKEY root, const std::wstring& key, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS | view, &opened) != ERROR_SUCCESS) return;
  for (;;) {
    wchar_t child[256] = {};
    DWORD length = 256;
    if (RegEnumKeyExW(opened, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DeleteRegistryTree(root, key + L"\\" + child, view);
  }
  RegCloseKey(opened);
  RegDeleteKeyExW(root, key.c_str(), view, 0);
}

std::wstring World::DesktopShortcut() { return ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Morvane.lnk"; }
std::wstring World::ProgramsShortcut() { return ShellFolder(CSIDL_PROGRAMS) + L"\\Morvane.lnk"; }
std::wstring World::AllUsersDesktopShortcut() { return ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Morvane.lnk"; }
std::wstring World::AllUsersProgramsShortcut() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Morvane.lnk"; }

void World::Screenshot(HWND window, const std::string& step) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "screenshot";
  std::wstring path = ScreenshotFolder() + L"\\" + Wide(name + (step.empty() ? "" : "-" + step)) + L".png";
  // Give the window a moment to finish painting what the test just did.
  Sleep(150);
  EXPECT_TRUE(SaveScreenshot(window, path)) << Utf8(path);
}

std::string World::UnixPath(const std::wstring& path) { return Utf8(UnixName(path)); }

bool World::RunUnix(const std::string& script) { return RunUnixScript(Wide(script)); }

std::string World::RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine;
  bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                &startup, &info);
  CloseHandle(writeEnd);
  std::string output;
  if (started) {
    // Read while it runs, but never past the deadline: a program that hangs
    // must not hang the test run with it.
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
      DWORD available = 0;
      if (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::string chunk(available, '\0');
        DWORD read = 0;
        if (::ReadFile(readEnd, chunk.data(), available, &read, nullptr)) output.append(chunk.data(), read);
        continue;
      }
      bool ended = WaitForSingleObject(info.hProcess, 20) == WAIT_OBJECT_0;
      if (ended) {
        if (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) continue;
        break;
      }
      if (GetTickCount64() > deadline) {
        TerminateProcess(info.hProcess, 99);
        break;
      }
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  CloseHandle(readEnd);
  return output;
}

}  // namespace e2e
