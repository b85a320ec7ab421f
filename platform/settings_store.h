// Per-user settings: string values addressed by application, section and key.
#pragma once

#include <string>

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // A missing entry (or one that is not text) reads as the default.
  virtual std::wstring GetSetting(const std::wstring& application, const std::wstring& section,
                                  const std::wstring& key, const std::wstring& defaultValue) = 0;
  virtual bool SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) = 0;
};
