// Modal message boxes. Every one carries the application title.
#pragma once

#include <string>

#include "platform/text.h"

// The system's own flag values, so that a flag combination reads as in the
// message box call itself.
namespace mb {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kRetryCancel = 5;
inline constexpr int kCritical = 16;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
}  // namespace mb

enum class MessageBoxAnswer { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MessageBoxAnswer Show(const std::wstring& text, int flags) = 0;
  // A fixed message, widened here rather than at each place that shows one.
  MessageBoxAnswer Show(text::Ascii text, int flags) { return Show(std::wstring(text), flags); }
};
