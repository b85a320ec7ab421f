// The messages and prompts the folder chooser shows, each once.
#pragma once

#include "platform/text.h"

namespace texts {

inline constexpr text::Ascii kDriveNotReady = "Drive not ready...";
inline constexpr text::Ascii kCreateFolderTitle = "Create folder";
inline constexpr text::Ascii kCreateFolderPrompt = "Create new folder in\r\n\r\n";
inline constexpr text::Ascii kCreateFolderFailed = "The folder could not be created:\r\n\r\n";

}  // namespace texts
