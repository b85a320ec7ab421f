// What the design tables of both windows are written in: positions and sizes
// in twips from the top-left corner of the client area, colours, fonts.
#pragma once

#include <cstddef>
#include <cstdint>

// Twips are 1/1440 inch: 15 to a pixel at 96 dots per inch, 10 at 144.
inline constexpr int kTwipsPerInch = 1440;

// A position or size in twips as pixels at dpi, cut to the whole pixel as
// the design's pixel figures at 96 dots per inch are.
constexpr int TwipsToPixels(int twips, int dpi) { return twips * dpi / kTwipsPerInch; }

struct Rgb {
  std::uint8_t r, g, b;
};

// Small number types: the design tables hold one in each row.
struct FontSpec {
  const wchar_t* face;  // nullptr: the platform's default font
  std::int16_t hundredthsOfPoint;
  std::int16_t weight;
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

// True when the rows' tab indices are 0 to the number of rows less one, each
// once: a window can then walk its tab order by counting.
template <typename Table>
constexpr bool TabIndicesCountRows(const Table& rows) {
  for (std::size_t tab = 0; tab < rows.size(); ++tab) {
    std::size_t with = 0;
    for (const auto& row : rows) with += static_cast<std::size_t>(row.tabIndex) == tab ? 1 : 0;
    if (with != 1) return false;
  }
  return true;
}
