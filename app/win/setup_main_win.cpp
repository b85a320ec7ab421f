// setup.exe: installs Morvane from its kit folder, or removes it again.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/command_line.h"
#include "app/frm_main.h"
#include "app/run_log.h"
#include "app/silent_setup.h"
#include "app/texts.h"
#include "app/win/kit_copy_win.h"
#include "app/win/main_window_win.h"
#include "app/win/program_end_win.h"
#include "app/win/single_instance_win.h"
#include "folder/folder_chooser_ref.h"
#include "folder/win/folder_window_win.h"
#include "platform/logged_services.h"
#include "platform/text.h"
#include "platform/win/account_win.h"
#include "platform/win/companion_library_win.h"
#include "platform/win/dll_hardening_win.h"
#include "platform/win/environment_win.h"
#include "platform/win/file_system_win.h"
#include "platform/win/folder_system_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/log_file_win.h"
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

// The platform services of one run. The kit and setup.dll are those of the
// run's checked copy.
struct PlatformServices {
  PlatformServices(UiLoop& loop, RunKitCopy& kit) : companion(kit.companion()), processes(loop) {
    environment.SetKitCopy(kit.copy().directory, kit.copy().damaged);
    // Loaded now, from the checked copy, and kept until the copy goes.
    companion.Load();
  }

  FileSystemWin files;
  SettingsStoreWin settings;
  EnvironmentWin environment;
  CompanionLibraryWin& companion;
  RegistryApiWin registry;
  ProcessLauncherWin processes;
};

struct LoggedServices {
  LoggedServices(PlatformServices& real, LogSink& log)
      : files(real.files, log),
        settings(real.settings, log),
        companion(real.companion, log),
        registry(real.registry, log),
        processes(real.processes, log) {}

  LoggedFileSystem files;
  LoggedSettings settings;
  LoggedCompanion companion;
  LoggedRegistry registry;
  LoggedProcesses processes;
};

// Out of every folder the run may remove, the one it was started from included.
void LeaveStartFolder() {
  wchar_t system[MAX_PATH];
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length > 0 && length < MAX_PATH) SetCurrentDirectoryW(system);
}

// RunClaimed, RunWithoutWindow and RunWindow keep frames of their own: the
// link-time optimiser would merge each into its one caller, and Main's frame
// would grow to some 1.5 KB, most of it out of reach of one-byte offsets,
// which made the program 744 bytes longer.

// The run itself, once the log is open: one setup at a time, then the
// operation.
[[gnu::noinline]] Outcome RunClaimed(const CommandLine& command, LogSink& log) {
  SingleSetup single;  // held until the run ends
  if (single.anotherRunning()) return Outcome::AnotherSetupRunning;
  LeaveStartFolder();
  PreloadSystemDlls(SystemDlls::ForLaterSteps);
  EnterComApartment();
  MessageLoopWin loop;
  RunKitCopy kit(&log);
  Outcome outcome;
  {
    PlatformServices real(loop, kit);
    LoggedServices logged(real, log);
    SystemServices services{logged.files,     logged.settings, real.environment,
                            logged.companion, logged.registry, logged.processes};
    outcome = RunSilently(command, services, log);
  }
  // Gone before the last line, so that the log ends with the outcome.
  kit.Remove();
  return outcome;
}

// Every start with arguments that does not open the window: no window, no
// message box; the log says what happened and the exit code what became
// of it. An argument refused ends the run before anything else.
[[gnu::noinline]] int RunWithoutWindow(const CommandLine& command) {
  AccountFacts account = CurrentAccount();
  bool ownLog = command.logPath && LogPathIsAcceptable(*command.logPath);
  std::wstring reason;
  std::unique_ptr<LogFileWin> log =
      LogFileWin::Create(ownLog ? *command.logPath : DefaultLogPath(), account.elevated, reason);
  if (!log) return ExitCode(Outcome::LogNotOpened);
  WriteLogHeader(*log, {.commandLine = GetCommandLineW(),
                        .account = account.name,
                        .elevated = account.elevated,
                        .system = account.system,
                        .kitFolder = text::WithTrailingBackslash(EnvironmentWin().SetupDirectory())});
  Outcome outcome = Outcome::ArgumentsRefused;
  if (command.refused) {
    log->WriteLine(RefusedArgumentLine(command));
  } else {
    outcome = RunClaimed(command, *log);
  }
  WriteLogEnd(*log, outcome);
  return ExitCode(outcome);
}

[[gnu::noinline]] int RunWindow(HINSTANCE instance) {
  // Before anything of the kit is used, and before the window: the window
  // shows what the kit's copy holds.
  RunKitCopy kit(nullptr);
  LoadCommonControls();

  MessageLoopWin loop;
  MainWindow window(instance, [&loop] { return loop.busy(); });
  PlatformServices real(loop, kit);
  MessageBoxesWin messages(texts::kAppTitle, [&window] { return IsWindowVisible(window.hwnd()) ? window.hwnd() : nullptr; });
  ProgramEndWin end(window, kit, real.files);
  Services services{{real.files, real.settings, real.environment, real.companion, real.registry, real.processes},
                    messages,
                    loop,
                    end};
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
  loop.SetDialogKeys(&window.dialogKeys());
  logic.Form_Load();
  window.Show();
  // What only the actions need (the shell's and the network's DLLs, and COM
  // for the shortcuts) comes with the first click: every action starts at a
  // button.
  window.BeforeFirstAction([] {
    PreloadSystemDlls(SystemDlls::ForLaterSteps);
    EnterComApartment();
  });
  loop.Run();
  modMain::EndSetup(end);
}

int Main(HINSTANCE instance) {
  // Where every later load is restricted to System32, the DLLs that only
  // later steps load are loaded at the window's first click (and at once
  // without a window); where it is not, all are loaded now.
  bool restricted = RestrictDllSearchToSystem32();
  PreloadSystemDlls(SystemDlls::ForTheWindow);
  if (!restricted) PreloadSystemDlls(SystemDlls::ForLaterSteps);
  // No "insert a disk" or "cannot open" boxes from the system: a drive that
  // is not ready is simply a failing step.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  CommandLine command = ParseCommandLine(GetCommandLineW());
  if (command.usage && !command.refused) {
    MessageBoxW(nullptr, std::wstring(texts::kUsage).c_str(), texts::kAppTitle,
                MB_ICONINFORMATION | MB_OK | MB_SETFOREGROUND);
    return 0;
  }
  if (command.silent || command.refused) return RunWithoutWindow(command);
  // No arguments, or only switches that mean something with /S alone.
  SingleSetup single;  // held until the process ends
  if (single.anotherRunning()) {
    BringRunningSetupToFront();
    return 0;
  }
  return RunWindow(instance);
}

}  // namespace

// setup.exe starts here, not in the C runtime's start-up code: that code is
// a tenth of the program's size for what it never uses (arguments split into
// argv, thread-local storage, runtime relocations, global objects, of which
// the build lets in none).
extern "C" [[noreturn]] void SetupEntry() { ExitProcess(static_cast<UINT>(Main(GetModuleHandleW(nullptr)))); }
