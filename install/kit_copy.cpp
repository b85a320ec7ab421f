#include "install/kit_copy.h"

#include "install/copy_kit_file.h"
#include "install/kit_files.h"
#include "platform/text.h"

namespace install {
namespace {

// The digest of one kit file, as its entry says to take it.
class EntryDigest {
 public:
  EntryDigest(const KitManifest& manifest, const KitManifestEntry& entry, const std::uint8_t* record)
      : entry_(entry), assembled_(manifest, entry.size, record) {}

  void Add(const std::byte* bytes, std::size_t size) {
    read_ += size;
    auto* data = reinterpret_cast<const std::uint8_t*>(bytes);
    if (entry_.kind == KitEntryKind::AssembledSetup) {
      assembled_.Add(data, size);
    } else {
      whole_.Add(data, size);
    }
  }

  bool Matches() {
    std::uint8_t digest[Sha256::kDigestBytes];
    if (entry_.kind == KitEntryKind::AssembledSetup) {
      assembled_.Finish(digest);
      return assembled_.RecordMatches() && assembled_.NothingAddedButASignature() &&
             SameDigest(digest, entry_.sha256);
    }
    whole_.Finish(digest);
    return read_ == entry_.size && SameDigest(digest, entry_.sha256);
  }

 private:
  const KitManifestEntry& entry_;
  Sha256 whole_;
  AssembledSetupDigest assembled_;
  std::uint64_t read_ = 0;
};

// Copies one kit file into the copy while taking its digest; true when the
// copy is the file as assembled. A copy that is not goes again.
bool CopyAndProve(FileSystem& files, const std::wstring& from, const std::wstring& to, const std::wstring& name,
                  const OwnRecord& record, std::span<std::byte> buffer) {
  const KitManifestEntry* entry = FindKitEntry(*record.manifest, name.c_str());
  if (!entry) return false;
  FileError error;
  std::unique_ptr<InputFile> source = files.OpenFileInFolder(from, name, error);
  if (!source) return false;
  const std::wstring path = to + name;
  std::unique_ptr<OutputFile> copy = files.CreateForWriting(path, UsersMay::ReadAndExecute, error);
  if (!copy) return false;
  EntryDigest digest(*record.manifest, *entry, record.bytes);
  bool copied = true;
  for (;;) {
    std::size_t got = 0;
    copied = source->Read(buffer, got, error);
    if (!copied || got == 0) break;
    digest.Add(buffer.data(), got);
    copied = copy->Write(std::span<const std::byte>(buffer.data(), got), error);
    if (!copied) break;
  }
  copied = copy->Close(error) && copied;
  if (copied && digest.Matches()) return true;
  files.RemovePlainFile(path);
  return false;
}

// The kit files in a copy's folder, then the folder itself once empty.
void RemoveCopyFolder(FileSystem& files, const std::wstring& folder) {
  for (const KitFile& row : KitFiles()) files.RemovePlainFile(folder + row.kitName);
  files.RemoveEmptyDirectory(folder);
}

}  // namespace

// Out of line: in its caller's frame its locals would need longer offsets.
[[gnu::noinline]] KitCopy CopyKit(FileSystem& files, const std::wstring& from, const OwnRecord& record) {
  KitCopy copy;
  if (!record.manifest) {
    // A setup.exe that carries no record can prove nothing, itself included.
    copy.damaged.push_back(KitFileNumber(5).kitName);
    return copy;
  }
  FileError error;
  copy.directory = files.MakeKitFolder(error);
  // One buffer for every file, left as it comes: only what the files fill
  // is touched.
  auto buffer = std::make_unique_for_overwrite<std::byte[]>(kCopyBufferBytes);
  for (const KitFile& row : KitFiles()) {
    std::wstring name = row.kitName;
    if (!files.IsOrdinaryFile(from + name)) continue;
    std::unique_ptr<InputFile> held;
    if (!copy.directory.empty() &&
        CopyAndProve(files, from, copy.directory, name, record, {buffer.get(), kCopyBufferBytes})) {
      held = files.OpenFileInFolder(copy.directory, name, error);
      if (!held) files.RemovePlainFile(copy.directory + name);
    }
    if (held) {
      copy.held.push_back(std::move(held));
    } else {
      copy.damaged.push_back(name);
    }
  }
  return copy;
}

void RemoveKitCopy(FileSystem& files, KitCopy& copy) {
  copy.held.clear();
  if (copy.directory.empty()) return;
  RemoveCopyFolder(files, copy.directory);
  copy.directory.clear();
}

void ClearLeftKitCopies(FileSystem& files, const std::wstring& temp) {
  const std::wstring prefix = kKitFolderName;
  // The search matches short names too; only the folder's own name counts,
  // and only as MakeKitFolder names them.
  auto madeSo = [&](const std::wstring& name) {
    return name.size() == prefix.size() + kKitFolderDigits && name.starts_with(prefix) &&
           name.find_first_not_of(L"0123456789ABCDEF", prefix.size()) == std::wstring::npos;
  };
  int handled = 0;
  for (const FoundFile& found : files.FindFiles(text::Concat({temp, prefix, "*"}))) {
    if (!found.directory || !madeSo(found.name)) continue;
    // Anyone may make folders there: however many they made, a start
    // spends no more than a few deletions on them.
    if (++handled > kLeftKitCopiesPerStart) break;
    std::wstring folder = temp + found.name;
    if (files.IsLink(folder)) continue;
    folder.push_back(L'\\');
    RemoveCopyFolder(files, folder);
  }
}

}  // namespace install
