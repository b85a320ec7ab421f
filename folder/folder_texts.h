// The messages and prompts the folder chooser shows, each once.
#pragma once

namespace texts {

inline constexpr const wchar_t* kDriveNotReady = L"Drive not ready...";
inline constexpr const wchar_t* kCreateFolderTitle = L"Create folder";
inline constexpr const wchar_t* kCreateFolderPrompt = L"Create new folder in\r\n\r\n";
inline constexpr const wchar_t* kCreateFolderFailed = L"The folder could not be created:\r\n\r\n";

}  // namespace texts
