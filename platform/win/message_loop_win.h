// The program's message loop: the main loop, one turn of it on request, the
// dialog keys of the main window, and the program-wide mouse pointer.
#pragma once

#include <windows.h>

#include "platform/ui_loop.h"
#include "platform/win/dialog_keys_win.h"

class MessageLoopWin : public UiLoop {
 public:
  // The folder window's modal loop handles its own.
  void SetDialogKeys(const DialogKeys* keys) { dialogKeys_ = keys; }

  // One turn of the loop. While a control is still handling a mouse-button
  // press (its focus change may run work that turns the loop), the user's
  // further input stays queued, so the press's release reaches the control
  // after it has taken the mouse: a click always counts.
  void DoEvents() override;
  void SetMousePointer(MousePointer pointer) override;
  bool busy() const { return busy_; }

  // Runs until the message queue reports WM_QUIT.
  void Run();

 private:
  void Dispatch(MSG& message);

  const DialogKeys* dialogKeys_ = nullptr;
  int insideButtonPress_ = 0;  // nesting depth of mouse-button presses being handled
  bool busy_ = false;
};
