#include "app/next_button.h"

#include "app/frm_main.h"
#include "app/texts.h"
#include "app/window_actions.h"

namespace app {

void cmdNext_Dispatch(frmMain& form, int index) {
  switch (index) {
    case 0:
      InstallFromWindow(form);  // with its own closing steps, or none when a check refused
      break;
    case 1:
      UninstallFromWindow(form);
      ClosingSteps(form);
      break;
    case 2:
      RemoveOlderFromWindow(form);
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
  // Where a new start would put the focus: the button it was on may be hidden now.
  for (Control c : {Control::Text1, Control::cmdBrowse, Control::Command1, Control::cmdNext0}) {
    if (controls.IsVisible(c)) {
      controls.FocusOn(c);
      break;
    }
  }
  controls.Repaint();
  services.ui.DoEvents();
}

}  // namespace app
