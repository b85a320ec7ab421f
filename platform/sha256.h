// SHA-256 (FIPS 180-4): the digest the kit records for each of its files.
// setup.exe, the single-file installer and make_kit share it, so it uses
// nothing of the C++ standard library beyond its integer types.
#pragma once

#include <cstddef>
#include <cstdint>

class Sha256 {
 public:
  static constexpr std::size_t kDigestBytes = 32;

  Sha256();
  void Add(const void* data, std::size_t size);
  // The digest of everything added; add nothing more afterwards.
  void Finish(std::uint8_t (&digest)[kDigestBytes]);

 private:
  void Block(const std::uint8_t* block);

  std::uint32_t state_[8];
  std::uint64_t length_ = 0;  // bytes added
  std::uint8_t buffer_[64];
  std::size_t used_ = 0;  // bytes waiting in buffer_
};
