// What ending the program needs of the windows and the process.
#pragma once

class ProgramEnd {
 public:
  virtual ~ProgramEnd() = default;
  // True once the main window has begun to close, so that a second request
  // to close it does nothing more.
  virtual bool MainWindowClosing() const = 0;
  // Unloads frmMain; this raises its close request and its final release,
  // which enter EndSetup again.
  virtual void UnloadMainWindow() = 0;
  // Unloads frmFolder if it was ever created.
  virtual void UnloadFolderWindow() = 0;
  virtual void DropWindowReferences() = 0;
  // The window closes in the middle of an installation, which then ends
  // where it stands: what it kept for putting back goes too.
  virtual void DropUnfinishedWork() = 0;
  // Ends the process at once with exit code 0; never returns.
  [[noreturn]] virtual void EndProcess() = 0;
};
