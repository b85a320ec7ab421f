// A small, bounds-checked deflate decoder (RFC 1951) inside a gzip member
// (RFC 1952). Canonical Huffman codes are decoded bit by bit from their
// per-length counts: slower than table decoding, but the one picture it
// unpacks takes about a millisecond.
#include "platform/inflate.h"

namespace inflate {
namespace {

constexpr int kMaxBits = 15;
constexpr int kMaxLengthCodes = 286;
constexpr int kMaxDistanceCodes = 30;
constexpr int kFixedLengthCodes = 288;

struct Huffman {
  short count[kMaxBits + 1];   // codes of each length
  short symbol[kFixedLengthCodes];  // symbols ordered by code
};

class Inflater {
 public:
  Inflater(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize)
      : in_(in), inSize_(inSize), out_(out), outSize_(outSize) {}

  bool Run() {
    int last;
    do {
      last = Bits(1);
      switch (Bits(2)) {
        case 0: if (!Stored()) return false; break;
        case 1: if (!Fixed()) return false; break;
        case 2: if (!Dynamic()) return false; break;
        default: return false;
      }
    } while (!last && !failed_);
    return !failed_ && outPos_ == outSize_;
  }
  std::size_t consumed() const { return inPos_; }

 private:
  int Bits(int need) {
    std::uint32_t value = bitBuffer_;
    while (bitCount_ < need) {
      if (inPos_ == inSize_) {
        failed_ = true;
        return 0;
      }
      value |= static_cast<std::uint32_t>(in_[inPos_++]) << bitCount_;
      bitCount_ += 8;
    }
    bitBuffer_ = value >> need;
    bitCount_ -= need;
    return static_cast<int>(value & ((1u << need) - 1));
  }

  bool Stored() {
    bitBuffer_ = 0;  // to the next byte boundary
    bitCount_ = 0;
    if (inSize_ - inPos_ < 4) return false;
    unsigned length = in_[inPos_] | in_[inPos_ + 1] << 8;
    unsigned complement = in_[inPos_ + 2] | in_[inPos_ + 3] << 8;
    inPos_ += 4;
    if (length != (~complement & 0xFFFFu) || inSize_ - inPos_ < length || outSize_ - outPos_ < length) return false;
    for (unsigned i = 0; i < length; ++i) out_[outPos_++] = in_[inPos_++];
    return true;
  }

  int Decode(const Huffman& h) {
    int code = 0, first = 0, index = 0;
    for (int length = 1; length <= kMaxBits; ++length) {
      code |= Bits(1);
      int count = h.count[length];
      if (code - count < first) return h.symbol[index + (code - first)];
      index += count;
      first = (first + count) << 1;
      code <<= 1;
      if (failed_) return -1;
    }
    return -1;  // no such code
  }

  // Builds the decoding table; 0 for a complete code, above 0 for an
  // incomplete one, below 0 for an over-subscribed one.
  static int Construct(Huffman& h, const short* lengths, int n) {
    for (short& c : h.count) c = 0;
    for (int s = 0; s < n; ++s) h.count[lengths[s]]++;
    if (h.count[0] == n) return 0;
    int left = 1;
    for (int length = 1; length <= kMaxBits; ++length) {
      left <<= 1;
      left -= h.count[length];
      if (left < 0) return left;
    }
    short offsets[kMaxBits + 1];
    offsets[1] = 0;
    for (int length = 1; length < kMaxBits; ++length) offsets[length + 1] = offsets[length] + h.count[length];
    for (int s = 0; s < n; ++s) {
      if (lengths[s] != 0) h.symbol[offsets[lengths[s]]++] = static_cast<short>(s);
    }
    return left;
  }

  bool Codes(const Huffman& lengthCode, const Huffman& distanceCode) {
    static constexpr short kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                              31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr short kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                               2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static constexpr short kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                                33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                                1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static constexpr short kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    for (;;) {
      int symbol = Decode(lengthCode);
      if (symbol < 0 || failed_) return false;
      if (symbol == 256) return true;
      if (symbol < 256) {
        if (outPos_ == outSize_) return false;
        out_[outPos_++] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      symbol -= 257;
      if (symbol >= 29) return false;
      std::size_t length = static_cast<std::size_t>(kLengthBase[symbol] + Bits(kLengthExtra[symbol]));
      symbol = Decode(distanceCode);
      if (symbol < 0 || symbol >= 30 || failed_) return false;
      std::size_t distance = static_cast<std::size_t>(kDistanceBase[symbol] + Bits(kDistanceExtra[symbol]));
      if (failed_ || distance > outPos_ || outSize_ - outPos_ < length) return false;
      for (; length > 0; --length, ++outPos_) out_[outPos_] = out_[outPos_ - distance];
    }
  }

  bool Fixed() {
    short lengths[kFixedLengthCodes + kMaxDistanceCodes];
    int s = 0;
    for (; s < 144; ++s) lengths[s] = 8;
    for (; s < 256; ++s) lengths[s] = 9;
    for (; s < 280; ++s) lengths[s] = 7;
    for (; s < kFixedLengthCodes; ++s) lengths[s] = 8;
    for (; s < kFixedLengthCodes + kMaxDistanceCodes; ++s) lengths[s] = 5;
    Huffman lengthCode, distanceCode;
    Construct(lengthCode, lengths, kFixedLengthCodes);
    Construct(distanceCode, lengths + kFixedLengthCodes, kMaxDistanceCodes);
    return Codes(lengthCode, distanceCode);
  }

  bool Dynamic() {
    static constexpr short kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    int lengthCount = Bits(5) + 257;
    int distanceCount = Bits(5) + 1;
    int codeCount = Bits(4) + 4;
    if (failed_ || lengthCount > kMaxLengthCodes || distanceCount > kMaxDistanceCodes) return false;
    short lengths[kMaxLengthCodes + kMaxDistanceCodes] = {};
    for (int i = 0; i < codeCount; ++i) lengths[kOrder[i]] = static_cast<short>(Bits(3));
    Huffman lengthCode, distanceCode;
    if (Construct(lengthCode, lengths, 19) != 0) return false;
    int index = 0;
    while (index < lengthCount + distanceCount) {
      int symbol = Decode(lengthCode);
      if (symbol < 0 || failed_) return false;
      if (symbol < 16) {
        lengths[index++] = static_cast<short>(symbol);
        continue;
      }
      short repeated = 0;
      int times;
      if (symbol == 16) {
        if (index == 0) return false;
        repeated = lengths[index - 1];
        times = 3 + Bits(2);
      } else if (symbol == 17) {
        times = 3 + Bits(3);
      } else {
        times = 11 + Bits(7);
      }
      if (failed_ || index + times > lengthCount + distanceCount) return false;
      while (times-- > 0) lengths[index++] = repeated;
    }
    if (lengths[256] == 0) return false;  // no end-of-block code
    // Incomplete codes are allowed only for a single code.
    int error = Construct(lengthCode, lengths, lengthCount);
    if (error < 0 || (error > 0 && lengthCount - lengthCode.count[0] != 1)) return false;
    error = Construct(distanceCode, lengths + lengthCount, distanceCount);
    if (error < 0 || (error > 0 && distanceCount - distanceCode.count[0] != 1)) return false;
    return Codes(lengthCode, distanceCode);
  }

  const std::uint8_t* in_;
  std::size_t inSize_, inPos_ = 0;
  std::uint8_t* out_;
  std::size_t outSize_, outPos_ = 0;
  std::uint32_t bitBuffer_ = 0;
  int bitCount_ = 0;
  bool failed_ = false;
};

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t table[256];
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    table[n] = c;
  }
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
         static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

bool Gunzip(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t outSize) {
  constexpr std::size_t kHeader = 10, kTrailer = 8;
  // Deflate, and no optional fields: "gzip -n" stores neither name nor time.
  if (size < kHeader + kTrailer || data[0] != 0x1F || data[1] != 0x8B || data[2] != 8 || data[3] != 0) return false;
  const std::uint8_t* trailer = data + size - kTrailer;
  if (Le32(trailer + 4) != static_cast<std::uint32_t>(outSize)) return false;
  Inflater inflater(data + kHeader, size - kHeader - kTrailer, out, outSize);
  return inflater.Run() && inflater.consumed() == size - kHeader - kTrailer && Crc32(out, outSize) == Le32(trailer);
}

}  // namespace inflate
