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

// The classic path limits, kept even where the system would allow more
// (Wine, Windows with long paths enabled), so that a long target fails the
// same way everywhere: a file path of this many characters or more, and a
// directory path of more than kMaxDirectoryPath, is refused with
// ERROR_FILENAME_EXCED_RANGE.
inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::size_t kMaxDirectoryPath = kMaxPath - 12;
inline constexpr std::uint32_t kErrorFilenameExcedRange = 206;

struct FileError {
  std::uint32_t code = 0;    // the system's error code
  std::wstring description;  // the system's one-line text for it
};

// One entry of a directory listing, as the system's file search reports it.
struct FoundFile {
  std::wstring name;       // the long name
  std::wstring shortName;  // the 8.3 alias; empty when there is none
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
  // Creates the file empty or truncates an existing one to length zero, and
  // leaves it open for writing at its start.
  virtual std::unique_ptr<OutputFile> CreateForWriting(const std::wstring& path, FileError& error) = 0;
  // Fails when the new name exists already.
  virtual bool RenameFile(const std::wstring& from, const std::wstring& to, FileError& error) = 0;
  virtual bool RemoveFile(const std::wstring& path) = 0;
  // The entries of one directory that pattern (a path whose last part may
  // hold * and ?) matches, without "." and "..". The system matches the 8.3
  // aliases too, so "*.tst" also finds "notes.tstx" (NOTES~1.TST): a caller
  // that means the long name compares it itself. Empty when nothing matches
  // or the directory cannot be read.
  virtual std::vector<FoundFile> FindFiles(const std::wstring& pattern) = 0;
  // One level; the parent must exist. The new folder gets its own protected
  // access list (ProtectedFolderSddl) instead of inheriting its parent's. A
  // folder that exists already is left as it is (and false returned).
  virtual bool MakeProtectedDirectory(const std::wstring& path, UsersMay users) = 0;
  // Only an empty directory goes.
  virtual bool RemoveEmptyDirectory(const std::wstring& path) = 0;
  // True when a listing of the path's directory for exactly its last name
  // finds an ordinary file: directories, hidden and system files count as
  // absent; read-only and archived files count. Names match without case.
  virtual bool IsOrdinaryFile(const std::wstring& path) = 0;
  // True when the path names a link (a junction or symbolic link: a reparse
  // point) rather than the file or folder itself.
  virtual bool IsLink(const std::wstring& path) = 0;
  // Makes the drive with this letter the process's current drive; false (and
  // nothing changed) when it is no drive letter or the drive is not there.
  virtual bool ChangeDrive(wchar_t letter) = 0;
  // The full path the system would use for path: separators unified, "."
  // and ".." resolved, and short (8.3) names expanded as far as the path
  // exists. Empty when the system cannot form one.
  virtual std::wstring LongForm(const std::wstring& path) = 0;
  // True when another program holds the file so that it may not be written,
  // as a running program holds its own .exe. Asked by opening it for writing
  // with no sharing, which changes nothing in it.
  virtual bool IsInUse(const std::wstring& path) = 0;
};
