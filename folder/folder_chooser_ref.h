// The program-wide reference to frmFolder: created on the first Browse,
// afterwards only hidden, so that it keeps its drive, directory and text
// between openings. Closed by the window system, it counts as "&Cancel" and
// is dropped: the next opening starts as the first one did.
#pragma once

#include <memory>

#include "folder/folder_chooser.h"
#include "folder/folder_form_controls.h"
#include "platform/callback.h"

class FolderChooserRef : public FolderChooser {
 public:
  // create makes the window with its logic loaded, or nothing on failure.
  explicit FolderChooserRef(Callback<std::unique_ptr<FolderView>()> create) : create_(std::move(create)) {}

  void ShowModal() override;
  // Closes the window if it was ever created (the program is ending).
  void Unload();
  bool loaded() const { return view_ != nullptr; }

 private:
  Callback<std::unique_ptr<FolderView>()> create_;
  std::unique_ptr<FolderView> view_;
};
