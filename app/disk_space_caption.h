#pragma once

#include <cstdint>
#include <string>

// The caption of lblDiskFree for a free-byte count as the companion library
// returns it: "Free: 2 Kb", "Free:  > 2 Gb".
std::wstring FreeSpaceCaption(std::int32_t freeBytes);
