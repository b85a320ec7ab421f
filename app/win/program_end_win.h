#pragma once

#include <windows.h>

#include "app/modMain.h"
#include "app/win/kit_copy_win.h"
#include "app/win/main_window_win.h"
#include "folder/folder_chooser_ref.h"
#include "platform/win/file_system_win.h"

class ProgramEndWin : public ProgramEnd {
 public:
  ProgramEndWin(MainWindow& main, RunKitCopy& kit, FileSystemWin& files) : main_(&main), kit_(kit), files_(files) {}
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
  void DropUnfinishedWork() override { files_.RemoveWorkFolders(); }
  // The kit's copy goes with the process, which never comes back here.
  [[noreturn]] void EndProcess() override {
    kit_.Remove();
    ExitProcess(0);
  }

 private:
  MainWindow* main_;
  RunKitCopy& kit_;
  FileSystemWin& files_;
  FolderChooserRef* folder_ = nullptr;
};
