#include "app/run_log.h"

#include "platform/text.h"
#include "resources/resource_ids.h"

using text::Concat;

void WriteLogHeader(LogSink& log, const RunFacts& facts) {
  log.WriteLine(L"" MORVANE_SETUP_NAME " " MORVANE_SETUP_VERSION);
  log.WriteLine(L"Command line: " + facts.commandLine);
  log.WriteLine(Concat({L"Account: ", facts.account, facts.elevated ? L", elevated" : L", not elevated",
                        facts.system ? L" (the system account: shortcuts and presets go to all users)" : L""}));
  log.WriteLine(L"Kit folder: " + facts.kitFolder);
}

void WriteLogEnd(LogSink& log, Outcome outcome) {
  log.WriteLine(Concat({L"Finished: ", OutcomeName(outcome), L", exit code ", std::to_wstring(ExitCode(outcome))}));
}

std::wstring RefusedArgumentLine(const CommandLine& command) {
  std::wstring_view given = command.refused ? std::wstring_view(*command.refused) : std::wstring_view();
  switch (command.problem) {
    case ArgumentProblem::GivenTwice:
      return Concat({L"The switch \"", given, L"\" is given twice; nothing was changed."});
    case ArgumentProblem::BadLogPath:
      return Concat({L"The log \"", given,
                     L"\" is refused: a log is a new file on a local drive, given by its full path and named *.log or "
                     L"*.txt; nothing was changed."});
    case ArgumentProblem::NotForRemoval:
      return Concat({L"The switch \"", given,
                     L"\" does not go with /uninstall, which removes the copy the machine's uninstall entry names; "
                     L"nothing was changed."});
    case ArgumentProblem::Unknown:
      break;
  }
  return Concat({L"The argument \"", given,
                 L"\" is not one this setup takes (/S, /uninstall, /D=folder, /LOG=file, /?); nothing was changed."});
}
