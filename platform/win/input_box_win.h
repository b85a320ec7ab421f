#pragma once

#include <windows.h>

#include <functional>

#include "platform/input_box.h"

// The input box as a real dialog: the prompt, OK and Cancel at the right,
// the text field below, built from a template in memory.
class InputBoxWin : public InputBox {
 public:
  // owner gives the window the box is modal to.
  InputBoxWin(HINSTANCE instance, std::function<HWND()> owner) : instance_(instance), owner_(std::move(owner)) {}
  std::optional<std::wstring> Ask(const std::wstring& title, const std::wstring& prompt) override;

 private:
  HINSTANCE instance_;
  std::function<HWND()> owner_;
};
