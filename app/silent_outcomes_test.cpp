#include "app/silent_outcomes.h"

#include <gtest/gtest.h>

namespace {

using namespace install;

TEST(SilentOutcomes, EachResultEndsTheRunWithItsExitCode) {
  const std::pair<OperationResult, int> kResults[] = {
      {Done{}, 0},
      {Refused{RefusalReason::ProgramFiles, L"C:\\Program Files\\Morvane"}, 1639},
      {Refused{RefusalReason::NoSuchDrive, L"Q:\\Morvane"}, 1639},
      {Refused{RefusalReason::NotEnoughSpace, L"C:\\Morvane"}, 112},
      {Cancelled{}, 1603},
      {InUse{L"C:\\WINUTIL\\MORVANE\\", true}, 32},
      {InUse{L"C:\\WINUTIL\\MORVANE\\", false}, 32},
      {KitProblem{{FailureKind::Read, L"MORVANE.2", L"gone"}}, 1619},
      {StepFailed{{FailureKind::Write, L"MORVANE.EXE", L"denied"}, {}}, 1603},
      {StepFailed{{FailureKind::Registration, L"InstallDir", L"denied"}, {}}, 1603},
      {EntryNotDeleted{5}, 1603},
  };
  for (const auto& [result, code] : kResults) {
    SCOPED_TRACE(result.index());
    EXPECT_EQ(ExitCode(OutcomeOf(result)), code);
  }
  // The ends that are the run's own.
  EXPECT_EQ(ExitCode(Outcome::NotInstalled), 1605);
  EXPECT_EQ(ExitCode(Outcome::AnotherSetupRunning), 1618);
  EXPECT_EQ(ExitCode(Outcome::KitIncomplete), 1619);
  EXPECT_EQ(ExitCode(Outcome::KitDamaged), 1620);
  EXPECT_EQ(ExitCode(Outcome::LogNotOpened), 1622);
}

}  // namespace
