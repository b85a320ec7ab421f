// Who may change a folder, as the file system reports it: its owner and the
// entries of its access list, with every trustee sorted into the few kinds
// the setup tells apart. The Windows build reads it from the folder's
// descriptor; the unit tests make it up.
#pragma once

#include <cstdint>
#include <vector>

enum class Trustee : std::uint8_t {
  Administrators,
  System,
  TrustedInstaller,
  CurrentUser,   // the account the setup runs as
  CreatorOwner,  // a placeholder that only things made inside inherit
  Other,         // anyone else: Users, Everyone, a user's own account, ...
};

struct AccessEntry {
  Trustee trustee = Trustee::Other;
  bool allow = true;         // false for a deny entry
  std::uint32_t rights = 0;  // the access mask as stored, generic rights not mapped
  bool inheritOnly = false;  // passed on to what is made inside, not in force on the folder itself
  bool operator==(const AccessEntry&) const = default;
};

enum class FolderRead : std::uint8_t {
  Read,
  Missing,        // nothing of that name
  NoAccessLists,  // a volume that keeps none (FAT, exFAT): anyone may change anything
  Unreadable,     // there, but its owner or access list could not be read
};

struct FolderSecurity {
  FolderRead result = FolderRead::Missing;
  bool link = false;  // a junction or symbolic link, or reached through one: its contents lie elsewhere
  Trustee owner = Trustee::Other;
  bool hasAccessList = true;  // false for a null list, which lets everyone do everything
  std::vector<AccessEntry> entries = {};
  bool operator==(const FolderSecurity&) const = default;
};

// The file system's access rights the decision looks at.
namespace rights {
inline constexpr std::uint32_t kAddFile = 0x2;           // FILE_ADD_FILE
inline constexpr std::uint32_t kAddSubdirectory = 0x4;   // FILE_ADD_SUBDIRECTORY
inline constexpr std::uint32_t kDeleteChild = 0x40;      // FILE_DELETE_CHILD
inline constexpr std::uint32_t kDelete = 0x10000;        // DELETE
inline constexpr std::uint32_t kReadControl = 0x20000;   // READ_CONTROL
inline constexpr std::uint32_t kWriteDac = 0x40000;      // WRITE_DAC
inline constexpr std::uint32_t kWriteOwner = 0x80000;    // WRITE_OWNER
inline constexpr std::uint32_t kFileAllAccess = 0x1F01FF;
inline constexpr std::uint32_t kFileGenericWrite = 0x120116;
inline constexpr std::uint32_t kFileReadAndExecute = 0x1200A9;
inline constexpr std::uint32_t kGenericAll = 0x10000000;
inline constexpr std::uint32_t kGenericWrite = 0x40000000;
}  // namespace rights
