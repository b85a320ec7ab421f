#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/silent_answers.h"
#include "app/texts.h"

namespace {

TEST(CommandLine, SwitchesAreReadAsNsisInstallersReadThem) {
  struct Case {
    const wchar_t* line;
    bool silent, uninstall;
    std::optional<std::wstring> target, log;
  };
  const Case kCases[] = {
      {L"setup.exe", false, false, {}, {}},
      {L"\"C:\\Kit /S dir\\setup.exe\"", false, false, {}, {}},  // in the program's own name
      {L"\"C:\\Kit dir\\setup.exe\" /S", true, false, {}, {}},
      {L"setup.exe /s /UNINSTALL", true, true, {}, {}},
      {L"setup.exe /S /D=C:\\Some Folder\\Morvane", true, false, L"C:\\Some Folder\\Morvane", {}},
      {L"setup.exe /S /D=C:\\Quiet Place\\Morvane  ", true, false, L"C:\\Quiet Place\\Morvane", {}},
      // /D= is the last argument: what follows it belongs to the folder.
      {L"setup.exe /D=C:\\x /S", false, false, {}, {}},
      {L"setup.exe /S /D=", true, false, L"", {}},
      {L"setup.exe /S \"/LOG=C:\\My Logs\\s.log\" /D=C:\\x", true, false, L"C:\\x", L"C:\\My Logs\\s.log"},
      {L"setup.exe /LOG=\"C:\\a b\\s.log\"", false, false, {}, L"C:\\a b\\s.log"},
      {L"setup.exe /S \"/D=C:\\Quiet Place\\Morvane\"", true, false, L"C:\\Quiet Place\\Morvane", {}},
      // Without /S the window decides: its folder and removal are not ours to force.
      {L"setup.exe /uninstall /D=C:\\x", false, false, {}, {}},
      {L"setup.exe /Sx -S /silent /D", false, false, {}, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << std::string(c.line, c.line + wcslen(c.line)));
    CommandLine parsed = ParseCommandLine(c.line);
    EXPECT_EQ(parsed.silent, c.silent);
    EXPECT_EQ(parsed.uninstall, c.uninstall);
    EXPECT_EQ(parsed.target, c.target);
    EXPECT_EQ(parsed.logPath, c.log);
  }
}

TEST(SilentAnswers, EachMessageGetsItsAnswerAndExitCode) {
  struct Case {
    std::wstring text;
    int flags;
    MessageBoxAnswer answer;
    int exitCode;
  };
  const Case kCases[] = {
      {texts::kConfirmUninstall, 52, MessageBoxAnswer::Yes, 0},
      {texts::kUninstalledMessage, 64, MessageBoxAnswer::Ok, 0},
      {texts::kProgramFilesRefused, 64, MessageBoxAnswer::Ok, 1639},
      {texts::kEnterTarget, 16, MessageBoxAnswer::Ok, 1639},
      {std::wstring(texts::kUnsafeTarget) + L"\r\n\r\nC:\\WinUtil\\...", 16, MessageBoxAnswer::Ok, 1639},
      {std::wstring(texts::kProductInUse) + L"C:\\WINUTIL\\MORVANE\\" + texts::kProductInUseWhatToDo, 53,
       MessageBoxAnswer::Cancel, 32},
      {std::wstring(texts::kReadFailure) + L"\r\nMORVANE.2\r\n\r\n...", 16, MessageBoxAnswer::Ok, 1603},
      {std::wstring(texts::kWriteFailure) + L"\r\nMORVANE.EXE\r\n\r\n...", 16, MessageBoxAnswer::Ok, 1603},
      {L"Error while deleting from registry: Can't write (5)\r\nHKEY_LOCAL_MACHINE\\...", 16, MessageBoxAnswer::Ok,
       1603},
      {texts::kUninstallKeyNotDeleted, 16, MessageBoxAnswer::Ok, 1603},
      // A message no row knows: a question is declined and stops the run.
      {L"Go on?", 4 + 32, MessageBoxAnswer::No, 1603},
      {L"Morvane is running.", 5 + 48, MessageBoxAnswer::Cancel, 1603},
      {L"Note.", 64, MessageBoxAnswer::Ok, 0},
      {L"Broken.", 16, MessageBoxAnswer::Ok, 1603},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.exitCode << " " << c.flags);
    SilentReply reply = SilentReplyTo(c.text, c.flags);
    EXPECT_EQ(reply.answer, c.answer);
    EXPECT_EQ(ExitCode(reply.outcome), c.exitCode);
  }
  // The codes a run can end with that no message stands for.
  EXPECT_EQ(ExitCode(Outcome::KitIncomplete), 1619);
  EXPECT_EQ(ExitCode(Outcome::AnotherSetupRunning), 1618);
  EXPECT_EQ(ExitCode(Outcome::MorvaneInUse), 32);
  EXPECT_EQ(ExitCode(Outcome::NotInstalled), 1605);
  EXPECT_EQ(ExitCode(Outcome::LogNotOpened), 1622);
}

}  // namespace
