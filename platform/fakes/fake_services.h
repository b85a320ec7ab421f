// Small fakes for the rest of the platform: settings, environment, the
// companion library, message boxes, the message loop, process start and the
// end of the program.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/companion_library.h"
#include "platform/environment.h"
#include "platform/message_boxes.h"
#include "platform/process_launcher.h"
#include "platform/program_end.h"
#include "platform/settings_store.h"
#include "platform/ui_loop.h"

class FakeSettings : public SettingsStore {
 public:
  std::map<std::tuple<std::wstring, std::wstring, std::wstring>, std::wstring> values;
  // A status every save and delete fails with; 0: they work.
  std::int32_t failWith = 0;
  std::optional<std::wstring> FindSetting(const std::wstring& application, const std::wstring& section,
                                          const std::wstring& key) override {
    auto it = values.find({application, section, key});
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  std::int32_t SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) override {
    if (failWith != 0) return failWith;
    values[{application, section, key}] = value;
    return 0;
  }
  std::int32_t DeleteSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key) override {
    if (failWith != 0) return failWith;
    values.erase({application, section, key});
    return 0;
  }
  void SetInstallDir(const std::wstring& value) { values[{L"QolMORVANE", L"Installer", L"InstallDir"}] = value; }
  std::optional<std::wstring> InstallDir() const {
    auto it = values.find({L"QolMORVANE", L"Installer", L"InstallDir"});
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
};

class FakeEnvironment : public Environment {
 public:
  std::map<std::wstring, std::wstring> variables;
  std::wstring setupDirectory = L"C:\\Kit";
  std::wstring Variable(const std::wstring& name) const override {
    auto it = variables.find(name);
    return it == variables.end() ? std::wstring() : it->second;
  }
  std::wstring SetupDirectory() const override { return setupDirectory; }
  // The kit copy; unless set, the kit is taken where the setup lies.
  std::wstring kitDirectory;
  std::wstring KitDirectory() const override {
    auto WithBackslash = [](const std::wstring& d) { return d.ends_with(L'\\') ? d : d + L"\\"; };
    return kitDirectory.empty() ? WithBackslash(setupDirectory) : kitDirectory;
  }
  std::vector<std::wstring> damagedKitFiles;
  std::vector<std::wstring> DamagedKitFiles() const override { return damagedKitFiles; }
  std::wstring windowsDirectory = L"C:\\windows";
  std::wstring WindowsDirectory() const override { return windowsDirectory; }
  std::wstring profilesDirectory = L"C:\\Users";
  std::wstring ProfilesDirectory() const override { return profilesDirectory; }
  bool runsAsSystem = false;
  bool RunsAsSystem() const override { return runsAsSystem; }
};

class FakeCompanion : public CompanionLibrary {
 public:
  struct Call {
    std::wstring function, folder, name, target, arguments;
  };
  bool loaded = true;
  std::int32_t freeBytes = 0;
  std::vector<Call> calls;
  std::function<void()> onDiskSpace;  // e.g. to check which drive is current

  std::optional<std::int32_t> fCreateShellLink(const std::wstring& folder, const std::wstring& name,
                                                const std::wstring& target, const std::wstring& args) override {
    if (!loaded) return std::nullopt;
    calls.push_back({L"fCreateShellLink", folder, name, target, args});
    return 1;
  }
  std::optional<std::int32_t> fRemoveShellLink(const std::wstring& folder, const std::wstring& name) override {
    if (!loaded) return std::nullopt;
    calls.push_back({L"fRemoveShellLink", folder, name, L"", L""});
    return 1;
  }
  std::optional<std::int32_t> DISKSPACEFREE() override {
    if (!loaded) return std::nullopt;
    if (onDiskSpace) onDiskSpace();
    calls.push_back({L"DISKSPACEFREE", L"", L"", L"", L""});
    return freeBytes;
  }
};

class FakeMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    std::wstring text;
    int flags;
  };
  std::vector<Shown> shown;
  std::vector<MessageBoxAnswer> answers;  // taken in order; OK, Yes or Cancel when none is left
  std::function<void(const Shown&)> onShow;
  MessageBoxAnswer Show(const std::wstring& text, int flags) override {
    shown.push_back({text, flags});
    if (onShow) onShow(shown.back());
    if (!answers.empty()) {
      MessageBoxAnswer answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    }
    if ((flags & 7) == mb::kRetryCancel) return MessageBoxAnswer::Cancel;
    return (flags & 7) == mb::kYesNo ? MessageBoxAnswer::Yes : MessageBoxAnswer::Ok;
  }
};

class FakeUiLoop : public UiLoop {
 public:
  int turns = 0;
  MousePointer pointer = MousePointer::Default;
  std::function<void()> onTurn;  // input the user gives while the loop runs
  void DoEvents() override {
    ++turns;
    if (onTurn) onTurn();
  }
  void SetMousePointer(MousePointer p) override { pointer = p; }
};

class FakeProcessLauncher : public ProcessLauncher {
 public:
  struct Started {
    std::wstring program, commandLine;
  };
  std::vector<Started> started;
  bool startFails = false;
  // Runs when the process starts (it may open files and keep them open).
  std::function<void()> onStart;
  // Runs when the installation waits for the process: the moment the
  // process does its work, as far as the caller can tell.
  std::function<void()> onWait;
  // How long the process still runs once waited for: a wait shorter than
  // this times out and leaves it running; otherwise it ends, and onExit runs
  // (to let go of what it held).
  std::chrono::milliseconds runsFor{0};
  std::function<void()> onExit;
  std::vector<std::chrono::milliseconds> waits;

  std::unique_ptr<RunningProcess> StartMinimized(const std::wstring& program, const std::wstring& commandLine) override {
    if (startFails) return nullptr;
    started.push_back({program, commandLine});
    if (onStart) onStart();
    return std::make_unique<Process>(*this);
  }

 private:
  class Process : public RunningProcess {
   public:
    explicit Process(FakeProcessLauncher& owner) : owner_(owner) {}
    bool WaitForExit(std::chrono::milliseconds timeout) override {
      owner_.waits.push_back(timeout);
      if (ended_) return true;
      if (owner_.onWait) owner_.onWait();
      if (owner_.runsFor > timeout) return false;
      ended_ = true;
      if (owner_.onExit) owner_.onExit();
      return true;
    }

   private:
    FakeProcessLauncher& owner_;
    bool ended_ = false;
  };
};

// Thrown where the real program's process would end, so that a test can see
// that no code after EndSetup ran.
struct ProcessEnded {};

class FakeProgramEnd : public ProgramEnd {
 public:
  bool closing = false;
  int unloads = 0;
  int folderUnloads = 0;
  int ends = 0;
  // The close request and final release that unloading the main window
  // raises in the real window.
  std::function<void()> onUnloadMain;

  bool MainWindowClosing() const override { return closing; }
  void UnloadMainWindow() override {
    closing = true;
    ++unloads;
    if (onUnloadMain) onUnloadMain();
  }
  void UnloadFolderWindow() override { ++folderUnloads; }
  void DropWindowReferences() override {}
  int unfinishedDrops = 0;
  void DropUnfinishedWork() override { ++unfinishedDrops; }
  [[noreturn]] void EndProcess() override {
    ++ends;
    throw ProcessEnded{};
  }
};
