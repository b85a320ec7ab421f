// The captions and messages the main window and its actions show, each once:
// the window's own here, the installation's and the removals' beside them
// (install/install_texts.h, uninstall/uninstall_texts.h), the folder
// chooser's in folder/folder_texts.h.
#pragma once

#include "platform/text.h"

#include "install/install_texts.h"
#include "uninstall/uninstall_texts.h"

namespace texts {

// The message boxes' title, which the program's start hands on as it is.
inline constexpr const wchar_t* kAppTitle = L"Morvane Setup";

// Start-up states.
inline constexpr text::Ascii kInstallPrompt = "Click Next to install Morvane by Halvo to your computer.";
inline constexpr text::Ascii kNoKit = "You can delete this file (SETUP.EXE).";
inline constexpr text::Ascii kUninstalledMessage =
    "Morvane has been uninstalled.\r\n\r\nYou can delete the remaining SETUP and own files from the Morvane "
    "directory.";
inline constexpr text::Ascii kRemove = "Remove Morvane";
inline constexpr text::Ascii kRemoveOrReinstall = "Remove or Reinstall Morvane";
inline constexpr text::Ascii kRemoveBeforeReinstall = "Remove Morvane before re-installing Morvane..";
inline constexpr text::Ascii kLocation = "Location:";
inline constexpr text::Ascii kLocationTooltip = "Location of Morvane";
inline constexpr text::Ascii kReinstall = "&Reinstall";
inline constexpr text::Ascii kExit = "E&xit";
// setup.exe /?
inline constexpr text::Ascii kUsage =
    "setup.exe\r\n    installs or removes Morvane in a window.\r\n\r\n"
    "setup.exe /S [/LOG=file.log] [/D=folder]\r\n    installs Morvane without a window: into the folder given, "
    "else where it is installed, else into C:\\WinUtil\\Morvane.\r\n\r\n"
    "setup.exe /S /uninstall [/LOG=file.log]\r\n    removes the installed copy without a window.\r\n\r\n"
    "/D= comes last and may hold blanks. Without /LOG= the log goes to a new file in %TEMP%. "
    "The exit code tells how the run ended (0: done).";
// Followed by the names of the missing kit files, separated by commas.
inline constexpr text::Ascii kIncompleteKit = "The installation kit is incomplete. Missing: ";
// Followed by the names of the kit files that are not as the kit was
// assembled (changed, swapped or damaged), separated by commas.
inline constexpr text::Ascii kDamagedKit = "The installation kit is damaged. Not as assembled: ";
// After the first names of a longer list: " and 7 more files".
inline constexpr text::Ascii kAnd = " and ";
inline constexpr text::Ascii kMoreFiles = " more files";

}  // namespace texts
