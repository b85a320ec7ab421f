// The registry module: the five operations through which the setup touches
// the Windows registry (the uninstall entry). Nothing here reads a value back.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/message_boxes.h"
#include "platform/registry_api.h"
#include "platform/text.h"

namespace modReg {

// The six specific key rights (query, set, create subkey, enumerate, notify,
// create link), not KEY_ALL_ACCESS: the uninstall entry needs no more.
inline constexpr std::uint32_t kKeyAccess = 0x3F;

// How the message of a failed deletion begins.
inline constexpr text::Ascii kDeleteErrorStart = "Error while deleting from registry: ";

using RegistryValue = std::variant<std::wstring, std::int32_t>;

// Both return the registry's status (0: done), for a caller that must know
// whether the entry it writes is whole.
std::int32_t CreateRegistryKey(RegistryApi& registry, RootKey root, const std::wstring& keyPath);

std::int32_t SetRegistryValue(RegistryApi& registry, RootKey root, const std::wstring& keyPath,
                              const std::wstring& valueName, const RegistryValue& value, std::int32_t valueType);

std::int32_t WriteRegistryValue(RegistryApi& registry, RegistryHandle key, const std::wstring& valueName,
                                std::int32_t valueType, const RegistryValue& value);

// The registry's status; kRegistryCallBrokeDown when the call itself broke
// down. A front end shows a status with ShowRegistryDeleteError.
std::int32_t DeleteRegistryKey(RegistryApi& registry, RootKey root, const std::wstring& keyPath);

void ShowRegistryDeleteError(MessageBoxes& messages, std::int32_t status, RootKey root, const std::wstring& keyPath);

// The status text table; empty for a status that has no text.
std::wstring RegistryStatusText(std::int32_t status);

// "HKEY_LOCAL_MACHINE\" and the other three named roots; empty for any other.
text::Ascii RootKeyName(RootKey root);

}  // namespace modReg
