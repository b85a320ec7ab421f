// The two removal actions behind cmdNext: index 1 removes the installation
// the window found at start-up, index 2 an older installation (and then,
// with a complete kit, turns the window back into an install window).
// Both leave the closing steps to the caller.
#pragma once

#include <string>

#include "platform/main_form_controls.h"
#include "platform/services.h"

namespace uninstall {

// What a removal asks of the main window besides its controls.
class RemovalWindow {
 public:
  // The kit check: true when the directory (empty: the setup's own) holds
  // all ten kit files.
  virtual bool CompleteInstallKit(const std::wstring& directory) = 0;
  virtual void ShowDiskSpace() = 0;

 protected:
  ~RemovalWindow() = default;
};

void UninstallAction(Services& services, MainFormControls& controls, RemovalWindow& form);
void RemoveOlderInstallation(Services& services, MainFormControls& controls, RemovalWindow& form);

}  // namespace uninstall
