// setup.dll as the setup program calls it: shortcuts read back by an
// independent .lnk reader, the free space of the current drive, and a
// library that is missing or broken.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "platform/win/companion_library_win.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/lnk_reader.h"
#include "tests/e2e/world.h"

namespace {

using namespace e2e;

class Companion : public ::testing::Test {
 protected:
  void SetUp() override {
    World::Reset();
    SetCurrentDirectoryW(L"C:\\");
  }
  CompanionLibraryWin library_{TestBinaries() + L"\\setup.dll"};
};

TEST_F(Companion, ShortcutsOnTheDesktopAndInTheProgramsFolderPointToTheTarget) {
  EXPECT_EQ(library_.fCreateShellLink(L"..\\..\\Desktop", L"Morvane", L"C:\\X\\Morvane.exe", L""), 1);
  EXPECT_EQ(library_.fCreateShellLink(L"", L"Morvane", L"C:\\X\\Morvane.exe", L""), 1);
  for (const std::wstring& link : {World::DesktopShortcut(), World::ProgramsShortcut()}) {
    SCOPED_TRACE(Utf8(link));
    std::optional<ShellLinkInfo> info = ReadShellLink(link);
    ASSERT_TRUE(info);
    EXPECT_EQ(Utf8(info->localBasePath), "C:\\X\\Morvane.exe");
    EXPECT_EQ(info->arguments, L"");
  }
  // Both names of the desktop folder lead to the same shortcut.
  EXPECT_EQ(library_.fRemoveShellLink(L"..\\..\\Desktop\\", L"Morvane"), 1);
  EXPECT_EQ(library_.fRemoveShellLink(L"", L"Morvane"), 1);
  EXPECT_FALSE(World::Exists(World::DesktopShortcut()));
  EXPECT_FALSE(World::Exists(World::ProgramsShortcut()));
  EXPECT_EQ(library_.fRemoveShellLink(L"", L"Morvane"), 0);  // nothing left to remove
}

TEST_F(Companion, ShortcutKeepsItsArguments) {
  EXPECT_EQ(library_.fCreateShellLink(L"", L"Morvane", L"C:\\X\\Morvane.exe", L"/quiet \"a b\""), 1);
  std::optional<ShellLinkInfo> info = ReadShellLink(World::ProgramsShortcut());
  ASSERT_TRUE(info);
  EXPECT_EQ(Utf8(info->arguments), "/quiet \"a b\"");
  EXPECT_EQ(Utf8(info->workingDirectory), "C:\\X");
}

TEST_F(Companion, FreeSpaceIsThatOfTheCurrentDriveCapped) {
  // Two drives that cannot be mistaken for each other: the empty 64 MiB
  // drive T: and C:, which has more than the cap.
  ASSERT_TRUE(World::SmallDriveReady()) << "no empty 64 MiB drive T: (the test script mounts it as root)";
  ULARGE_INTEGER available{}, total{}, free{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &total, &free));
  ASSERT_GT(available.QuadPart, 0x80000000ull) << "the test needs more than 2 GB free on C:";
  const std::pair<const wchar_t*, std::int32_t> kDrives[] = {
      {L"T:\\", 67108864}, {L"C:\\", 2147483647}, {L"T:\\", 67108864}};
  for (auto [drive, expected] : kDrives) {
    ASSERT_TRUE(SetCurrentDirectoryW(drive));
    EXPECT_EQ(library_.DISKSPACEFREE(), expected) << Utf8(drive);
  }
}

TEST_F(Companion, MissingOrBrokenLibraryIsSkipped) {
  World::WriteFile(L"C:\\e2e\\broken\\setup.dll", "not a library at all");
  for (const wchar_t* path : {L"C:\\e2e\\missing\\setup.dll", L"C:\\e2e\\broken\\setup.dll"}) {
    CompanionLibraryWin library(path);
    EXPECT_FALSE(library.DISKSPACEFREE()) << Utf8(path);
    EXPECT_FALSE(library.fCreateShellLink(L"", L"Morvane", L"C:\\X\\Morvane.exe", L""));
    EXPECT_FALSE(library.fRemoveShellLink(L"", L"Morvane"));
  }
  EXPECT_FALSE(World::Exists(World::ProgramsShortcut()));
}

}  // namespace
