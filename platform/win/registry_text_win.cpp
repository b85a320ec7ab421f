#include "platform/win/registry_text_win.h"

LONG ReadRegistryText(HKEY key, const std::wstring& name, DWORD& type, std::wstring& text) {
  text.clear();
  std::wstring data(256, L'\0');
  for (;;) {
    type = 0;
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
    if (status == ERROR_MORE_DATA) {
      data.resize(bytes / sizeof(wchar_t) + 1);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    data.resize(bytes / sizeof(wchar_t));
    text = data.substr(0, data.find(L'\0'));
    return ERROR_SUCCESS;
  }
}
