// frmFolder's controls as plain properties, with the user's choices made
// the way the window makes them: select, then raise the event.
#pragma once

#include <string>
#include <vector>

#include "folder/folder_form_controls.h"

class FakeFolderForm : public FolderFormControls {
 public:
  std::vector<std::wstring> drives;
  int drive = -1;
  std::vector<DirectoryEntry> directories;
  int selected = -1;
  std::wstring text = L"<never set>";
  int hides = 0;

  void ShowDrives(const std::vector<DriveInfo>& shown, int current) override {
    drives.clear();
    for (const DriveInfo& d : shown) drives.push_back(DriveEntryText(d));
    drive = current;
  }
  void SelectDrive(int index) override { drive = index; }
  void ShowDirectories(const std::vector<DirectoryEntry>& entries, int select) override {
    directories = entries;
    selected = select;
  }
  int SelectedDirectory() const override { return selected; }
  std::wstring Text() const override { return text; }
  void SetText(const std::wstring& t) override { text = t; }
  void Hide() override { ++hides; }

  // The entry of the directory list showing this text, or -1.
  int Entry(const std::wstring& entryText) const {
    for (std::size_t i = 0; i < directories.size(); ++i) {
      if (directories[i].text == entryText) return static_cast<int>(i);
    }
    return -1;
  }
  std::wstring ShownDrive() const { return drive >= 0 ? drives.at(static_cast<std::size_t>(drive)) : L""; }
  // P: the last opened entry.
  std::wstring ShownDirectory() const {
    std::wstring last;
    for (const DirectoryEntry& e : directories) {
      if (e.opened) last = e.path;
    }
    return last;
  }
};
