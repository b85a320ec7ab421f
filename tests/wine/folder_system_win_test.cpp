// The chooser's view of drives and folders on the real file system.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/win/folder_system_win.h"
#include "tests/e2e/world.h"

namespace {

using e2e::World;

TEST(FolderSystemWin, ListsVisibleFoldersOnlyAndTellsWhyAFolderCannotBeRead) {
  World::Reset();
  for (const wchar_t* folder : {L"C:\\e2e\\list\\One", L"C:\\e2e\\list\\two", L"C:\\e2e\\list\\Secret"}) {
    World::MakeDirectories(folder);
  }
  World::SetAttributes(L"C:\\e2e\\list\\Secret", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  World::WriteFile(L"C:\\e2e\\list\\file.txt", "x");
  FolderSystemWin folders;
  std::vector<std::wstring> names;
  FileError error;
  ASSERT_TRUE(folders.ListFolders(L"C:\\e2e\\list", names, error));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"One", L"two"}));

  names.clear();
  EXPECT_FALSE(folders.ListFolders(L"C:\\e2e\\missing", names, error));
  EXPECT_EQ(error.code, static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(error.description.empty());

  // The current drive's directory is the process's current directory.
  SetCurrentDirectoryW(L"C:\\e2e\\list\\One");
  EXPECT_EQ(folders.CurrentDirectory(), L"C:\\e2e\\list\\One");
  EXPECT_EQ(folders.DriveDirectory(L'c'), L"C:\\e2e\\list\\One");
  SetCurrentDirectoryW(L"C:\\");
  std::vector<DriveInfo> drives = folders.Drives();
  EXPECT_TRUE(std::any_of(drives.begin(), drives.end(), [](const DriveInfo& d) { return d.letter == L'C'; }));
  World::Reset();
}

}  // namespace
