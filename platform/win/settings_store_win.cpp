#include "platform/win/settings_store_win.h"

#include <windows.h>

#include "platform/text.h"
#include "platform/win/handles_win.h"
#include "platform/win/registry_text_win.h"

namespace {

std::wstring KeyPath(const std::wstring& application, const std::wstring& section) {
  return text::Concat({"Software\\", application, "\\", section});
}

}  // namespace

std::optional<std::wstring> SettingsStoreWin::FindSetting(const std::wstring& application, const std::wstring& section,
                                                          const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  UniqueRegKey settings(opened);
  DWORD type = 0;
  std::wstring value;
  if (ReadRegistryText(settings.get(), key, type, value) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  return value;
}

std::int32_t SettingsStoreWin::SaveSetting(const std::wstring& application, const std::wstring& section,
                                           const std::wstring& key, const std::wstring& value) {
  HKEY created = nullptr;
  LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created, nullptr);
  if (status != ERROR_SUCCESS) return status;
  UniqueRegKey settings(created);
  DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(settings.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

std::int32_t SettingsStoreWin::DeleteSetting(const std::wstring& application, const std::wstring& section,
                                             const std::wstring& key) {
  HKEY opened = nullptr;
  LONG status =
      RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, KEY_SET_VALUE, &opened);
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) return status;
  UniqueRegKey settings(opened);
  status = RegDeleteValueW(settings.get(), key.c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}
