// Everything the setup reaches outside its own logic: what the operations
// use (SystemServices), and beside it what only a front end with a window
// or a person in front of it needs.
#pragma once

#include "platform/companion_library.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/process_launcher.h"
#include "platform/program_end.h"
#include "platform/registry_api.h"
#include "platform/settings_store.h"
#include "platform/ui_loop.h"

// The machine an operation works on; no window, no message box.
struct SystemServices {
  FileSystem& files;
  SettingsStore& settings;
  Environment& environment;
  CompanionLibrary& companion;
  RegistryApi& registry;
  ProcessLauncher& processes;
};

struct Services : SystemServices {
  MessageBoxes& messages;
  UiLoop& ui;
  ProgramEnd& end;
};
