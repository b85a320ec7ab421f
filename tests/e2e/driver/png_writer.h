#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Writes 24-bit RGB rows (top-down, 3 bytes a pixel) as a PNG file. The image
// data is stored, not compressed: screenshots are small and this needs no zlib.
bool WritePng(const std::wstring& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace e2e
