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
    bool operator==(const Value&) const = default;
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
  std::int32_t QueryValue(RegistryHandle key, const std::wstring& name, std::int32_t& type,
                          std::vector<std::uint8_t>& bytes) override;
  std::int32_t SetValue(RegistryHandle key, const std::wstring& name, std::int32_t type,
                        const std::vector<std::uint8_t>& bytes) override;
  std::int32_t DeleteValue(RegistryHandle key, const std::wstring& name) override;
  std::int32_t DeleteKey(RootKey root, const std::wstring& path) override;
  std::int32_t CloseKey(RegistryHandle key) override;
  std::wstring StatusText(std::int32_t status) const override;

  // Every key and value, for comparing a whole registry before and after.
  bool operator==(const FakeRegistry& other) const { return keys_ == other.keys_; }
  // Fails the n-th write from now (a created key, a value set or deleted,
  // a deleted key; counting from 1) with status 5; 0 fails none.
  int failWriteNumber = 0;
  int writes() const { return writes_; }

  std::vector<std::uint32_t> accessRequested;

 private:
  using KeyId = std::pair<RootKey, std::wstring>;  // path upper-cased
  static KeyId Id(RootKey root, const std::wstring& path);
  bool Denied(const KeyId& id) const;
  bool WriteFails();
  int writes_ = 0;

  std::map<KeyId, std::map<std::wstring, Value>> keys_;
  std::set<KeyId> denied_;
  std::map<RegistryHandle, KeyId> open_;
  RegistryHandle nextHandle_ = 0x100;
};
