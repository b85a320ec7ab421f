// What the cmdNext actions ask of the main window besides its services and
// controls, handed to them as the small interfaces they declare.
#pragma once

#include <string>

#include "app/frm_main.h"
#include "app/next_button.h"
#include "install/installation.h"
#include "uninstall/uninstall_action.h"

namespace app {

class ActionWindow final : public install::InstallationWindow, public uninstall::RemovalWindow {
 public:
  explicit ActionWindow(frmMain& form) : form_(form) {}
  void ShowProgress() override { form_.ShowProgress(); }
  void ClosingSteps() override { app::ClosingSteps(form_); }
  bool CompleteInstallKit(const std::wstring& directory) override { return form_.CompleteInstallKit(directory); }
  void ShowDiskSpace() override { form_.ShowDiskSpace(); }

 private:
  frmMain& form_;
};

}  // namespace app
