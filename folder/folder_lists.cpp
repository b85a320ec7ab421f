#include "folder/folder_lists.h"

#include <algorithm>
#include <cwctype>

#include "platform/sort.h"
#include "platform/text.h"

namespace {

constexpr std::uint32_t kPathNotFound = 3;

}  // namespace

std::wstring DriveEntryText(const DriveInfo& drive) {
  const wchar_t letter[] = {static_cast<wchar_t>(std::towlower(drive.letter)), L':'};
  std::wstring_view entry(letter, 2);
  return drive.label.empty() ? std::wstring(entry) : text::Concat({entry, " [", drive.label, "]"});
}

std::wstring ChildPath(const std::wstring& parent, const std::wstring& name) {
  return text::WithTrailingBackslash(parent) + name;
}

bool ListDirectory(FolderSystem& folders, const std::wstring& path, DirectoryListing& listing, FileError& error) {
  if (path.size() < 2 || !text::IsDriveLetter(path[0]) || path[1] != L':' || (path.size() > 2 && path[2] != L'\\')) {
    error = folders.Error(kPathNotFound);
    return false;
  }
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
  if (!folders.ListFolders(listing.path, names, error)) return false;
  // Sorted by upper-case keys made once each, through an order of indices
  // (ten thousand names are common enough).
  std::vector<std::wstring> keys;
  keys.reserve(names.size());
  for (const std::wstring& name : names) keys.push_back(text::UpperCase(name));
  std::vector<std::size_t> order(names.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  SortBy(order, [&](std::size_t a, std::size_t b) {
    int byKey = keys[a].compare(keys[b]);
    return byKey != 0 ? byKey < 0 : names[a] < names[b];
  });
  int indent = static_cast<int>(listing.entries.size());
  listing.entries.reserve(listing.entries.size() + names.size());
  for (std::size_t i : order) {
    std::wstring child = ChildPath(listing.path, names[i]);
    listing.entries.push_back({std::move(names[i]), std::move(child), indent, false});
  }
  return true;
}
