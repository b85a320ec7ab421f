// The file layer's own additions on the real system: folders made with their
// protected access list, the work folder, the long form of a path, and the
// path limits.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "platform/win/access_lists_win.h"
#include "platform/win/file_system_win.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/world.h"

namespace {

using namespace e2e;

class RealFileSystem : public ::testing::Test {
 protected:
  void SetUp() override { World::Reset(); }
  FileSystemWin files_;
};

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
  BYTE buffer[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof buffer;
  return CreateWellKnownSid(type, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

// Wine keeps no access lists (it reports one made from Unix permissions), so
// the list is checked as the system reads the program's descriptor text, and
// the folder only for being made with it.
TEST_F(RealFileSystem, ProtectedFolderIsMadeWithItsOwnListAndAnExistingOneIsLeftAlone) {
  for (UsersMay users : {UsersMay::ReadAndExecute, UsersMay::Modify}) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(std::wstring(ProtectedFolderSddl(users)).c_str(),
                                                                     SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted));
    ASSERT_TRUE(present && acl);
    struct Expected {
      WELL_KNOWN_SID_TYPE sid;
      ACCESS_MASK mask;
      BYTE flags;
    };
    constexpr BYTE kInherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    constexpr ACCESS_MASK kReadAndExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
    std::vector<Expected> expected = {{WinLocalSystemSid, FILE_ALL_ACCESS, kInherited},
                                      {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS, kInherited}};
    if (users == UsersMay::ReadAndExecute) {
      expected.push_back({WinBuiltinUsersSid, kReadAndExecute, kInherited});
    } else {
      // Users change what a working folder holds, not the folder itself.
      expected.push_back({WinBuiltinUsersSid, kReadAndExecute | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY, 0});
      expected.push_back({WinBuiltinUsersSid, kReadAndExecute | FILE_GENERIC_WRITE | DELETE,
                          kInherited | INHERIT_ONLY_ACE});
    }
    ASSERT_EQ(acl->AceCount, expected.size());
    for (DWORD i = 0; i < acl->AceCount; ++i) {
      ACCESS_ALLOWED_ACE* ace = nullptr;
      ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&ace)));
      EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
      EXPECT_EQ(ace->Header.AceFlags, expected[i].flags) << i;
      EXPECT_TRUE(IsWellKnown(&ace->SidStart, expected[i].sid)) << i;
      EXPECT_EQ(ace->Mask, expected[i].mask) << i;
    }
    LocalFree(descriptor);
  }
  FileError error;
  EXPECT_TRUE(files_.MakeProtectedDirectory(L"C:\\e2e\\Protected\\", UsersMay::Modify, error));
  EXPECT_TRUE(World::IsDirectory(L"C:\\e2e\\Protected"));
  World::WriteFile(L"C:\\e2e\\Protected\\kept.txt", "x");
  EXPECT_FALSE(files_.MakeProtectedDirectory(L"C:\\e2e\\Protected\\", UsersMay::ReadAndExecute, error));
  EXPECT_EQ(error.code, static_cast<std::uint32_t>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(files_.RemoveEmptyDirectory(L"C:\\e2e\\Protected\\"));  // only an empty one goes
  EXPECT_EQ(World::ReadFile(L"C:\\e2e\\Protected\\kept.txt"), "x");

  // Read back, Wine shows a list made up from the Unix permissions: the
  // test user owns the folder, and others (Everyone) may read it.
  FolderSecurity read = files_.ReadFolderSecurity(L"C:\\e2e\\Protected");
  EXPECT_EQ(read.result, FolderRead::Read);
  EXPECT_EQ(read.owner, Trustee::CurrentUser);
  EXPECT_FALSE(read.link);
  EXPECT_FALSE(read.entries.empty());
  EXPECT_EQ(files_.ReadFolderSecurity(L"C:\\e2e\\Protected\\Missing").result, FolderRead::Missing);
}

TEST_F(RealFileSystem, WorkAndKitFoldersAreNewEachTimeInTheSystemsTemp) {
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  FileError error;
  std::wstring first = files_.MakeWorkFolder(error), second = files_.MakeWorkFolder(error);
  std::wstring kit = files_.MakeKitFolder(error);
  EXPECT_EQ(first.rfind(std::wstring(windows) + L"\\Temp\\Morvane Setup ", 0), 0u) << Utf8(first);
  EXPECT_EQ(kit.rfind(std::wstring(windows) + L"\\Temp\\Morvane Kit ", 0), 0u) << Utf8(kit);
  EXPECT_NE(first, second);
  for (const std::wstring& made : {first, second, kit}) {
    EXPECT_TRUE(World::List(made).empty());
    EXPECT_TRUE(files_.RemoveEmptyDirectory(made));
  }
}

TEST_F(RealFileSystem, LongFormExpandsShortNamesSlashesAndDetoursAndSameFolderSeesThroughThem) {
  wchar_t shortName[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(L"C:\\Program Files", shortName, MAX_PATH), 0u);
  EXPECT_EQ(files_.LongForm(std::wstring(shortName) + L"\\Morvane"), L"C:\\Program Files\\Morvane");
  EXPECT_EQ(files_.LongForm(L"c:/program files/Morvane/"), L"c:\\Program Files\\Morvane\\");
  EXPECT_EQ(files_.LongForm(L"C:\\Program Files\\..\\Program Files\\.\\Morvane"), L"C:\\Program Files\\Morvane");

  EXPECT_TRUE(files_.SameFolder(shortName, L"c:\\windows\\..\\PROGRAM FILES\\"));
  EXPECT_FALSE(files_.SameFolder(shortName, L"C:\\Windows"));
  EXPECT_FALSE(files_.SameFolder(L"C:\\No Such Folder", L"C:\\No Such Folder"));
}

TEST_F(RealFileSystem, PathsPastTheClassicLimitAreRefusedAlike) {
  std::wstring folder = L"C:\\e2e\\" + std::wstring(242, L'd');  // 249 characters
  FileError error;
  EXPECT_FALSE(files_.MakeProtectedDirectory(folder, UsersMay::ReadAndExecute, error));
  EXPECT_FALSE(World::Exists(folder));
  std::wstring file = L"C:\\e2e\\" + std::wstring(253, L'f');  // 260 characters
  EXPECT_FALSE(files_.CreateForWriting(file, UsersMay::ReadAndExecute, error));
  EXPECT_EQ(error.code, kErrorFilenameExcedRange);
}

// Making a folder safe: the list the program builds for a folder on the way
// (read as the system reads the descriptor: Wine keeps no lists of its own),
// and on a folder anyone may change, Wine's own mapping of it to the Unix
// permissions, then put back.
TEST_F(RealFileSystem, FoldersAreMadeSafeThroughTheirHandleAndPutBack) {
  HANDLE raw = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw));
  BYTE user[256];
  DWORD size = sizeof user;
  ASSERT_TRUE(GetTokenInformation(raw, TokenUser, user, size, &size));
  CloseHandle(raw);
  wchar_t* sid = nullptr;
  ASSERT_TRUE(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid));
  std::wstring me = sid;
  LocalFree(sid);
  // As a profile folder has it: the account may do everything, there and below; and everyone may too.
  PSECURITY_DESCRIPTOR existing = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      (L"D:(A;OICI;FA;;;" + me + L")(A;OICI;FA;;;WD)").c_str(), SDDL_REVISION_1, &existing, nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  GetSecurityDescriptorDacl(existing, &present, &dacl, &defaulted);
  ProtectedDescriptor rule(OnTheWaySddl());
  std::vector<BYTE> made = OnTheWayAcl(rule.dacl(), dacl);
  LocalFree(existing);
  ASSERT_FALSE(made.empty());
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(made.data()), FALSE);
  wchar_t* text = nullptr;
  ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(&descriptor, SDDL_REVISION_1,
                                                                   DACL_SECURITY_INFORMATION, &text, nullptr));
  std::wstring list = text;
  LocalFree(text);
  // The root's rule, everyone's entry gone, the account's kept but for deleting, renaming and re-permissioning.
  EXPECT_EQ(list, L"D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;;LC;;;AU)(A;OICIIO;0x1301bf;;;AU)"
                  L"(A;;0x1201bf;;;" + me + L")(A;OICIIO;FA;;;" + me + L")")
      << Utf8(list);

  const std::wstring open = L"C:\\e2e\\Open";
  World::MakeDirectories(open);
  ASSERT_TRUE(World::SetPermissions(open, L"777"));
  SecurityBackup before;
  FileError error;
  ASSERT_TRUE(files_.MakeSafe(open, SafeRule::OnTheWay, UsersMay::ReadAndExecute, before, error)) << Utf8(error.description);
  // Wine turns the list into Unix permissions and reads them back as Everyone's entry.
  auto everyoneMay = [&] {
    std::uint32_t rights = 0;
    for (const AccessEntry& entry : ReadFolderSecurityWin(open).entries) {
      if (entry.trustee == Trustee::Other && entry.allow) rights |= entry.rights;
    }
    return rights;
  };
  EXPECT_EQ(everyoneMay() & (rights::kAddFile | rights::kDelete | rights::kDeleteChild), 0u);
  ASSERT_TRUE(files_.RestoreSecurity(open, before, error)) << Utf8(error.description);
  EXPECT_EQ(everyoneMay() & rights::kDeleteChild, rights::kDeleteChild);
  // Not while someone holds it open to delete or rename it: that right would outlive the new list.
  {
    HANDLE held = CreateFileW(open.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files_.MakeSafe(open, SafeRule::OnTheWay, UsersMay::ReadAndExecute, before, error));
    EXPECT_EQ(error.code, static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(everyoneMay() & rights::kDeleteChild, rights::kDeleteChild);
    CloseHandle(held);
  }
  // Never through a link.
  ASSERT_TRUE(World::MakeUnixLink(L"C:\\e2e\\Linked", open));
  EXPECT_FALSE(files_.MakeSafe(L"C:\\e2e\\Linked", SafeRule::OnTheWay, UsersMay::ReadAndExecute, before, error));
  EXPECT_EQ(error.code, kErrorReachedThroughLink);
  EXPECT_TRUE(World::RemoveUnixLink(L"C:\\e2e\\Linked"));
}

// What the removal a deployment runs from the installed folder does with the
// running setup's own program: moved out of the folder, into one of its own
// in the system's Temp, though it cannot be deleted while it runs.
TEST_F(RealFileSystem, ARunningProgramIsSetAsideOutOfItsFolder) {
  const std::wstring folder = L"C:\\e2e\\Running\\";
  World::MakeDirectories(folder);
  ASSERT_TRUE(CopyFileW((TestBinaries() + L"\\hold_file.exe").c_str(), (folder + L"hold_file.exe").c_str(), FALSE));
  World::WriteFile(folder + L"held.txt", "x");
  SetupProcess running = SetupProcess::Start(folder + L"hold_file.exe", L"C:\\", L"lock \"" + folder + L"held.txt\"");
  ASSERT_TRUE(WaitUntil([&] { return World::Exists(folder + L"held.txt.held"); }));
  EXPECT_FALSE(files_.RemovePlainFile(folder + L"hold_file.exe"));
  FileError error;
  ASSERT_TRUE(files_.SetAsideInUseFile(folder + L"hold_file.exe", error)) << Utf8(error.description);
  EXPECT_FALSE(World::Exists(folder + L"hold_file.exe"));
  running.Kill();
  // Found where it went, and removed with its folder.
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  std::wstring temp = std::wstring(windows) + L"\\Temp\\";
  int found = 0;
  for (const std::wstring& name : World::List(temp)) {
    std::wstring parked = temp + name + L"\\hold_file.exe";
    if (!name.starts_with(L"Morvane Setup ") || !World::Exists(parked)) continue;
    ++found;
    EXPECT_TRUE(WaitUntil([&] { return DeleteFileW(parked.c_str()) != 0; }));
    EXPECT_TRUE(RemoveDirectoryW((temp + name).c_str()));
  }
  EXPECT_EQ(found, 1);

  std::uint64_t free = 0;
  EXPECT_TRUE(files_.FreeSpace(L"C:\\", free, error));
  EXPECT_GT(free, 0u);
  EXPECT_FALSE(files_.FreeSpace(L"X:\\", free, error));
}

}  // namespace

// Writing, emptying, making and removing work only on the plain file or
// folder at its place: a link in its place or on its way leads the elevated
// setup nowhere.
// A kit file is read only as a plain file of its own in its folder; the
// folder itself may be reached through a link (a network drive, a
// redirected Downloads folder).
TEST_F(RealFileSystem, KitFilesAreReadOnlyAsPlainFilesOfTheirOwnAndHeld) {
  World::WriteFile(L"C:\\e2e\\Real\\morvane.1", "the kit's");
  World::WriteFile(L"C:\\e2e\\Victim\\theirs", "theirs");
  ASSERT_TRUE(World::MakeUnixLink(L"C:\\e2e\\Kit", L"C:\\e2e\\Real"));
  ASSERT_TRUE(World::MakeUnixLink(L"C:\\e2e\\Real\\morvane.2", L"C:\\e2e\\Victim\\theirs"));
  ASSERT_TRUE(World::RunUnix("ln '" + World::UnixPath(L"C:\\e2e\\Victim\\theirs") + "' '" +
                             World::UnixPath(L"C:\\e2e\\Real") + "/morvane.3'"));
  FileError error;
  std::unique_ptr<InputFile> held = files_.OpenFileInFolder(L"C:\\e2e\\Kit\\", L"morvane.1", error);
  ASSERT_TRUE(held) << Utf8(error.description);
  EXPECT_TRUE(files_.IsInUse(L"C:\\e2e\\Real\\morvane.1"));
  EXPECT_FALSE(DeleteFileW(L"C:\\e2e\\Real\\morvane.1"));
  for (const wchar_t* name : {L"morvane.2", L"morvane.3"}) {  // a link, a second name
    EXPECT_FALSE(files_.OpenFileInFolder(L"C:\\e2e\\Kit\\", name, error)) << Utf8(name);
    EXPECT_EQ(error.code, kErrorReachedThroughLink) << Utf8(name);
  }
  held.reset();
  EXPECT_TRUE(World::RemoveUnixLink(L"C:\\e2e\\Kit") && World::RemoveUnixLink(L"C:\\e2e\\Real\\morvane.2"));
}

TEST_F(RealFileSystem, NothingIsWrittenEmptiedMadeOrRemovedThroughALink) {
  const std::wstring victim = L"C:\\e2e\\Victim\\";
  World::WriteFile(victim + L"theirs.txt", "theirs");
  World::WriteFile(victim + L"AddFile.bmp", "theirs");
  World::MakeDirectories(victim + L"Empty");
  ASSERT_TRUE(World::MakeUnixLink(L"C:\\e2e\\Help", victim));
  ASSERT_TRUE(World::MakeUnixLink(L"C:\\e2e\\theirs.txt", victim + L"theirs.txt"));
  for (const wchar_t* path : {L"C:\\e2e\\Help\\AddFile.bmp", L"C:\\e2e\\theirs.txt"}) {
    SCOPED_TRACE(Utf8(path));
    FileError error;
    EXPECT_FALSE(files_.CreateForWriting(path, UsersMay::ReadAndExecute, error));
    EXPECT_FALSE(files_.EmptyPlainFile(path, UsersMay::Modify, error));
    EXPECT_EQ(error.code, kErrorReachedThroughLink);
    EXPECT_FALSE(files_.RemovePlainFile(path));
    EXPECT_FALSE(files_.OpenPlainForReading(path, error));
  }
  FileError error;
  EXPECT_FALSE(files_.CreateForWriting(L"C:\\e2e\\Help\\New.bmp", UsersMay::ReadAndExecute, error));
  // A folder: neither made nor removed where the link leads, and seen as a
  // link by the checks, at its place and below it.
  for (const wchar_t* folder : {L"C:\\e2e\\Help\\Empty", L"C:\\e2e\\Help"}) {
    EXPECT_FALSE(files_.RemoveEmptyDirectory(folder, error)) << Utf8(folder);
    EXPECT_EQ(error.code, kErrorReachedThroughLink) << Utf8(folder);
    EXPECT_TRUE(files_.ReadFolderSecurity(folder).link) << Utf8(folder);
  }
  EXPECT_FALSE(files_.MakeProtectedDirectory(L"C:\\e2e\\Help\\New\\", UsersMay::Modify, error));
  EXPECT_EQ(error.code, kErrorReachedThroughLink);
  EXPECT_EQ(World::ReadFile(victim + L"theirs.txt"), "theirs");
  EXPECT_EQ(World::ReadFile(victim + L"AddFile.bmp"), "theirs");
  EXPECT_EQ(World::List(victim), (std::vector<std::wstring>{L"AddFile.bmp", L"Empty", L"theirs.txt"}));
  EXPECT_TRUE(World::RemoveUnixLink(L"C:\\e2e\\Help") && World::RemoveUnixLink(L"C:\\e2e\\theirs.txt"));
}
