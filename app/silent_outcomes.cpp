#include "app/silent_outcomes.h"

#include "app/overloaded.h"

namespace {

struct OutcomeRow {
  Outcome outcome;
  std::int16_t exitCode;
  text::Ascii name;
};

// README lists the same codes for the administrators who read them.
constexpr OutcomeRow kOutcomes[] = {
    {Outcome::Done, 0, "done"},
    {Outcome::Failed, 1603, "fatal error"},                                      // ERROR_INSTALL_FAILURE
    {Outcome::ReadOrWriteFailure, 1603, "read or write failure"},                // ERROR_INSTALL_FAILURE
    {Outcome::RegistrationFailed, 1603, "setting or uninstall entry not written"},  // ERROR_INSTALL_FAILURE
    {Outcome::NotInstalled, 1605, "Morvane is not installed"},                   // ERROR_UNKNOWN_PRODUCT
    {Outcome::AnotherSetupRunning, 1618, "another setup is running"},            // ERROR_INSTALL_ALREADY_RUNNING
    {Outcome::KitIncomplete, 1619, "installation kit incomplete"},               // ERROR_INSTALL_PACKAGE_OPEN_FAILED
    {Outcome::KitDamaged, 1620, "installation kit damaged"},                     // ERROR_INSTALL_PACKAGE_INVALID
    {Outcome::LogNotOpened, 1622, "log not opened"},                             // ERROR_INSTALL_LOG_FAILURE
    {Outcome::TargetRefused, 1639, "target directory refused"},                  // ERROR_INVALID_COMMAND_LINE
    {Outcome::ArgumentsRefused, 1639, "command line refused"},                   // ERROR_INVALID_COMMAND_LINE
    {Outcome::NotEnoughSpace, 112, "not enough free space"},                     // ERROR_DISK_FULL
    {Outcome::MorvaneInUse, 32, "Morvane is in use"},                            // ERROR_SHARING_VIOLATION
};

const OutcomeRow& RowOf(Outcome outcome) {
  for (const OutcomeRow& row : kOutcomes) {
    if (row.outcome == outcome) return row;
  }
  return kOutcomes[1];
}

}  // namespace

int ExitCode(Outcome outcome) { return RowOf(outcome).exitCode; }

text::Ascii OutcomeName(Outcome outcome) { return RowOf(outcome).name; }

Outcome OutcomeOf(const install::OperationResult& result) {
  return std::visit(
      Overloaded{
          [](const install::Done&) { return Outcome::Done; },
          [](const install::Refused& refused) {
            if (refused.reason == install::RefusalReason::NotEnoughSpace) return Outcome::NotEnoughSpace;
            // A removal of a copy the machine does not know as installed, or
            // that a link leads away from.
            if (refused.reason == install::RefusalReason::NotRegistered ||
                refused.reason == install::RefusalReason::LinkOnTheWay) {
              return Outcome::Failed;
            }
            return Outcome::TargetRefused;
          },
          // A run without a window is never asked to cancel; should it be, it stopped.
          [](const install::Cancelled&) { return Outcome::Failed; },
          [](const install::InUse&) { return Outcome::MorvaneInUse; },
          [](const install::KitProblem&) { return Outcome::KitIncomplete; },
          [](const install::StepFailed& failed) {
            return failed.failure.kind == install::FailureKind::Registration ? Outcome::RegistrationFailed
                                                                             : Outcome::ReadOrWriteFailure;
          },
          [](const install::EntryNotDeleted&) { return Outcome::Failed; },
          [](const install::ProductNotRemoved&) { return Outcome::Failed; },
      },
      result);
}
