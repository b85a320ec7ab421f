// The file operations the setup needs, as a narrow interface: the Windows
// build talks to the real file system, the unit tests to a fake that fails
// any step on demand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/folder_access.h"
#include "platform/folder_security.h"

// The classic path limits, kept even where the system would allow more
// (Wine, Windows with long paths enabled), so that a long target fails the
// same way everywhere: a file path of this many characters or more, and a
// directory path of more than kMaxDirectoryPath, is refused with
// ERROR_FILENAME_EXCED_RANGE.
inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::size_t kMaxDirectoryPath = kMaxPath - 12;
inline constexpr std::uint32_t kErrorFilenameExcedRange = 206;
// ERROR_REPARSE_POINT_ENCOUNTERED: what a step that works only on a plain
// file at its own place says when a link stood in its way.
inline constexpr std::uint32_t kErrorReachedThroughLink = 4395;
// The start of the name of every folder MakeKitFolder makes; a number of
// this many hexadecimal digits follows.
inline constexpr const wchar_t* kKitFolderName = L"Morvane Kit ";
inline constexpr std::size_t kKitFolderDigits = 8;

// What kind of drive a root belongs to, as the system reports it.
enum class DriveKind : std::uint8_t { Fixed, Removable, Network, Optical, Unknown };

// How a folder is made safe. Its owner becomes Administrators either way, so
// that no program an administrator runs without elevation can change it.
enum class SafeRule : std::uint8_t {
  ProductFolder,  // the protected list of the product's own folders (ProtectedFolderSddl)
  // As a system drive's root: users may make folders in it, but may not
  // delete, rename or re-permission it; what its contents allow stays as it
  // is. The running account keeps what it had, but for those three rights.
  OnTheWay,
};

// A folder's owner and access list as they were, for putting them back.
struct SecurityBackup {
  std::vector<std::uint8_t> descriptor;
};

struct FileError {
  std::uint32_t code = 0;    // the system's error code
  std::wstring description;  // the system's one-line text for it
};

// One entry of a directory listing, as the system's file search reports it.
struct FoundFile {
  std::wstring name;       // the long name
  std::uint64_t size = 0;
  bool directory = false;
  bool hidden = false;
  bool system = false;
};

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to buffer.size() bytes; got is 0 once the file is exhausted.
  virtual bool Read(std::span<std::byte> buffer, std::size_t& got, FileError& error) = 0;
  // Its length in bytes when it was opened.
  virtual std::uint64_t Size() const = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual bool Write(std::span<const std::byte> bytes, FileError& error) = 0;
  // Closing can fail too (data the system still held back); after Close the
  // object only waits to be destroyed.
  virtual bool Close(FileError& error) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual std::unique_ptr<InputFile> OpenForReading(const std::wstring& path, FileError& error) = 0;
  // Like OpenForReading, but only the plain file at exactly this place, as
  // the three below: for keeping a copy of a file before it is replaced,
  // where a link in its place must not lead to someone else's file.
  virtual std::unique_ptr<InputFile> OpenPlainForReading(const std::wstring& path, FileError& error) = 0;
  // The plain file name in folder (which ends in a backslash), opened for reading and held with read
  // sharing only: the folder is taken wherever its path leads (the kit may
  // lie on a network drive or behind a link), but the file itself must be
  // no link, have no other name, and lie in that very folder. Otherwise the
  // error is kErrorReachedThroughLink.
  virtual std::unique_ptr<InputFile> OpenFileInFolder(const std::wstring& folder, const std::wstring& name,
                                                      FileError& error) = 0;
  // Creates the file empty or truncates an existing one to length zero, and
  // leaves it open for writing at its start. Either way the file ends up
  // with its own protected access list (ProtectedFileSddl): a new one is made
  // with it, an existing one gets it in place of the list it had.
  virtual std::unique_ptr<OutputFile> CreateForWriting(const std::wstring& path, UsersMay users,
                                                       FileError& error) = 0;
  // The one above and the two below work on a plain file at exactly this place and nowhere
  // else: the name is opened without following a link in its place, and
  // the open file is checked to be no junction or symbolic link, to have
  // one name only, and to lie where the path says (no link on the way);
  // then the work is done through that same open file. Where the check
  // fails the error is kErrorReachedThroughLink and nothing is changed.
  // Users may change what lies in some folders of the product: this keeps
  // them from steering the elevated setup to a file they may not touch.
  //
  // Creates the file empty, or cuts an existing one to length zero.
  // Like CreateForWriting, the file ends up with its own protected list.
  virtual bool EmptyPlainFile(const std::wstring& path, UsersMay users, FileError& error) = 0;
  virtual bool RemovePlainFile(const std::wstring& path, FileError& error) = 0;
  bool RemovePlainFile(const std::wstring& path) {
    FileError error;
    return RemovePlainFile(path, error);
  }
  // The entries of one directory that pattern (a path whose last part may
  // hold * and ?) matches, without "." and "..". The system matches the 8.3
  // aliases too, so "*.tst" also finds "notes.tstx" (NOTES~1.TST): a caller
  // that means the long name compares it itself. Empty when nothing matches
  // or the directory cannot be read.
  virtual std::vector<FoundFile> FindFiles(const std::wstring& pattern) = 0;
  // One level; the parent must exist. The new folder gets its own protected
  // access list (ProtectedFolderSddl) instead of inheriting its parent's. A
  // folder that exists already is left as it is (and false returned, with
  // ERROR_ALREADY_EXISTS). Made only where the path says: when its parent is
  // reached through a link, or the new folder turns out to lie elsewhere,
  // nothing is left made and the error is kErrorReachedThroughLink.
  virtual bool MakeProtectedDirectory(const std::wstring& path, UsersMay users, FileError& error) = 0;
  // A new folder for this run alone, in the system's own Temp folder, under
  // a name not used before, with the protected access list: only
  // administrators can write in it, and no one else can have made it or put
  // a link there. Its path with a trailing backslash; empty when none could
  // be made.
  virtual std::wstring MakeWorkFolder(FileError& error) = 0;
  // The same, beside it, for the checked copy of the kit a run works from:
  // named kKitFolderName and a random number, so that no run's work is taken
  // for a kit copy, nor one run's copy for another's.
  virtual std::wstring MakeKitFolder(FileError& error) = 0;
  // Only an empty directory goes, and only the folder at exactly this place,
  // as RemovePlainFile takes a file: no link in its place or on its way
  // (kErrorReachedThroughLink).
  virtual bool RemoveEmptyDirectory(const std::wstring& path, FileError& error) = 0;
  bool RemoveEmptyDirectory(const std::wstring& path) {
    FileError error;
    return RemoveEmptyDirectory(path, error);
  }
  // True when a listing of the path's directory for exactly its last name
  // finds an ordinary file: directories, hidden and system files count as
  // absent; read-only and archived files count. Names match without case.
  virtual bool IsOrdinaryFile(const std::wstring& path) = 0;
  // True when the path names a link (a junction or symbolic link) rather
  // than the file or folder itself. Other reparse points (deduplicated or
  // cloud-synced files and folders) are not links.
  virtual bool IsLink(const std::wstring& path) = 0;
  // Who may change the folder (or file) at path, read from it without
  // following a link there. Missing when there is nothing of that name.
  virtual FolderSecurity ReadFolderSecurity(const std::wstring& path) = 0;
  // The bytes this program may still write on the drive of root ("C:\" or
  // "\\server\share\"). False with the system's error when the drive is not
  // there or not ready (ERROR_NOT_READY, 21, for a drive without its disc).
  virtual bool FreeSpace(const std::wstring& root, std::uint64_t& bytes, FileError& error) = 0;
  virtual DriveKind KindOfDrive(const std::wstring& root) = 0;
  // Gives the folder at path (itself, never what a link there leads to)
  // Administrators as its owner and the rule's access list, as its own and
  // passed on to nothing that is already in it. before receives what it had.
  virtual bool MakeSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before,
                        FileError& error) = 0;
  virtual bool RestoreSecurity(const std::wstring& path, const SecurityBackup& before, FileError& error) = 0;
  // Takes a file that a running program holds, so that it cannot be deleted
  // (this setup's own program and library, when it removes the folder it was
  // started from), out of its folder: it is moved, through its handle, into
  // a folder of its own on the same drive that only administrators can
  // write, and deleted there when Windows next starts.
  virtual bool SetAsideInUseFile(const std::wstring& path, FileError& error) = 0;
  // Makes the drive with this letter the process's current drive; false (and
  // nothing changed) when it is no drive letter or the drive is not there.
  virtual bool ChangeDrive(wchar_t letter) = 0;
  // The full path the system would use for path: separators unified, "."
  // and ".." resolved, and short (8.3) names expanded as far as the path
  // exists. Empty when the system cannot form one.
  virtual std::wstring LongForm(const std::wstring& path) = 0;
  // True when both paths lead to one existing folder, however each is
  // spelled (short names, another drive letter mapped to it, a link on the
  // way); false when either is not there.
  virtual bool SameFolder(const std::wstring& a, const std::wstring& b) = 0;
  // True when another program holds the file so that it may not be written,
  // as a running program holds its own .exe. Asked by opening it for writing
  // with no sharing, which changes nothing in it.
  virtual bool IsInUse(const std::wstring& path) = 0;
};
