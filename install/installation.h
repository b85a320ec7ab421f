// The installation behind cmdNext(0): entry tests, progress state, folders,
// the kit copies, the presets import, the test files, the shortcuts, the
// per-user setting and the uninstall entry, in one run on the UI thread.
#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "install/copy_kit_file.h"
#include "platform/main_form_controls.h"
#include "platform/process_launcher.h"
#include "platform/services.h"

namespace install {

// What the installation asks of the main window besides its controls.
class InstallationWindow {
 public:
  virtual void ShowProgress() = 0;  // the progress bar's next step
  virtual void ClosingSteps() = 0;

 protected:
  ~InstallationWindow() = default;
};

// How long the installation waits for the registry editor to finish reading
// the presets script before it deletes its copy of it.
inline constexpr std::chrono::seconds kPresetsImportWait{30};

class Installation {
 public:
  Installation(Services& services, MainFormControls& controls, InstallationWindow& window);
  void Run();
  // The tests a target must pass before anything is done; a refused one is
  // told in a message and changes nothing.
  bool PassesEntryTests();

 private:
  // The steps from the progress state on; a file step's failure ends them.
  StepFailure InstallSteps();
  bool InProgramFiles(const std::wstring& typed);
  void EnterProgressState();
  void HoldKit();
  void CreateFolders();
  StepFailure CopyRows(int first, int last);
  StepFailure CopyHeld(const KitFile& row);
  StepFailure CopyUnlessSkipped(int number);
  StepFailure StartPresetsImport();
  StepFailure CreateTestFiles();
  void CreateShortcuts();
  void RegisterInstallation();
  void RemovePresetsCopy();
  void Fail(const KitFileFailure& failure);

  InstallationWindow& form_;
  Services& services_;
  MainFormControls& controls_;
  InstallDirectories directories_;
  std::wstring windowsDirectory_;
  CurrentNames names_;
  std::array<HeldKitFile, 10> kit_;  // by row of the kit file table
  std::wstring workFolder_;          // the presets copy's folder, while it exists
  std::unique_ptr<RunningProcess> registryEditor_;
};

// The uninstall entry's command for an installation in targetDirectory.
std::wstring UninstallCommand(const std::wstring& targetDirectory);

}  // namespace install
