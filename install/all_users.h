// The installation for every user of the computer, which a setup running as
// SYSTEM makes (no user ever signs in as SYSTEM): the shortcuts go to the
// all-users desktop and Programs folder, and the presets reach each user
// through Active Setup, whose entry Windows runs once for every user at
// that user's next sign-in. What the entry runs must come from where only
// administrators can write: the system's own reg.exe, importing the copy of
// the presets script that the installation keeps in its own folder.
#pragma once

#include <string>

#include "platform/registry_api.h"

namespace install {

// The presets script's copy in the installed folder.
inline constexpr const wchar_t* kAllUsersPresets = L"presets.reg";

// The Active Setup entry's command for an installation in directory (with
// its trailing backslash): reg.exe, which runs as the user who signs in
// and asks no one; the registry editor would ask an administrator to elevate.
std::wstring PresetsImportCommand(const std::wstring& windowsDirectory, const std::wstring& directory);

// True when the machine's Active Setup entry imports the presets copy of
// the installation in directory: that installation is the one for all users.
bool ActiveSetupImportsFrom(RegistryApi& registry, const std::wstring& windowsDirectory, const std::wstring& directory);

}  // namespace install
