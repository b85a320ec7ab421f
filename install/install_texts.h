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
inline constexpr const wchar_t* kCannotContinue = L"Setup can not continue the installation.";

// The uninstall entry, as the list of installed programs shows it.
inline constexpr const wchar_t* kDisplayName = L"Morvane by Halvo 2.4.5.w11";
inline constexpr const wchar_t* kDisplayVersion = L"2.4.5";
inline constexpr const wchar_t* kPublisher = L"Halvo";

}  // namespace texts
