#include "install/next_button.h"

#include "app/frm_main.h"
#include "app/texts.h"
#include "install/installation.h"
#include "uninstall/uninstall_action.h"

namespace install {

void cmdNext_Dispatch(frmMain& form, int index) {
  switch (index) {
    case 0:
      Installation(form).Run();
      break;
    case 1:
      uninstall::UninstallAction(form);
      break;
    case 2:
      uninstall::RemoveOlderInstallation(form);
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

}  // namespace install
