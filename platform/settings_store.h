// Per-user settings: string values addressed by application, section and key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The value, or nothing when the entry is missing or is not text.
  virtual std::optional<std::wstring> FindSetting(const std::wstring& application, const std::wstring& section,
                                                  const std::wstring& key) = 0;
  // The system's status: 0 when the value is stored.
  virtual std::int32_t SaveSetting(const std::wstring& application, const std::wstring& section,
                                   const std::wstring& key, const std::wstring& value) = 0;
  // Removes the one value; 0 also when it was not there.
  virtual std::int32_t DeleteSetting(const std::wstring& application, const std::wstring& section,
                                     const std::wstring& key) = 0;

  // A missing entry (or one that is not text) reads as the default.
  std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) {
    return FindSetting(application, section, key).value_or(defaultValue);
  }
};
