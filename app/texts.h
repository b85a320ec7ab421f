// The captions and messages the window and its actions show, each once.
#pragma once

namespace texts {

inline constexpr const wchar_t* kAppTitle = L"Morvane Setup";

// The per-user settings entry that remembers the installation.
inline constexpr const wchar_t* kSettingsApplication = L"QolMORVANE";
inline constexpr const wchar_t* kSettingsSection = L"Installer";
inline constexpr const wchar_t* kSettingsKey = L"InstallDir";
inline constexpr const wchar_t* kUninstalledMark = L"UNINSTALLED";
inline constexpr const wchar_t* kInstalledMarker = L"MORVANE.EXE";

// Start-up states.
inline constexpr const wchar_t* kInstallPrompt = L"Click Next to install Morvane by Halvo to your computer.";
inline constexpr const wchar_t* kNoKit = L"You can delete this file (SETUP.EXE).";
inline constexpr const wchar_t* kUninstalledMessage =
    L"Morvane has been uninstalled.\r\n\r\nYou can delete the remaining SETUP and own files from the Morvane "
    L"directory.";
inline constexpr const wchar_t* kRemove = L"Remove Morvane";
inline constexpr const wchar_t* kRemoveOrReinstall = L"Remove or Reinstall Morvane";
inline constexpr const wchar_t* kRemoveBeforeReinstall = L"Remove Morvane before re-installing Morvane..";
inline constexpr const wchar_t* kLocation = L"Location:";
inline constexpr const wchar_t* kLocationTooltip = L"Location of Morvane";
inline constexpr const wchar_t* kReinstall = L"&Reinstall";
inline constexpr const wchar_t* kExit = L"E&xit";
// Followed by the names of the missing kit files, separated by commas.
inline constexpr const wchar_t* kIncompleteKit = L"The installation kit is incomplete. Missing: ";

// Installation.
inline constexpr const wchar_t* kProgramFilesRefused =
    L"Morvane can not be installed in Program Files due to permission for writing Undo files. Choose another "
    L"folder.";
inline constexpr const wchar_t* kEnterTarget = L"Enter target directory for installation first.";
inline constexpr const wchar_t* kInstalling = L"Installing...";
inline constexpr const wchar_t* kInstallCompleted = L"Completed installation.";
inline constexpr const wchar_t* kInstallFailed = L"An error occured while installing.";
inline constexpr const wchar_t* kReadFailure = L"An error occured while reading the following file: ";
inline constexpr const wchar_t* kWriteFailure = L"An error occured while writing the following file: ";
inline constexpr const wchar_t* kCannotContinue = L"Setup can not continue the installation.";

// Morvane running from the folder that is to be replaced or removed: the
// folder goes between the two parts.
inline constexpr const wchar_t* kProductInUse = L"Morvane is running from this folder:\r\n\r\n";
inline constexpr const wchar_t* kProductInUseWhatToDo =
    L"\r\n\r\nClose Morvane, then click Retry. Click Cancel to leave everything as it is.";
inline constexpr const wchar_t* kProductNotRemoved =
    L"Morvane is in use and could not be removed. Close it and start the removal again.";

// Removal.
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

// The folder chooser.
inline constexpr const wchar_t* kDriveNotReady = L"Drive not ready...";
inline constexpr const wchar_t* kCreateFolderTitle = L"Create folder";
inline constexpr const wchar_t* kCreateFolderPrompt = L"Create new folder in\r\n\r\n";
inline constexpr const wchar_t* kCreateFolderFailed = L"The folder could not be created:\r\n\r\n";

// The uninstall entry.
inline constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QolMORVANE";
inline constexpr const wchar_t* kDisplayName = L"Morvane by Halvo 2.4.5.w11";
inline constexpr const wchar_t* kDisplayVersion = L"2.4.5";
inline constexpr const wchar_t* kPublisher = L"Halvo";

}  // namespace texts
