// The kit record (install/kit_manifest.h) among this program's own
// resources, as the running image holds it: what the program runs with is
// what it judges the files by. setup.exe and the single-file installer
// share this, so it uses nothing of the C++ standard library.
#pragma once

#include <cstddef>
#include <cstdint>

// Null (size 0) when the program carries none.
const std::uint8_t* OwnKitRecord(std::size_t& size);
