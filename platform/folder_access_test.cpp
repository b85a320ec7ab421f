#include "platform/folder_access.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

struct Entry {
  std::wstring flags;
  unsigned long rights;
};

// The allow entries of a descriptor text, by trustee; anything but plain,
// inherited allow entries after a protected "D:P" fails the test.
std::map<std::wstring, Entry> AllowEntries(const std::wstring& sddl) {
  EXPECT_TRUE(sddl.starts_with(L"O:BAD:P(")) << "owned by Administrators, protected";
  std::map<std::wstring, Entry> entries;
  for (std::size_t open = sddl.find(L'('); open != std::wstring::npos; open = sddl.find(L'(', open + 1)) {
    std::wstring ace = sddl.substr(open + 1, sddl.find(L')', open) - open - 1);
    std::wstring fields[6];
    std::size_t at = 0;
    for (std::wstring& field : fields) {
      std::size_t end = ace.find(L';', at);
      field = ace.substr(at, end - at);
      at = end == std::wstring::npos ? ace.size() : end + 1;
    }
    EXPECT_EQ(fields[0], L"A") << "only allow entries";
    entries.emplace(fields[5] + (entries.contains(fields[5]) ? L"+" : L""), Entry{fields[1], std::stoul(fields[2], nullptr, 16)});
  }
  return entries;
}

TEST(FolderAccess, AdministratorsAndSystemOwnItAndUsersMayChangeOnlyWorkingFolders) {
  constexpr unsigned long kFullControl = 0x1F01FF, kReadAndExecute = 0x1200A9, kModify = 0x1301BF;
  constexpr unsigned long kChangePermissionsOrOwner = 0x40000 | 0x80000;
  // A folder passes its list on to what is made inside; a file's is its own.
  for (auto [sddl, inheritance] : {std::pair{&ProtectedFolderSddl, L"OICI"}, std::pair{&ProtectedFileSddl, L""}}) {
    for (UsersMay users : {UsersMay::ReadAndExecute, UsersMay::Modify}) {
      std::map<std::wstring, Entry> entries = AllowEntries(sddl(users));
      bool workingFolder = users == UsersMay::Modify && *inheritance;
      ASSERT_EQ(entries.size(), workingFolder ? 4u : 3u);
      for (const wchar_t* trustee : {L"SY", L"BA"}) {
        EXPECT_EQ(entries[trustee].flags, inheritance);
        EXPECT_EQ(entries[trustee].rights, kFullControl);
      }
      EXPECT_EQ(entries[L"BU"].rights & kChangePermissionsOrOwner, 0u);
      if (!workingFolder) {
        EXPECT_EQ(entries[L"BU"].flags, inheritance);
        EXPECT_EQ(entries[L"BU"].rights, users == UsersMay::Modify ? kModify : kReadAndExecute);
        continue;
      }
      // Users change what a working folder holds, but may not delete or move the folder itself.
      EXPECT_EQ(entries[L"BU"].flags, L"");
      EXPECT_EQ(entries[L"BU"].rights, kReadAndExecute | 0x2 | 0x4);  // and add files and folders
      EXPECT_EQ(entries[L"BU+"].flags, L"OICIIO");
      EXPECT_EQ(entries[L"BU+"].rights, kModify);
    }
  }
  // A folder on the way: users may make folders in it and change what they make there, and nothing else.
  std::map<std::wstring, Entry> way = AllowEntries(OnTheWaySddl());
  ASSERT_EQ(way.size(), 5u);
  EXPECT_EQ(way[L"AU"].flags, L"");
  EXPECT_EQ(way[L"AU"].rights, 0x4u);  // FILE_ADD_SUBDIRECTORY
  EXPECT_EQ(way[L"AU+"].flags, L"OICIIO");
  EXPECT_EQ(way[L"BU"].rights, kReadAndExecute);
}

}  // namespace
