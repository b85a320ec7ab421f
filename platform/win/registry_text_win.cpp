#include "platform/win/registry_text_win.h"

LONG ReadRegistryText(HKEY key, const std::wstring& name, DWORD& type, std::wstring& text) {
  // Read straight into text, grown while the value does not fit.
  text = std::wstring(256, L'\0');
  for (;;) {
    type = 0;
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
    if (status == ERROR_MORE_DATA) {
      text.resize(bytes / sizeof(wchar_t) + 1);
      continue;
    }
    if (status != ERROR_SUCCESS) {
      text.clear();
      return status;
    }
    text.resize(bytes / sizeof(wchar_t));
    if (std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
    return ERROR_SUCCESS;
  }
}
