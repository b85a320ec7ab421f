#pragma once

#include <windows.h>

#include <string>

#include "platform/callback.h"
#include "platform/message_boxes.h"

class MessageBoxesWin : public MessageBoxes {
 public:
  // title is the program's, on every box; owner gives the window a box
  // belongs to, or nullptr while none is shown.
  MessageBoxesWin(std::wstring title, Callback<HWND()> owner)
      : title_(std::move(title)), owner_(std::move(owner)) {}
  MessageBoxAnswer Show(const std::wstring& text, int flags) override;

 private:
  std::wstring title_;
  Callback<HWND()> owner_;
};
