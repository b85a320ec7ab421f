#include "folder/frm_folder.h"

#include <algorithm>
#include <cwctype>

#include "folder/folder_texts.h"

namespace {

constexpr std::uint32_t kInvalidName = 123;  // ERROR_INVALID_NAME

// The answer names one folder inside P: nothing that reaches another folder
// or another drive. Windows drops a blank or a dot at the end of a name, so
// the folder made would not be the path put into Text1.
bool IsSingleName(const std::wstring& name) {
  return name.find_first_of(L"\\/:") == std::wstring::npos && name.back() != L' ' && name.back() != L'.';
}

wchar_t DriveOf(const std::wstring& path) {
  return path.size() >= 2 && path[1] == L':' ? static_cast<wchar_t>(std::towupper(path[0])) : 0;
}

}  // namespace

frmFolder::frmFolder(FolderFormControls& controls, FolderServices services)
    : controls_(controls), services_(services) {}

void frmFolder::Form_Load() {
  drives_ = services_.folders.Drives();
  std::wstring current = services_.folders.CurrentDirectory();
  wchar_t drive = DriveOf(current);
  wchar_t letter = drive ? drive : L'C';  // a network path as current directory: start on C:
  controls_.ShowDrives(drives_, -1);
  SelectDrive(letter);
  controls_.SetText(L"");
  if (drive && OpenDirectory(current)) return;
  ChangeDrive(letter, true);
}

void frmFolder::SelectDrive(wchar_t letter) {
  // The drives are in letter order: the letter's place is its entry's, if listed.
  std::size_t at = 0;
  while (at < drives_.size() && drives_[at].letter < letter) ++at;
  if (at < drives_.size() && drives_[at].letter == letter) {
    controls_.SelectDrive(static_cast<int>(at));
    return;
  }
  // A drive the system did not list (it went away meanwhile): the list
  // still shows where the directory list is, in its letter's place.
  drives_.insert(drives_.begin() + static_cast<std::ptrdiff_t>(at), DriveInfo{letter, {}});
  controls_.ShowDrives(drives_, static_cast<int>(at));
}

bool frmFolder::OpenDirectory(const std::wstring& path, const std::wstring* select) {
  FileError error;
  DirectoryListing listing;
  if (!ListDirectory(services_.folders, path, listing, error)) return false;
  listing_ = std::move(listing);
  std::size_t selected = listing_.current;
  for (std::size_t i = 0; select && i < listing_.entries.size(); ++i) {
    if (listing_.entries[i].path == *select) {
      selected = i;
      break;
    }
  }
  controls_.ShowDirectories(listing_.entries, static_cast<int>(selected));
  return true;
}

void frmFolder::ChangeDrive(wchar_t letter, bool fallback) {
  SelectDrive(letter);
  if (OpenDirectory(services_.folders.DriveDirectory(letter))) return;
  if (!fallback) {
    // Not even C: can be read: the directory list stays where it was, and
    // the drive list goes back to its drive.
    if (wchar_t shown = DriveOf(listing_.path)) SelectDrive(shown);
    return;
  }
  OpenDirectory(L"C:\\");
  ChangeDrive(L'C', false);  // what choosing C: in the drive list raises
  services_.messages.Show(texts::kDriveNotReady, mb::kInformation | mb::kOkOnly);
  ChangeDrive(L'C', false);
}

void frmFolder::Drive1_Change(int index) {
  if (index < 0 || index >= static_cast<int>(drives_.size())) return;
  ChangeDrive(drives_[static_cast<std::size_t>(index)].letter, true);
}

const DirectoryEntry* frmFolder::SelectedEntry() const {
  int index = controls_.SelectedDirectory();
  if (index < 0 || index >= static_cast<int>(listing_.entries.size())) return nullptr;
  return &listing_.entries[static_cast<std::size_t>(index)];
}

void frmFolder::Dir1_Click() {
  if (const DirectoryEntry* entry = SelectedEntry()) controls_.SetText(entry->path);
}

void frmFolder::Dir1_Open() {
  // A folder that cannot be opened leaves the list as it was.
  if (const DirectoryEntry* entry = SelectedEntry()) OpenDirectory(entry->path);
}

// Out of line: its texts would push the window's message handler's locals
// beyond one-byte offsets.
[[gnu::noinline]] void frmFolder::Command1_Click() {
  const std::wstring parent = listing_.path;
  // No folder could ever be listed: a name alone would land in the root of
  // whatever drive is current.
  if (parent.empty()) return;
  std::optional<std::wstring> answer =
      services_.input.Ask(texts::kCreateFolderTitle, text::Concat({texts::kCreateFolderPrompt, parent}));
  if (!answer || answer->empty()) return;
  std::wstring path = ChildPath(parent, *answer);
  bool single = IsSingleName(*answer);
  FileError error = single ? FileError{} : services_.folders.Error(kInvalidName);
  if (!single || !services_.folders.MakeDirectory(path, error)) {
    services_.messages.Show(text::Concat({texts::kCreateFolderFailed, path, "\r\n\r\n", error.description}),
                            mb::kCritical | mb::kOkOnly);
    return;
  }
  // The list stays on P and shows the new folder selected.
  OpenDirectory(parent, &path);
  controls_.SetText(path);
}

void frmFolder::Command2_Click() {
  services_.setTarget(controls_.Text());
  controls_.Hide();
}

void frmFolder::Command3_Click() { controls_.Hide(); }
