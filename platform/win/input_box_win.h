#pragma once

#include <windows.h>

#include "platform/input_box.h"
#include "platform/win/window_win.h"

// The input box as a real dialog: the prompt, OK and Cancel at the right,
// the text field below, built from a template in memory.
class InputBoxWin : public InputBox {
 public:
  // The box is modal to owner.
  InputBoxWin(HINSTANCE instance, const Window& owner) : instance_(instance), owner_(owner) {}
  std::optional<std::wstring> Ask(const std::wstring& title, const std::wstring& prompt) override;

 private:
  HINSTANCE instance_;
  const Window& owner_;
};
