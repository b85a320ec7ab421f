// setup.exe: installs Morvane from its kit folder, or removes it again.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/frm_main.h"
#include "app/texts.h"
#include "app/win/main_window_win.h"
#include "app/win/program_end_win.h"
#include "folder/folder_chooser_ref.h"
#include "folder/win/folder_window_win.h"
#include "platform/text.h"
#include "platform/win/companion_library_win.h"
#include "platform/win/dll_hardening_win.h"
#include "platform/win/environment_win.h"
#include "platform/win/file_system_win.h"
#include "platform/win/folder_system_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/message_boxes_win.h"
#include "platform/win/message_loop_win.h"
#include "platform/win/process_launcher_win.h"
#include "platform/win/registry_api_win.h"
#include "platform/win/settings_store_win.h"

namespace {

// Common Controls 6 (for the tooltips) is loaded only after the DLL search
// has been restricted; the manifest sends the name to the side-by-side store.
void LoadCommonControls() {
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = comctl ? ProcAs<InitFn>(GetProcAddress(comctl, "InitCommonControlsEx")) : nullptr;
  if (!init) return;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  init(&controls);
}

// The user-interface thread lives in one COM apartment for the whole run, so
// that the companion library's shortcut calls do not set COM up and tear it
// down again each time. ole32 is loaded only after the DLL search is restricted.
void EnterComApartment() {
  HMODULE ole = LoadLibraryW(L"ole32.dll");
  using InitFn = HRESULT(WINAPI*)(LPVOID, DWORD);
  auto init = ole ? ProcAs<InitFn>(GetProcAddress(ole, "CoInitializeEx")) : nullptr;
  if (init) init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RestrictDllSearchToSystem32();
  PreloadSystemDlls();
  // No "insert a disk" or "cannot open" boxes from the system: a drive that
  // is not ready is simply a failing step.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  LoadCommonControls();
  EnterComApartment();

  MessageLoopWin loop;
  MainWindow window(instance, [&loop] { return loop.busy(); });
  FileSystemWin files;
  SettingsStoreWin settings;
  EnvironmentWin environment;
  CompanionLibraryWin companion(text::WithTrailingBackslash(environment.SetupDirectory()) + L"setup.dll");
  // Loaded now and kept: started from the installed folder, the removal
  // deletes this very setup.dll before it asks the library for the shortcuts.
  companion.Load();
  RegistryApiWin registry;
  ProcessLauncherWin processes(loop);
  MessageBoxesWin messages(texts::kAppTitle, [&window] { return IsWindowVisible(window.hwnd()) ? window.hwnd() : nullptr; });
  ProgramEndWin end(window);
  Services services{files, settings, environment, companion, registry, processes, messages, loop, end};
  frmMain logic(window, services);
  FolderSystemWin folders;
  FolderChooserRef chooser([&]() -> std::unique_ptr<FolderView> {
    auto folder = std::make_unique<FolderWindow>(
        instance, window.hwnd(), texts::kAppTitle, folders,
        [&window](const std::wstring& path) { window.SetText(Control::Text1, path); });
    if (!folder->Create()) return nullptr;
    return folder;
  });
  logic.SetFolderChooser(chooser);
  end.SetFolderChooser(chooser);

  if (!window.Create(logic)) return 1;
  loop.AddDialogKeys(&window.dialogKeys());
  logic.Form_Load();
  window.Show();
  loop.Run();
  modMain::EndSetup(end);
}
