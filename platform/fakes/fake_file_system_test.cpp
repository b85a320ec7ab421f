// The fake file system keeps the rules of the Windows one that the setup's
// tests lean on; a fake kinder than Windows lets faults pass.
#include "platform/fakes/fake_file_system.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kSharingViolation =
    L"The process cannot access the file because it is being used by another process.";

class FakeFiles : public ::testing::Test {
 protected:
  FakeFiles() { files.AddFile(L"C:\\Dir\\a.txt", "abc"); }
  FakeFileSystem files;
  FileError error;
};

TEST_F(FakeFiles, OpenFileKeepsWritersRenamesAndDeletionsOut) {
  std::unique_ptr<InputFile> reader = files.OpenForReading(L"C:\\DIR\\A.TXT", error);
  ASSERT_TRUE(reader);
  EXPECT_TRUE(files.OpenForReading(L"C:\\Dir\\a.txt", error)) << "readers share reading";
  EXPECT_FALSE(files.CreateForWriting(L"C:\\Dir\\a.txt", UsersMay::ReadAndExecute, error));
  EXPECT_EQ(error.description, kSharingViolation);
  EXPECT_FALSE(files.RenameFile(L"C:\\Dir\\a.txt", L"C:\\Dir\\b.txt", error));
  EXPECT_EQ(error.code, 32u);
  EXPECT_FALSE(files.RemoveFile(L"C:\\Dir\\a.txt"));
  EXPECT_EQ(files.Contents(L"C:\\Dir\\a.txt"), "abc");
  reader.reset();

  std::unique_ptr<OutputFile> writer = files.CreateForWriting(L"C:\\Dir\\a.txt", UsersMay::ReadAndExecute, error);
  ASSERT_TRUE(writer);
  EXPECT_FALSE(files.OpenForReading(L"C:\\Dir\\a.txt", error));
  EXPECT_EQ(error.code, 32u);
  ASSERT_TRUE(writer->Close(error));
  EXPECT_TRUE(files.RenameFile(L"C:\\Dir\\a.txt", L"C:\\Dir\\b.txt", error));
  EXPECT_TRUE(files.RemoveFile(L"C:\\Dir\\b.txt"));
}

TEST_F(FakeFiles, FileNameEndingInABackslashIsRefused) {
  EXPECT_FALSE(files.OpenForReading(L"C:\\Dir\\a.txt\\", error));
  EXPECT_EQ(error.code, 123u);
  EXPECT_FALSE(files.CreateForWriting(L"C:\\Dir\\new.txt\\", UsersMay::ReadAndExecute, error));
  EXPECT_FALSE(files.Exists(L"C:\\Dir\\new.txt"));
  EXPECT_FALSE(files.RenameFile(L"C:\\Dir\\a.txt\\", L"C:\\Dir\\b.txt", error));
  EXPECT_FALSE(files.RemoveFile(L"C:\\Dir\\a.txt\\"));
  EXPECT_FALSE(files.IsOrdinaryFile(L"C:\\Dir\\a.txt\\"));
  EXPECT_EQ(files.Contents(L"C:\\Dir\\a.txt"), "abc");
  EXPECT_TRUE(files.MakeDirectory(L"C:\\Dir\\Sub\\")) << "a folder's name may end in one";
}

}  // namespace
