#include "app/modMain.h"

#include <cstdlib>

namespace modMain {

void EndSetup(ProgramEnd& end) {
  // Unloading the main window raises its close request, which comes back
  // here while this entry is still inside UnloadMainWindow; that nested entry
  // skips this step and ends the process itself.
  if (!end.MainWindowClosing()) end.UnloadMainWindow();
  end.UnloadFolderWindow();
  end.DropWindowReferences();
  end.EndProcess();
  std::abort();  // not reached: EndProcess does not return
}

}  // namespace modMain
