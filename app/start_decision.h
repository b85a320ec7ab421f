// What a start of the setup is for, decided from the per-user setting, the
// installed copy it names, the kit beside the setup (as its checked copy
// holds it) and the machine's uninstall entry, in that order. The window turns the decision into one of
// its states; the silent mode into what it installs or removes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/kit_files.h"
#include "platform/services.h"

namespace app {

enum class StartState : std::uint8_t {
  Install,            // no installed copy, kit complete
  Removal,            // the setting names an installed copy
  OlderInstallation,  // only the machine's uninstall entry names one; kit complete
  Uninstalled,        // removed by this setup, and no kit
  NoKit,              // nothing installed and no kit
  IncompleteKit,      // some of the kit's files but not all
  DamagedKit,         // kit files not as the kit was assembled
};

struct StartDecision {
  StartState state = StartState::NoKit;
  // The remembered folder with its trailing backslash; the window shows it
  // in Text1 whatever the state. Empty when nothing is remembered.
  std::wstring remembered;
  // Removal, OlderInstallation: the installed copy's folder.
  std::wstring installedCopy;
  // IncompleteKit: the kit names of the missing files; DamagedKit: those of
  // the damaged ones; in the table's order.
  std::vector<std::wstring> kitFiles;
};

StartDecision DecideStart(const SystemServices& services);

}  // namespace app
