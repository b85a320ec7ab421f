// Drives and folders in memory, as the chooser meets them on Windows: names
// without case, a current directory per drive, drives or folders that cannot
// be read, and the system's refusals when a folder is made.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fakes/fake_file_system.h"
#include "platform/folder_system.h"
#include "platform/text.h"

class FakeFolderSystem : public FolderSystem {
 public:
  std::vector<DriveInfo> drives{{L'C', L""}};
  std::wstring current = L"C:\\";
  std::map<wchar_t, std::wstring> driveDirectories;  // a drive missing here: its root
  std::set<std::wstring> unreadable;                 // folders, or a root "X:\" for a whole drive
  std::set<std::wstring> unwritable;                 // folders in which nothing can be made
  int listings = 0;

  FakeFolderSystem() { AddFolder(L"C:\\"); }

  // The folder and every folder above it.
  void AddFolder(const std::wstring& path) {
    std::wstring p = Trimmed(path);
    while (true) {
      folders_.emplace(text::UpperCase(p), p);
      std::size_t cut = p.find_last_of(L'\\');
      if (p.size() <= 3 || cut == std::wstring::npos) break;
      p = cut == 2 ? p.substr(0, 3) : p.substr(0, cut);
    }
  }
  bool Exists(const std::wstring& path) const { return folders_.count(text::UpperCase(Trimmed(path))) != 0; }
  std::size_t FolderCount() const { return folders_.size(); }

  std::vector<DriveInfo> Drives() override { return drives; }
  std::wstring CurrentDirectory() override { return current; }
  std::wstring DriveDirectory(wchar_t letter) override {
    auto found = driveDirectories.find(letter);
    return found != driveDirectories.end() ? found->second : std::wstring{letter, L':', L'\\'};
  }
  bool ListFolders(const std::wstring& directory, std::vector<std::wstring>& names, FileError& error) override {
    ++listings;
    std::wstring key = text::UpperCase(Trimmed(directory));
    if (unreadable.count(key) || unreadable.count(key.substr(0, 3))) {
      error = Error(21);
      return false;
    }
    if (!folders_.count(key)) {
      error = Error(3);
      return false;
    }
    for (const auto& [k, stored] : folders_) {
      if (k.size() > 3 && ParentKey(k) == key) names.push_back(stored.substr(stored.find_last_of(L'\\') + 1));
    }
    return true;
  }
  bool MakeDirectory(const std::wstring& path, FileError& error) override {
    std::wstring p = Trimmed(path);
    std::wstring name = p.substr(p.find_last_of(L'\\') + 1);
    std::wstring parent = ParentKey(text::UpperCase(p));
    if (name.find_first_of(L"<>\"|?*") != std::wstring::npos) error = Error(123);
    else if (name.size() > 255) error = Error(206);
    else if (!folders_.count(parent)) error = Error(3);
    else if (unwritable.count(parent)) error = Error(5);
    else if (Exists(p)) error = Error(183);
    else {
      AddFolder(p);
      return true;
    }
    return false;
  }
  FileError Error(std::uint32_t code) override {
    switch (code) {
      case 21: return {21, L"The device is not ready."};
      case 123: return {123, L"The filename, directory name, or volume label syntax is incorrect."};
      case 206: return {206, L"The filename or extension is too long."};
      default: return FakeFileSystem::Error(code);
    }
  }

 private:
  // Without a trailing backslash, except at a root.
  static std::wstring Trimmed(std::wstring p) {
    while (p.size() > 3 && p.back() == L'\\') p.pop_back();
    if (p.size() == 2) p += L'\\';
    return p;
  }
  static std::wstring ParentKey(const std::wstring& key) {
    std::size_t cut = key.find_last_of(L'\\');
    return cut == 2 ? key.substr(0, 3) : key.substr(0, cut);
  }

  std::map<std::wstring, std::wstring> folders_;  // upper-case path -> path as made
};
