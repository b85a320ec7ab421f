// CopyKitFile on the real file layer: contents, truncation, and every way a
// file can refuse to be read or written.
#include <gtest/gtest.h>

#include "install/copy_kit_file.h"
#include "platform/win/file_system_win.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/world.h"

namespace {

using namespace e2e;
using install::FailureKind;
using install::KitFileFailure;

// Another process holding a file, until the object goes.
class Holder {
 public:
  Holder(const std::wstring& mode, const std::wstring& path)
      : process_(SetupProcess::Start(TestBinaries() + L"\\hold_file.exe", L"C:\\", mode + L" \"" + path + L"\"")) {
    held_ = WaitUntil([&] { return World::Exists(path + L".held") || !process_.Running(); }) &&
            World::Exists(path + L".held");
  }
  bool held() const { return held_; }

 private:
  SetupProcess process_;
  bool held_ = false;
};

class RealCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    World::Reset();
    World::MakeDirectories(L"C:\\e2e\\KIT");
    World::MakeDirectories(L"C:\\e2e\\TARGET");
  }

  std::optional<KitFileFailure> Copy(int row) { return install::CopyKitFile(files_, directories_, names_, KitFileNumber(row)); }

  // A failure of this kind naming this file, described in one line.
  static void ExpectFailure(const std::optional<KitFileFailure>& failure, FailureKind kind, const wchar_t* name) {
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, kind);
    EXPECT_EQ(failure->name, name);
    ExpectOneLine(failure->description);
  }

  static void ExpectOneLine(const std::wstring& description) {
    EXPECT_FALSE(description.empty());
    EXPECT_EQ(description.find_first_of(L"\r\n"), std::wstring::npos) << Utf8(description);
  }

  FileSystemWin files_;
  install::InstallDirectories directories_{L"C:\\E2E\\KIT\\", L"C:\\E2E\\TARGET\\"};
  install::CurrentNames names_;
};

TEST_F(RealCopy, EmptySmallAndLargeFilesArriveByteForByte) {
  std::string large(50 * 1024 * 1024 + 13, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 2654435761u) >> 13);
  ASSERT_TRUE(World::WriteFile(L"C:\\e2e\\KIT\\morvane.1", large));
  ASSERT_TRUE(World::WriteFile(L"C:\\e2e\\KIT\\morvane.2", ""));
  ASSERT_TRUE(World::WriteFile(L"C:\\e2e\\KIT\\morvane.3", "abc"));
  for (int row : {1, 2, 3}) EXPECT_FALSE(Copy(row)) << row;
  EXPECT_EQ(World::ReadFile(L"C:\\e2e\\TARGET\\Morvane.exe"), large);
  EXPECT_EQ(World::ReadFile(L"C:\\e2e\\TARGET\\screenshot.jpg"), "");
  EXPECT_EQ(World::ReadFile(L"C:\\e2e\\TARGET\\about.htm"), "abc");
  EXPECT_EQ(World::List(L"C:\\e2e\\TARGET"),
            (std::vector<std::wstring>{L"Morvane.exe", L"about.htm", L"screenshot.jpg"}));
}

TEST_F(RealCopy, LongerDestinationIsCutToTheSourceLengthAndNoEarlierHandleReachesTheNewFile) {
  World::WriteFile(L"C:\\e2e\\KIT\\morvane.3", "new");
  World::WriteFile(L"C:\\e2e\\TARGET\\about.htm", "an older and much longer page");
  EXPECT_FALSE(Copy(3));
  EXPECT_EQ(World::ReadFile(L"C:\\e2e\\TARGET\\about.htm"), "new");

  // A handle for re-permissioning (it shares with everything) opened on the file before: the file written is
  // a new one where the system lets the old name go at once, else the write fails; never the object it holds.
  World::WriteFile(L"C:\\e2e\\TARGET\\about.htm", "an older and much longer page");
  HANDLE earlier = CreateFileW(L"C:\\e2e\\TARGET\\about.htm", READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(earlier, INVALID_HANDLE_VALUE);
  std::optional<KitFileFailure> failure = Copy(3);
  LARGE_INTEGER size{};
  EXPECT_TRUE(GetFileSizeEx(earlier, &size));
  EXPECT_EQ(size.QuadPart, 29);
  CloseHandle(earlier);
  if (failure) {
    EXPECT_EQ(failure->kind, FailureKind::Write);
  } else {
    EXPECT_EQ(World::ReadFile(L"C:\\e2e\\TARGET\\about.htm"), "new");
  }
}

TEST_F(RealCopy, ReadOnlyDestinationIsAWriteFailureNamingIt) {
  World::WriteFile(L"C:\\e2e\\KIT\\morvane.2", "new");
  World::WriteFile(L"C:\\e2e\\TARGET\\screenshot.jpg", "old");
  World::SetAttributes(L"C:\\e2e\\TARGET\\screenshot.jpg", FILE_ATTRIBUTE_READONLY);
  ExpectFailure(Copy(2), FailureKind::Write, L"SCREENSHOT.JPG");
  EXPECT_EQ(World::ReadFile(L"C:\\e2e\\TARGET\\screenshot.jpg"), "old");
}

TEST_F(RealCopy, MissingSourceIsAReadFailureThatLeavesTheDestination) {
  World::WriteFile(L"C:\\e2e\\TARGET\\screenshot.jpg", "kept");
  ExpectFailure(Copy(2), FailureKind::Read, L"MORVANE.2");
  EXPECT_EQ(World::ReadFile(L"C:\\e2e\\TARGET\\screenshot.jpg"), "kept");
  EXPECT_TRUE(World::List(L"C:\\e2e\\KIT").empty());
}

TEST_F(RealCopy, DestinationHeldOpenByAnotherProgramIsAWriteFailure) {
  World::WriteFile(L"C:\\e2e\\KIT\\morvane.1", "new program");
  World::WriteFile(L"C:\\e2e\\TARGET\\Morvane.exe", "running program");
  Holder holder(L"exclusive", L"C:\\e2e\\TARGET\\Morvane.exe");
  ASSERT_TRUE(holder.held());
  ExpectFailure(Copy(1), FailureKind::Write, L"MORVANE.EXE");
}

TEST_F(RealCopy, SourceLockedAgainstReadingIsAReadFailure) {
  for (const wchar_t* mode : {L"exclusive", L"lock"}) {
    SCOPED_TRACE(Utf8(mode));
    World::DeleteTree(L"C:\\e2e\\KIT\\morvane.2.held");
    World::WriteFile(L"C:\\e2e\\KIT\\morvane.2", "locked picture");
    World::WriteFile(L"C:\\e2e\\TARGET\\screenshot.jpg", "");
    Holder holder(mode, L"C:\\e2e\\KIT\\morvane.2");
    ASSERT_TRUE(holder.held());
    ExpectFailure(Copy(2), FailureKind::Read, L"MORVANE.2");
  }
}

TEST_F(RealCopy, MissingHelpFolderIsAWriteFailureNamingTheHelpFile) {
  World::WriteFile(L"C:\\e2e\\KIT\\morvane.4", "BM");
  std::optional<KitFileFailure> failure = Copy(6);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, FailureKind::Write);
  EXPECT_EQ(failure->name, L"HELP\\ADDFILE.BMP");
}

TEST_F(RealCopy, OrdinaryFileTestSeesWhatADirectoryListingSees) {
  World::WriteFile(L"C:\\e2e\\KIT\\plain", "");
  World::WriteFile(L"C:\\e2e\\KIT\\readonly", "");
  World::SetAttributes(L"C:\\e2e\\KIT\\readonly", FILE_ATTRIBUTE_READONLY);
  World::WriteFile(L"C:\\e2e\\KIT\\hidden", "");
  World::SetAttributes(L"C:\\e2e\\KIT\\hidden", FILE_ATTRIBUTE_HIDDEN);
  World::MakeDirectories(L"C:\\e2e\\KIT\\folder");
  EXPECT_TRUE(files_.IsOrdinaryFile(L"C:\\e2e\\KIT\\PLAIN"));
  EXPECT_TRUE(files_.IsOrdinaryFile(L"C:\\e2e\\KIT\\readonly"));
  EXPECT_FALSE(files_.IsOrdinaryFile(L"C:\\e2e\\KIT\\hidden"));
  EXPECT_FALSE(files_.IsOrdinaryFile(L"C:\\e2e\\KIT\\folder"));
  EXPECT_FALSE(files_.IsOrdinaryFile(L"C:\\e2e\\KIT\\*"));
  EXPECT_FALSE(files_.IsOrdinaryFile(L"C:\\e2e\\KIT\\missing"));
  EXPECT_FALSE(files_.IsOrdinaryFile(L"Q:\\no drive\\plain"));
}

}  // namespace
