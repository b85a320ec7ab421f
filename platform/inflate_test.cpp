#include "platform/inflate.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Gzip(const Bytes& data) {
  std::string path = testing::TempDir() + "inflate_test.bin";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
  Bytes packed;
  FILE* pipe = popen(("gzip -9 -n -c '" + path + "'").c_str(), "r");
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) packed.push_back(static_cast<std::uint8_t>(c));
  if (pipe) pclose(pipe);
  std::remove(path.c_str());
  return packed;
}

bool Gunzip(const Bytes& packed, Bytes& out) {
  return inflate::Gunzip(packed.data(), packed.size(), out.data(), out.size());
}

// The background picture (as the Windows build packs it) and incompressible
// bytes (stored blocks) come back exactly; damage or a wrong size is refused.
TEST(Inflate, UnpacksWhatGzipPackedAndRefusesDamage) {
  std::ifstream file(MORVANE_SOURCE_DIR "/resources/background.bmp", std::ios::binary);
  Bytes picture{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_EQ(picture.size(), 230454u);
  Bytes noise(70000);
  std::mt19937 random(7);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  for (const Bytes& original : {picture, noise}) {
    Bytes packed = Gzip(original);
    ASSERT_GT(packed.size(), 18u);
    Bytes out(original.size());
    EXPECT_TRUE(Gunzip(packed, out));
    EXPECT_TRUE(out == original);
    Bytes shorter(original.size() - 1);
    EXPECT_FALSE(Gunzip(packed, shorter));
    EXPECT_FALSE(inflate::Gunzip(packed.data(), packed.size() / 2, out.data(), out.size()));
    packed[packed.size() / 2] ^= 0x10;
    EXPECT_FALSE(Gunzip(packed, out));
  }
}

}  // namespace
