#include "app/command_line.h"

#include "install/target_path.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool StartsWithIgnoringCase(std::wstring_view s, std::wstring_view prefix) {
  return s.size() >= prefix.size() && text::EqualsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

// Past the program's name: a quoted name ends at its closing quotation
// mark, an unquoted one at the first blank.
std::size_t ArgumentsStart(std::wstring_view line) {
  if (!line.empty() && line[0] == L'"') {
    std::size_t close = line.find(L'"', 1);
    return close == std::wstring_view::npos ? line.size() : close + 1;
  }
  std::size_t i = 0;
  while (i < line.size() && !IsBlank(line[i])) ++i;
  return i;
}

// Nothing after this argument looks like a switch: a folder name cannot
// hold a slash, so an unquoted /D= followed only by such pieces is the last
// argument, blanks and all.
bool OnlyFolderPartsAfter(const std::vector<Argument>& arguments, std::size_t index) {
  for (std::size_t i = index + 1; i < arguments.size(); ++i) {
    if (arguments[i].text.starts_with(L'/')) return false;
  }
  return true;
}

}  // namespace

std::vector<Argument> SplitArguments(std::wstring_view line) {
  std::vector<Argument> arguments;
  std::size_t i = ArgumentsStart(line);
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return arguments;
    Argument& argument = arguments.emplace_back();
    argument.start = i;
    std::wstring& out = argument.text;
    // quotes: 0 outside a quoted part; inside, the marks seen in a row so far.
    int quotes = 0;
    std::size_t backslashes = 0;
    while (i < line.size() && (quotes != 0 || !IsBlank(line[i]))) {
      wchar_t c = line[i++];
      if (c != L'"') {
        out.push_back(c);
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        continue;
      }
      out.resize(out.size() - backslashes / 2);
      if (backslashes % 2 == 1) {
        out.back() = L'"';  // the last backslash escaped the mark
      } else {
        ++quotes;
        argument.quoted = true;
      }
      backslashes = 0;
      // Marks in a row inside a quoted part: every third is a literal one.
      for (; i < line.size() && line[i] == L'"'; ++i) {
        if (++quotes == 3) {
          out.push_back(L'"');
          quotes = 0;
        }
      }
      if (quotes == 2) quotes = 0;
    }
  }
}

CommandLine ParseCommandLine(std::wstring_view line) {
  CommandLine parsed;
  std::vector<Argument> arguments = SplitArguments(line);
  parsed.anyArguments = !arguments.empty();
  auto refuse = [&parsed](const std::wstring& given, ArgumentProblem problem) {
    if (parsed.refused) return;
    parsed.refused = given;
    parsed.problem = problem;
  };
  // Sets a switch once; a second time is refused.
  auto once = [&](bool& given, const Argument& argument) {
    if (given) refuse(argument.text, ArgumentProblem::GivenTwice);
    given = true;
  };
  bool logGiven = false, targetGiven = false;
  const Argument* targetArgument = nullptr;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const Argument& argument = arguments[index];
    std::wstring_view text = argument.text;
    if (text::EqualsIgnoringCase(text, L"/S")) {
      once(parsed.silent, argument);
    } else if (text::EqualsIgnoringCase(text, L"/uninstall")) {
      once(parsed.uninstall, argument);
    } else if (text == L"/?") {
      once(parsed.usage, argument);
    } else if (StartsWithIgnoringCase(text, L"/LOG=")) {
      once(logGiven, argument);
      parsed.logPath = std::wstring(text.substr(5));
      if (!LogPathIsAcceptable(*parsed.logPath)) refuse(argument.text, ArgumentProblem::BadLogPath);
    } else if (StartsWithIgnoringCase(text, L"/D=")) {
      once(targetGiven, argument);
      if (!targetArgument) targetArgument = &argument;
      parsed.target = std::wstring(text.substr(3));
      if (!argument.quoted && OnlyFolderPartsAfter(arguments, index)) {
        // The rest of the line as it stands; only blanks at its very end
        // go (no folder name ends in one).
        std::wstring_view rest = line.substr(argument.start + 3);
        while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
        parsed.target = std::wstring(rest);
        break;
      }
    } else {
      refuse(argument.text, ArgumentProblem::Unknown);
    }
  }
  // Silently ignored, it would let a deployment believe it removed the copy in that folder.
  if (parsed.silent && parsed.uninstall && targetArgument) {
    refuse(text::Concat({std::wstring_view(targetArgument->text).substr(0, 3), *parsed.target}),
           ArgumentProblem::NotForRemoval);
  }
  // The window takes no switches: without /S they have no effect there.
  if (!parsed.silent) {
    parsed.uninstall = false;
    parsed.target.reset();
    parsed.logPath.reset();
  }
  return parsed;
}

bool LogPathIsAcceptable(std::wstring_view path) {
  // Room left for the number a taken name gets (" (99)").
  if (path.size() + 5 >= kMaxPath || !install::IsPlainFullPath(path) || path.starts_with(L"\\\\") ||
      path.ends_with(L'\\')) {
    return false;
  }
  std::wstring_view name = path.substr(path.find_last_of(L'\\') + 1);
  return name.size() > 4 && (text::EqualsIgnoringCase(name.substr(name.size() - 4), L".log") ||
                             text::EqualsIgnoringCase(name.substr(name.size() - 4), L".txt"));
}
