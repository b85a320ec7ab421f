#include "platform/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string Hex(const std::string& message, std::size_t piece) {
  Sha256 hash;
  // Fed in pieces of every size, so that the block buffer is crossed at every offset.
  for (std::size_t at = 0; at < message.size(); at += piece) {
    hash.Add(message.data() + at, std::min(piece, message.size() - at));
  }
  std::uint8_t digest[Sha256::kDigestBytes];
  hash.Finish(digest);
  std::string hex;
  for (std::uint8_t byte : digest) hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
  return hex;
}

TEST(Sha256, KnownAnswersOfTheStandard) {
  const std::pair<std::string, const char*> kVectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& [message, digest] : kVectors) {
    for (std::size_t piece : {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{1000}}) {
      if (message.size() > 100000 && piece < 64) continue;
      EXPECT_EQ(Hex(message, piece), digest) << message.size() << " bytes in pieces of " << piece;
    }
  }
}

}  // namespace
