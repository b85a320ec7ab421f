// Unpacks a gzip stream (as "gzip -9 -n" writes it) into a buffer of known
// size. The main window's background picture is stored packed in setup.exe:
// unpacked it would be larger than the rest of the program together.
#pragma once

#include <cstddef>
#include <cstdint>

namespace inflate {

// True when data is one complete gzip member whose content fills out exactly;
// out is left partly written otherwise. Never reads or writes out of bounds.
bool Gunzip(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t outSize);

}  // namespace inflate
