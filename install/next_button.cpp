#include "install/next_button.h"

#include "app/frm_main.h"
#include "app/texts.h"
#include "install/installation.h"

namespace install {

void cmdNext_Dispatch(frmMain& form, int index) {
  if (index == 0) {
    Installation(form).Run();
    return;
  }
  // Uninstall (1) and the removal of an older installation (2) come with the
  // uninstall subsystem; until then they, like any other index, only close.
  ClosingSteps(form);
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
