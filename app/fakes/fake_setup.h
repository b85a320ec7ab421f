// The whole setup wired to fakes: frmMain with every platform service, so a
// test reads like a session with the real program.
#pragma once

#include "app/fakes/fake_main_form.h"
#include "app/frm_main.h"
#include "install/kit_files.h"
#include "platform/fakes/fake_file_system.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_services.h"

struct FakeSetup {
  FakeMainForm form;
  FakeFileSystem files;
  FakeSettings settings;
  FakeEnvironment environment;
  FakeCompanion companion;
  FakeRegistry registry;
  FakeProcessLauncher processes;
  FakeMessageBoxes messages;
  FakeUiLoop ui;
  FakeProgramEnd end;
  Services services{files, settings, environment, companion, registry, processes, messages, ui, end};
  frmMain main{form, services};

  // A complete kit in dir: every file holds its own name as content.
  void AddKit(const std::wstring& dir) {
    for (const KitFile& row : KitFiles()) {
      std::wstring w = row.kitName;
      files.AddFile(dir + L"\\" + w, std::string(w.begin(), w.end()));
    }
  }
};
