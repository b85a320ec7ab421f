// Host build: upper case for ASCII and Latin-1, which is what the unit tests
// use; the Windows build maps with the system's own table instead.
#include <cwctype>

#include "platform/text.h"

namespace text {

std::wstring UpperCase(std::wstring_view s) {
  std::wstring out(s);
  for (wchar_t& c : out) {
    if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c = static_cast<wchar_t>(c - 0x20);
  }
  return out;
}

}  // namespace text
