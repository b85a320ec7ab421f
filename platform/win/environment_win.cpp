#include "platform/win/environment_win.h"

#include <windows.h>

#include "platform/callback.h"
#include "platform/text.h"
#include "platform/win/account_win.h"
#include "platform/win/registry_text_win.h"

namespace {

// The text a system call writes into a buffer of the size it is given, asked
// again in a larger buffer while it does not fit; empty when the call fails.
// Too small, a call names the size it needs (NUL included), or, as
// GetModuleFileNameW does, fills the whole buffer, which is then doubled.
std::wstring SystemText(std::size_t size, Callback<DWORD(wchar_t*, DWORD)> call) {
  std::wstring text(size, L'\0');
  for (;;) {
    DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(length > text.size() ? length : text.size() * 2);
  }
}

}  // namespace

std::wstring EnvironmentWin::Variable(const std::wstring& name) const {
  return SystemText(256, [&name](wchar_t* out, DWORD size) { return GetEnvironmentVariableW(name.c_str(), out, size); });
}

std::wstring EnvironmentWin::ExecutablePath() {
  return SystemText(MAX_PATH, [](wchar_t* out, DWORD size) { return GetModuleFileNameW(nullptr, out, size); });
}

std::wstring EnvironmentWin::SetupDirectory() const {
  std::wstring path = ExecutablePath();
  std::size_t slash = path.find_last_of(L'\\');
  path.resize(slash == std::wstring::npos ? 0 : slash);
  return path;
}

std::wstring EnvironmentWin::WindowsDirectory() const {
  // The shared one, not a per-session copy (Terminal Services give each
  // session its own GetWindowsDirectory); %WinDir% is never consulted.
  return SystemText(MAX_PATH, [](wchar_t* out, DWORD size) {
    return static_cast<DWORD>(GetSystemWindowsDirectoryW(out, static_cast<UINT>(size)));
  });
}

std::wstring EnvironmentWin::ProfilesDirectory() const {
  // Stored as "%SystemDrive%\Users"; the system drive is the Windows
  // folder's, never the environment's, which the user sets.
  std::wstring windows = WindowsDirectory();
  if (windows.size() < 2) return {};
  std::wstring_view drive(windows.data(), 2);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                    KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
    DWORD type = 0;
    std::wstring stored;
    LONG status = ReadRegistryText(key, L"ProfilesDirectory", type, stored);
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
      static constexpr std::wstring_view kSystemDrive = L"%SystemDrive%";
      std::wstring_view rest = stored;
      bool onSystemDrive = text::EqualsIgnoringCase(rest.substr(0, kSystemDrive.size()), kSystemDrive);
      if (onSystemDrive) rest.remove_prefix(kSystemDrive.size());
      std::wstring folder = text::Concat({onSystemDrive ? drive : std::wstring_view(), rest});
      if (folder.find(L'%') == std::wstring::npos && folder.size() > 3) return folder;
    }
  }
  return text::Concat({drive, "\\Users"});
}

bool EnvironmentWin::RunsAsSystem() const { return CurrentAccount().system; }
