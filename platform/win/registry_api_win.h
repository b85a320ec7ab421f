#pragma once

#include "platform/registry_api.h"

// The real registry through the wide entry points, so that a text outside the
// ANSI code page is stored intact. No view flag: a 32-bit setup on 64-bit
// Windows writes where Windows puts 32-bit programs' keys.
class RegistryApiWin : public RegistryApi {
 public:
  std::int32_t CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegistryHandle& key) override;
  std::int32_t OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegistryHandle& key) override;
  std::int32_t SetStringValue(RegistryHandle key, const std::wstring& name, const std::wstring& text) override;
  std::int32_t SetDwordValue(RegistryHandle key, const std::wstring& name, std::int32_t value) override;
  std::int32_t QueryStringValue(RegistryHandle key, const std::wstring& name, std::wstring& text) override;
  std::int32_t QueryValue(RegistryHandle key, const std::wstring& name, std::int32_t& type,
                          std::vector<std::uint8_t>& bytes) override;
  std::int32_t SetValue(RegistryHandle key, const std::wstring& name, std::int32_t type,
                        const std::vector<std::uint8_t>& bytes) override;
  std::int32_t DeleteValue(RegistryHandle key, const std::wstring& name) override;
  std::int32_t DeleteKey(RootKey root, const std::wstring& path) override;
  std::int32_t CloseKey(RegistryHandle key) override;
  std::wstring StatusText(std::int32_t status) const override;
};
