// A setup is started from download folders full of strangers' DLLs; none of
// them may ever be loaded.
#include "tests/e2e/session.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

// What the setup, Common Controls, drawing, the shell, COM, the network and
// the access-list calls load after start-up and Windows searches for, since
// none of them is among its known DLLs (ole32, shell32, shlwapi and the like
// are, and are never searched): the classic hijack targets. Not version.dll:
// Wine's own user32 imports it, so Wine's loader takes it from the program's
// folder before the program runs (Windows' user32 has no such import).
const wchar_t* const kPlanted[] = {
    L"uxtheme.dll", L"msimg32.dll", L"dwmapi.dll",   L"cryptbase.dll", L"ntmarta.dll",  L"propsys.dll",
    L"profapi.dll", L"userenv.dll", L"oleacc.dll",   L"mpr.dll",       L"comctl32.dll", L"windows.storage.dll",
    L"winmm.dll",   L"wininet.dll", L"urlmon.dll",   L"iertutil.dll",  L"dbghelp.dll",  L"secur32.dll",
    L"sspicli.dll", L"cryptsp.dll", L"rsaenh.dll",   L"bcrypt.dll",    L"netapi32.dll", L"wtsapi32.dll",
    L"apphelp.dll", L"textshaping.dll"};

// Wine prefers its own built-in DLLs; this makes it take a DLL file that the
// search finds, as Windows does.
void PreferFoundDlls(const std::wstring& program) {
  HKEY key = nullptr;
  std::wstring path = L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides";
  RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  for (const wchar_t* dll : kPlanted) {
    std::wstring name(dll, wcslen(dll) - 4);
    const wchar_t order[] = L"native,builtin";
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
  }
  RegCloseKey(key);
}

class DllPlanting : public SetupSession {};

TEST_F(DllPlanting, DllsPlantedBesideTheSetupAreNeverLoaded) {
  std::wstring kit = World::MakeKit(L"C:\\e2e\\Downloads");
  // Beside it, and in the folder that redirects a program's DLLs where the
  // system honours it (Wine does not: there it only shows that nothing changes).
  const std::wstring local = kit + L"\\setup.exe.local";
  World::MakeDirectories(local);
  for (const std::wstring& folder : {kit, local}) {
    for (const wchar_t* dll : kPlanted) {
      ASSERT_TRUE(CopyFileW((TestBinaries() + L"\\planted_dll.dll").c_str(), (folder + L"\\" + dll).c_str(), FALSE));
    }
  }
  PreferFoundDlls(L"setup.exe");
  PreferFoundDlls(L"unhardened_probe.exe");

  // The control: a program without the restriction picks the planted DLLs up.
  std::wstring probe = kit + L"\\unhardened_probe.exe";
  ASSERT_TRUE(CopyFileW((TestBinaries() + L"\\unhardened_probe.exe").c_str(), probe.c_str(), FALSE));
  SetupProcess control = SetupProcess::Start(probe, kit, L"uxtheme.dll msimg32.dll");
  ASSERT_TRUE(control.WaitForExit());
  for (const wchar_t* dll : {kPlanted[0], kPlanted[1]}) {
    std::wstring marker = kit + L"\\" + dll + L".loaded";
    ASSERT_TRUE(World::Exists(marker)) << "the test would prove nothing: " << Utf8(dll) << " was not picked up";
    DeleteFileW(marker.c_str());
  }
  DeleteFileW(probe.c_str());

  // The setup itself: without a window, an installation and its removal
  // (the shortcuts' COM and shell calls among them)...
  for (const wchar_t* arguments : {L"/S /D=C:\\e2e\\Planted\\Morvane", L"/S /uninstall"}) {
    SetupProcess silent = SetupProcess::Start(kit + L"\\setup.exe", kit, arguments);
    ASSERT_TRUE(silent);
    EXPECT_EQ(silent.WaitForExit(90s), std::optional<DWORD>(0)) << Utf8(arguments);
  }
  // ...and through its window, the free-space call and its end.
  HWND window = StartAndWaitForWindow(kit);
  ASSERT_TRUE(window);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(window) == Handle(window, Control::Text1); }));
  PressKey(Handle(window, Control::Text1), VK_TAB);
  WaitUntil([&] { return FocusedControl(window) == Handle(window, Control::cmdBrowse); });
  World::Screenshot(window, "with-planted-dlls");
  EXPECT_EQ(Text(window, Control::Label1), kInstallPrompt);
  CloseWithCloseBox(window);
  ExpectEndsCleanly();
  for (const std::wstring& folder : {kit, local}) {
    for (const wchar_t* dll : kPlanted) {
      EXPECT_FALSE(World::Exists(folder + L"\\" + dll + L".loaded")) << Utf8(folder + L"\\" + dll) << " was loaded";
    }
  }
}

}  // namespace
}  // namespace e2e
