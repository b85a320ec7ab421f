// frmFolder's logic: the handlers of the folder chooser. Its state is that
// of its controls: the drive list's drive, the directory list's directory P
// and selected entry, and Text1.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "folder/folder_form_controls.h"
#include "folder/folder_lists.h"
#include "platform/callback.h"
#include "platform/folder_system.h"
#include "platform/input_box.h"
#include "platform/message_boxes.h"

struct FolderServices {
  FolderSystem& folders;
  MessageBoxes& messages;
  InputBox& input;
  Callback<void(const std::wstring&)> setTarget;  // "&Set" writes the main window's Text1
};

class frmFolder {
 public:
  frmFolder(FolderFormControls& controls, FolderServices services);

  // The first showing: the process's current drive and directory, Text1 empty.
  void Form_Load();
  void Drive1_Change(int index);  // the user chose entry index of the drive list
  void Dir1_Click();              // an entry selected (click or arrow key)
  void Dir1_Open();               // double-click or Enter on the selected entry
  void Command1_Click();          // "&Create new..."
  void Command2_Click();          // "&Set"
  void Command3_Click();          // "&Cancel"

 private:
  // The listing of path, with its entry select (when given and listed)
  // selected, else path itself.
  bool OpenDirectory(const std::wstring& path, const std::wstring* select = nullptr);
  void SelectDrive(wchar_t letter);
  // The directory list's selected entry; none when nothing is selected.
  const DirectoryEntry* SelectedEntry() const;
  // Step 1 of a drive change; with fallback, an unreadable drive sends both
  // lists to C:, once.
  void ChangeDrive(wchar_t letter, bool fallback);

  FolderFormControls& controls_;
  FolderServices services_;
  std::vector<DriveInfo> drives_;
  DirectoryListing listing_;
};
