#include "folder/folder_chooser_ref.h"

void FolderChooserRef::ShowModal() {
  if (!view_) view_ = create_();
  if (!view_) return;
  if (view_->ShowModal() == FolderView::Ending::Closed) view_.reset();
}

void FolderChooserRef::Unload() {
  // Only the window goes: this runs inside EndSetup, perhaps from within the
  // chooser's own modal loop, and the process ends right after.
  if (view_) view_->Unload();
}
