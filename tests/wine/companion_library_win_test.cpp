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
  for (const wchar_t* drive : {L"C:\\", L"Z:\\"}) {
    ASSERT_TRUE(SetCurrentDirectoryW(drive));
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(drive, &available, &total, &free));
    std::int64_t expected = std::min<std::uint64_t>(available.QuadPart, 2147483647u);
    std::optional<std::int32_t> reported = library_.DISKSPACEFREE();
    ASSERT_TRUE(reported);
    // Other programs may write meanwhile; below the cap the figures agree to a few megabytes.
    EXPECT_NEAR(*reported, expected, 16 * 1024 * 1024) << Utf8(drive);
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
