#pragma once

#include <windows.h>

#include "app/modMain.h"
#include "app/win/main_window_win.h"

class ProgramEndWin : public ProgramEnd {
 public:
  explicit ProgramEndWin(MainWindow& main) : main_(&main) {}
  void SetFolderWindow(HWND folder) { folder_ = folder; }

  bool MainWindowClosing() const override { return !main_ || main_->closing(); }
  void UnloadMainWindow() override {
    main_->BeginClosing();
    DestroyWindow(main_->hwnd());  // raises the final release, which ends the process
  }
  void UnloadFolderWindow() override {
    if (folder_ && IsWindow(folder_)) DestroyWindow(folder_);
  }
  void DropWindowReferences() override {
    main_ = nullptr;
    folder_ = nullptr;
  }
  [[noreturn]] void EndProcess() override { ExitProcess(0); }

 private:
  MainWindow* main_;
  HWND folder_ = nullptr;  // the folder chooser, once it has been created
};
