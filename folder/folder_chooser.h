// What frmMain's Browse button needs of the folder chooser frmFolder.
#pragma once

class FolderChooser {
 public:
  virtual ~FolderChooser() = default;
  // Creates the chooser on first use and shows it modally with the main
  // window as owner; returns once it has been hidden or closed.
  virtual void ShowModal() = 0;
};
