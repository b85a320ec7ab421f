// The switches a deployment system passes, in the form NSIS installers
// take them (winget and Intune know that form):
//   /S                 no window: install, or with /uninstall remove
//   /uninstall         with /S: remove the installed copy
//   /LOG=file          with /S: write the log there
//   /D=C:\Some Folder  with /S: the target; unquoted it is the last
//                      argument and may hold blanks
//   /?                 the usage, in a message box
// The line is split as the system splits it (CommandLineToArgvW), and the
// switches are matched without case. Anything else, or a switch given
// twice or malformed, is refused: the run ends at once and says which.
#pragma once

#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One argument as the system's rules give it, and where it stood on the line.
struct Argument {
  std::wstring text;
  std::size_t start = 0;  // its first character on the line
  bool quoted = false;    // a quotation mark took part in it
};

// The arguments after the program's name: blanks and tabs separate them,
// quotation marks group them, 2n backslashes before a quotation mark are n
// backslashes and the mark, 2n+1 are n backslashes and a literal mark;
// other backslashes stay as they are. The program's name ends at its
// closing quotation mark, or else at the first blank, with no backslash rule.
std::vector<Argument> SplitArguments(std::wstring_view commandLine);

enum class ArgumentProblem : std::uint8_t {
  Unknown,       // no switch of this setup
  GivenTwice,
  BadLogPath,    // /LOG= names no file a log may be: see LogPathIsAcceptable
  NotForRemoval, // /D= with /uninstall: a removal takes the copy the uninstall entry names
};

struct CommandLine {
  bool anyArguments = false;
  bool silent = false;
  bool uninstall = false;  // only with silent
  bool usage = false;
  std::optional<std::wstring> target;   // only with silent
  std::optional<std::wstring> logPath;  // only with silent
  // The first argument that is refused, as it was given, and why.
  std::optional<std::wstring> refused;
  ArgumentProblem problem = ArgumentProblem::Unknown;
};

// Takes the whole command line as the system hands it over, the program's
// own name first.
CommandLine ParseCommandLine(std::wstring_view commandLine);

// A log the setup may create: a full path on a drive ("C:\Logs\x.log"),
// never a network path or a device, no character a file name cannot hold,
// and named *.log or *.txt, so that no log can become a script or a
// program whatever lines it holds.
bool LogPathIsAcceptable(std::wstring_view path);
