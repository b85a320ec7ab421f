// What the folder chooser reads and changes of drives and folders: the drives
// present, a drive's current directory, the folders inside a folder, and the
// creation of one folder. The Windows build asks the system; the unit tests a
// fake in which any drive or folder can be unreadable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

struct DriveInfo {
  wchar_t letter = L'C';  // upper case
  // The volume label, or for a network drive its share; empty when none.
  std::wstring label;
};

class FolderSystem {
 public:
  virtual ~FolderSystem() = default;
  // Every drive present, in letter order.
  virtual std::vector<DriveInfo> Drives() = 0;
  // The process's current directory.
  virtual std::wstring CurrentDirectory() = 0;
  // The directory the process last used on the drive ("X:\" when none);
  // says nothing about whether the drive can be read.
  virtual std::wstring DriveDirectory(wchar_t letter) = 0;
  // The names of the folders directly inside directory, hidden ones left
  // out, in no particular order.
  virtual bool ListFolders(const std::wstring& directory, std::vector<std::wstring>& names, FileError& error) = 0;
  // One level: the parent must exist. The folder gets the protected access
  // list of the installation's own program folders (ProtectedFolderSddl),
  // not its parent's.
  virtual bool MakeDirectory(const std::wstring& path, FileError& error) = 0;
  // The system's words for an error code.
  virtual FileError Error(std::uint32_t code) = 0;
};
