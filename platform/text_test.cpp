#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

// Sizes in kilobytes, error codes and counts are written through Decimal:
// each sixteen-bit part of the division, the signs and the widest values.
TEST(Decimal, WritesEveryValueAsTheCLibraryDoes) {
  constexpr std::int64_t kValues[] = {0,
                                      7,
                                      -1,
                                      10,
                                      65535,
                                      65536,
                                      655359,
                                      4294967295,
                                      4294967296,
                                      1000000000000000000,
                                      std::numeric_limits<std::int64_t>::max(),
                                      std::numeric_limits<std::int64_t>::min() + 1,
                                      std::numeric_limits<std::int64_t>::min()};
  for (std::int64_t value : kValues) EXPECT_EQ(text::Decimal(value), std::to_wstring(value)) << value;
}

}  // namespace
