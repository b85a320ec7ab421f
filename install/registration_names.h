// Where the installation is recorded: the per-user setting that remembers
// it and the machine's uninstall entry with its value names. Names a user
// never reads; the texts the entry shows are in install/install_texts.h.
#pragma once

#include "install/kit_files.h"
#include "platform/text.h"

namespace texts {

// The per-user settings entry that remembers the installation.
inline constexpr const wchar_t* kSettingsApplication = L"QolMORVANE";
inline constexpr const wchar_t* kSettingsSection = L"Installer";
inline constexpr const wchar_t* kSettingsKey = L"InstallDir";
inline constexpr const wchar_t* kUninstalledMark = L"UNINSTALLED";
// The remembered folder holds an installed copy when it holds this file.
inline constexpr const wchar_t* kInstalledMarker = L"MORVANE.EXE";
static_assert(kit_table::SameName(kInstalledMarker, kit_table::kKitFiles[0].installedName));

// The machine's uninstall entry.
inline constexpr text::Ascii kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE";
// The machine's Active Setup entry of an installation for all users.
inline constexpr text::Ascii kActiveSetupKey =
    "Software\\Microsoft\\Active Setup\\Installed Components\\QolMORVANE";

}  // namespace texts

// The uninstall entry's value names.
namespace entry_value {

inline constexpr const wchar_t* kDisplayName = L"DisplayName";
inline constexpr const wchar_t* kUninstallString = L"UninstallString";
inline constexpr const wchar_t* kQuietUninstallString = L"QuietUninstallString";
inline constexpr const wchar_t* kDisplayVersion = L"DisplayVersion";
inline constexpr const wchar_t* kPublisher = L"Publisher";
inline constexpr const wchar_t* kDisplayIcon = L"DisplayIcon";
inline constexpr const wchar_t* kInstallLocation = L"InstallLocation";
inline constexpr const wchar_t* kEstimatedSize = L"EstimatedSize";
inline constexpr const wchar_t* kNoModify = L"NoModify";
inline constexpr const wchar_t* kNoRepair = L"NoRepair";

}  // namespace entry_value

// The Active Setup entry's value names: its default value is the name a
// user sees while it runs.
namespace active_setup_value {

inline constexpr const wchar_t* kName = L"";
inline constexpr const wchar_t* kStubPath = L"StubPath";
inline constexpr const wchar_t* kVersion = L"Version";
inline constexpr const wchar_t* kIsInstalled = L"IsInstalled";

}  // namespace active_setup_value
