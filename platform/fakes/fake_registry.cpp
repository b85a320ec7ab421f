#include "platform/fakes/fake_registry.h"


#include "platform/text.h"

namespace {
constexpr std::int32_t kNotFound = 2;
constexpr std::int32_t kAccessDenied = 5;
constexpr std::int32_t kInvalidHandle = 6;
constexpr std::int32_t kUnsupportedType = 1630;
}  // namespace

FakeRegistry::KeyId FakeRegistry::Id(RootKey root, const std::wstring& path) { return {root, text::UpperCase(path)}; }

bool FakeRegistry::Denied(const KeyId& id) const {
  for (const KeyId& deny : denied_) {
    if (deny.first == id.first && id.second.compare(0, deny.second.size(), deny.second) == 0) return true;
  }
  return false;
}

bool FakeRegistry::WriteFails() { return ++writes_ == failWriteNumber; }

void FakeRegistry::DenyWrites(RootKey root, const std::wstring& path) { denied_.insert(Id(root, path)); }

bool FakeRegistry::KeyExists(RootKey root, const std::wstring& path) const { return keys_.contains(Id(root, path)); }

const FakeRegistry::Value* FakeRegistry::Find(RootKey root, const std::wstring& path, const std::wstring& name) const {
  auto key = keys_.find(Id(root, path));
  if (key == keys_.end()) return nullptr;
  auto value = key->second.find(text::UpperCase(name));
  return value == key->second.end() ? nullptr : &value->second;
}

std::wstring FakeRegistry::Text(RootKey root, const std::wstring& path, const std::wstring& name) const {
  const Value* value = Find(root, path, name);
  if (!value || value->type != 1) return {};
  std::wstring out;
  for (std::size_t i = 0; i + 1 < value->bytes.size(); i += 2) {
    auto c = static_cast<wchar_t>(value->bytes[i] | value->bytes[i + 1] << 8);
    if (c == 0) break;
    out.push_back(c);
  }
  return out;
}

std::int32_t FakeRegistry::CreateKey(RootKey root, const std::wstring& path, std::uint32_t access,
                                     RegistryHandle& key) {
  accessRequested.push_back(access);
  key = 0;
  KeyId id = Id(root, path);
  if (!keys_.contains(id) && (Denied(id) || WriteFails())) return kAccessDenied;
  // Every missing key along the path is made too.
  for (std::size_t slash = 0; (slash = path.find(L'\\', slash)) != std::wstring::npos; ++slash) {
    keys_[Id(root, path.substr(0, slash))];
  }
  keys_[id];
  key = nextHandle_++;
  open_[key] = id;
  return 0;
}

std::int32_t FakeRegistry::OpenKey(RootKey root, const std::wstring& path, std::uint32_t access,
                                   RegistryHandle& key) {
  accessRequested.push_back(access);
  key = 0;
  KeyId id = Id(root, path);
  if (!keys_.contains(id)) return kNotFound;
  key = nextHandle_++;
  open_[key] = id;
  return 0;
}

std::int32_t FakeRegistry::SetStringValue(RegistryHandle key, const std::wstring& name, const std::wstring& text) {
  auto handle = open_.find(key);
  if (handle == open_.end()) return kInvalidHandle;
  if (Denied(handle->second) || WriteFails()) return kAccessDenied;
  // The ANSI call loses what the code page cannot hold; Windows then keeps
  // the text as UTF-16, two bytes a character and two for the NUL.
  Value value{1, {}};
  for (wchar_t c : text + L'\0') {
    wchar_t kept = c > 0xFF ? L'?' : c;
    value.bytes.push_back(static_cast<unsigned char>(kept & 0xFF));
    value.bytes.push_back(static_cast<unsigned char>(kept >> 8));
  }
  keys_[handle->second][text::UpperCase(name)] = value;
  return 0;
}

std::int32_t FakeRegistry::SetDwordValue(RegistryHandle key, const std::wstring& name, std::int32_t number) {
  auto handle = open_.find(key);
  if (handle == open_.end()) return kInvalidHandle;
  if (Denied(handle->second) || WriteFails()) return kAccessDenied;
  auto bits = static_cast<std::uint32_t>(number);
  Value value{4, {static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
                  static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)}};
  keys_[handle->second][text::UpperCase(name)] = value;
  return 0;
}

std::int32_t FakeRegistry::QueryStringValue(RegistryHandle key, const std::wstring& name, std::wstring& out) {
  out.clear();
  auto handle = open_.find(key);
  if (handle == open_.end()) return kInvalidHandle;
  const auto& values = keys_[handle->second];
  auto value = values.find(text::UpperCase(name));
  if (value == values.end()) return kNotFound;
  if (value->second.type != 1) return kUnsupportedType;
  const std::vector<unsigned char>& bytes = value->second.bytes;  // UTF-16, as Windows keeps it
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto c = static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
    if (c == 0) break;
    out.push_back(c);
  }
  return 0;
}

std::int32_t FakeRegistry::QueryValue(RegistryHandle key, const std::wstring& name, std::int32_t& type,
                                     std::vector<std::uint8_t>& bytes) {
  auto handle = open_.find(key);
  if (handle == open_.end()) return kInvalidHandle;
  const auto& values = keys_[handle->second];
  auto value = values.find(text::UpperCase(name));
  if (value == values.end()) return kNotFound;
  type = value->second.type;
  bytes.assign(value->second.bytes.begin(), value->second.bytes.end());
  return 0;
}

std::int32_t FakeRegistry::SetValue(RegistryHandle key, const std::wstring& name, std::int32_t type,
                                   const std::vector<std::uint8_t>& bytes) {
  auto handle = open_.find(key);
  if (handle == open_.end()) return kInvalidHandle;
  if (Denied(handle->second) || WriteFails()) return kAccessDenied;
  keys_[handle->second][text::UpperCase(name)] = Value{type, {bytes.begin(), bytes.end()}};
  return 0;
}

std::int32_t FakeRegistry::DeleteValue(RegistryHandle key, const std::wstring& name) {
  auto handle = open_.find(key);
  if (handle == open_.end()) return kInvalidHandle;
  if (Denied(handle->second) || WriteFails()) return kAccessDenied;
  return keys_[handle->second].erase(text::UpperCase(name)) ? 0 : kNotFound;
}

std::wstring FakeRegistry::StatusText(std::int32_t status) const {
  switch (status) {
    case kNotFound: return L"The system cannot find the file specified.";
    case kAccessDenied: return L"Access is denied.";
    default: return L"Error " + std::to_wstring(status) + L".";
  }
}

std::int32_t FakeRegistry::DeleteKey(RootKey root, const std::wstring& path) {
  if (deleteBreaksDown) return kRegistryCallBrokeDown;
  KeyId id = Id(root, path);
  if (!keys_.contains(id)) return kNotFound;
  if (Denied(id) || WriteFails()) return kAccessDenied;
  std::wstring prefix = id.second + L"\\";
  for (const auto& [other, values] : keys_) {
    // Windows refuses to delete a key that still has subkeys.
    if (other.first == root && other.second.compare(0, prefix.size(), prefix) == 0) return kAccessDenied;
  }
  keys_.erase(id);
  return 0;
}

std::int32_t FakeRegistry::CloseKey(RegistryHandle key) { return open_.erase(key) ? 0 : kInvalidHandle; }
