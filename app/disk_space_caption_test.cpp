#include "app/disk_space_caption.h"

#include <gtest/gtest.h>

namespace {

struct Worked {
  std::int32_t returned;
  const wchar_t* caption;
};

TEST(FreeSpaceCaption, ShowsEveryWorkedValue) {
  const Worked kWorked[] = {
      {0, L"Free: 0 bytes"},
      {1024, L"Free: 1024 bytes"},
      {1025, L"Free: 1 Kb"},
      {1536, L"Free: 2 Kb"},         // 1.5 rounds up to the even 2
      {2560, L"Free: 2 Kb"},         // 2.5 rounds down to the even 2
      {1048576, L"Free: 1024 Kb"},
      {1073741824, L"Free: 1024 Mb"},
      {1610612736, L"Free:  > 2 Gb"},
      {2147483647, L"Free:  > 2 Gb"},
      {-5, L"Free: -5 bytes"},
  };
  for (const Worked& w : kWorked) EXPECT_EQ(FreeSpaceCaption(w.returned), w.caption) << w.returned;
}

TEST(FreeSpaceCaption, RoundsBeforeEachNextComparison) {
  // 1049088 bytes are 1024.5 Kb, which rounds to the even 1024 and stays Kb.
  EXPECT_EQ(FreeSpaceCaption(1049088), L"Free: 1024 Kb");
  // 1049089 bytes round to 1025 Kb, which is more than 1024 and becomes 1 Mb.
  EXPECT_EQ(FreeSpaceCaption(1049089), L"Free: 1 Mb");
  // A gigabyte count that rounds to 1 carries no prefix.
  EXPECT_EQ(FreeSpaceCaption(1100000000), L"Free: 1 Gb");
}

}  // namespace
