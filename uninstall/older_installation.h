// A copy of Morvane that the machine's uninstall entry knows but this user's
// setting does not: installed from another account, or remembered no
// longer. Installing again without removing it would leave it behind for
// good, its only uninstall entry overwritten.
#pragma once

#include <optional>
#include <string>

class FileSystem;
class RegistryApi;

namespace uninstall {

// The folder (with its trailing backslash) of the entry's "UninstallString";
// nothing when the entry is missing, unreadable, or names no plain full path.
std::optional<std::wstring> RegisteredFolder(RegistryApi& registry);

// The registered folder when it holds "Morvane.exe".
std::optional<std::wstring> OlderInstallation(RegistryApi& registry, FileSystem& files);

// The folder of a command's program: quotation marks removed, the file name
// dropped, the trailing backslash kept. Empty unless it is a full path
// ("C:\..." or "\\server\share\..."): a relative one would depend on the
// current directory.
std::wstring ProgramFolder(const std::wstring& command);

}  // namespace uninstall
