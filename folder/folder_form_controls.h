// What frmFolder's logic sees of its controls. The Windows build backs them
// with real child windows, the unit tests with a fake that records them.
#pragma once

#include <string>
#include <vector>

#include "folder/folder_lists.h"

class FolderFormControls {
 public:
  virtual ~FolderFormControls() = default;
  // Drive1: fills the list, one entry per drive as DriveEntryText writes
  // it, and shows entry current; no change event.
  virtual void ShowDrives(const std::vector<DriveInfo>& drives, int current) = 0;
  virtual void SelectDrive(int index) = 0;
  // Dir1: fills the list and selects entry selected; no click event.
  virtual void ShowDirectories(const std::vector<DirectoryEntry>& entries, int selected) = 0;
  virtual int SelectedDirectory() const = 0;  // -1: none
  // Text1.
  virtual std::wstring Text() const = 0;
  virtual void SetText(const std::wstring& text) = 0;
  // Ends the modal showing; the window and its state stay.
  virtual void Hide() = 0;
};

// The window side of frmFolder that logic cannot give: the modal showing.
class FolderView {
 public:
  enum class Ending { Hidden, Closed };
  virtual ~FolderView() = default;
  // Shows the chooser modally; Closed when the window system closed it.
  virtual Ending ShowModal() = 0;
  // Destroys the window at once (the program is ending).
  virtual void Unload() = 0;
};
