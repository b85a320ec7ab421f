#include "platform/win/registry_api_win.h"

#include <windows.h>

#include "platform/win/registry_text_win.h"
#include "platform/win/text_win.h"

namespace {

// A predefined root is a 32-bit value with its top bit set; widened as a
// signed number it stays the same handle in a 64-bit build.
HKEY AsRoot(RootKey root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }
HKEY AsKey(RegistryHandle key) { return reinterpret_cast<HKEY>(key); }

// Values are set and deleted through the calls the settings use too, which
// with no subkey act on the key itself.

}  // namespace

std::int32_t RegistryApiWin::CreateKey(RootKey root, const std::wstring& path, std::uint32_t access,
                                       RegistryHandle& key) {
  HKEY created = nullptr;
  DWORD disposition = 0;
  LONG status = RegCreateKeyExW(AsRoot(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                &created, &disposition);
  key = reinterpret_cast<RegistryHandle>(created);
  return status;
}

std::int32_t RegistryApiWin::OpenKey(RootKey root, const std::wstring& path, std::uint32_t access,
                                     RegistryHandle& key) {
  HKEY opened = nullptr;
  LONG status = RegOpenKeyExW(AsRoot(root), path.c_str(), 0, access, &opened);
  key = reinterpret_cast<RegistryHandle>(opened);
  return status;
}

std::int32_t RegistryApiWin::SetStringValue(RegistryHandle key, const std::wstring& name, const std::wstring& text) {
  DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));  // with the terminating NUL
  return RegSetKeyValueW(AsKey(key), nullptr, name.c_str(), REG_SZ, text.c_str(), bytes);
}

std::int32_t RegistryApiWin::SetDwordValue(RegistryHandle key, const std::wstring& name, std::int32_t value) {
  DWORD data = static_cast<DWORD>(value);
  return RegSetKeyValueW(AsKey(key), nullptr, name.c_str(), REG_DWORD, &data, sizeof data);
}

std::int32_t RegistryApiWin::QueryStringValue(RegistryHandle key, const std::wstring& name, std::wstring& text) {
  DWORD type = 0;
  LONG status = ReadRegistryText(AsKey(key), name, type, text);
  if (status != ERROR_SUCCESS) return status;
  if (type != REG_SZ) {
    text.clear();
    return ERROR_UNSUPPORTED_TYPE;
  }
  return ERROR_SUCCESS;
}

std::int32_t RegistryApiWin::QueryValue(RegistryHandle key, const std::wstring& name, std::int32_t& type,
                                       std::vector<std::uint8_t>& bytes) {
  // Asked for its size first; a value that grows in between is asked again.
  for (;;) {
    DWORD kind;
    DWORD size = 0;
    LONG status = RegQueryValueExW(AsKey(key), name.c_str(), nullptr, nullptr, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    bytes = std::vector<std::uint8_t>(size);
    status = RegQueryValueExW(AsKey(key), name.c_str(), nullptr, &kind, bytes.data(), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return status;
    bytes.erase(bytes.begin() + size, bytes.end());  // what was there when read
    type = static_cast<std::int32_t>(kind);
    return ERROR_SUCCESS;
  }
}

std::int32_t RegistryApiWin::SetValue(RegistryHandle key, const std::wstring& name, std::int32_t type,
                                     const std::vector<std::uint8_t>& bytes) {
  return RegSetKeyValueW(AsKey(key), nullptr, name.c_str(), static_cast<DWORD>(type), bytes.data(),
                         static_cast<DWORD>(bytes.size()));
}

std::int32_t RegistryApiWin::DeleteValue(RegistryHandle key, const std::wstring& name) {
  return RegDeleteKeyValueW(AsKey(key), nullptr, name.c_str());
}

std::int32_t RegistryApiWin::DeleteKey(RootKey root, const std::wstring& path) {
  return RegDeleteKeyW(AsRoot(root), path.c_str());
}

std::int32_t RegistryApiWin::CloseKey(RegistryHandle key) { return RegCloseKey(AsKey(key)); }

std::wstring RegistryApiWin::StatusText(std::int32_t status) const {
  return text::SystemMessage(static_cast<DWORD>(status));
}
