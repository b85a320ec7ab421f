#include "platform/text.h"

#include <algorithm>
#include <iterator>

namespace text {

bool EndsWithBackslash(std::wstring_view s) { return !s.empty() && s.back() == L'\\'; }

std::wstring WithTrailingBackslash(const std::wstring& s) {
  std::wstring with(s);
  if (!EndsWithBackslash(s)) with.push_back(L'\\');
  return with;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::wstring FirstLine(std::wstring_view s) {
  std::size_t end = 0;
  while (end < s.size() && s[end] != L'\r' && s[end] != L'\n') ++end;
  std::wstring_view line(s.data(), end);
  while (!line.empty() && (line.back() == L' ' || line.back() == L'\t')) line.remove_suffix(1);
  return std::wstring(line);
}

std::wstring Quoted(const std::wstring& path) { return Concat({"\"", path, "\""}); }

Ascii::operator std::wstring() const { return Concat({*this}); }

std::wstring operator+(Ascii a, std::wstring_view b) { return Concat({a, b}); }

std::wstring operator+(std::wstring_view a, Ascii b) { return Concat({a, b}); }

bool operator==(std::wstring_view a, Ascii b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != static_cast<wchar_t>(b.data()[i])) return false;
  }
  return true;
}

bool operator==(Ascii a, Ascii b) {
  return std::string_view(a.data(), a.size()) == std::string_view(b.data(), b.size());
}

wchar_t* Part::CopyTo(wchar_t* out) const {
  if (!(size_ & kNarrow)) return std::copy_n(static_cast<const wchar_t*>(data_), size_, out);
  const char* ascii = static_cast<const char*>(data_);
  for (std::size_t i = 0; i < size(); ++i) *out++ = static_cast<wchar_t>(ascii[i]);
  return out;
}

std::wstring Concat(std::initializer_list<Part> parts) {
  std::size_t size = 0;
  for (const Part& part : parts) size += part.size();
  std::wstring joined(size, L'\0');
  wchar_t* out = joined.data();
  for (const Part& part : parts) out = part.CopyTo(out);
  return joined;
}

std::wstring Decimal(std::int64_t value) {
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  // Divided by ten in four parts of sixteen bits, each step a 32-bit
  // division: a 64-bit one would bring the compiler's division routine in.
  std::uint16_t parts[4];
  for (std::uint16_t& part : parts) {
    part = static_cast<std::uint16_t>(magnitude >> 48);
    magnitude <<= 16;
  }
  wchar_t digits[21];  // a minus and the 20 digits of the largest value
  wchar_t* at = std::end(digits);
  bool more;
  do {
    std::uint32_t rest = 0;
    more = false;
    for (std::uint16_t& part : parts) {
      std::uint32_t dividend = rest << 16 | part;
      part = static_cast<std::uint16_t>(dividend / 10);
      rest = dividend % 10;
      more |= part != 0;
    }
    *--at = static_cast<wchar_t>(L'0' + rest);
  } while (more);
  if (value < 0) *--at = L'-';
  return std::wstring(at, std::end(digits));
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

std::wstring QuotedIfBlank(const std::wstring& path) {
  return path.find(L' ') == std::wstring::npos ? path : Quoted(path);
}

}  // namespace text
