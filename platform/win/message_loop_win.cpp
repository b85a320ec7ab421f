#include "platform/win/message_loop_win.h"

namespace {

bool IsButtonPress(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

}  // namespace

void MessageLoopWin::Dispatch(MSG& message) {
  if (dialogKeys_ && HandleDialogKey(*dialogKeys_, message)) return;
  TranslateMessage(&message);
  // A button takes the focus inside its press handling, before it captures
  // the mouse; work run by that focus change must not hand it the release.
  bool press = IsButtonPress(message.message);
  if (press) ++insideButtonPress_;
  DispatchMessageW(&message);
  if (press) --insideButtonPress_;
}

void MessageLoopWin::DoEvents() {
  // Inside a press: messages sent or posted by the program and repaints only;
  // input waits in the queue, in its order.
  UINT filter = insideButtonPress_ > 0 ? PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE | PM_QS_PAINT : 0;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | filter)) {
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
