#include "install/kit_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "install/kit_files.h"
#include "platform/fakes/fake_file_system.h"

namespace install {
namespace {

constexpr const wchar_t* kKit = L"C:\\Users\\jane\\Downloads\\Kit\\";
constexpr const wchar_t* kCopy = L"C:\\Windows\\Temp\\Morvane Kit 00000001\\";

// A kit as make_kit assembles it: each file's size and digest in the record
// of its setup.exe, and setup.exe's own, with the record, the checksum and
// the signature's entry at places of a small stand-in program.
struct AssembledKit {
  KitManifest manifest;
  std::string setupExe = std::string(4096, 'P');
  std::uint8_t record[kit_manifest::kRecordBytes] = {};

  AssembledKit() {
    manifest.recordOffset = 2048;
    manifest.checksumOffset = 216;
    manifest.signatureEntryOffset = 280;
    for (const KitFile& row : KitFiles()) {
      KitManifestEntry& entry = manifest.entries[manifest.count++];
      for (std::size_t c = 0; row.kitName[c] != L'\0'; ++c) entry.name[c] = static_cast<char>(row.kitName[c]);
      if (row.number == 5) {
        entry.kind = KitEntryKind::AssembledSetup;
        continue;
      }
      std::string bytes = Contents(row);
      entry.size = bytes.size();
      Sha256 hash;
      hash.Add(bytes.data(), bytes.size());
      hash.Finish(entry.sha256);
    }
    SealAssembledSetup(manifest, reinterpret_cast<std::uint8_t*>(setupExe.data()), setupExe.size());
    std::memcpy(record, setupExe.data() + manifest.recordOffset, sizeof record);
  }
  std::string Contents(const KitFile& row) const {
    return row.number == 5 ? setupExe : "the bytes of " + std::string(row.kitName, row.kitName + wcslen(row.kitName));
  }
  void AddTo(FakeFileSystem& files, const std::wstring& folder) const {
    for (const KitFile& row : KitFiles()) files.AddFile(folder + row.kitName, Contents(row));
  }
  OwnRecord Own() const { return {&manifest, record}; }
};

class KitCopying : public ::testing::Test {
 protected:
  KitCopying() { kit.AddTo(files, kKit); }
  FakeFileSystem files;
  AssembledKit kit;
};

TEST_F(KitCopying, ProvenKitIsCopiedHeldAndRemovedWithItsFolder) {
  KitCopy copy = CopyKit(files, kKit, kit.Own());
  EXPECT_EQ(copy.directory, kCopy);
  EXPECT_TRUE(copy.damaged.empty()) << testing::PrintToString(copy.damaged);
  EXPECT_EQ(files.protectedFolders.at(L"C:\\Windows\\Temp\\Morvane Kit 00000001"), UsersMay::ReadAndExecute);
  for (const KitFile& row : KitFiles()) {
    EXPECT_EQ(files.Contents(kCopy + std::wstring(row.kitName)), kit.Contents(row)) << row.number;
    EXPECT_TRUE(files.IsInUse(kCopy + std::wstring(row.kitName))) << row.number;  // held: no one changes it
    EXPECT_FALSE(files.IsInUse(kKit + std::wstring(row.kitName))) << row.number;
  }
  RemoveKitCopy(files, copy);
  EXPECT_FALSE(files.Exists(kCopy));
  for (const KitFile& row : KitFiles()) EXPECT_EQ(files.Contents(kKit + std::wstring(row.kitName)), kit.Contents(row));
}

TEST_F(KitCopying, OnlyFilesAsAssembledGoIntoTheCopyAndTheOthersAreNamed) {
  std::string signature(40, 'S');
  std::string signedSetup = kit.setupExe + signature;  // as signing leaves it: the entry names what follows
  std::uint32_t start = 4096, length = 40;
  std::memcpy(signedSetup.data() + kit.manifest.signatureEntryOffset, &start, 4);
  std::memcpy(signedSetup.data() + kit.manifest.signatureEntryOffset + 4, &length, 4);
  std::memcpy(signedSetup.data() + kit.manifest.checksumOffset, "SUMS", 4);
  struct Case {
    const wchar_t* name;
    std::string bytes;
    bool proven;
  };
  std::string changedByte = kit.Contents(KitFileNumber(6));
  changedByte[3] ^= 1;
  std::string otherRecord = kit.setupExe;
  otherRecord[kit.manifest.recordOffset + 100] ^= 1;  // the digest reads it as zeros, the program not
  const Case kCases[] = {
      {L"setup.exe", signedSetup, true},
      {L"setup.exe", kit.setupExe + "appended", false},
      {L"setup.exe", otherRecord, false},
      {L"setup.exe", kit.setupExe.substr(0, 4000), false},
      {L"morvane.4", changedByte, false},
      {L"morvane.4", kit.Contents(KitFileNumber(6)) + "x", false},
      {L"setup.dll", "a library of someone else's", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.name) + " of " + std::to_string(c.bytes.size()) + " bytes");
    FakeFileSystem files;
    kit.AddTo(files, kKit);
    files.AddFile(kKit + std::wstring(c.name), c.bytes);
    files.RemoveFile(kKit + std::wstring(L"morvane.8"));  // missing is not damaged: the kit check names it
    KitCopy copy = CopyKit(files, kKit, kit.Own());
    EXPECT_EQ(copy.damaged, c.proven ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.name});
    EXPECT_EQ(files.Exists(kCopy + std::wstring(c.name)), c.proven);
    EXPECT_FALSE(files.Exists(kCopy + std::wstring(L"morvane.8")));
    EXPECT_EQ(copy.held.size(), c.proven ? 9u : 8u);
  }

  // Not a plain file of its own, or not to be read to its end: named too.
  files.SetAttributes(kKit + std::wstring(L"morvane.6"), {.link = true});
  files.readChunk = 4;
  files.failWhen = [](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Read && path.ends_with(L"Kit\\morvane.2")) return FakeFileSystem::Error(23);
    return std::nullopt;
  };
  KitCopy copy = CopyKit(files, kKit, kit.Own());
  EXPECT_EQ(copy.damaged, (std::vector<std::wstring>{L"morvane.2", L"morvane.6"}));
  EXPECT_FALSE(files.Exists(kCopy + std::wstring(L"morvane.2")));
}

TEST_F(KitCopying, BareBuildProvesNothingAndCopiesNothing) {
  KitCopy copy = CopyKit(files, kKit, OwnRecord{});
  EXPECT_EQ(copy.damaged, std::vector<std::wstring>{L"setup.exe"});
  EXPECT_TRUE(copy.directory.empty());
  EXPECT_FALSE(files.Exists(L"C:\\Windows\\Temp"));
}

TEST_F(KitCopying, CopiesLeftByEndedRunsAreClearedAndRunningOnesStay) {
  const std::wstring temp = L"C:\\Windows\\Temp\\";
  kit.AddTo(files, temp + L"Morvane Kit 0000A7F3\\");  // a run that crashed
  KitCopy running = CopyKit(files, kKit, kit.Own());
  // Someone else's: a folder holding more than kit files, a link under such
  // a name, and names no run makes.
  files.AddFile(temp + L"Morvane Kit 0000A7F4\\morvane.1", "theirs");
  files.AddFile(temp + L"Morvane Kit 0000A7F4\\notes.txt", "theirs");
  files.AddFile(L"C:\\Victim\\morvane.1", "theirs");
  files.AddDirectory(temp + L"Morvane Kit 0000A7F5");
  files.MakeFolderLink(temp + L"Morvane Kit 0000A7F5", L"C:\\Victim");
  for (const wchar_t* name : {L"Morvane Kit 7\\", L"Morvane Kit 0000A7F\\", L"Morvane Kit 0000A7FG\\"}) {
    kit.AddTo(files, temp + name);
  }
  files.AddDirectory(temp + L"Morvane Setup 2");  // a run's work folder
  // However many such folders someone made, a start spends little on them.
  for (int n = 0; n < 40; ++n) files.AddDirectory(temp + L"Morvane Kit 0000FF" + (n < 10 ? L"0" : L"") + std::to_wstring(n));
  std::set<std::wstring> touched;
  files.failWhen = [&](FileOp op, const std::wstring& path) -> std::optional<FileError> {
    if (op == FileOp::Remove || op == FileOp::RemoveDirectory) touched.insert(path.substr(0, temp.size() + 20));
    return std::nullopt;
  };

  ClearLeftKitCopies(files, temp);
  EXPECT_FALSE(files.Exists(temp + L"Morvane Kit 0000A7F3"));
  EXPECT_EQ(files.List(running.directory).size(), KitFiles().size());
  EXPECT_EQ(files.Contents(temp + L"Morvane Kit 0000A7F4\\notes.txt"), "theirs");
  EXPECT_EQ(files.Contents(L"C:\\Victim\\morvane.1"), "theirs");
  EXPECT_TRUE(files.Exists(temp + L"Morvane Setup 2"));
  for (const wchar_t* name : {L"Morvane Kit 7\\", L"Morvane Kit 0000A7F\\", L"Morvane Kit 0000A7FG\\"}) {
    EXPECT_EQ(files.List(temp + name).size(), KitFiles().size()) << testing::PrintToString(name);
  }
  EXPECT_EQ(touched.size(), static_cast<std::size_t>(kLeftKitCopiesPerStart) - 1);  // the link is passed over
}

}  // namespace
}  // namespace install
