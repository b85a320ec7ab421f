// setup.dll as the setup program calls it: shortcuts read back by an
// independent .lnk reader, the free space of the current drive, and a
// library that is missing or broken.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "platform/win/com_win.h"
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
  // The folders every user of the computer sees have names of their own.
  EXPECT_EQ(library_.fCreateShellLink(L"..\\..\\..\\All Users\\Desktop", L"Morvane", L"C:\\X\\Morvane.exe", L""), 1);
  EXPECT_EQ(library_.fCreateShellLink(L"..\\..\\..\\All Users\\Start Menu\\Programs", L"Morvane", L"C:\\X\\Morvane.exe",
                                      L""),
            1);
  for (const std::wstring& link : {World::DesktopShortcut(), World::ProgramsShortcut(),
                                   World::AllUsersDesktopShortcut(), World::AllUsersProgramsShortcut()}) {
    SCOPED_TRACE(Utf8(link));
    std::optional<ShellLinkInfo> info = ReadShellLink(link);
    ASSERT_TRUE(info);
    EXPECT_EQ(Utf8(info->localBasePath), "C:\\X\\Morvane.exe");
    EXPECT_EQ(info->arguments, L"");
  }
  // Both names of the desktop folder lead to the same shortcut.
  EXPECT_EQ(library_.fRemoveShellLink(L"..\\..\\Desktop\\", L"Morvane"), 1);
  EXPECT_EQ(library_.fRemoveShellLink(L"", L"Morvane"), 1);
  EXPECT_EQ(library_.fRemoveShellLink(L"..\\..\\..\\All Users\\Desktop\\", L"Morvane"), 1);
  EXPECT_EQ(library_.fRemoveShellLink(L"..\\..\\..\\All Users\\Start Menu\\Programs", L"Morvane"), 1);
  for (const std::wstring& link : {World::DesktopShortcut(), World::ProgramsShortcut(),
                                   World::AllUsersDesktopShortcut(), World::AllUsersProgramsShortcut()}) {
    EXPECT_FALSE(World::Exists(link)) << Utf8(link);
  }
  EXPECT_EQ(library_.fRemoveShellLink(L"", L"Morvane"), 0);  // nothing left to remove
}

TEST_F(Companion, ShortcutIsNeverWrittenOrDeletedThroughALinkInItsPlace) {
  const std::wstring victim = L"C:\\e2e\\theirs.txt";
  ASSERT_TRUE(World::WriteFile(victim, "theirs"));
  ASSERT_TRUE(World::MakeUnixLink(World::DesktopShortcut(), victim));
  EXPECT_EQ(library_.fCreateShellLink(L"..\\..\\Desktop", L"Morvane", L"C:\\X\\Morvane.exe", L""), 0);
  EXPECT_EQ(library_.fRemoveShellLink(L"..\\..\\Desktop\\", L"Morvane"), 0);
  EXPECT_EQ(World::ReadFile(victim), "theirs");
  EXPECT_TRUE(World::RemoveUnixLink(World::DesktopShortcut()));
}

TEST_F(Companion, ShortcutKeepsItsArguments) {
  EXPECT_EQ(library_.fCreateShellLink(L"", L"Morvane", L"C:\\X\\Morvane.exe", L"/quiet \"a b\""), 1);
  std::optional<ShellLinkInfo> info = ReadShellLink(World::ProgramsShortcut());
  ASSERT_TRUE(info);
  EXPECT_EQ(Utf8(info->arguments), "/quiet \"a b\"");
  EXPECT_EQ(Utf8(info->workingDirectory), "C:\\X");
}

// Every notification the shell gets in this process: event and first path.
class ShellListener {
 public:
  ShellListener() {
    window_ = CreateWindowExW(0, L"Static", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &folder_);
    SHChangeNotifyEntry entry{folder_, TRUE};
    id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel, SHCNE_CREATE | SHCNE_DELETE | SHCNE_UPDATEITEM,
                                 kMessage, 1, &entry);
  }
  ~ShellListener() {
    SHChangeNotifyDeregister(id_);
    DestroyWindow(window_);
    CoTaskMemFree(folder_);
  }
  bool Heard(LONG event, const std::wstring& path) {
    auto heard = [&] {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      for (const auto& [e, p] : events_) {
        if (e == event && lstrcmpiW(p.c_str(), path.c_str()) == 0) return true;
      }
      return false;
    };
    return WaitUntil(heard, 2s);
  }

 private:
  static constexpr UINT kMessage = WM_APP + 1;
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ShellListener*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != kMessage || !self) return DefWindowProcW(window, message, wParam, lParam);
    wchar_t path[MAX_PATH] = {};
    SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE*>(wParam)[0], path);
    self->events_.emplace_back(static_cast<LONG>(lParam), path);
    return 0;
  }
  HWND window_ = nullptr;
  PIDLIST_ABSOLUTE folder_ = nullptr;
  ULONG id_ = 0;
  std::vector<std::pair<LONG, std::wstring>> events_;
};

TEST_F(Companion, WideShortcutsTakeAnyNameStartInTheTargetsFolderAndTellTheShell) {
  using CreateFn = LONG(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR);
  using RemoveFn = LONG(WINAPI*)(LPCWSTR, LPCWSTR);
  UniqueModule dll(LoadLibraryW((TestBinaries() + L"\\setup.dll").c_str()));
  auto create = ProcAs<CreateFn>(GetProcAddress(dll.get(), "fCreateShellLinkW"));
  auto remove = ProcAs<RemoveFn>(GetProcAddress(dll.get(), "fRemoveShellLinkW"));
  ASSERT_TRUE(create && remove);
  ComScope com;
  ShellListener shell;
  wchar_t programs[MAX_PATH] = {};
  ASSERT_HRESULT_SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs));
  // Names no ANSI code page holds; a target in a drive's root starts in the root, not in "C:".
  const std::wstring link = std::wstring(programs) + L"\\Morvane \u03A9.lnk";
  for (const auto& [target, folder] : {std::pair<std::wstring, std::wstring>{L"C:\\\u03A9 \u0436\\Morvane.exe",
                                                                              L"C:\\\u03A9 \u0436"},
                                       {L"C:\\Morvane.exe", L"C:\\"}}) {
    SCOPED_TRACE(Utf8(target));
    ASSERT_EQ(create(L"", L"Morvane \u03A9", target.c_str(), L""), 1);
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                              shellLink.put_void()));
    ASSERT_HRESULT_SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, file.put_void()));
    ASSERT_HRESULT_SUCCEEDED(file->Load(link.c_str(), STGM_READ));
    // The target as the shell starts it: from the link's item list (its
    // location block holds the path in the ANSI code page only).
    PIDLIST_ABSOLUTE item = nullptr;
    wchar_t path[MAX_PATH] = {}, workingDirectory[MAX_PATH] = {};
    ASSERT_HRESULT_SUCCEEDED(shellLink->GetIDList(&item));
    SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    shellLink->GetWorkingDirectory(workingDirectory, MAX_PATH);
    EXPECT_EQ(Utf8(path), Utf8(target));
    EXPECT_EQ(Utf8(workingDirectory), Utf8(folder));
  }
  EXPECT_TRUE(shell.Heard(SHCNE_CREATE, link));
  EXPECT_TRUE(shell.Heard(SHCNE_UPDATEITEM, link));  // the second one replaced the first
  EXPECT_EQ(remove(L"", L"Morvane \u03A9"), 1);
  EXPECT_FALSE(World::Exists(link));
  EXPECT_TRUE(shell.Heard(SHCNE_DELETE, link));
  EXPECT_EQ(remove(L"", L"Morvane \u03A9"), 0);
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

namespace {

TEST_F(Companion, SelfRegisterLoadsOnlyALibraryBesideItGivenByFullPath) {
  const std::wstring here = L"C:\\e2e\\selfreg", elsewhere = L"C:\\e2e\\elsewhere";
  World::MakeDirectories(here);
  World::MakeDirectories(elsewhere);
  ASSERT_TRUE(CopyFileW((TestBinaries() + L"\\setup.dll").c_str(), (here + L"\\setup.dll").c_str(), FALSE));
  for (const std::wstring& folder : {here, elsewhere}) {
    ASSERT_TRUE(CopyFileW((TestBinaries() + L"\\planted_dll.dll").c_str(), (folder + L"\\other.dll").c_str(), FALSE));
  }
  UniqueModule dll(LoadLibraryW((here + L"\\setup.dll").c_str()));
  using RegisterFn = LONG(WINAPI*)(LPCSTR);
  auto selfRegister = ProcAs<RegisterFn>(GetProcAddress(dll.get(), "DLLSelfRegister"));
  ASSERT_TRUE(selfRegister);
  SetCurrentDirectoryW(here.c_str());
  for (const char* refused : {"C:\\e2e\\elsewhere\\other.dll", "C:\\e2e\\selfreg\\..\\elsewhere\\other.dll",
                              "other.dll", ".\\other.dll", "C:\\e2e\\selfreg\\other.dll.", "C:/e2e/selfreg/other.dll",
                              "\\\\?\\C:\\e2e\\selfreg\\other.dll", ""}) {
    EXPECT_EQ(selfRegister(refused), 1) << refused;
  }
  EXPECT_FALSE(World::Exists(elsewhere + L"\\other.dll.loaded"));
  EXPECT_FALSE(World::Exists(here + L"\\other.dll.loaded"));
  EXPECT_EQ(selfRegister("C:\\e2e\\selfreg\\other.dll"), 2) << "loaded, but it registers nothing";
  EXPECT_TRUE(World::Exists(here + L"\\other.dll.loaded"));
  SetCurrentDirectoryW(L"C:\\");
}

}  // namespace
