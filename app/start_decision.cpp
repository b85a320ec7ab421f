#include "app/start_decision.h"

#include <algorithm>
#include <optional>
#include <span>

#include "install/kit_check.h"
#include "install/registration_names.h"
#include "install/target_path.h"
#include "platform/text.h"
#include "uninstall/older_installation.h"

namespace app {
namespace {

std::wstring ReadSetting(SettingsStore& settings) {
  return settings.GetSetting(texts::kSettingsApplication, texts::kSettingsSection, texts::kSettingsKey, L"");
}

// Setup's own two files are in every installed folder; only the product's
// files tell a broken kit from the setup left behind after an installation.
constexpr std::ptrdiff_t ProductFiles(std::span<const KitFile> files) {
  return std::ranges::count_if(files, [](const KitFile& f) { return f.handling != KitHandling::SetupsOwn; });
}
constexpr std::ptrdiff_t kProductFiles = ProductFiles(kit_table::kKitFiles);

}  // namespace

// Out of line: its temporaries would push the form's locals beyond one-byte
// offsets.
[[gnu::noinline]] StartDecision DecideStart(const SystemServices& services) {
  StartDecision decision;
  std::wstring stored = ReadSetting(services.settings);
  if (stored == texts::kUninstalledMark) stored.clear();  // exact case only; see the second reading below
  if (!stored.empty()) {
    decision.remembered = text::WithTrailingBackslash(stored);
    // Only a plain full path counts: the removal works on exactly the folder
    // shown, and a relative, dotted or device path would let it work
    // somewhere else than it says.
    if (install::IsPlainFullPath(decision.remembered) &&
        services.files.IsOrdinaryFile(decision.remembered + texts::kInstalledMarker)) {
      decision.state = StartState::Removal;
      decision.installedCopy = decision.remembered;
      return decision;
    }
  }

  std::vector<KitFile> missing = install::MissingKitFiles(services.files, services.environment.KitDirectory());
  std::vector<std::wstring> damaged = services.environment.DamagedKitFiles();
  bool kitComplete = missing.empty() && damaged.empty();
  if (!damaged.empty()) {
    // Named before anything else about the kit: a swapped file must not
    // pass for a missing one.
    decision.state = StartState::DamagedKit;
    decision.kitFiles = std::move(damaged);
  } else if (!kitComplete && ProductFiles(missing) < kProductFiles) {
    decision.state = StartState::IncompleteKit;
    for (const KitFile& file : missing) decision.kitFiles.push_back(file.kitName);
  } else if (!kitComplete && text::UpperCase(ReadSetting(services.settings)) == texts::kUninstalledMark) {
    // Read again as stored, so that "UNINSTALLED" in any case is recognised;
    // asked only without a kit, so a complete kit's start reads it once.
    decision.state = StartState::Uninstalled;
  } else if (kitComplete) {
    // Installing over a copy the machine's uninstall entry still names would
    // leave that copy behind for good; it is offered for removal first.
    std::optional<std::wstring> older = uninstall::OlderInstallation(services.registry, services.files);
    decision.state = older ? StartState::OlderInstallation : StartState::Install;
    if (older) decision.installedCopy = std::move(*older);
  } else {
    decision.state = StartState::NoKit;
  }
  return decision;
}

}  // namespace app
