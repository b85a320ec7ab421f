// The messages and captions the installation shows, and the texts the list
// of installed programs shows for its uninstall entry.
#pragma once

#include "platform/text.h"

namespace texts {

inline constexpr text::Ascii kProgramFilesRefused =
    "Morvane can not be installed in Program Files due to permission for writing Undo files. Choose another "
    "folder.";
inline constexpr text::Ascii kEnterTarget = "Enter target directory for installation first.";
inline constexpr text::Ascii kInstalling = "Installing...";
inline constexpr text::Ascii kInstallCompleted = "Completed installation.";
inline constexpr text::Ascii kInstallFailed = "An error occured while installing.";
inline constexpr text::Ascii kReadFailure = "An error occured while reading the following file: ";
inline constexpr text::Ascii kWriteFailure = "An error occured while writing the following file: ";
inline constexpr text::Ascii kRegistrationFailure = "An error occured while registering the installation: ";
inline constexpr text::Ascii kCannotContinue = "Setup can not continue the installation.";

// Targets that cannot be made: what is wrong, the target or its drive, then
// what to do.
inline constexpr text::Ascii kInvalidTarget = "Morvane can not be installed in this folder:";
inline constexpr text::Ascii kInvalidTargetWhy =
    "A folder name may not hold any of the characters \\ / : * ? \" < > |, may not end in a blank or a dot, and may "
    "not be a device name such as CON or NUL. Enter another folder.";
inline constexpr text::Ascii kTargetTooLong = "The path of this folder is too long for Morvane's files:";
inline constexpr text::Ascii kTargetTooLongWhat = "Enter a folder with a shorter path.";
inline constexpr text::Ascii kNoSuchDrive = "This drive or network share can not be found:";
inline constexpr text::Ascii kNoSuchDriveWhat = "Enter a folder on a drive of this computer.";
inline constexpr text::Ascii kTargetDriveNotReady = "This drive is not ready:";
inline constexpr text::Ascii kTargetDriveNotReadyWhat = "Insert its disc, or enter a folder on another drive.";
inline constexpr text::Ascii kNetworkTarget = "Morvane can not be installed on a network drive or share:";
inline constexpr text::Ascii kRemovableTarget = "Morvane can not be installed on a removable drive:";
inline constexpr text::Ascii kChooseLocalFolder = "Choose a folder on a fixed drive of this computer.";
inline constexpr text::Ascii kWindowsFolderTarget = "Morvane can not be installed in the Windows folder:";
inline constexpr text::Ascii kChooseAnotherTarget = "Choose another folder.";
inline constexpr text::Ascii kKitFolderTarget =
    "Morvane can not be installed into the folder of its installation kit, or a folder in it:";
inline constexpr text::Ascii kProfilesTarget =
    "Morvane can not be installed among the users' profiles, whose folders belong to their users:";
inline constexpr text::Ascii kNotAFolder = "This is a file, not a folder:";
// A path that is not a full one, as typed, then what to enter.
inline constexpr text::Ascii kNotFullPath = "Morvane is installed into a folder given by its full path, which this is not:";
inline constexpr text::Ascii kNotFullPathWhat =
    "Enter the full path of a folder, with backslashes, such as C:\\WinUtil\\Morvane.";
// What to do instead where the target is the installed copy's folder and
// cannot be changed in the window.
inline constexpr text::Ascii kUninstallFirst = "Uninstall Morvane first, then install it into another folder.";
// A removal of a folder that is not the copy the machine's uninstall entry
// names: the folder, then the registered one or that there is none.
inline constexpr text::Ascii kNotRegistered = "This is not the copy of Morvane that Windows has registered:";
inline constexpr text::Ascii kRegisteredCopyIn = "The registered copy is in:";
inline constexpr text::Ascii kNoneRegistered = "No copy of Morvane is registered with Windows.";
inline constexpr text::Ascii kNothingRemoved = "Nothing was removed.";
// A removal whose folder, or one above it, is a link: the link, then that
// nothing was removed.
inline constexpr text::Ascii kRemovalThroughLink =
    "Morvane can not be removed safely: this folder on the way to it is a link to another place:";
inline constexpr text::Ascii kUninstallRegisteredFirst =
    "Uninstall the registered copy first, then install Morvane again.";
// The drive, then the figures in kilobytes, then what to do.
inline constexpr text::Ascii kNotEnoughSpace = "There is not enough free space for Morvane on drive ";
inline constexpr text::Ascii kSpaceNeeded = "Needed: ";
inline constexpr text::Ascii kSpaceFree = " KB. Free: ";
inline constexpr text::Ascii kNotEnoughSpaceWhat = " KB.\r\n\r\nFree some space on this drive, or choose another drive.";

// A target that someone other than an administrator could change: the
// message names the folder, then one of the reasons, then what to do.
inline constexpr text::Ascii kUnsafeTarget = "Morvane can not be installed safely here:";
inline constexpr text::Ascii kKeepsNoAccessList =
    "This drive keeps no access lists (FAT or exFAT), so every user could replace the installed setup.";
inline constexpr text::Ascii kAccessListUnreadable = "The access list of this folder can not be read.";
inline constexpr text::Ascii kFolderIsALink = "This folder is a link to another place.";
inline constexpr text::Ascii kOthersEntry =
    "This file or folder is not Morvane's, and users who are not administrators may change it.";
inline constexpr text::Ascii kOwnedByOthers = "This folder belongs to a user who is not an administrator.";
inline constexpr text::Ascii kOthersMayAddFiles = "Users who are not administrators may add files to this folder.";
inline constexpr text::Ascii kOthersMayDelete =
    "Users who are not administrators may delete or rename this folder.";
inline constexpr text::Ascii kOthersMayDeleteContents =
    "Users who are not administrators may delete or rename what this folder holds.";
inline constexpr text::Ascii kOwnedByYou =
    "Programs you run without administrator rights may change this folder.";
inline constexpr text::Ascii kOthersMayRepermission =
    "Users who are not administrators may change the permissions or the owner of this folder.";
inline constexpr text::Ascii kChooseAnotherFolder = "Choose another folder, or create a new one.";

// Morvane running from the folder that is to be replaced or removed: the
// folder goes between the two parts.
inline constexpr text::Ascii kProductInUse = "Morvane is running from this folder:\r\n\r\n";
inline constexpr text::Ascii kProductInUseWhatToDo =
    "\r\n\r\nClose Morvane, then click Retry. Click Cancel to leave everything as it is.";

// The uninstall entry, as the list of installed programs shows it.
inline constexpr text::Ascii kDisplayName = "Morvane by Halvo 2.4.5.w11";
inline constexpr text::Ascii kDisplayVersion = "2.4.5";
inline constexpr text::Ascii kPublisher = "Halvo";

}  // namespace texts
