#include "tools/make_kit/kit_zip.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace {

// 1980-01-01 00:00:00, the earliest time a zip entry can carry: the kit
// files' own times would make every build's archive differ.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr std::uint16_t kVersionNeeded = 10;  // 1.0: stored entries, no directories
constexpr std::uint16_t kVersionMadeBy = 20;  // 2.0, MS-DOS attributes
constexpr std::uint32_t kZip32Limit = 0xFFFFFFFFu;

std::uint32_t Crc32(const std::string& bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// The fields that the local header and the central directory share, from
// "version needed" to the name length.
void PutCommon(std::string& out, std::uint32_t crc, std::uint32_t size, std::size_t nameLength) {
  Put16(out, kVersionNeeded);
  Put16(out, 0);  // no flags: no data descriptor, plain ASCII names
  Put16(out, 0);  // stored
  Put16(out, kDosTime);
  Put16(out, kDosDate);
  Put32(out, crc);
  Put32(out, size);  // compressed size
  Put32(out, size);
  Put16(out, static_cast<std::uint32_t>(nameLength));
  Put16(out, 0);  // no extra field
}

bool ReadWhole(const std::filesystem::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

bool WriteKitZip(const std::filesystem::path& zip, const std::vector<ZipEntry>& entries, std::string& error) {
  if (entries.size() > 0xFFFF) {
    error = "too many files for a zip archive";
    return false;
  }
  std::ofstream out(zip, std::ios::binary | std::ios::trunc);
  if (!out) {
    error = "cannot create " + zip.string();
    return false;
  }
  std::string directory;
  std::uint64_t offset = 0;
  for (const ZipEntry& entry : entries) {
    std::string bytes;
    if (!ReadWhole(entry.source, bytes)) {
      error = "cannot read " + entry.source.string();
      return false;
    }
    if (bytes.size() >= kZip32Limit || offset >= kZip32Limit) {
      error = entry.source.string() + " does not fit a zip archive without its 64-bit extension";
      return false;
    }
    std::uint32_t crc = Crc32(bytes);
    std::uint32_t size = static_cast<std::uint32_t>(bytes.size());

    std::string local;
    Put32(local, 0x04034B50);
    PutCommon(local, crc, size, entry.name.size());
    local += entry.name;
    out << local << bytes;

    Put32(directory, 0x02014B50);
    Put16(directory, kVersionMadeBy);
    PutCommon(directory, crc, size, entry.name.size());
    Put16(directory, 0);  // no comment
    Put16(directory, 0);  // disk 0
    Put16(directory, 0);  // internal attributes: binary
    Put32(directory, 0);  // external attributes: a plain file
    Put32(directory, static_cast<std::uint32_t>(offset));
    directory += entry.name;
    offset += local.size() + bytes.size();
  }
  if (offset + directory.size() >= kZip32Limit) {
    error = "the kit does not fit a zip archive without its 64-bit extension";
    return false;
  }
  std::string end;
  Put32(end, 0x06054B50);
  Put16(end, 0);  // this disk
  Put16(end, 0);  // the disk where the directory starts
  Put16(end, static_cast<std::uint32_t>(entries.size()));
  Put16(end, static_cast<std::uint32_t>(entries.size()));
  Put32(end, static_cast<std::uint32_t>(directory.size()));
  Put32(end, static_cast<std::uint32_t>(offset));
  Put16(end, 0);  // no comment
  out << directory << end;
  out.flush();
  if (!out) {
    error = "cannot write " + zip.string();
    return false;
  }
  return true;
}
