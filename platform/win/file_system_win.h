#pragma once

#include "platform/file_system.h"

// "." or "..": the entries a listing has for the folder itself and its parent.
bool IsDotEntry(const wchar_t* name);

// The real file system through the wide Win32 calls.
class FileSystemWin : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenForReading(const std::wstring& path, FileError& error) override;
  std::unique_ptr<InputFile> OpenPlainForReading(const std::wstring& path, FileError& error) override;
  std::unique_ptr<InputFile> OpenFileInFolder(const std::wstring& folder, const std::wstring& name,
                                              FileError& error) override;
  bool FreeSpace(const std::wstring& root, std::uint64_t& bytes, FileError& error) override;
  bool SetAsideInUseFile(const std::wstring& path, FileError& error) override;
  std::unique_ptr<OutputFile> CreateForWriting(const std::wstring& path, UsersMay users, FileError& error) override;
  bool EmptyPlainFile(const std::wstring& path, UsersMay users, FileError& error) override;
  using FileSystem::RemovePlainFile;
  bool RemovePlainFile(const std::wstring& path, FileError& error) override;
  DriveKind KindOfDrive(const std::wstring& root) override;
  bool MakeSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before,
                FileError& error) override;
  bool RestoreSecurity(const std::wstring& path, const SecurityBackup& before, FileError& error) override;
  std::vector<FoundFile> FindFiles(const std::wstring& pattern) override;
  bool MakeProtectedDirectory(const std::wstring& path, UsersMay users, FileError& error) override;
  std::wstring MakeWorkFolder(FileError& error) override;
  std::wstring MakeKitFolder(FileError& error) override;
  using FileSystem::RemoveEmptyDirectory;
  bool RemoveEmptyDirectory(const std::wstring& path, FileError& error) override;
  bool IsOrdinaryFile(const std::wstring& path) override;
  bool IsLink(const std::wstring& path) override;
  FolderSecurity ReadFolderSecurity(const std::wstring& path) override;
  bool ChangeDrive(wchar_t letter) override;
  std::wstring LongForm(const std::wstring& path) override;
  bool SameFolder(const std::wstring& a, const std::wstring& b) override;
  bool IsInUse(const std::wstring& path) override;
  // Empties and removes the work folders this run made, for a run that ends
  // in the middle of an installation: the files it replaced so far are no
  // one's to put back, and nothing else would ever remove them.
  void RemoveWorkFolders();

 private:
  std::vector<std::wstring> workFolders_;
  // A new protected folder in folder (empty: none known), named name and a
  // random number no one used yet.
  std::wstring MakeFolderNamedAfter(const std::wstring& folder, const wchar_t* name, FileError& error);
};
