#include "app/background_picture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

// The picture as the program draws it at 96 dots per inch is the designed
// one, byte for byte: resources/background.bmp (24 bits, rows bottom-up).
TEST(BackgroundPicture, AtNinetySixDotsPerInchEveryPixelIsTheDesignedPicture) {
  std::ifstream file(MORVANE_SOURCE_DIR "/resources/background.bmp", std::ios::binary);
  std::vector<std::uint8_t> bmp((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bmp.size(), 54u + 320 * 240 * 3);
  ASSERT_EQ(PictureWidth(96), 320);
  ASSERT_EQ(PictureHeight(96), 240);
  const int stride = 320 * 3;
  std::vector<std::uint8_t> drawn(static_cast<std::size_t>(stride) * 240);
  DrawBackgroundPicture(drawn.data(), stride, 96);
  int differing = 0;
  for (int y = 0; y < 240; ++y) {
    const std::uint8_t* designed = bmp.data() + 54 + static_cast<std::size_t>(239 - y) * stride;
    for (int i = 0; i < stride; ++i) differing += drawn[static_cast<std::size_t>(y * stride + i)] != designed[i];
  }
  EXPECT_EQ(differing, 0);

  // At twice the scale it is the same picture at twice the size.
  EXPECT_EQ(PictureWidth(192), 640);
  EXPECT_EQ(PictureHeight(144), 360);
  std::vector<std::uint8_t> twice(static_cast<std::size_t>(640 * 3) * 480);
  DrawBackgroundPicture(twice.data(), 640 * 3, 192);
  for (int y : {0, 101, 239}) {
    for (int x : {0, 10, 290, 319}) {
      for (int c = 0; c < 3; ++c) {
        int original = drawn[static_cast<std::size_t>(y * stride + x * 3 + c)];
        int scaled = twice[static_cast<std::size_t>(2 * y * 640 * 3 + 2 * x * 3 + c)];
        EXPECT_EQ(scaled, original) << x << "," << y;
      }
    }
  }
}

}  // namespace
