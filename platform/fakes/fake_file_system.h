// An in-memory file system that behaves like the Windows one the setup
// meets: case-insensitive names that keep the case they were made with,
// read-only, hidden and system attributes, open files that keep others out
// as the real implementation's share modes do (readers share reading only,
// a writer shares reading only; an open file cannot be renamed or deleted),
// file names that may not end in a backslash, the system's error codes and
// texts, and a hook that fails any chosen step.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

// Permit: a change of a folder's owner and access list.
enum class FileOp { Open, Read, Create, Write, Close, Rename, Remove, MakeDirectory, RemoveDirectory, List, Permit };

struct FakeAttributes {
  bool readOnly = false;
  bool hidden = false;
  bool system = false;
  bool link = false;  // a junction or symbolic link
};

class FakeFileSystem : public FileSystem {
 public:
  FakeFileSystem();

  // Set-up and inspection; parents are created as needed.
  void AddDirectory(const std::wstring& path);
  void AddFile(const std::wstring& path, const std::string& bytes, FakeAttributes attributes = {});
  void SetAttributes(const std::wstring& path, FakeAttributes attributes);
  // Turns the folder at path into a link to target, as a user who may
  // change its parent can: what it held is gone from there.
  void MakeFolderLink(const std::wstring& path, const std::wstring& target);
  // Gives a file the 8.3 alias Windows would make for it; listings then
  // match patterns against it too.
  void SetShortName(const std::wstring& path, const std::wstring& shortName);
  bool Exists(const std::wstring& path) const;
  bool IsDirectory(const std::wstring& path) const;
  std::optional<std::string> Contents(const std::wstring& path) const;
  // The name as the file system keeps it (its case), or empty.
  std::wstring StoredName(const std::wstring& path) const;
  // Every path under a directory, in the stored case, sorted.
  std::vector<std::wstring> List(const std::wstring& directory) const;
  void AddDrive(wchar_t letter);
  wchar_t currentDrive() const { return currentDrive_; }
  // An 8.3 alias: LongForm expands the full path shortPath to longPath.
  void AddShortName(const std::wstring& shortPath, const std::wstring& longPath);
  // The access list each protected folder was made with, by its path as made.
  std::map<std::wstring, UsersMay> protectedFolders;
  // The access list each file written got, by its path as written.
  std::map<std::wstring, UsersMay> protectedFiles;
  // What ReadFolderSecurity reports for an existing path. Unless set here, a
  // drive root reports what Windows gives a system drive's root, anything
  // else what a folder made protected by an administrator has; a root set to
  // NoAccessLists stands for its whole drive.
  void SetSecurity(const std::wstring& path, FolderSecurity security);
  static FolderSecurity SystemDriveRoot();
  static FolderSecurity ProtectedFolder();

  // Called before every step; a returned error makes that step fail with it.
  std::function<std::optional<FileError>(FileOp op, const std::wstring& path)> failWhen;
  // Bytes handed out per Read at most, so that tests can fail a later read.
  std::size_t readChunk = 1 << 20;

  static FileError Error(std::uint32_t code);

  // FileSystem
  std::unique_ptr<InputFile> OpenForReading(const std::wstring& path, FileError& error) override;
  std::unique_ptr<InputFile> OpenPlainForReading(const std::wstring& path, FileError& error) override;
  std::unique_ptr<InputFile> OpenFileInFolder(const std::wstring& folder, const std::wstring& name,
                                              FileError& error) override;
  // Free bytes by drive letter; a drive not listed here has plenty.
  std::map<wchar_t, std::uint64_t> freeBytes;
  // Drives that are there but not ready (a reader without its disc).
  std::set<wchar_t> notReady;
  bool FreeSpace(const std::wstring& root, std::uint64_t& bytes, FileError& error) override;
  // Files taken out of their folder by SetAsideInUseFile, by their path.
  std::vector<std::wstring> setAside;
  bool SetAsideInUseFile(const std::wstring& path, FileError& error) override;
  std::unique_ptr<OutputFile> CreateForWriting(const std::wstring& path, UsersMay users, FileError& error) override;
  // Set-up steps as the system's plain calls do them, links followed.
  bool RenameFile(const std::wstring& from, const std::wstring& to, FileError& error);
  bool RemoveFile(const std::wstring& path);
  bool EmptyPlainFile(const std::wstring& path, UsersMay users, FileError& error) override;
  using FileSystem::RemovePlainFile;
  bool RemovePlainFile(const std::wstring& path, FileError& error) override;
  // Drives by letter that are not fixed ones.
  std::map<wchar_t, DriveKind> driveKinds;
  DriveKind KindOfDrive(const std::wstring& root) override;
  bool MakeSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before,
                FileError& error) override;
  bool RestoreSecurity(const std::wstring& path, const SecurityBackup& before, FileError& error) override;
  // The lists MakeSafe gives, shaped as Windows' own would read back.
  static FolderSecurity SafeOnTheWay(const FolderSecurity& before);
  std::vector<FoundFile> FindFiles(const std::wstring& pattern) override;
  // One level, with no access list of its own (set-up and the protected form).
  bool MakeDirectory(const std::wstring& path, FileError* error = nullptr);
  bool MakeProtectedDirectory(const std::wstring& path, UsersMay users, FileError& error) override;
  // Folders "Morvane Setup N" under workFolderParent.
  std::wstring MakeWorkFolder(FileError& error) override;
  std::wstring workFolderParent = L"C:\\Windows\\Temp\\";
  // Folders kKitFolderName and N, in eight hexadecimal digits as the real ones, under workFolderParent.
  std::wstring MakeKitFolder(FileError& error) override;
  using FileSystem::RemoveEmptyDirectory;
  bool RemoveEmptyDirectory(const std::wstring& path, FileError& error) override;
  bool IsOrdinaryFile(const std::wstring& path) override;
  bool IsLink(const std::wstring& path) override;
  FolderSecurity ReadFolderSecurity(const std::wstring& path) override;
  bool ChangeDrive(wchar_t letter) override;
  std::wstring LongForm(const std::wstring& path) override;
  bool SameFolder(const std::wstring& a, const std::wstring& b) override;
  // Any open file keeps out a writer that shares nothing.
  bool IsInUse(const std::wstring& path) override { return Find(path) && IsOpen(path); }

 private:
  struct Node {
    std::wstring name;  // the full path in the case it was made with
    bool directory = false;
    std::string bytes;
    FakeAttributes attributes;
  };
  friend class FakeInputFile;
  friend class FakeOutputFile;
  struct OpenCount {
    int readers = 0;
    int writers = 0;
  };

  static std::wstring Key(const std::wstring& path);
  static bool NamesAFile(const std::wstring& path);
  static std::wstring Parent(const std::wstring& key);
  // The key a path leads to once every folder link on the way is followed.
  std::wstring Followed(const std::wstring& key) const;
  bool ReachedThroughLink(const std::wstring& path) const;
  bool Unlink(const std::wstring& path);
  bool Fails(FileOp op, const std::wstring& path, FileError& error) const;
  Node* Find(const std::wstring& path);
  const Node* Find(const std::wstring& path) const;
  bool HasChildren(const std::wstring& key) const;

  bool IsOpen(const std::wstring& path) const;
  void Release(const std::wstring& key, bool writer);

  std::map<std::wstring, Node> nodes_;
  std::map<std::wstring, std::wstring> shortNames_;  // by key
  std::map<std::wstring, std::wstring> linkTargets_;  // folder link key -> where paths through it lead
  std::map<std::wstring, OpenCount> open_;  // by key
  std::set<wchar_t> drives_;
  wchar_t currentDrive_ = L'C';
  std::map<std::wstring, std::wstring> shortPaths_;  // key of a short path -> its long path
  std::map<std::wstring, FolderSecurity> security_;  // by key
  std::vector<FolderSecurity> saved_;                 // what MakeSafe took down, by the number in a backup
};
