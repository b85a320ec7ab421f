#include "folder/folder_lists.h"

#include <algorithm>
#include <cwctype>
#include <functional>

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
  // Sorted without case, names equal so by their own order: each name is
  // sorted as its upper-case key, made once (ten thousand names are common
  // enough), a NUL, which no name holds, and the name itself.
  for (std::wstring& name : names) {
    std::wstring key = text::UpperCase(name);
    key += L'\0';
    key += name;
    name = std::move(key);
  }
  SortBy(names, std::less<>());
  int indent = static_cast<int>(listing.entries.size());
  listing.entries.reserve(listing.entries.size() + names.size());
  for (std::wstring& name : names) {
    name.erase(0, name.find(L'\0') + 1);  // the key goes
    std::wstring child = ChildPath(listing.path, name);
    listing.entries.push_back({std::move(name), std::move(child), indent, false});
  }
  return true;
}
