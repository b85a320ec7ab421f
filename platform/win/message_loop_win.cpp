#include "platform/win/message_loop_win.h"

void MessageLoopWin::Dispatch(MSG& message) {
  for (const DialogKeys* keys : dialogKeys_) {
    if (HandleDialogKey(*keys, message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void MessageLoopWin::DoEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the main loop
      return;
    }
    Dispatch(message);
  }
}

void MessageLoopWin::Run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
}

void MessageLoopWin::SetMousePointer(MousePointer pointer) {
  busy_ = pointer == MousePointer::Hourglass;
  // Shown at once; the windows' WM_SETCURSOR keeps it while the pointer moves.
  SetCursor(LoadCursorW(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
}
