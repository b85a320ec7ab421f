#include "app/command_line.h"

#include "platform/text.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool StartsWithIgnoringCase(std::wstring_view s, std::wstring_view prefix) {
  return s.size() >= prefix.size() && text::EqualsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

// Past the program's name: a quoted name ends at its closing quote, an
// unquoted one at the first blank.
std::size_t ArgumentsStart(std::wstring_view line) {
  std::size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    std::size_t close = line.find(L'"', 1);
    return close == std::wstring_view::npos ? line.size() : close + 1;
  }
  while (i < line.size() && !IsBlank(line[i])) ++i;
  return i;
}

}  // namespace

CommandLine ParseCommandLine(std::wstring_view line) {
  CommandLine parsed;
  std::size_t i = ArgumentsStart(line);
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    // /D= takes the rest of the line as it stands, so a folder with blanks
    // needs no quotes; only blanks at its very end go (no folder name ends
    // in one).
    if (StartsWithIgnoringCase(line.substr(i), L"/D=")) {
      std::wstring_view rest = line.substr(i + 3);
      while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
      parsed.target = std::wstring(rest);
      break;
    }
    // One argument: up to the next blank outside quotation marks, which
    // are dropped ("/LOG=C:\My Logs\setup.log" or /LOG="C:\My Logs\...").
    std::wstring argument;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      if (line[i] == L'"') {
        quoted = !quoted;
      } else {
        argument.push_back(line[i]);
      }
    }
    if (text::EqualsIgnoringCase(argument, L"/S")) {
      parsed.silent = true;
    } else if (text::EqualsIgnoringCase(argument, L"/uninstall")) {
      parsed.uninstall = true;
    } else if (StartsWithIgnoringCase(argument, L"/LOG=")) {
      parsed.logPath = argument.substr(5);
    } else if (StartsWithIgnoringCase(argument, L"/D=")) {
      // Quoted whole, as /LOG= may be: the folder asked for all the same,
      // never passed over for the default.
      parsed.target = argument.substr(3);
    }
  }
  // Without /S the window decides, as it always has.
  if (!parsed.silent) {
    parsed.uninstall = false;
    parsed.target.reset();
  }
  return parsed;
}
