#include "app/disk_space_caption.h"

#include "platform/text.h"

namespace {

// Divides by 1024 and rounds to the nearest integer, halves to the even
// neighbour, as a floating-point division converted back to an integer does.
std::int32_t DivideBy1024RoundingHalfToEven(std::int32_t count) {
  std::int32_t quotient = count / 1024;
  std::int32_t remainder = count % 1024;
  if (remainder > 512 || (remainder == 512 && quotient % 2 == 1)) ++quotient;
  return quotient;
}

}  // namespace

std::wstring FreeSpaceCaption(std::int32_t freeBytes) {
  static constexpr text::Ascii kUnits[] = {"bytes", "Kb", "Mb", "Gb"};
  std::int32_t count = freeBytes;
  int unit = 0;
  // Strictly greater than 1024, and each division rounds before the next
  // comparison: 1073741824 shows as 1024 Mb, not 1 Gb.
  while (unit < 3 && count > 1024) {
    count = DivideBy1024RoundingHalfToEven(count);
    ++unit;
  }
  // The count cannot exceed 2 Gb; the prefix says the real amount may be more.
  text::Ascii prefix = (unit == 3 && count >= 2) ? text::Ascii(" > ") : text::Ascii();
  return text::Concat({"Free: ", prefix, text::Decimal(count), " ", kUnits[unit]});
}
