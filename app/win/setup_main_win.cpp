// setup.exe: installs Morvane from its kit folder, or removes it again.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/frm_main.h"
#include "app/message_log.h"
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

// The platform services of one run, each behind its logged form when the
// run keeps a log. The kit and setup.dll are those of the run's checked copy.
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

void LogStart(LogSink& log, const wchar_t* mode) {
  log.WriteLine(std::wstring(L"Morvane Setup, ") + mode + L": " + GetCommandLineW());
}

// setup.exe /S: no window, no message box; the log says what happened and
// the exit code what became of it.
int RunWithoutWindow(const CommandLine& command, const SingleSetup& single) {
  std::wstring reason;
  // A refused second setup adds its line to the running one's log.
  std::unique_ptr<LogFileWin> log =
      LogFileWin::Open(command.logPath.value_or(DefaultLogPath()), !single.anotherRunning(), reason);
  if (!log) return ExitCode(Outcome::LogNotOpened);
  LogStart(*log, command.uninstall ? L"silent removal" : L"silent installation");
  Outcome outcome = Outcome::AnotherSetupRunning;
  if (!single.anotherRunning()) {
    // Out of every folder the run may remove, the one it was started from included.
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH) SetCurrentDirectoryW(system);
    EnterComApartment();
    MessageLoopWin loop;
    RunKitCopy kit(log.get());
    {
      PlatformServices real(loop, kit);
      LoggedServices logged(real, *log);
      SystemServices services{logged.files,     logged.settings, real.environment,
                              logged.companion, logged.registry, logged.processes};
      outcome = RunSilently(command, services, *log);
    }
    // Gone before the last line, so that the log ends with the outcome.
    kit.Remove();
  }
  int code = ExitCode(outcome);
  log->WriteLine(std::wstring(L"Finished: ") + OutcomeName(outcome) + L", exit code " + std::to_wstring(code));
  return code;
}

int RunWindow(HINSTANCE instance, const CommandLine& command) {
  std::unique_ptr<LogFileWin> log;
  if (command.logPath) {
    std::wstring reason;
    log = LogFileWin::Open(*command.logPath, true, reason);
    if (!log) {
      std::wstring text = L"The log could not be written:\r\n\r\n" + *command.logPath + L"\r\n\r\n" + reason;
      MessageBoxW(nullptr, text.c_str(), texts::kAppTitle, MB_ICONERROR | MB_OK | MB_SETFOREGROUND);
      return ExitCode(Outcome::LogNotOpened);
    }
    LogStart(*log, L"window");
  }
  // Before anything of the kit is used, and before the window: the window
  // shows what the kit's copy holds.
  RunKitCopy kit(log.get());
  LoadCommonControls();
  EnterComApartment();

  MessageLoopWin loop;
  MainWindow window(instance, [&loop] { return loop.busy(); });
  PlatformServices real(loop, kit);
  std::optional<LoggedServices> logged;
  if (log) logged.emplace(real, *log);
  MessageBoxesWin shownMessages(texts::kAppTitle, [&window] { return IsWindowVisible(window.hwnd()) ? window.hwnd() : nullptr; });
  std::optional<LoggedMessageBoxes> loggedMessages;
  if (log) loggedMessages.emplace(shownMessages, *log);
  ProgramEndWin end(window, kit);
  Services services{logged ? static_cast<FileSystem&>(logged->files) : real.files,
                    logged ? static_cast<SettingsStore&>(logged->settings) : real.settings,
                    real.environment,
                    logged ? static_cast<CompanionLibrary&>(logged->companion) : real.companion,
                    logged ? static_cast<RegistryApi&>(logged->registry) : real.registry,
                    logged ? static_cast<ProcessLauncher&>(logged->processes) : real.processes,
                    loggedMessages ? static_cast<MessageBoxes&>(*loggedMessages) : shownMessages,
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
  loop.AddDialogKeys(&window.dialogKeys());
  logic.Form_Load();
  window.Show();
  loop.Run();
  modMain::EndSetup(end);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RestrictDllSearchToSystem32();
  PreloadSystemDlls();
  // No "insert a disk" or "cannot open" boxes from the system: a drive that
  // is not ready is simply a failing step.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  CommandLine command = ParseCommandLine(GetCommandLineW());
  SingleSetup single;  // held until the process ends
  if (command.silent) return RunWithoutWindow(command, single);
  if (single.anotherRunning()) {
    BringRunningSetupToFront();
    return 0;
  }
  return RunWindow(instance, command);
}
