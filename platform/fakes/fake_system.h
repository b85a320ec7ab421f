// The machine an operation works on, all fakes: the file system, the
// settings, the environment, the companion library, the registry and the
// programs started, gathered as the operations take them.
#pragma once

#include <string>

#include "install/kit_files.h"
#include "platform/fakes/fake_file_system.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_services.h"
#include "platform/services.h"

struct FakeSystem {
  FakeFileSystem files;
  FakeSettings settings;
  FakeEnvironment environment;
  FakeCompanion companion;
  FakeRegistry registry;
  FakeProcessLauncher processes;
  SystemServices system{files, settings, environment, companion, registry, processes};

  // A complete kit in dir: every file holds its own name as content.
  void AddKit(const std::wstring& dir) {
    for (const KitFile& row : KitFiles()) {
      std::wstring name = row.kitName;
      files.AddFile(dir + L"\\" + name, std::string(name.begin(), name.end()));
    }
  }
};
