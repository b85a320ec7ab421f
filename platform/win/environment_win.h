#pragma once

#include <utility>

#include "platform/environment.h"

class EnvironmentWin : public Environment {
 public:
  std::wstring Variable(const std::wstring& name) const override;
  std::wstring SetupDirectory() const override;
  std::wstring KitDirectory() const override { return kitDirectory_; }
  std::vector<std::wstring> DamagedKitFiles() const override { return damaged_; }
  // What the copy made at start holds and found.
  void SetKitCopy(std::wstring directory, std::vector<std::wstring> damaged) {
    kitDirectory_ = std::move(directory);
    damaged_ = std::move(damaged);
  }
  std::wstring WindowsDirectory() const override;
  std::wstring ProfilesDirectory() const override;
  bool RunsAsSystem() const override;
  // The running executable's full path.
  static std::wstring ExecutablePath();

 private:
  std::wstring kitDirectory_;
  std::vector<std::wstring> damaged_;
};
