#include "app/next_button.h"

#include "app/frm_main.h"
#include "app/texts.h"
#include "install/installation.h"
#include "uninstall/uninstall_action.h"

namespace app {
namespace {

// What the actions ask of the window besides its controls.
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

}  // namespace

void cmdNext_Dispatch(frmMain& form, int index) {
  ActionWindow window(form);
  switch (index) {
    case 0:
      install::Installation(form.services(), form.controls(), window).Run();
      break;
    case 1:
      uninstall::UninstallAction(form.services(), form.controls(), window);
      ClosingSteps(form);
      break;
    case 2:
      uninstall::RemoveOlderInstallation(form.services(), form.controls(), window);
      ClosingSteps(form);
      break;
    default:
      ClosingSteps(form);
  }
}

void ClosingSteps(frmMain& form) {
  Services& services = form.services();
  MainFormControls& controls = form.controls();
  services.ui.SetMousePointer(MousePointer::Default);
  controls.SetText(Control::Command1, texts::kExit);
  controls.SetVisible(Control::Command1, true);
  controls.Repaint();
  services.ui.DoEvents();
}

}  // namespace app
