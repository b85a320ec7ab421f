// The whole setup wired to fakes: frmMain with every platform service, so a
// test reads like a session with the real program.
#pragma once

#include "app/fakes/fake_main_form.h"
#include "app/frm_main.h"
#include "platform/fakes/fake_system.h"

struct FakeSetup : FakeSystem {
  FakeMainForm form;
  FakeMessageBoxes messages;
  FakeUiLoop ui;
  FakeProgramEnd end;
  Services services{system, messages, ui, end};
  frmMain main{form, services};
};
