#include "platform/modReg.h"

#include <array>
#include <cstdint>
#include <utility>

namespace modReg {
namespace {

struct StatusText {
  std::int32_t status;
  text::Ascii text;
};

// Status 0 and status 2 (the key is gone already) have no text on purpose:
// no text means no message.
constexpr std::array<StatusText, 9> kStatusTexts = {{
    {1, "Bad DB (1)"},
    {3, "Can't open (3)"},
    {4, "Can't read (4)"},
    {5, "Can't write (5)"},
    {6, "Out of memory (6)"},
    {7, "Invalid parameter (7)"},
    {8, "Access denied (8)"},
    {87, "Invalid parameters (87)"},
    {259, "No more items (259)"},
}};

struct RootName {
  RootKey root;
  text::Ascii name;
};

constexpr std::array<RootName, 4> kRootNames = {{
    {hkey::kClassesRoot, "HKEY_CLASSES_ROOT\\"},
    {hkey::kCurrentUser, "HKEY_CURRENT_USER\\"},
    {hkey::kLocalMachine, "HKEY_LOCAL_MACHINE\\"},
    {hkey::kUsers, "HKEY_USERS\\"},
}};

constexpr std::int32_t kInvalidParameter = 87;

std::wstring AsText(const RegistryValue& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) return text::Decimal(*number);
  return std::get<std::wstring>(value);
}

// A number given as text must be a whole decimal number that fits 32 bits:
// an optional minus sign and digits only.
bool AsNumber(const RegistryValue& value, std::int32_t& number) {
  if (const auto* n = std::get_if<std::int32_t>(&value)) {
    number = *n;
    return true;
  }
  const std::wstring& text = std::get<std::wstring>(value);
  bool negative = !text.empty() && text[0] == L'-';
  std::size_t at = negative ? 1 : 0;
  if (at == text.size()) return false;
  const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
  std::int64_t magnitude = 0;
  for (; at < text.size(); ++at) {
    if (text[at] < L'0' || text[at] > L'9') return false;
    magnitude = magnitude * 10 + (text[at] - L'0');
    if (magnitude > limit) return false;
  }
  number = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

std::wstring RegistryStatusText(std::int32_t status) {
  for (const StatusText& entry : kStatusTexts) {
    if (entry.status == status) return entry.text;
  }
  return {};
}

text::Ascii RootKeyName(RootKey root) {
  for (const RootName& entry : kRootNames) {
    if (entry.root == root) return entry.name;
  }
  return {};
}

std::int32_t CreateRegistryKey(RegistryApi& registry, RootKey root, const std::wstring& keyPath) {
  RegistryHandle key = 0;
  std::int32_t status = registry.CreateKey(root, keyPath, kKeyAccess, key);
  // Closed also when the creation failed: the handle is then 0 and the close
  // fails without notice.
  registry.CloseKey(key);
  return status;
}

std::int32_t SetRegistryValue(RegistryApi& registry, RootKey root, const std::wstring& keyPath,
                              const std::wstring& valueName, const RegistryValue& value, std::int32_t valueType) {
  RegistryHandle key = 0;
  // Only CreateRegistryKey makes keys; a missing key means nothing is written.
  if (std::int32_t status = registry.OpenKey(root, keyPath, kKeyAccess, key)) return status;
  std::int32_t status = WriteRegistryValue(registry, key, valueName, valueType, value);
  registry.CloseKey(key);
  return status;
}

std::int32_t WriteRegistryValue(RegistryApi& registry, RegistryHandle key, const std::wstring& valueName,
                                std::int32_t valueType, const RegistryValue& value) {
  switch (valueType) {
    case regtype::kString:
      return registry.SetStringValue(key, valueName, AsText(value));
    case regtype::kDword: {
      std::int32_t number = 0;
      if (!AsNumber(value, number)) return kInvalidParameter;
      return registry.SetDwordValue(key, valueName, number);
    }
    default:
      return 0;  // other types are accepted and ignored
  }
}

std::int32_t DeleteRegistryKey(RegistryApi& registry, RootKey root, const std::wstring& keyPath) {
  return registry.DeleteKey(root, keyPath);
}

void ShowRegistryDeleteError(MessageBoxes& messages, std::int32_t status, RootKey root, const std::wstring& keyPath) {
  std::wstring statusText = RegistryStatusText(status);
  if (statusText.empty()) return;
  messages.Show(text::Concat({kDeleteErrorStart, statusText, "\r\n", RootKeyName(root), keyPath}), mb::kCritical);
}

}  // namespace modReg
