// The window's front end of the three actions behind cmdNext: each runs its
// operation with the window's questions and progress, then turns the result
// into the window's messages, captions and states.
#pragma once

class frmMain;

namespace app {

// cmdNext(0): the installation, with its own closing steps.
void InstallFromWindow(frmMain& form);
// cmdNext(1): the removal of the installed copy the window shows.
void UninstallFromWindow(frmMain& form);
// cmdNext(2): the removal of an older installation, after which a complete
// kit makes the window an install window again.
void RemoveOlderFromWindow(frmMain& form);

}  // namespace app
