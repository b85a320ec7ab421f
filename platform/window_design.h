// What the design tables of both windows are written in: positions and sizes
// in twips from the top-left corner of the client area, colours, fonts.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kTwipsPerPixel = 15;

struct Rgb {
  std::uint8_t r, g, b;
};

struct FontSpec {
  const wchar_t* face;  // nullptr: the platform's default font
  int hundredthsOfPoint;
  int weight;
};

// True when the rows of a design table are the controls of its enum, one
// each, in the enum's order, up to last: a control's row and its window
// handle are then found by the control's value.
template <typename Table, typename Enum>
constexpr bool RowsFollowEnum(const Table& rows, Enum last) {
  if (rows.size() != static_cast<std::size_t>(last) + 1) return false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (static_cast<std::size_t>(rows[i].control) != i) return false;
  }
  return true;
}
