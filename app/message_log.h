// Message boxes with the log: the window's boxes with each message and its
// answer written down, and, for a run without a window, boxes that only
// write the message down and answer it themselves.
#pragma once

#include "app/silent_answers.h"
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

class SilentMessageBoxes : public MessageBoxes {
 public:
  explicit SilentMessageBoxes(LogSink& log) : log_(log) {}
  MessageBoxAnswer Show(const std::wstring& text, int flags) override;
  // The failure the first stopping message stands for; Done when none came.
  Outcome outcome() const { return outcome_; }

 private:
  LogSink& log_;
  Outcome outcome_ = Outcome::Done;
};
