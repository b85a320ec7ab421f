#include "platform/log_sink.h"

#include "platform/text.h"

namespace {

bool NeedsEscape(wchar_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

void AppendDigits(std::wstring& out, unsigned value, int count) {
  out.append(static_cast<std::size_t>(count), L'0');
  for (std::size_t at = out.size(); count-- > 0; value /= 10) out[--at] = static_cast<wchar_t>(L'0' + value % 10);
}

}  // namespace

std::wstring EscapedForLog(std::wstring_view line) {
  std::wstring out;
  AppendEscapedForLog(out, line);
  return out;
}

void AppendEscapedForLog(std::wstring& out, std::wstring_view line) {
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  for (wchar_t c : line) {
    if (!NeedsEscape(c)) {
      out.push_back(c);
      continue;
    }
    out += L"<U+";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
    out.push_back(L'>');
  }
}

std::wstring RunLogName(int year, int month, int day, int hour, int minute, int second) {
  std::wstring name = L"Morvane Setup ";
  AppendDigits(name, static_cast<unsigned>(year), 4);
  const int parts[] = {month, day, hour, minute, second};
  static constexpr wchar_t kSeparators[] = L"-- ..";
  for (int i = 0; i < 5; ++i) {
    name.push_back(kSeparators[i]);
    AppendDigits(name, static_cast<unsigned>(parts[i]), 2);
  }
  name += L".log";
  return name;
}

std::wstring NumberedLogPath(const std::wstring& path, int number) {
  if (number <= 1) return path;
  std::size_t dot = path.find_last_of(L'.');
  std::size_t slash = path.find_last_of(L'\\');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) dot = path.size();
  std::wstring_view whole = path;
  return text::Concat({whole.substr(0, dot), " (", text::Decimal(number), ")", whole.substr(dot)});
}
