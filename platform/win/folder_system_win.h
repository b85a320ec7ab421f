#pragma once

#include "platform/folder_system.h"

// Drives and folders through the wide Win32 calls.
class FolderSystemWin : public FolderSystem {
 public:
  std::vector<DriveInfo> Drives() override;
  std::wstring CurrentDirectory() override;
  std::wstring DriveDirectory(wchar_t letter) override;
  bool ListFolders(const std::wstring& directory, std::vector<std::wstring>& names, FileError& error) override;
  bool MakeDirectory(const std::wstring& path, FileError& error) override;
  FileError Error(std::uint32_t code) override;
};
