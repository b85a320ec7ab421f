#include "app/command_line.h"

#include <gtest/gtest.h>


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

}  // namespace
