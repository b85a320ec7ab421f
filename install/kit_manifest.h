// The kit's own record of how it was assembled, carried inside its
// setup.exe: the size and SHA-256 of every other kit file, and of setup.exe
// itself as make_kit wrote it. make_kit fills it in before setup.exe is
// signed, so the signature covers it; a bare build carries it empty. The
// single-file installer carries one of its own for the kit it packs.
// setup.exe, that installer and make_kit share this, so it uses nothing of
// the C++ standard library beyond its integer types.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sha256.h"

namespace kit_manifest {

inline constexpr char kMagic[] = "MORVANE KIT LIST";
inline constexpr std::size_t kMagicBytes = sizeof kMagic - 1;
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::size_t kMaxEntries = 12;
inline constexpr std::size_t kNameBytes = 16;
// Where the fields lie in the record; everything little-endian.
inline constexpr std::size_t kHeaderBytes = 48;
inline constexpr std::size_t kEntryBytes = 64;
// A fixed-size block in the program's resources, found by make_kit through
// its first bytes: the magic and then the version (the magic alone also
// lies among the program's constants, followed by its terminating zero).
// Just the header and the most entries: every byte of it is carried. The
// empty record the build makes (cmake/windows.cmake) has this size.
inline constexpr std::size_t kRecordBytes = kHeaderBytes + kMaxEntries * kEntryBytes;

}  // namespace kit_manifest

enum class KitEntryKind : std::uint32_t {
  WholeFile = 0,
  // setup.exe itself: its size as make_kit wrote it, and the digest of those
  // bytes with the PE checksum, the signature's directory entry and this
  // record read as zeros (the first two change when it is signed, and the
  // record cannot hold its own digest).
  AssembledSetup = 1,
};

struct KitManifestEntry {
  char name[kit_manifest::kNameBytes] = {};  // the kit name, ASCII
  std::uint64_t size = 0;
  std::uint8_t sha256[Sha256::kDigestBytes] = {};
  KitEntryKind kind = KitEntryKind::WholeFile;
};

struct KitManifest {
  std::uint32_t count = 0;
  // In setup.exe: where this record, the PE checksum and the signature's
  // directory entry lie in the file.
  std::uint32_t recordOffset = 0;
  std::uint32_t checksumOffset = 0;
  std::uint32_t signatureEntryOffset = 0;
  // In the single-file installer: where the packed kit files begin, one
  // after the other in the order of the entries.
  std::uint64_t payloadOffset = 0;
  KitManifestEntry entries[kit_manifest::kMaxEntries];
};

// False when record is no filled-in record (a bare build's is empty).
bool ReadKitManifest(const std::uint8_t* record, std::size_t size, KitManifest& manifest);
void WriteKitManifest(const KitManifest& manifest, std::uint8_t (&record)[kit_manifest::kRecordBytes]);
// The entry for a kit name (compared without case), or null.
const KitManifestEntry* FindKitEntry(const KitManifest& manifest, const wchar_t* kitName);
bool SameDigest(const std::uint8_t* a, const std::uint8_t* b);

// make_kit's last step on setup.exe, made in memory: the record written
// into the file at manifest.recordOffset, with the file's own size and
// digest in its AssembledSetup entry. False when the record does not fit.
bool SealAssembledSetup(KitManifest& manifest, std::uint8_t* file, std::size_t size);

// The digest of an AssembledSetup entry, fed the file's bytes in order.
class AssembledSetupDigest {
 public:
  // assembledSize: the entry's size. record: the record the running program
  // carries, which the file's record must equal; null for make_kit, which
  // writes it.
  AssembledSetupDigest(const KitManifest& manifest, std::uint64_t assembledSize, const std::uint8_t* record);
  void Add(const std::uint8_t* bytes, std::size_t size);
  void Finish(std::uint8_t (&digest)[Sha256::kDigestBytes]);
  // The file's record is the one given (always true without one).
  bool RecordMatches() const { return recordMatches_; }
  // Nothing follows the assembled bytes but, perhaps, the signature that
  // the file's directory entry names (signing pads to eight bytes first).
  bool NothingAddedButASignature() const;

 private:
  const KitManifest& manifest_;
  std::uint64_t assembledSize_;
  const std::uint8_t* record_;
  std::uint64_t position_ = 0;
  bool recordMatches_ = true;
  std::uint8_t signatureEntry_[8] = {};
  Sha256 hash_;  // last: the fields above stay within a short reach of the object's start
};
