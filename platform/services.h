// Everything frmMain and its actions reach outside the window.
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

struct Services {
  FileSystem& files;
  SettingsStore& settings;
  Environment& environment;
  CompanionLibrary& companion;
  RegistryApi& registry;
  ProcessLauncher& processes;
  MessageBoxes& messages;
  UiLoop& ui;
  ProgramEnd& end;
};
