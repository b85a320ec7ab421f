#pragma once

#include "platform/settings_store.h"

// Per-user settings under HKEY_CURRENT_USER\Software\<application>\<section>,
// one string value per key.
class SettingsStoreWin : public SettingsStore {
 public:
  std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) override;
  bool SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) override;
};
