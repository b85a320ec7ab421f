#include "app/next_button.h"

#include "app/action_window.h"
#include "app/frm_main.h"
#include "app/texts.h"
#include "install/installation.h"
#include "uninstall/uninstall_action.h"

namespace app {

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
