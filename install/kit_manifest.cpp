#include "install/kit_manifest.h"

namespace {

using namespace kit_manifest;

// Little-endian numbers of four and eight bytes.
std::uint32_t Get32(const std::uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::uint64_t Get64(const std::uint8_t* at) { return Get32(at) | std::uint64_t{Get32(at + 4)} << 32; }

void Put(std::uint8_t* at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Offsets in the header.
constexpr std::size_t kVersionAt = 16, kCountAt = 20, kRecordAt = 24, kChecksumAt = 28, kSignatureAt = 32,
                      kPayloadAt = 40;
// Offsets in an entry.
constexpr std::size_t kSizeAt = 16, kDigestAt = 24, kKindAt = 56;

constexpr std::uint32_t kChecksumBytes = 4;
constexpr std::uint32_t kSignatureEntryBytes = 8;

}  // namespace

bool ReadKitManifest(const std::uint8_t* record, std::size_t size, KitManifest& manifest) {
  if (!record || size < kRecordBytes) return false;
  for (std::size_t i = 0; i < kMagicBytes; ++i) {
    if (record[i] != static_cast<std::uint8_t>(kMagic[i])) return false;
  }
  manifest = KitManifest{};
  manifest.count = Get32(record + kCountAt);
  if (Get32(record + kVersionAt) != kVersion || manifest.count == 0 || manifest.count > kMaxEntries) return false;
  manifest.recordOffset = Get32(record + kRecordAt);
  manifest.checksumOffset = Get32(record + kChecksumAt);
  manifest.signatureEntryOffset = Get32(record + kSignatureAt);
  manifest.payloadOffset = Get64(record + kPayloadAt);
  for (std::uint32_t i = 0; i < manifest.count; ++i) {
    const std::uint8_t* at = record + kHeaderBytes + i * kEntryBytes;
    KitManifestEntry& entry = manifest.entries[i];
    for (std::size_t c = 0; c < kNameBytes; ++c) entry.name[c] = static_cast<char>(at[c]);
    if (entry.name[kNameBytes - 1] != '\0') return false;
    entry.size = Get64(at + kSizeAt);
    for (std::size_t b = 0; b < Sha256::kDigestBytes; ++b) entry.sha256[b] = at[kDigestAt + b];
    entry.kind = static_cast<KitEntryKind>(Get32(at + kKindAt));
  }
  return true;
}

void WriteKitManifest(const KitManifest& manifest, std::uint8_t (&record)[kRecordBytes]) {
  for (std::uint8_t& byte : record) byte = 0;
  for (std::size_t i = 0; i < kMagicBytes; ++i) record[i] = static_cast<std::uint8_t>(kMagic[i]);
  Put(record + kVersionAt, kVersion, 4);
  Put(record + kCountAt, manifest.count, 4);
  Put(record + kRecordAt, manifest.recordOffset, 4);
  Put(record + kChecksumAt, manifest.checksumOffset, 4);
  Put(record + kSignatureAt, manifest.signatureEntryOffset, 4);
  Put(record + kPayloadAt, manifest.payloadOffset, 8);
  for (std::uint32_t i = 0; i < manifest.count && i < kMaxEntries; ++i) {
    std::uint8_t* at = record + kHeaderBytes + i * kEntryBytes;
    const KitManifestEntry& entry = manifest.entries[i];
    for (std::size_t c = 0; c + 1 < kNameBytes; ++c) at[c] = static_cast<std::uint8_t>(entry.name[c]);
    Put(at + kSizeAt, entry.size, 8);
    for (std::size_t b = 0; b < Sha256::kDigestBytes; ++b) at[kDigestAt + b] = entry.sha256[b];
    Put(at + kKindAt, static_cast<std::uint32_t>(entry.kind), 4);
  }
}

const KitManifestEntry* FindKitEntry(const KitManifest& manifest, const wchar_t* kitName) {
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  for (std::uint32_t i = 0; i < manifest.count; ++i) {
    const char* name = manifest.entries[i].name;
    std::size_t c = 0;
    while (c < kNameBytes && name[c] != '\0' && lower(static_cast<unsigned char>(name[c])) == lower(kitName[c])) ++c;
    if (c < kNameBytes && name[c] == '\0' && kitName[c] == L'\0') return &manifest.entries[i];
  }
  return nullptr;
}

bool SameDigest(const std::uint8_t* a, const std::uint8_t* b) {
  std::uint8_t differ = 0;
  for (std::size_t i = 0; i < Sha256::kDigestBytes; ++i) differ |= a[i] ^ b[i];
  return differ == 0;
}

bool SealAssembledSetup(KitManifest& manifest, std::uint8_t* file, std::size_t size) {
  if (manifest.recordOffset > size || size - manifest.recordOffset < kRecordBytes) return false;
  KitManifestEntry* self = nullptr;
  for (std::uint32_t i = 0; i < manifest.count; ++i) {
    if (manifest.entries[i].kind == KitEntryKind::AssembledSetup) self = &manifest.entries[i];
  }
  if (!self) return false;
  self->size = size;
  std::uint8_t record[kRecordBytes];
  WriteKitManifest(manifest, record);
  for (std::size_t i = 0; i < kRecordBytes; ++i) file[manifest.recordOffset + i] = record[i];
  // The record reads as zeros for the digest, so it may then hold it.
  AssembledSetupDigest digest(manifest, size, nullptr);
  digest.Add(file, size);
  digest.Finish(self->sha256);
  WriteKitManifest(manifest, record);
  for (std::size_t i = 0; i < kRecordBytes; ++i) file[manifest.recordOffset + i] = record[i];
  return true;
}

AssembledSetupDigest::AssembledSetupDigest(const KitManifest& manifest, std::uint64_t assembledSize,
                                           const std::uint8_t* record)
    : manifest_(manifest), assembledSize_(assembledSize), record_(record) {}

// Out of line: in its caller's frame its locals would need longer offsets.
[[gnu::noinline]] void AssembledSetupDigest::Add(const std::uint8_t* bytes, std::size_t size) {
  // Byte by byte only across the few places read as zeros; whole runs between.
  const std::uint64_t ranges[3][2] = {
      {manifest_.checksumOffset, manifest_.checksumOffset + std::uint64_t{kChecksumBytes}},
      {manifest_.signatureEntryOffset, manifest_.signatureEntryOffset + std::uint64_t{kSignatureEntryBytes}},
      {manifest_.recordOffset, manifest_.recordOffset + std::uint64_t{kRecordBytes}},
  };
  static constexpr std::uint8_t kZero = 0;
  while (size > 0) {
    std::uint64_t at = position_;
    std::uint64_t run = size;
    int inside = -1;
    for (int r = 0; r < 3; ++r) {
      if (at >= ranges[r][0] && at < ranges[r][1]) inside = r;
      else if (ranges[r][0] > at && ranges[r][0] - at < run) run = ranges[r][0] - at;
    }
    if (inside >= 0) run = 1;
    if (at < assembledSize_ && assembledSize_ - at < run) run = assembledSize_ - at;
    if (inside == 1) signatureEntry_[at - ranges[1][0]] = *bytes;
    if (inside == 2 && record_ && record_[at - ranges[2][0]] != *bytes) recordMatches_ = false;
    if (at < assembledSize_) hash_.Add(inside >= 0 ? &kZero : bytes, static_cast<std::size_t>(run));
    position_ += run;
    bytes += run;
    size -= static_cast<std::size_t>(run);
  }
}

void AssembledSetupDigest::Finish(std::uint8_t (&digest)[Sha256::kDigestBytes]) { hash_.Finish(digest); }

bool AssembledSetupDigest::NothingAddedButASignature() const {
  if (position_ < assembledSize_) return false;
  if (position_ == assembledSize_) return true;
  std::uint64_t start = Get32(signatureEntry_), length = Get32(signatureEntry_ + 4);
  return start >= assembledSize_ && start - assembledSize_ < 8 && start + length == position_;
}
