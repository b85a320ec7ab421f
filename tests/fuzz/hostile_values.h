// Generated hostile values for a path the setup is handed, remembered or
// typed: empty, very long, control characters, quotes, reserved device
// names, trailing dots and blanks, UNC and \\?\ forms, mixed separators and
// text outside any ANSI code page. The same seed gives the same values on
// every build, so a failure can be replayed.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace fuzz {

class HostileValues {
 public:
  explicit HostileValues(std::uint32_t seed) : random_(seed) {}

  std::wstring Next() {
    if (Chance(40)) return {};
    std::wstring value = Pick(kPrefixes);
    int parts = static_cast<int>(Below(6));
    for (int i = 0; i < parts; ++i) {
      if (i > 0) value += Pick(kSeparators);
      value += Chance(5) ? RandomName() : std::wstring(Pick(kNames));
    }
    if (Chance(4)) value += Pick(kSeparators);
    if (Chance(5)) value += Pick(kEndings);
    if (Chance(8)) {
      // Around the path limits (the folders fit, some files do not), or
      // 300 to 33,000 characters: past every limit, and past the longest
      // text a Win32 path may have.
      std::size_t length = Chance(2) ? 200 + Below(100) : 300 + Below(32701);
      std::wstring part = Chance(2) ? std::wstring(L"a") : std::wstring(Pick(kNames));
      while (value.size() < length) value += part + L"\\";
      value.resize(length);
    }
    return value;
  }

  std::vector<std::wstring> Take(std::size_t count) {
    std::vector<std::wstring> values;
    for (std::size_t i = 0; i < count; ++i) values.push_back(Next());
    return values;
  }

 private:
  static constexpr const wchar_t* kPrefixes[] = {
      L"",           L"C:\\",         L"c:/",         L"D:",          L"C:",          L"\\",
      L"/",          L"\\\\server\\share\\", L"\\\\?\\C:\\", L"\\\\.\\",   L"\\\\?\\UNC\\server\\share\\",
      L"Z:\\",       L"C:\\Program Files\\", L"C:\\PROGRA~1\\", L"C:/Program Files/", L"C:\\e2e\\",
      L"\\\\",       L"C:\\\\",       L"1:\\",        L"::\\",       L"UNINSTALLED", L"uninstalled",
  };
  static constexpr const wchar_t* kSeparators[] = {L"\\", L"/", L"\\\\", L"/\\", L"\\.\\", L"\\..\\"};
  static constexpr const wchar_t* kNames[] = {
      L"Morvane", L"CON",       L"nul",      L"COM1",          L"lpt1.txt", L"AUX",       L"PRN.",    L"a b",
      L" ",       L".",         L"..",       L"...",           L"x.",       L"x ",        L"x. . ",   L"\"",
      L"\"q\"",   L"'",         L"T\u00f6\u00f6ls", L"\u041c\u043e\u0440\u0432\u0430\u043d\u0435", L"\u5de5\u5177",
      L"\u00e9\u0301", L"<>|", L"*",      L"?",             L"a:b",      L"%WinDir%",  L"\t",      L"\r\n",
      L"\u200b",  L"\ufffe",    L"\u0130",   L"\u00df",        L"Program Files", L"PROGRA~1",
  };
  static constexpr const wchar_t* kEndings[] = {L".", L" ", L"...", L" . ", L"\\.", L"\\..", L"\"", L"\\ "};

  bool Chance(std::uint32_t oneIn) { return Below(oneIn) == 0; }
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(random_() % n); }
  template <std::size_t N>
  const wchar_t* Pick(const wchar_t* const (&from)[N]) {
    return from[Below(N)];
  }

  // Any UTF-16 unit: controls, lone surrogates, private use, NUL excluded
  // (a text box cannot hold it).
  std::wstring RandomName() {
    std::wstring name;
    for (std::uint32_t n = 1 + Below(12); n > 0; --n) {
      std::uint32_t kind = Below(4);
      wchar_t c = kind == 0 ? static_cast<wchar_t>(1 + Below(31))
                : kind == 1 ? static_cast<wchar_t>(0x20 + Below(0x5F))
                            : static_cast<wchar_t>(0x80 + Below(0xFF7F));
      name.push_back(c);
    }
    return name;
  }

  std::mt19937 random_;
};

}  // namespace fuzz
