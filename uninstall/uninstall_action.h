// The two removal actions behind cmdNext: index 1 removes the installation
// the window found at start-up, index 2 an older installation (and then,
// with a complete kit, turns the window back into an install window).
#pragma once

class frmMain;

namespace uninstall {

void UninstallAction(frmMain& form);
void RemoveOlderInstallation(frmMain& form);

}  // namespace uninstall
