#include "folder/folder_lists.h"

#include <algorithm>
#include <cwctype>
#include <utility>

#include "platform/text.h"

namespace {

constexpr std::uint32_t kPathNotFound = 3;

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring DriveEntryText(const DriveInfo& drive) {
  std::wstring entry{static_cast<wchar_t>(std::towlower(drive.letter)), L':'};
  if (!drive.label.empty()) entry += L" [" + drive.label + L"]";
  return entry;
}

std::wstring ChildPath(const std::wstring& parent, const std::wstring& name) {
  return text::WithTrailingBackslash(parent) + name;
}

std::optional<DirectoryListing> ListDirectory(FolderSystem& folders, const std::wstring& path, FileError& error) {
  if (path.size() < 2 || !IsLetter(path[0]) || path[1] != L':' || (path.size() > 2 && path[2] != L'\\')) {
    error = folders.Error(kPathNotFound);
    return std::nullopt;
  }
  DirectoryListing listing;
  wchar_t drive = static_cast<wchar_t>(std::towupper(path[0]));
  listing.path = std::wstring{drive, L':', L'\\'};
  listing.entries.push_back({std::wstring{static_cast<wchar_t>(std::towlower(drive)), L':', L'\\'}, listing.path, 0,
                             true});
  // The steps below the root; doubled or trailing backslashes name nothing.
  std::size_t start = 3;
  while (start < path.size()) {
    std::size_t end = std::min(path.find(L'\\', start), path.size());
    if (end > start) {
      std::wstring name = path.substr(start, end - start);
      listing.path = ChildPath(listing.path, name);
      listing.entries.push_back({name, listing.path, static_cast<int>(listing.entries.size()), true});
    }
    start = end + 1;
  }
  listing.current = listing.entries.size() - 1;

  std::vector<std::wstring> names;
  if (!folders.ListFolders(listing.path, names, error)) return std::nullopt;
  std::vector<std::pair<std::wstring, std::wstring>> sorted;  // upper-case key, name
  sorted.reserve(names.size());
  for (std::wstring& name : names) sorted.emplace_back(text::UpperCase(name), std::move(name));
  std::sort(sorted.begin(), sorted.end());
  int indent = static_cast<int>(listing.entries.size());
  listing.entries.reserve(listing.entries.size() + sorted.size());
  for (auto& [key, name] : sorted) {
    std::wstring child = ChildPath(listing.path, name);
    listing.entries.push_back({std::move(name), std::move(child), indent, false});
  }
  return listing;
}
