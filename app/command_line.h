// The switches a deployment system passes, in the form NSIS installers
// take them (winget and Intune know that form):
//   /S                 no window: install, or with /uninstall remove
//   /uninstall         with /S: remove the installed copy
//   /LOG=path          write the log there (also with the window)
//   /D=C:\Some Folder  with /S: the target; the last argument, unquoted,
//                      blanks allowed
// Switches are matched without case; anything else is ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct CommandLine {
  bool silent = false;
  bool uninstall = false;  // only with silent
  std::optional<std::wstring> target;
  std::optional<std::wstring> logPath;
};

// Takes the whole command line as the system hands it over, the program's
// own name first (quoted or up to the first blank).
CommandLine ParseCommandLine(std::wstring_view commandLine);
