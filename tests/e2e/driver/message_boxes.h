// Reading and answering another program's message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring title;
  std::wstring text;
  MessageIcon icon = MessageIcon::None;
  std::vector<std::wstring> buttons;  // captions, in order
};

// A dialog of class #32770 with a message text.
bool IsMessageBox(HWND window);
MessageBoxInfo ReadMessageBox(HWND box);
// Clicks the message box button with this caption ("OK", "&Yes", ...).
bool AnswerMessageBox(const MessageBoxInfo& box, const std::wstring& buttonCaption);

}  // namespace e2e
