#pragma once

#include "platform/environment.h"

class EnvironmentWin : public Environment {
 public:
  std::wstring Variable(const std::wstring& name) const override;
  std::wstring SetupDirectory() const override;
  std::wstring WindowsDirectory() const override;
  bool RunsAsSystem() const override;
  // The running executable's full path.
  static std::wstring ExecutablePath();
};
