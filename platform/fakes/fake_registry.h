// An in-memory registry that keeps value types and bytes as Windows does
// (text set through the ANSI entry points is stored as UTF-16 with its
// terminating NUL), refuses to delete a key with subkeys, and denies writes
// on demand.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry_api.h"

class FakeRegistry : public RegistryApi {
 public:
  struct Value {
    std::int32_t type = 0;
    std::vector<unsigned char> bytes;
  };

  bool KeyExists(RootKey root, const std::wstring& path) const;
  const Value* Find(RootKey root, const std::wstring& path, const std::wstring& name) const;
  // The REG_SZ text as stored.
  std::wstring Text(RootKey root, const std::wstring& path, const std::wstring& name) const;
  std::size_t openHandles() const { return open_.size(); }

  // Keys at or under this path refuse creation, writes and deletion (status 5).
  void DenyWrites(RootKey root, const std::wstring& path);
  // When set, DeleteKey breaks down instead of returning a status.
  bool deleteBreaksDown = false;

  std::int32_t CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegistryHandle& key) override;
  std::int32_t OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegistryHandle& key) override;
  std::int32_t SetStringValue(RegistryHandle key, const std::wstring& name, const std::wstring& text) override;
  std::int32_t SetDwordValue(RegistryHandle key, const std::wstring& name, std::int32_t value) override;
  std::int32_t QueryStringValue(RegistryHandle key, const std::wstring& name, std::wstring& text) override;
  std::int32_t DeleteKey(RootKey root, const std::wstring& path) override;
  std::int32_t CloseKey(RegistryHandle key) override;

  std::vector<std::uint32_t> accessRequested;

 private:
  using KeyId = std::pair<RootKey, std::wstring>;  // path upper-cased
  static KeyId Id(RootKey root, const std::wstring& path);
  bool Denied(const KeyId& id) const;

  std::map<KeyId, std::map<std::wstring, Value>> keys_;
  std::set<KeyId> denied_;
  std::map<RegistryHandle, KeyId> open_;
  RegistryHandle nextHandle_ = 0x100;
};
