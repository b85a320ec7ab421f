// The registry calls modReg makes, one to one with the system's own. Status
// values are the system's error codes (0 = success).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using RootKey = std::uint32_t;       // a predefined root: HKEY_LOCAL_MACHINE is 0x80000002
using RegistryHandle = std::uintptr_t;  // an open key, or a root passed as one

namespace hkey {
inline constexpr RootKey kClassesRoot = 0x80000000u;
inline constexpr RootKey kCurrentUser = 0x80000001u;
inline constexpr RootKey kLocalMachine = 0x80000002u;
inline constexpr RootKey kUsers = 0x80000003u;
}  // namespace hkey

namespace regtype {
inline constexpr std::int32_t kString = 1;  // REG_SZ
inline constexpr std::int32_t kDword = 4;   // REG_DWORD
}  // namespace regtype

// DeleteKey's answer when the registry could not be reached at all: the call
// broke down instead of returning. Never one of the system's own statuses.
inline constexpr std::int32_t kRegistryCallBrokeDown = -1;

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  virtual std::int32_t CreateKey(RootKey root, const std::wstring& path, std::uint32_t access,
                                 RegistryHandle& key) = 0;
  virtual std::int32_t OpenKey(RootKey root, const std::wstring& path, std::uint32_t access,
                               RegistryHandle& key) = 0;
  // Stores the text with its terminating NUL as a REG_SZ value.
  virtual std::int32_t SetStringValue(RegistryHandle key, const std::wstring& name, const std::wstring& text) = 0;
  // Stores four little-endian bytes as a REG_DWORD value.
  virtual std::int32_t SetDwordValue(RegistryHandle key, const std::wstring& name, std::int32_t value) = 0;
  // Reads a REG_SZ value; a value of any other type is refused
  // (ERROR_UNSUPPORTED_TYPE, 1630) and leaves text empty.
  virtual std::int32_t QueryStringValue(RegistryHandle key, const std::wstring& name, std::wstring& text) = 0;
  // Any value as the registry keeps it: its type and its bytes. For taking
  // a value down before it is changed and putting it back as it was.
  virtual std::int32_t QueryValue(RegistryHandle key, const std::wstring& name, std::int32_t& type,
                                  std::vector<std::uint8_t>& bytes) = 0;
  virtual std::int32_t SetValue(RegistryHandle key, const std::wstring& name, std::int32_t type,
                                const std::vector<std::uint8_t>& bytes) = 0;
  virtual std::int32_t DeleteValue(RegistryHandle key, const std::wstring& name) = 0;
  // Deletes the last key of the path only; fails when it still has subkeys.
  virtual std::int32_t DeleteKey(RootKey root, const std::wstring& path) = 0;
  virtual std::int32_t CloseKey(RegistryHandle key) = 0;
  // The system's one-line text for a status.
  virtual std::wstring StatusText(std::int32_t status) const = 0;
};
