#include "install/copy_kit_file.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_file_system.h"

namespace install {
namespace {

class CopyKitFileTest : public ::testing::Test {
 protected:
  CopyKitFileTest() {
    files.AddDirectory(L"C:\\KIT");
    files.AddDirectory(L"C:\\TARGET");
  }

  // Copies row 2 (screenshot.jpg) and returns the failure, if any.
  std::optional<KitFileFailure> CopyScreenshot() { return CopyKitFile(files, directories, names, KitFileNumber(2)); }

  // Fails the given step (the count-th time it comes) with this error code.
  void FailStep(FileOp step, std::uint32_t code, int count = 1) {
    files.failWhen = [=, seen = 0](FileOp op, const std::wstring&) mutable -> std::optional<FileError> {
      if (op == step && ++seen == count) return FakeFileSystem::Error(code);
      return std::nullopt;
    };
  }

  FakeFileSystem files;
  InstallDirectories directories{L"C:\\KIT\\", L"C:\\TARGET\\"};
  CurrentNames names;
};

TEST_F(CopyKitFileTest, CopiesExactlyTheSourceBytesUnderTheInstalledName) {
  std::string picture(3 * 1024 * 1024 + 7, '\0');
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<char>(i * 31 % 251);
  files.AddFile(L"C:\\KIT\\morvane.2", picture);
  files.readChunk = 64 * 1024;  // many reads, as for a big file
  EXPECT_FALSE(CopyScreenshot());
  EXPECT_EQ(files.Contents(L"C:\\TARGET\\screenshot.jpg"), picture);
  EXPECT_EQ(files.StoredName(L"C:\\TARGET\\SCREENSHOT.JPG"), L"C:\\TARGET\\screenshot.jpg");
  EXPECT_EQ(files.Contents(L"C:\\KIT\\morvane.2"), picture);
}

TEST_F(CopyKitFileTest, EmptySourceGivesEmptyFileAndLongerDestinationIsTruncated) {
  files.AddFile(L"C:\\KIT\\morvane.2", "");
  files.AddFile(L"C:\\TARGET\\screenshot.jpg", "an older and longer picture");
  EXPECT_FALSE(CopyScreenshot());
  EXPECT_EQ(files.Contents(L"C:\\TARGET\\screenshot.jpg"), "");
  files.AddFile(L"C:\\KIT\\morvane.2", "abc");
  EXPECT_FALSE(CopyScreenshot());
  EXPECT_EQ(files.Contents(L"C:\\TARGET\\screenshot.jpg"), "abc");
}

TEST_F(CopyKitFileTest, MissingSourceIsAReadFailureThatLeavesTheDestination) {
  files.AddFile(L"C:\\TARGET\\screenshot.jpg", "kept");
  std::optional<KitFileFailure> failure = CopyScreenshot();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, FailureKind::Read);
  EXPECT_EQ(failure->name, L"MORVANE.2");
  EXPECT_EQ(failure->description, L"The system cannot find the file specified.");
  EXPECT_EQ(files.Contents(L"C:\\TARGET\\screenshot.jpg"), "kept");
  EXPECT_EQ(files.List(L"C:\\KIT").size(), 0u);
}

TEST_F(CopyKitFileTest, ReadOnlyDestinationIsAWriteFailureNamingTheInstalledFile) {
  files.AddFile(L"C:\\KIT\\morvane.2", "new");
  files.AddFile(L"C:\\TARGET\\screenshot.jpg", "old", {.readOnly = true});
  std::optional<KitFileFailure> failure = CopyScreenshot();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, FailureKind::Write);
  EXPECT_EQ(failure->name, L"SCREENSHOT.JPG");
  EXPECT_EQ(failure->description, L"Access is denied.");
  EXPECT_EQ(files.Contents(L"C:\\TARGET\\screenshot.jpg"), "old");
}

TEST_F(CopyKitFileTest, EachFailingStepHasItsClassAndLeavesWhatItGot) {
  struct Case {
    FileOp step;
    int count;
    FailureKind kind;
    const char* left;  // the destination afterwards; nullptr: not there
  };
  const Case kCases[] = {
      {FileOp::Open, 1, FailureKind::Read, nullptr},
      {FileOp::Create, 1, FailureKind::Write, nullptr},
      {FileOp::Read, 2, FailureKind::Read, "ab"},  // the first read got through
      {FileOp::Write, 2, FailureKind::Write, "ab"},
      {FileOp::Close, 1, FailureKind::Write, "abcdef"},
  };
  for (const Case& c : kCases) {
    FakeFileSystem fresh;
    fresh.AddFile(L"C:\\KIT\\morvane.2", "abcdef");
    fresh.AddDirectory(L"C:\\TARGET");
    fresh.readChunk = 2;
    files = std::move(fresh);
    FailStep(c.step, 33, c.count);
    std::optional<KitFileFailure> failure = CopyScreenshot();
    ASSERT_TRUE(failure) << static_cast<int>(c.step);
    EXPECT_EQ(failure->kind, c.kind) << static_cast<int>(c.step);
    EXPECT_EQ(failure->name, c.kind == FailureKind::Read ? L"MORVANE.2" : L"SCREENSHOT.JPG");
    std::optional<std::string> left = files.Contents(L"C:\\TARGET\\screenshot.jpg");
    if (c.left) {
      EXPECT_EQ(left, std::string(c.left)) << static_cast<int>(c.step);
      EXPECT_TRUE(files.RemoveFile(L"C:\\TARGET\\screenshot.jpg")) << "left open";
    } else {
      EXPECT_FALSE(left) << static_cast<int>(c.step);
    }
    EXPECT_TRUE(files.RemoveFile(L"C:\\KIT\\morvane.2")) << "source left open";
  }
}

TEST_F(CopyKitFileTest, DestinationOpenElsewhereIsAWriteFailureThatKeepsIt) {
  // The installed program running, say: its file cannot be truncated.
  files.AddFile(L"C:\\KIT\\morvane.2", "new");
  files.AddFile(L"C:\\TARGET\\screenshot.jpg", "in use");
  FileError error;
  std::unique_ptr<InputFile> held = files.OpenForReading(L"C:\\TARGET\\screenshot.jpg", error);
  ASSERT_TRUE(held);
  std::optional<KitFileFailure> failure = CopyScreenshot();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, FailureKind::Write);
  EXPECT_EQ(failure->description, L"The process cannot access the file because it is being used by another process.");
  EXPECT_EQ(files.Contents(L"C:\\TARGET\\screenshot.jpg"), "in use");
  held.reset();
  EXPECT_FALSE(CopyScreenshot());
  EXPECT_TRUE(files.RemoveFile(L"C:\\TARGET\\screenshot.jpg")) << "the copy left it open";
}

TEST_F(CopyKitFileTest, MissingHelpFolderIsAWriteFailureNamingTheHelpFile) {
  files.AddFile(L"C:\\KIT\\morvane.4", "BM");
  std::optional<KitFileFailure> failure = CopyKitFile(files, directories, names, KitFileNumber(6));
  ASSERT_TRUE(failure) << "copied into a missing folder";
  EXPECT_EQ(failure->kind, FailureKind::Write);
  EXPECT_EQ(failure->name, L"HELP\\ADDFILE.BMP");
  EXPECT_EQ(failure->description, L"The system cannot find the path specified.");
}

}  // namespace
}  // namespace install
