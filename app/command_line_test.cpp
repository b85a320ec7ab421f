#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// Each case as the system's own CommandLineToArgvW splits it.
TEST(CommandLine, ArgumentsAreSplitAsTheSystemSplitsThem) {
  struct Case {
    const wchar_t* line;
    std::vector<std::wstring> arguments;
  };
  const Case kCases[] = {
      {L"setup.exe", {}},
      {L"\"C:\\Kit /S dir\\setup.exe\"  ", {}},  // blanks in the program's own name
      {L"\"C:\\Kit\\setup.exe\"/S\t/uninstall", {L"/S", L"/uninstall"}},
      {L"setup.exe \"/LOG=C:\\My Logs\\s.log\" /D=\"C:\\a b\"", {L"/LOG=C:\\My Logs\\s.log", L"/D=C:\\a b"}},
      // A backslash before a closing mark escapes it: the quoted part runs on.
      {L"setup.exe \"/LOG=C:\\L\\\" /S", {L"/LOG=C:\\L\" /S"}},
      {L"setup.exe \"C:\\L\\\\\" /S", {L"C:\\L\\", L"/S"}},
      {L"setup.exe a\\\\\\\"b c\\\\d", {L"a\\\"b", L"c\\\\d"}},
      // Two marks in a row inside a quoted part: one literal mark, and the
      // part ends; the next mark opens another.
      {L"setup.exe \"\" \"a\"\"b\" c", {L"", L"a\"b c"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(Narrow(c.line));
    std::vector<std::wstring> split;
    for (const Argument& argument : SplitArguments(c.line)) split.push_back(argument.text);
    EXPECT_EQ(split, c.arguments);
  }
}

TEST(CommandLine, SwitchesAreMatchedWithoutCaseAnywhereAndAnythingElseIsRefused) {
  struct Case {
    const wchar_t* line;
    bool silent, uninstall, usage;
    std::optional<std::wstring> target, log, refused;
    ArgumentProblem problem = ArgumentProblem::Unknown;
  };
  const Case kCases[] = {
      {L"setup.exe /s /UNINSTALL", true, true, false, {}, {}, {}},
      {L"setup.exe /uninstall /S /LOG=c:\\x.LOG", true, true, false, {}, L"c:\\x.LOG", {}},
      // /D= last and unquoted: the rest of the line, blanks and all.
      {L"setup.exe /S /d=C:\\Quiet Place\\Morvane  ", true, false, false, L"C:\\Quiet Place\\Morvane", {}, {}},
      {L"setup.exe /D=C:\\Tools\\Morvane /S /bogus", true, false, false, L"C:\\Tools\\Morvane", {}, L"/bogus"},
      {L"setup.exe /D=C:\\Some Folder /S", true, false, false, L"C:\\Some", {}, L"Folder"},
      {L"setup.exe \"/D=C:\\Quiet Place\\Morvane\" /S", true, false, false, L"C:\\Quiet Place\\Morvane", {}, {}},
      {L"setup.exe /S /D=", true, false, false, L"", {}, {}},
      {L"setup.exe /quiet", false, false, false, {}, {}, L"/quiet"},
      {L"setup.exe /S /S", true, false, false, {}, {}, L"/S", ArgumentProblem::GivenTwice},
      {L"setup.exe /?", false, false, true, {}, {}, {}},
      {L"setup.exe /S /uninstall /D=C:\\Old Place", true, true, false, L"C:\\Old Place", {}, L"/D=C:\\Old Place",
       ArgumentProblem::NotForRemoval},
      // Without /S the window decides: none of these is the window's to take.
      {L"setup.exe /uninstall /LOG=C:\\x.log /D=C:\\x", false, false, false, {}, {}, {}},
      // A log that is no plain local *.log or *.txt file, with /S or without.
      {L"setup.exe \"/LOG=C:\\L\\\" /S", false, false, false, {}, {}, L"/LOG=C:\\L\" /S",
       ArgumentProblem::BadLogPath},
      {L"setup.exe /S /LOG=\\\\host\\share\\x.log", true, false, false, {}, L"\\\\host\\share\\x.log",
       L"/LOG=\\\\host\\share\\x.log", ArgumentProblem::BadLogPath},
      {L"setup.exe /S /LOG=C:\\Startup\\x.cmd", true, false, false, {}, L"C:\\Startup\\x.cmd", L"/LOG=C:\\Startup\\x.cmd",
       ArgumentProblem::BadLogPath},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(Narrow(c.line));
    CommandLine parsed = ParseCommandLine(c.line);
    EXPECT_TRUE(parsed.anyArguments);
    EXPECT_EQ(parsed.silent, c.silent);
    EXPECT_EQ(parsed.uninstall, c.uninstall);
    EXPECT_EQ(parsed.usage, c.usage);
    EXPECT_EQ(parsed.target, c.target);
    EXPECT_EQ(parsed.logPath, c.log);
    EXPECT_EQ(parsed.refused, c.refused);
    if (c.refused) {
      EXPECT_EQ(parsed.problem, c.problem);
    }
  }
  EXPECT_FALSE(ParseCommandLine(L"\"C:\\Kit dir\\setup.exe\" ").anyArguments);
  for (const wchar_t* path : {L"C:\\x\\nul.log", L"C:\\x\\a.log.", L"C:x.log", L"C:\\x\\.log", L"\\\\?\\C:\\x.log"}) {
    EXPECT_FALSE(LogPathIsAcceptable(path)) << Narrow(path);
  }
  EXPECT_TRUE(LogPathIsAcceptable(L"D:\\Deploy Logs\\Morvane.txt"));
}

}  // namespace
