// The captions and messages the main window and its actions show, each once:
// the window's own here, the installation's and the removals' beside them
// (install/install_texts.h, uninstall/uninstall_texts.h), the folder
// chooser's in folder/folder_texts.h.
#pragma once

#include "install/install_texts.h"
#include "uninstall/uninstall_texts.h"

namespace texts {

inline constexpr const wchar_t* kAppTitle = L"Morvane Setup";

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
// setup.exe /?
inline constexpr const wchar_t* kUsage =
    L"setup.exe\r\n    installs or removes Morvane in a window.\r\n\r\n"
    L"setup.exe /S [/LOG=file.log] [/D=folder]\r\n    installs Morvane without a window: into the folder given, "
    L"else where it is installed, else into C:\\WinUtil\\Morvane.\r\n\r\n"
    L"setup.exe /S /uninstall [/LOG=file.log]\r\n    removes the installed copy without a window.\r\n\r\n"
    L"/D= comes last and may hold blanks. Without /LOG= the log goes to a new file in %TEMP%. "
    L"The exit code tells how the run ended (0: done).";
// Followed by the names of the missing kit files, separated by commas.
inline constexpr const wchar_t* kIncompleteKit = L"The installation kit is incomplete. Missing: ";
// Followed by the names of the kit files that are not as the kit was
// assembled (changed, swapped or damaged), separated by commas.
inline constexpr const wchar_t* kDamagedKit = L"The installation kit is damaged. Not as assembled: ";
// After the first names of a longer list: " and 7 more files".
inline constexpr const wchar_t* kAnd = L" and ";
inline constexpr const wchar_t* kMoreFiles = L" more files";

}  // namespace texts
