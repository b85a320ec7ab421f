#include "platform/log_sink.h"

#include <gtest/gtest.h>

namespace {

// A command line or a path can hold anything a caller put there: in the log
// it stays on its one line and shows what it is.
TEST(LogSink, ControlCharactersInALineAreWrittenEscaped) {
  EXPECT_EQ(EscapedForLog(L"/LOG=C:\\x.log\r\n& calc\t\x1b[2J\x7f"),
            L"/LOG=C:\\x.log<U+000D><U+000A>& calc<U+0009><U+001B>[2J<U+007F>");
  // Marks that end a line or turn the text around for the reader.
  EXPECT_EQ(EscapedForLog(L"a\x85" L"b\x2028" L"c\x202E" L"d"), L"a<U+0085>b<U+2028>c<U+202E>d");
  EXPECT_EQ(EscapedForLog(L"C:\\Tools\\M\u00F8rvane \u041C"), L"C:\\Tools\\M\u00F8rvane \u041C");
}

TEST(LogSink, EachRunNamesItsLogByItsTimeAndATakenNameGetsTheNextNumber) {
  EXPECT_EQ(RunLogName(2026, 12, 8, 4, 30, 4), L"Morvane Setup 2026-12-08 04.30.04.log");
  EXPECT_EQ(NumberedLogPath(L"C:\\Logs\\deploy.log", 1), L"C:\\Logs\\deploy.log");
  EXPECT_EQ(NumberedLogPath(L"C:\\Logs\\deploy.log", 2), L"C:\\Logs\\deploy (2).log");
  EXPECT_EQ(NumberedLogPath(L"C:\\My.Logs\\deploy", 3), L"C:\\My.Logs\\deploy (3)");
}

}  // namespace
