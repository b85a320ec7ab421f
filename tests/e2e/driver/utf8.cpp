#include "tests/e2e/driver/utf8.h"

#include <windows.h>

namespace e2e {

std::wstring Wide(const std::string& s) {
  int size = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), size);
  w.resize(w.size() - 1);
  return w;
}

std::string Utf8(const std::wstring& w) {
  int size = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), size, nullptr, nullptr);
  s.resize(s.size() - 1);
  return s;
}

}  // namespace e2e
