#pragma once

#include <string>
#include <vector>

class Environment {
 public:
  virtual ~Environment() = default;
  // The value of an environment variable; empty when it is not set.
  virtual std::wstring Variable(const std::wstring& name) const = 0;
  // The directory that holds the running setup executable, as the system
  // names it (no trailing backslash added or removed).
  virtual std::wstring SetupDirectory() const = 0;
  // The checked copy of the kit this run works from, with a trailing
  // backslash: kit files are read, and setup.dll is loaded, only from
  // there. Empty when there is none.
  virtual std::wstring KitDirectory() const = 0;
  // The kit files that were found but not as the kit was assembled when the
  // copy was made, by their kit names; none of them is in the copy.
  virtual std::vector<std::wstring> DamagedKitFiles() const = 0;
  // The system's Windows directory, as the system reports it: never taken
  // from the environment, which any user can set for his own programs.
  virtual std::wstring WindowsDirectory() const = 0;
  // The folder that holds the users' profiles (C:\Users), as the machine's
  // own settings name it: its folders belong to their users.
  virtual std::wstring ProfilesDirectory() const = 0;
  // True when the process runs as the SYSTEM account, as deployment agents
  // (Intune, Configuration Manager) run a setup: no user signs in as it, so
  // shortcuts and presets then go to every user instead.
  virtual bool RunsAsSystem() const = 0;
};
