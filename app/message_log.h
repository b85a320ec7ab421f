// Message boxes with the log: the window's boxes, with each message and its
// answer written down.
#pragma once

#include "platform/log_sink.h"
#include "platform/message_boxes.h"

// The message on one line: its line breaks become blanks.
std::wstring OneLine(const std::wstring& text);

class LoggedMessageBoxes : public MessageBoxes {
 public:
  LoggedMessageBoxes(MessageBoxes& inner, LogSink& log) : inner_(inner), log_(log) {}
  MessageBoxAnswer Show(const std::wstring& text, int flags) override;

 private:
  MessageBoxes& inner_;
  LogSink& log_;
};
