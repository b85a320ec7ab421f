// The contents of the chooser's drive list and directory list, as users
// know the classic ones: "c: [Label]" per drive; for a directory P the path
// from the drive's root down to P as opened folders, each one level further
// in, then P's folders as closed ones a level further, sorted without case.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/folder_system.h"

struct DirectoryEntry {
  std::wstring text;  // as the list shows it
  std::wstring path;  // the full path it stands for
  int indent = 0;     // levels in from the left
  bool opened = false;
};

struct DirectoryListing {
  std::wstring path;  // P, without a trailing backslash unless it is a root
  std::vector<DirectoryEntry> entries;
  std::size_t current = 0;  // the entry of P itself
};

// "c: [System]"; the brackets only when there is a label.
std::wstring DriveEntryText(const DriveInfo& drive);

// Fills listing, which must be empty, with the list for directory path
// ("X:\..."); false (error set) when it is no drive path or cannot be read.
bool ListDirectory(FolderSystem& folders, const std::wstring& path, DirectoryListing& listing, FileError& error);

// The path of a new folder name in P: no doubled backslash at a drive root.
std::wstring ChildPath(const std::wstring& parent, const std::wstring& name);
