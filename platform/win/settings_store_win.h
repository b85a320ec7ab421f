#pragma once

#include "platform/settings_store.h"

// Per-user settings under HKEY_CURRENT_USER\Software\<application>\<section>,
// one string value per key.
class SettingsStoreWin : public SettingsStore {
 public:
  std::optional<std::wstring> FindSetting(const std::wstring& application, const std::wstring& section,
                                          const std::wstring& key) override;
  std::int32_t SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) override;
  std::int32_t DeleteSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key) override;
};
