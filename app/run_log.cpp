#include "app/run_log.h"

#include <iterator>

#include "platform/text.h"
#include "resources/resource_ids.h"

using text::Concat;

// Out of line: merged into its one caller, which opens the log, its
// temporaries would sit deep in that caller's frame, out of reach of
// one-byte offsets (120 bytes of code more).
[[gnu::noinline]] void WriteLogHeader(LogSink& log, const RunFacts& facts) {
  log.WriteLine(text::Ascii(MORVANE_SETUP_NAME " " MORVANE_SETUP_VERSION));
  log.WriteLine(Concat({"Command line: ", facts.commandLine}));
  log.WriteLine(Concat({"Account: ", facts.account, facts.elevated ? text::Ascii(", elevated") : text::Ascii(", not elevated"),
                        facts.system ? text::Ascii(" (the system account: shortcuts and presets go to all users)")
                                     : text::Ascii()}));
  log.WriteLine(Concat({"Kit folder: ", facts.kitFolder}));
}

void WriteLogEnd(LogSink& log, Outcome outcome) {
  log.WriteLine(Concat({"Finished: ", OutcomeName(outcome), ", exit code ", text::Decimal(ExitCode(outcome))}));
}

namespace {

// The line for each problem: its words before and after the argument.
struct RefusedArgumentWords {
  text::Ascii before;
  text::Ascii after;
};

// In the order of ArgumentProblem.
constexpr RefusedArgumentWords kRefusedArgumentLines[] = {
    {"The argument \"",
     "\" is not one this setup takes (/S, /uninstall, /D=folder, /LOG=file, /?); nothing was changed."},
    {"The switch \"", "\" is given twice; nothing was changed."},
    {"The log \"",
     "\" is refused: a log is a new file on a local drive, given by its full path and named *.log or *.txt; nothing "
     "was changed."},
    {"The switch \"",
     "\" does not go with /uninstall, which removes the copy the machine's uninstall entry names; nothing was "
     "changed."},
};
static_assert(std::size(kRefusedArgumentLines) == static_cast<std::size_t>(ArgumentProblem::NotForRemoval) + 1);

}  // namespace

std::wstring RefusedArgumentLine(const CommandLine& command) {
  std::wstring_view given = command.refused ? std::wstring_view(*command.refused) : std::wstring_view();
  const RefusedArgumentWords& words = kRefusedArgumentLines[static_cast<std::size_t>(command.problem)];
  return Concat({words.before, given, words.after});
}
