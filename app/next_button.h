// The click of the main action button array cmdNext, and the closing steps
// that every one of its actions ends with.
#pragma once

class frmMain;

namespace app {

void cmdNext_Dispatch(frmMain& form, int index);

// Normal pointer, Command1 shown as "E&xit", repaint, one turn of the loop.
void ClosingSteps(frmMain& form);

}  // namespace app
