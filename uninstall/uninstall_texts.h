// The messages and captions the two removal actions show.
#pragma once

namespace texts {

inline constexpr const wchar_t* kConfirmUninstall = L"Are you sure you want to uninstall?";
inline constexpr const wchar_t* kUninstalling = L"Uninstalling...";
inline constexpr const wchar_t* kUninstallCompleted = L"Uninstallation completed.";
inline constexpr const wchar_t* kUninstalledDeleteTheRest =
    L"Uninstalled. Please delete the remaining SETUP and own files from the Morvane folder.";
inline constexpr const wchar_t* kUninstalledReinstall = L"Uninstallation completed. You can now re-install.";
inline constexpr const wchar_t* kReinstallDirectory = L"C:\\WINUTIL\\MORVANE";
inline constexpr const wchar_t* kUninstallKeyNotDeleted =
    L"Could not delete Morvane Setup from "
    L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Currentversion\\Uninstall\\QolMORVANE";

// Followed by the system's text for why.
inline constexpr const wchar_t* kProductCouldNotBeRemoved = L"Morvane could not be removed: ";

inline constexpr const wchar_t* kProductNotRemoved =
    L"Morvane is in use and could not be removed. Close it and start the removal again.";

}  // namespace texts
