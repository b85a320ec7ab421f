// The messages and captions the installation shows, and the texts the list
// of installed programs shows for its uninstall entry.
#pragma once

namespace texts {

inline constexpr const wchar_t* kProgramFilesRefused =
    L"Morvane can not be installed in Program Files due to permission for writing Undo files. Choose another "
    L"folder.";
inline constexpr const wchar_t* kEnterTarget = L"Enter target directory for installation first.";
inline constexpr const wchar_t* kInstalling = L"Installing...";
inline constexpr const wchar_t* kInstallCompleted = L"Completed installation.";
inline constexpr const wchar_t* kInstallFailed = L"An error occured while installing.";
inline constexpr const wchar_t* kReadFailure = L"An error occured while reading the following file: ";
inline constexpr const wchar_t* kWriteFailure = L"An error occured while writing the following file: ";
inline constexpr const wchar_t* kRegistrationFailure = L"An error occured while registering the installation: ";
inline constexpr const wchar_t* kCannotContinue = L"Setup can not continue the installation.";

// Targets that cannot be made: what is wrong, the target or its drive, then
// what to do.
inline constexpr const wchar_t* kInvalidTarget = L"Morvane can not be installed in this folder:";
inline constexpr const wchar_t* kInvalidTargetWhy =
    L"A folder name may not hold any of the characters \\ / : * ? \" < > |, may not end in a blank or a dot, and may "
    L"not be a device name such as CON or NUL. Enter another folder.";
inline constexpr const wchar_t* kTargetTooLong = L"The path of this folder is too long for Morvane's files:";
inline constexpr const wchar_t* kTargetTooLongWhat = L"Enter a folder with a shorter path.";
inline constexpr const wchar_t* kNoSuchDrive = L"This drive or network share can not be found:";
inline constexpr const wchar_t* kNoSuchDriveWhat = L"Enter a folder on a drive of this computer.";
inline constexpr const wchar_t* kTargetDriveNotReady = L"This drive is not ready:";
inline constexpr const wchar_t* kTargetDriveNotReadyWhat = L"Insert its disc, or enter a folder on another drive.";
inline constexpr const wchar_t* kNetworkTarget = L"Morvane can not be installed on a network drive or share:";
inline constexpr const wchar_t* kRemovableTarget = L"Morvane can not be installed on a removable drive:";
inline constexpr const wchar_t* kChooseLocalFolder = L"Choose a folder on a fixed drive of this computer.";
inline constexpr const wchar_t* kWindowsFolderTarget = L"Morvane can not be installed in the Windows folder:";
inline constexpr const wchar_t* kChooseAnotherTarget = L"Choose another folder.";
inline constexpr const wchar_t* kNotAFolder = L"This is a file, not a folder:";
// A path that is not a full one, as typed, then what to enter.
inline constexpr const wchar_t* kNotFullPath = L"Morvane is installed into a folder given by its full path, which this is not:";
inline constexpr const wchar_t* kNotFullPathWhat =
    L"Enter the full path of a folder, with backslashes, such as C:\\WinUtil\\Morvane.";
// What to do instead where the target is the installed copy's folder and
// cannot be changed in the window.
inline constexpr const wchar_t* kUninstallFirst = L"Uninstall Morvane first, then install it into another folder.";
// A removal of a folder that is not the copy the machine's uninstall entry
// names: the folder, then the registered one or that there is none.
inline constexpr const wchar_t* kNotRegistered = L"This is not the copy of Morvane that Windows has registered:";
inline constexpr const wchar_t* kRegisteredCopyIn = L"The registered copy is in:";
inline constexpr const wchar_t* kNoneRegistered = L"No copy of Morvane is registered with Windows.";
inline constexpr const wchar_t* kNothingRemoved = L"Nothing was removed.";
// A removal whose folder, or one above it, is a link: the link, then that
// nothing was removed.
inline constexpr const wchar_t* kRemovalThroughLink =
    L"Morvane can not be removed safely: this folder on the way to it is a link to another place:";
inline constexpr const wchar_t* kUninstallRegisteredFirst =
    L"Uninstall the registered copy first, then install Morvane again.";
// The drive, then the figures in kilobytes, then what to do.
inline constexpr const wchar_t* kNotEnoughSpace = L"There is not enough free space for Morvane on drive ";
inline constexpr const wchar_t* kSpaceNeeded = L"Needed: ";
inline constexpr const wchar_t* kSpaceFree = L" KB. Free: ";
inline constexpr const wchar_t* kNotEnoughSpaceWhat = L" KB.\r\n\r\nFree some space on this drive, or choose another drive.";

// A target that someone other than an administrator could change: the
// message names the folder, then one of the reasons, then what to do.
inline constexpr const wchar_t* kUnsafeTarget = L"Morvane can not be installed safely here:";
inline constexpr const wchar_t* kKeepsNoAccessList =
    L"This drive keeps no access lists (FAT or exFAT), so every user could replace the installed setup.";
inline constexpr const wchar_t* kAccessListUnreadable = L"The access list of this folder can not be read.";
inline constexpr const wchar_t* kFolderIsALink = L"This folder is a link to another place.";
inline constexpr const wchar_t* kOthersEntry =
    L"This file or folder is not Morvane's, and users who are not administrators may change it.";
inline constexpr const wchar_t* kOwnedByOthers = L"This folder belongs to a user who is not an administrator.";
inline constexpr const wchar_t* kOthersMayAddFiles = L"Users who are not administrators may add files to this folder.";
inline constexpr const wchar_t* kOthersMayDelete =
    L"Users who are not administrators may delete or rename this folder.";
inline constexpr const wchar_t* kOthersMayDeleteContents =
    L"Users who are not administrators may delete or rename what this folder holds.";
inline constexpr const wchar_t* kOwnedByYou =
    L"Programs you run without administrator rights may change this folder.";
inline constexpr const wchar_t* kOthersMayRepermission =
    L"Users who are not administrators may change the permissions or the owner of this folder.";
inline constexpr const wchar_t* kChooseAnotherFolder = L"Choose another folder, or create a new one.";

// Morvane running from the folder that is to be replaced or removed: the
// folder goes between the two parts.
inline constexpr const wchar_t* kProductInUse = L"Morvane is running from this folder:\r\n\r\n";
inline constexpr const wchar_t* kProductInUseWhatToDo =
    L"\r\n\r\nClose Morvane, then click Retry. Click Cancel to leave everything as it is.";

// The uninstall entry, as the list of installed programs shows it.
inline constexpr const wchar_t* kDisplayName = L"Morvane by Halvo 2.4.5.w11";
inline constexpr const wchar_t* kDisplayVersion = L"2.4.5";
inline constexpr const wchar_t* kPublisher = L"Halvo";

}  // namespace texts
