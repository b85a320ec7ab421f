#include "app/message_log.h"

namespace {

const wchar_t* AnswerName(MessageBoxAnswer answer) {
  switch (answer) {
    case MessageBoxAnswer::Ok:
      return L"OK";
    case MessageBoxAnswer::Cancel:
      return L"Cancel";
    case MessageBoxAnswer::Retry:
      return L"Retry";
    case MessageBoxAnswer::Yes:
      return L"Yes";
    case MessageBoxAnswer::No:
      return L"No";
  }
  return L"?";
}

}  // namespace

std::wstring OneLine(const std::wstring& text) {
  std::wstring line;
  for (wchar_t c : text) {
    bool lineBreak = c == L'\r' || c == L'\n';
    if (!lineBreak) {
      line.push_back(c);
    } else if (!line.empty() && line.back() != L' ') {
      line.push_back(L' ');
    }
  }
  return line;
}

MessageBoxAnswer LoggedMessageBoxes::Show(const std::wstring& text, int flags) {
  log_.WriteLine(L"Message: " + OneLine(text));
  MessageBoxAnswer answer = inner_.Show(text, flags);
  log_.WriteLine(std::wstring(L"Answered: ") + AnswerName(answer));
  return answer;
}
