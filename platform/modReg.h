// The registry module: the five operations through which the setup touches
// the Windows registry (the uninstall entry). Nothing here reads a value back.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/message_boxes.h"
#include "platform/registry_api.h"

namespace modReg {

// The six specific key rights (query, set, create subkey, enumerate, notify,
// create link), not KEY_ALL_ACCESS: the uninstall entry needs no more.
inline constexpr std::uint32_t kKeyAccess = 0x3F;

// How the message of a failed deletion begins.
inline constexpr const wchar_t* kDeleteErrorStart = L"Error while deleting from registry: ";

using RegistryValue = std::variant<std::wstring, std::int32_t>;

void CreateRegistryKey(RegistryApi& registry, RootKey root, const std::wstring& keyPath);

void SetRegistryValue(RegistryApi& registry, RootKey root, const std::wstring& keyPath,
                      const std::wstring& valueName, const RegistryValue& value, std::int32_t valueType);

std::int32_t WriteRegistryValue(RegistryApi& registry, RegistryHandle key, const std::wstring& valueName,
                                std::int32_t valueType, const RegistryValue& value);

// Reports a returned status itself; false only when the call broke down.
bool DeleteRegistryKey(RegistryApi& registry, MessageBoxes& messages, RootKey root, const std::wstring& keyPath);

void ShowRegistryDeleteError(MessageBoxes& messages, std::int32_t status, RootKey root, const std::wstring& keyPath);

// The status text table; empty for a status that has no text.
std::wstring RegistryStatusText(std::int32_t status);

// "HKEY_LOCAL_MACHINE\" and the other three named roots; empty for any other.
std::wstring RootKeyName(RootKey root);

}  // namespace modReg
