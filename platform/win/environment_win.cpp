#include "platform/win/environment_win.h"

#include <windows.h>

#include "platform/text.h"
#include "platform/win/account_win.h"
#include "platform/win/registry_text_win.h"

std::wstring EnvironmentWin::Variable(const std::wstring& name) const {
  std::wstring value(256, L'\0');
  for (;;) {
    DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);  // too small: length is the size needed, NUL included
  }
}

std::wstring EnvironmentWin::ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring EnvironmentWin::SetupDirectory() const {
  std::wstring path = ExecutablePath();
  std::size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring EnvironmentWin::WindowsDirectory() const {
  // The shared one, not a per-session copy (Terminal Services give each
  // session its own GetWindowsDirectory); %WinDir% is never consulted.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    UINT length = GetSystemWindowsDirectoryW(path.data(), static_cast<UINT>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);  // too small: length is the size needed, NUL included
  }
}

std::wstring EnvironmentWin::ProfilesDirectory() const {
  // Stored as "%SystemDrive%\Users"; the system drive is the Windows
  // folder's, never the environment's, which the user sets.
  std::wstring windows = WindowsDirectory();
  if (windows.size() < 2) return {};
  std::wstring folder = windows.substr(0, 2) + L"\\Users";
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                    KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
    DWORD type = 0;
    std::wstring stored;
    if (ReadRegistryText(key, L"ProfilesDirectory", type, stored) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      constexpr std::wstring_view kSystemDrive = L"%SystemDrive%";
      if (text::EqualsIgnoringCase(std::wstring_view(stored).substr(0, kSystemDrive.size()), kSystemDrive)) {
        stored = windows.substr(0, 2) + stored.substr(kSystemDrive.size());
      }
      if (stored.find(L'%') == std::wstring::npos && stored.size() > 3) folder = stored;
    }
    RegCloseKey(key);
  }
  return folder;
}

bool EnvironmentWin::RunsAsSystem() const { return CurrentAccount().system; }
