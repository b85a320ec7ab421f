// The program's message loop: the main loop, one turn of it on request, the
// dialog keys of the program's windows, and the program-wide mouse pointer.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/ui_loop.h"
#include "platform/win/dialog_keys_win.h"

class MessageLoopWin : public UiLoop {
 public:
  void AddDialogKeys(const DialogKeys* keys) { dialogKeys_.push_back(keys); }

  void DoEvents() override;
  void SetMousePointer(MousePointer pointer) override;
  bool busy() const { return busy_; }

  // Runs until the message queue reports WM_QUIT.
  void Run();

 private:
  void Dispatch(MSG& message);

  std::vector<const DialogKeys*> dialogKeys_;
  bool busy_ = false;
};
