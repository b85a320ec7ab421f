// The main window's background picture: a dark blue night gradient with
// faint diagonal "file rows", a thin rule under the message area and a soft
// glow at the top right, so that white and light-blue text stay legible.
// Drawn from its formula at any display scale instead of stored: at 96 dots
// per inch it is the designed 320 x 240 picture (resources/background.bmp,
// which tools/art writes from this same formula), pixel for pixel.
#pragma once

#include <cstdint>

inline constexpr int kPictureWidth = 320;  // pixels at 96 dots per inch
inline constexpr int kPictureHeight = 240;

// The picture's size in pixels at dpi.
int PictureWidth(int dpi);
int PictureHeight(int dpi);

// Fills pixels (PictureWidth(dpi) x PictureHeight(dpi), rows top-down,
// each stride bytes apart, 3 bytes a pixel in blue, green, red order).
void DrawBackgroundPicture(std::uint8_t* pixels, int stride, int dpi);
