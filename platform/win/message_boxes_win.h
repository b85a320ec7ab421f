#pragma once

#include <windows.h>

#include <functional>

#include "platform/message_boxes.h"

class MessageBoxesWin : public MessageBoxes {
 public:
  // owner gives the window a box belongs to, or nullptr while none is shown.
  explicit MessageBoxesWin(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  MessageBoxAnswer Show(const std::wstring& text, int flags) override;

 private:
  std::function<HWND()> owner_;
};
