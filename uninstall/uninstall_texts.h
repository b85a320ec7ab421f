// The messages and captions the two removal actions show.
#pragma once

#include "platform/text.h"

namespace texts {

inline constexpr text::Ascii kConfirmUninstall = "Are you sure you want to uninstall?";
inline constexpr text::Ascii kUninstalling = "Uninstalling...";
inline constexpr text::Ascii kUninstallCompleted = "Uninstallation completed.";
inline constexpr text::Ascii kUninstalledDeleteTheRest =
    "Uninstalled. Please delete the remaining SETUP and own files from the Morvane folder.";
inline constexpr text::Ascii kUninstalledReinstall = "Uninstallation completed. You can now re-install.";
inline constexpr text::Ascii kReinstallDirectory = "C:\\WINUTIL\\MORVANE";
inline constexpr text::Ascii kUninstallKeyNotDeleted =
    "Could not delete Morvane Setup from "
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Currentversion\\Uninstall\\QolMORVANE";

// Followed by the system's text for why.
inline constexpr text::Ascii kProductCouldNotBeRemoved = "Morvane could not be removed: ";

inline constexpr text::Ascii kProductNotRemoved =
    "Morvane is in use and could not be removed. Close it and start the removal again.";

}  // namespace texts
