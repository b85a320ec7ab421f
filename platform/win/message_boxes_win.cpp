#include "platform/win/message_boxes_win.h"

MessageBoxAnswer MessageBoxesWin::Show(const std::wstring& text, int flags) {
  HWND owner = owner_ ? owner_() : nullptr;
  UINT type = static_cast<UINT>(flags);
  // Before the main window is shown there is no owner; the box must still
  // come to the front and hold the program until it is answered.
  if (!owner) type |= MB_TASKMODAL | MB_SETFOREGROUND;
  return static_cast<MessageBoxAnswer>(MessageBoxW(owner, text.c_str(), title_.c_str(), type));
}
