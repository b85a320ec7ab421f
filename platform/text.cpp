#include "platform/text.h"

namespace text {

bool EndsWithBackslash(std::wstring_view s) { return !s.empty() && s.back() == L'\\'; }

std::wstring WithTrailingBackslash(std::wstring s) {
  if (!EndsWithBackslash(s)) s.push_back(L'\\');
  return s;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::wstring FirstLine(std::wstring_view s) {
  std::size_t end = s.find_first_of(L"\r\n");
  std::wstring_view line = s.substr(0, end);
  while (!line.empty() && (line.back() == L' ' || line.back() == L'\t')) line.remove_suffix(1);
  return std::wstring(line);
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

std::wstring Concat(std::initializer_list<std::wstring_view> parts) {
  std::size_t size = 0;
  for (std::wstring_view part : parts) size += part.size();
  std::wstring joined;
  joined.reserve(size);
  for (std::wstring_view part : parts) joined += part;
  return joined;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

std::wstring QuotedIfBlank(const std::wstring& path) {
  return path.find(L' ') == std::wstring::npos ? path : Quoted(path);
}

}  // namespace text
