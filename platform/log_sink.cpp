#include "platform/log_sink.h"

#include <utility>

namespace {

bool NeedsEscape(wchar_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

void AppendDigits(std::wstring& out, unsigned value, int count) {
  std::wstring digits(static_cast<std::size_t>(count), L'0');
  for (int place = count - 1; place >= 0; --place, value /= 10) {
    digits[static_cast<std::size_t>(place)] = static_cast<wchar_t>(L'0' + value % 10);
  }
  out += digits;
}

}  // namespace

std::wstring EscapedForLog(std::wstring_view line) {
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring out;
  out.reserve(line.size());
  for (wchar_t c : line) {
    if (!NeedsEscape(c)) {
      out.push_back(c);
      continue;
    }
    out += L"<U+";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
    out.push_back(L'>');
  }
  return out;
}

std::wstring RunLogName(int year, int month, int day, int hour, int minute, int second) {
  std::wstring name = L"Morvane Setup ";
  const std::pair<int, wchar_t> parts[] = {{year, L'-'}, {month, L'-'}, {day, L' '},
                                           {hour, L'.'}, {minute, L'.'}, {second, L'\0'}};
  for (const auto& [value, after] : parts) {
    AppendDigits(name, static_cast<unsigned>(value), value > 99 ? 4 : 2);
    if (after) name.push_back(after);
  }
  return name + L".log";
}

std::wstring NumberedLogPath(const std::wstring& path, int number) {
  if (number <= 1) return path;
  std::size_t dot = path.find_last_of(L'.');
  std::size_t slash = path.find_last_of(L'\\');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) dot = path.size();
  return path.substr(0, dot) + L" (" + std::to_wstring(number) + L")" + path.substr(dot);
}
