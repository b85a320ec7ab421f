#include "app/silent_answers.h"

#include <array>

#include "app/texts.h"
#include "platform/modReg.h"

namespace {

struct OutcomeRow {
  Outcome outcome;
  int exitCode;
  const wchar_t* name;
};

// README lists the same codes for the administrators who read them.
constexpr std::array<OutcomeRow, 9> kOutcomes = {{
    {Outcome::Done, 0, L"done"},
    {Outcome::Failed, 1603, L"fatal error"},                          // ERROR_INSTALL_FAILURE
    {Outcome::ReadOrWriteFailure, 1603, L"read or write failure"},    // ERROR_INSTALL_FAILURE
    {Outcome::NotInstalled, 1605, L"Morvane is not installed"},        // ERROR_UNKNOWN_PRODUCT
    {Outcome::AnotherSetupRunning, 1618, L"another setup is running"},  // ERROR_INSTALL_ALREADY_RUNNING
    {Outcome::KitIncomplete, 1619, L"installation kit incomplete"},    // ERROR_INSTALL_PACKAGE_OPEN_FAILED
    {Outcome::LogNotOpened, 1622, L"log not opened"},                  // ERROR_INSTALL_LOG_FAILURE
    {Outcome::TargetRefused, 1639, L"target directory refused"},       // ERROR_INVALID_COMMAND_LINE
    {Outcome::MorvaneInUse, 32, L"Morvane is in use"},                 // ERROR_SHARING_VIOLATION
}};

const OutcomeRow& RowOf(Outcome outcome) {
  for (const OutcomeRow& row : kOutcomes) {
    if (row.outcome == outcome) return row;
  }
  return kOutcomes[1];
}

enum class Match { Whole, Start };

struct MessageRow {
  const wchar_t* text;
  Match match;
  MessageBoxAnswer answer;
  Outcome outcome;
};

// One row per message of the window. The removal's question is answered
// Yes, because the run was asked for exactly that; every other question is
// answered the way that changes nothing.
const std::array<MessageRow, 10> kMessages = {{
    {texts::kConfirmUninstall, Match::Whole, MessageBoxAnswer::Yes, Outcome::Done},
    {texts::kUninstalledMessage, Match::Whole, MessageBoxAnswer::Ok, Outcome::Done},
    {texts::kProgramFilesRefused, Match::Whole, MessageBoxAnswer::Ok, Outcome::TargetRefused},
    {texts::kEnterTarget, Match::Whole, MessageBoxAnswer::Ok, Outcome::TargetRefused},
    {texts::kUnsafeTarget, Match::Start, MessageBoxAnswer::Ok, Outcome::TargetRefused},
    {texts::kProductInUse, Match::Start, MessageBoxAnswer::Cancel, Outcome::MorvaneInUse},
    {texts::kReadFailure, Match::Start, MessageBoxAnswer::Ok, Outcome::ReadOrWriteFailure},
    {texts::kWriteFailure, Match::Start, MessageBoxAnswer::Ok, Outcome::ReadOrWriteFailure},
    {modReg::kDeleteErrorStart, Match::Start, MessageBoxAnswer::Ok, Outcome::Failed},
    {texts::kUninstallKeyNotDeleted, Match::Whole, MessageBoxAnswer::Ok, Outcome::Failed},
}};

bool Matches(const MessageRow& row, const std::wstring& text) {
  return row.match == Match::Whole ? text == row.text : text.starts_with(row.text);
}

}  // namespace

int ExitCode(Outcome outcome) { return RowOf(outcome).exitCode; }

const wchar_t* OutcomeName(Outcome outcome) { return RowOf(outcome).name; }

SilentReply SilentReplyTo(const std::wstring& text, int flags) {
  for (const MessageRow& row : kMessages) {
    if (Matches(row, text)) return {row.answer, row.outcome};
  }
  // A message no row knows: a plain notice stops nothing; a question is
  // declined, and a question or an error stops the run.
  int buttons = flags & 0xF;
  if (buttons == mb::kYesNo) return {MessageBoxAnswer::No, Outcome::Failed};
  if (buttons != mb::kOkOnly) return {MessageBoxAnswer::Cancel, Outcome::Failed};
  bool critical = (flags & 0x70) == mb::kCritical;
  return {MessageBoxAnswer::Ok, critical ? Outcome::Failed : Outcome::Done};
}
