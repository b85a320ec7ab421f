// A modal input box: a prompt, one text field that starts empty, OK and
// Cancel.
#pragma once

#include <optional>
#include <string>

class InputBox {
 public:
  virtual ~InputBox() = default;
  // What the user typed, or nothing when the box was cancelled or closed.
  virtual std::optional<std::wstring> Ask(const std::wstring& title, const std::wstring& prompt) = 0;
};
