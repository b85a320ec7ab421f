// Small string helpers shared by the window logic, the installation and the
// platform layer. Strings are UTF-16 (std::wstring) everywhere inside.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace text {

bool EndsWithBackslash(std::wstring_view s);

// The path with one backslash at its end; an existing one is kept, not doubled.
std::wstring WithTrailingBackslash(const std::wstring& s);

// Upper case as the system's own case mapping does it (the Windows build uses
// the system's table; the host build an equivalent for the letters tests use).
std::wstring UpperCase(std::wstring_view s);

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

// The first line of a system message without its line break:
// "Access is denied.\r\n" becomes "Access is denied.".
std::wstring FirstLine(std::wstring_view s);

// Quotes a path for a command line when it holds a blank, so that Windows
// does not split it or try a shorter path first.
std::wstring QuotedIfBlank(const std::wstring& path);

std::wstring Quoted(const std::wstring& path);

// A fixed text of plain ASCII kept narrow: half the room of a wide one in
// the program, widened where it is used.
class Ascii {
  static void OnlyAsciiIsWidenedByACast();  // not constexpr: a compile error where it is reached

 public:
  template <std::size_t N>
  consteval Ascii(const char (&text)[N]) : text_(text), size_(N - 1) {  // NOLINT: made from literals
    for (std::size_t i = 0; i + 1 < N; ++i) {
      if (static_cast<unsigned char>(text[i]) > 0x7F) OnlyAsciiIsWidenedByACast();
    }
  }
  constexpr Ascii() : text_(""), size_(0) {}
  operator std::wstring() const;  // NOLINT: used where a wide text is
  constexpr const char* data() const { return text_; }
  constexpr std::size_t size() const { return size_; }
  // The first count characters (all of them when there are fewer).
  constexpr Ascii first(std::size_t count) const {
    Ascii part = *this;
    if (count < size_) part.size_ = count;
    return part;
  }

 private:
  const char* text_;
  std::size_t size_;
};

std::wstring operator+(Ascii a, std::wstring_view b);
std::wstring operator+(std::wstring_view a, Ascii b);
bool operator==(std::wstring_view a, Ascii b);
bool operator==(Ascii a, Ascii b);

// One part of Concat: a wide text, or a plain ASCII literal, which takes
// half the room in the program and is widened as it is joined.
class Part {
 public:
  Part(std::wstring_view wide) : data_(wide.data()), size_(wide.size()) {}  // NOLINT: parts convert implicitly
  Part(const wchar_t* wide) : Part(std::wstring_view(wide)) {}              // NOLINT
  Part(const std::wstring& wide) : Part(std::wstring_view(wide)) {}         // NOLINT
  constexpr Part(Ascii ascii) : data_(ascii.data()), size_(ascii.size() | kNarrow) {}  // NOLINT
  template <std::size_t N>
  consteval Part(const char (&ascii)[N]) : Part(Ascii(ascii)) {}  // NOLINT

  std::size_t size() const { return size_ & ~kNarrow; }
  // Writes the part at out; returns the end of what it wrote.
  wchar_t* CopyTo(wchar_t* out) const;

 private:
  // The top bit of size_ tells a narrow part: a part as small as a view.
  static constexpr std::size_t kNarrow = ~(~std::size_t{0} >> 1);
  const void* data_;
  std::size_t size_;
};

// The parts one after the other: one call where a chain of + would make a
// string for every step.
std::wstring Concat(std::initializer_list<Part> parts);

// The decimal digits of value, a minus in front of a negative one. Made
// without the C library's formatting, which std::to_wstring goes through.
// Unsigned values pass as they are up to 2^63 (sizes, counts, error codes).
std::wstring Decimal(std::int64_t value);

// A to Z in either case: the letters a drive can have.
bool IsDriveLetter(wchar_t c);

}  // namespace text
