// What the design tables of both windows are written in: positions and sizes
// in twips from the top-left corner of the client area, colours, fonts.
#pragma once

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
