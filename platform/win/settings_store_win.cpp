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
  // The key is made first when it is not there yet.
  DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetKeyValueW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), key.c_str(), REG_SZ,
                         value.c_str(), bytes);
}

std::int32_t SettingsStoreWin::DeleteSetting(const std::wstring& application, const std::wstring& section,
                                             const std::wstring& key) {
  // A missing key or value is what deleting would leave anyway.
  LONG status = RegDeleteKeyValueW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), key.c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}
