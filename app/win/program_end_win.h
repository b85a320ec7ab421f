#pragma once

#include <windows.h>

#include "app/modMain.h"
#include "app/win/main_window_win.h"
#include "folder/folder_chooser_ref.h"

class ProgramEndWin : public ProgramEnd {
 public:
  explicit ProgramEndWin(MainWindow& main) : main_(&main) {}
  void SetFolderChooser(FolderChooserRef& folder) { folder_ = &folder; }

  bool MainWindowClosing() const override { return !main_ || main_->closing(); }
  void UnloadMainWindow() override {
    main_->BeginClosing();
    DestroyWindow(main_->hwnd());  // raises the final release, which ends the process
  }
  void UnloadFolderWindow() override {
    if (folder_) folder_->Unload();
  }
  void DropWindowReferences() override {
    main_ = nullptr;
    folder_ = nullptr;
  }
  [[noreturn]] void EndProcess() override { ExitProcess(0); }

 private:
  MainWindow* main_;
  FolderChooserRef* folder_ = nullptr;
};
