#include "platform/win/settings_store_win.h"

#include <windows.h>

#include <vector>

#include "platform/win/handles_win.h"

namespace {

std::wstring KeyPath(const std::wstring& application, const std::wstring& section) {
  return L"Software\\" + application + L"\\" + section;
}

}  // namespace

std::wstring SettingsStoreWin::GetSetting(const std::wstring& application, const std::wstring& section,
                                          const std::wstring& key, const std::wstring& defaultValue) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return defaultValue;
  }
  UniqueRegKey settings(opened);
  // The value may be of any length (someone else may have written it), and
  // may change size between two calls: ask until the buffer fits.
  std::vector<BYTE> data(512);
  DWORD type = 0;
  LONG status;
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    status = RegQueryValueExW(settings.get(), key.c_str(), nullptr, &type, data.data(), &size);
    if (status == ERROR_MORE_DATA) {
      data.resize(size + sizeof(wchar_t));
      continue;
    }
    data.resize(size);
    break;
  }
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return defaultValue;
  std::wstring value(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  std::size_t end = value.find(L'\0');  // stored with or without its NUL, perhaps with more after it
  if (end != std::wstring::npos) value.resize(end);
  return value;
}

bool SettingsStoreWin::SaveSetting(const std::wstring& application, const std::wstring& section,
                                   const std::wstring& key, const std::wstring& value) {
  HKEY created = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  UniqueRegKey settings(created);
  DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(settings.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        bytes) == ERROR_SUCCESS;
}
