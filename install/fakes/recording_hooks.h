// The questions and progress of an operation as a test sees them: what was
// asked and told, and answers given as the test says.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "install/installation.h"

struct RecordingQuestions : install::OperationQuestions {
  std::vector<std::wstring> inUse;  // the folders Morvane was found running from
  int confirmations = 0;
  bool confirm = true;
  // Whether to look again once Morvane was found running; none: leave it.
  std::function<bool(const std::wstring& folder)> retry;

  bool RetryWhileInUse(const std::wstring& folder) override {
    inUse.push_back(folder);
    return retry && retry(folder);
  }
  bool ConfirmRemoval() override {
    ++confirmations;
    return confirm;
  }
};

struct RecordingProgress : install::InstallProgress {
  int started = 0;
  int steps = 0;
  int yields = 0;
  std::function<void()> onStep;  // what happens meanwhile

  void Started() override { ++started; }
  void Step() override {
    ++steps;
    if (onStep) onStep();
  }
  void Yield() override { ++yields; }
};
