#include "platform/win/file_system_win.h"

#include <windows.h>
#include <aclapi.h>

#include <algorithm>
#include <vector>

#include "platform/text.h"
#include "platform/win/access_lists_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/plain_file_win.h"
#include "platform/win/private_folder_win.h"
#include "platform/win/text_win.h"

namespace {

constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The thread's last error, with the system's text for it, into error.
void TakeLastError(FileError& error) {
  DWORD code = GetLastError();
  error.code = code;
  error.description = text::SystemMessage(code);
}

class InputFileWin : public InputFile {
 public:
  explicit InputFileWin(UniqueKernelHandle file) : file_(std::move(file)) {}
  bool Read(std::span<std::byte> buffer, std::size_t& got, FileError& error) override {
    DWORD read = 0;
    got = 0;
    if (!ReadFile(file_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
      TakeLastError(error);
      return false;
    }
    got = read;
    return true;
  }
  std::uint64_t Size() const override { return size_; }

 private:
  UniqueKernelHandle file_;
  std::uint64_t size_ = [this] {
    // Read with the file's other standard facts, as the plain-file check reads them.
    FILE_STANDARD_INFO standard;
    return GetFileInformationByHandleEx(file_.get(), FileStandardInfo, &standard, sizeof standard)
               ? static_cast<std::uint64_t>(standard.EndOfFile.QuadPart)
               : 0;
  }();
};

class OutputFileWin : public OutputFile {
 public:
  explicit OutputFileWin(UniqueKernelHandle file) : file_(std::move(file)) {}
  bool Write(std::span<const std::byte> bytes, FileError& error) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      if (!WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        TakeLastError(error);
        return false;
      }
      bytes = bytes.subspan(written);
    }
    return true;
  }
  bool Close(FileError& error) override {
    if (!CloseHandle(file_.release())) {
      TakeLastError(error);
      return false;
    }
    return true;
  }

 private:
  UniqueKernelHandle file_;
};

// The folder path names, without the backslash a caller may end it with
// (the final path of a folder has none), a drive root as it is.
std::wstring FolderPath(const std::wstring& path) {
  return path.size() > 3 && text::EndsWithBackslash(path) ? std::wstring(path.data(), path.size() - 1) : path;
}

// The folder at exactly folder (FolderPath), opened for access with the
// given sharing: no link in its place or on its way. Else none, with the
// last error saying why (kErrorReparsePointEncountered for a link).
UniqueKernelHandle OpenPlainFolder(const std::wstring& folder, DWORD access, DWORD share) {
  UniqueKernelHandle opened(CreateFileW(folder.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (opened && !(GetFileInformationByHandle(opened.get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                  LiesWhereItSays(opened.get(), folder.c_str()))) {
    opened.Reset();
    SetLastError(kErrorReparsePointEncountered);
  }
  return opened;
}

// A file search takes these as a pattern, not as a name.
bool HasWildcard(std::wstring_view name) {
  return name.find(L'*') != std::wstring_view::npos || name.find(L'?') != std::wstring_view::npos;
}

// The first entry a search for pattern finds: FindFirstFileW as the system
// defines it, through the call the folder listing uses too.
HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& found) {
  return FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &found, FindExSearchNameMatch, nullptr, 0);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool TooLong(const std::wstring& path, std::size_t limit, FileError* error = nullptr) {
  if (path.size() < limit) return false;
  SetLastError(kErrorFilenameExcedRange);
  if (error) TakeLastError(*error);
  return true;
}

}  // namespace

namespace {

// A file opened for reading handed out as such, or none with the reason why.
std::unique_ptr<InputFile> Reader(HANDLE opened, FileError& error) {
  UniqueKernelHandle file(opened);
  if (!file) {
    TakeLastError(error);
    return nullptr;
  }
  return std::make_unique<InputFileWin>(std::move(file));
}

}  // namespace

std::unique_ptr<InputFile> FileSystemWin::OpenForReading(const std::wstring& path, FileError& error) {
  if (TooLong(path, kMaxPath, &error)) return nullptr;
  return Reader(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr),
                error);
}

std::unique_ptr<InputFile> FileSystemWin::OpenPlainForReading(const std::wstring& path, FileError& error) {
  if (TooLong(path, kMaxPath, &error)) return nullptr;
  return Reader(OpenPlainFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, false), error);
}

std::unique_ptr<InputFile> FileSystemWin::OpenFileInFolder(const std::wstring& folder, const std::wstring& name,
                                                           FileError& error) {
  std::wstring path = folder + name;
  if (TooLong(path, kMaxPath, &error)) return nullptr;
  // The folder as its path leads, held so that it is not swapped meanwhile;
  // the file is then judged against that folder's real place.
  UniqueKernelHandle held(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return Reader(held ? OpenPlainFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, false, held.get())
                     : INVALID_HANDLE_VALUE,
                error);
}

bool FileSystemWin::FreeSpace(const std::wstring& root, std::uint64_t& bytes, FileError& error) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr)) {
    TakeLastError(error);
    return false;
  }
  bytes = available.QuadPart;  // what this account may use, quotas counted
  return true;
}

namespace {

// The file behind handle (opened with DELETE) under a new full name, never
// over another file.
bool RenameThroughHandle(HANDLE handle, const std::wstring& to) {
  std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + (to.size() + 1) * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = FALSE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::copy(to.begin(), to.end(), rename->FileName);
  return SetFileInformationByHandle(handle, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != 0;
}

}  // namespace

bool FileSystemWin::SetAsideInUseFile(const std::wstring& path, FileError& error) {
  // Moved through the handle that was checked: the file at its own place,
  // never what a link there would lead to. A running program's file may be
  // renamed though not deleted.
  UniqueKernelHandle file(
      OpenPlainFile(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false));
  if (!file) {
    TakeLastError(error);
    return false;
  }
  // A rename stays on its drive: the work folder in the system's Temp when
  // the file lies on the system drive, else a folder of its own at the root
  // of the file's drive, as the system's own installer keeps one there.
  wchar_t volume[MAX_PATH], windows[MAX_PATH], systemVolume[MAX_PATH];
  UINT windowsLength = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  if (!GetVolumePathNameW(path.c_str(), volume, MAX_PATH) || windowsLength == 0 || windowsLength >= MAX_PATH ||
      !GetVolumePathNameW(windows, systemVolume, MAX_PATH)) {
    TakeLastError(error);
    return false;
  }
  bool onSystemVolume = text::EqualsIgnoringCase(volume, systemVolume);
  std::wstring folder = onSystemVolume
                            ? MakeWorkFolder(error)  // which remembers it as a work folder itself
                            : MakeFolderNamedAfter(text::WithTrailingBackslash(volume), L"Morvane Setup ", error);
  if (folder.empty()) return false;
  if (!onSystemVolume) workFolders_.push_back(folder);
  std::size_t name = path.find_last_of(L'\\') + 1;  // 0 without a backslash
  std::wstring parked = text::Concat({folder, std::wstring_view(path.data() + name, path.size() - name)});
  if (!RenameThroughHandle(file.get(), parked)) {
    TakeLastError(error);
    RemoveEmptyDirectory(folder);  // through its handle, as every folder the setup removes
    return false;
  }
  // The file first, then its emptied folder.
  MoveFileExW(parked.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  folder.resize(folder.size() - 1);  // without its trailing backslash
  MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return true;
}

std::unique_ptr<OutputFile> FileSystemWin::CreateForWriting(const std::wstring& path, UsersMay users,
                                                            FileError& error) {
  if (TooLong(path, kMaxPath, &error)) return nullptr;
  ProtectedDescriptor list(ProtectedFileSddl(users));
  // Opened where it is, never through a link planted in its place or on its
  // way (a user-made folder in a drive root target could be one), and
  // opened rather than created anew: creating over an existing hidden file
  // would be refused, truncating it is not. A new file has its list from
  // the start; one that was there gets it while this handle, which shares
  // no writing, keeps everyone else's writes out.
  constexpr DWORD kAccess = GENERIC_WRITE | READ_CONTROL | WRITE_DAC | WRITE_OWNER;
  bool created = false;
  UniqueKernelHandle file(list ? OpenPlainFile(path.c_str(), kAccess, FILE_SHARE_READ, true, nullptr, list.attributes(),
                                               &created)
                               : INVALID_HANDLE_VALUE);
  // A file that was there, which someone else owns or may re-permission,
  // may be held open by them with that right, which no new list takes
  // back: it goes, and is made anew. (Wine reads every file as the running
  // account's, so there every file that was there is made anew.) One made
  // just now, with its list, is no one else's; files users may change
  // anyway are kept.
  if (file && !created && users != UsersMay::Modify && !OnlyAdministratorsMayRepermission(file.get())) {
    file.Reset();
    UniqueKernelHandle earlier(
        OpenPlainFile(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false));
    // Moved aside under a name of its own first, so that the name is free at
    // once whoever holds the file, and the file comes back should the new one
    // fail; only then deleted (for good once its last holder lets go).
    wchar_t mark[16];
    wsprintfW(mark, L".%08lX~", UnguessableNumber());
    std::wstring aside = path + mark;
    if (earlier && RenameThroughHandle(earlier.get(), aside)) {
      file.Reset(CreateNewPlainFile(path.c_str(), kAccess, FILE_SHARE_READ, nullptr, list.attributes()));
      if (file) {
        DeleteThroughHandle(earlier.get());
      } else {
        DWORD code = GetLastError();
        RenameThroughHandle(earlier.get(), path);
        SetLastError(code);
      }
    }
    created = true;
  }
  DWORD status = file && !created ? SetSecurityInfo(file.get(), SE_FILE_OBJECT,
                                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                            PROTECTED_DACL_SECURITY_INFORMATION,
                                        list.owner(), nullptr, list.dacl(), nullptr)
                      : ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) {
    SetLastError(status);
    file.Reset();
  }
  if (!file || !SetEndOfFile(file.get())) {
    TakeLastError(error);
    return nullptr;
  }
  return std::make_unique<OutputFileWin>(std::move(file));
}

bool FileSystemWin::EmptyPlainFile(const std::wstring& path, UsersMay users, FileError& error) {
  std::unique_ptr<OutputFile> file = CreateForWriting(path, users, error);
  return file && file->Close(error);
}

bool FileSystemWin::RemovePlainFile(const std::wstring& path, FileError& error) {
  // Shared as DeleteFileW shares, so a file goes whenever it would have.
  UniqueKernelHandle file(
      OpenPlainFile(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false));
  if (file && DeleteThroughHandle(file.get())) return true;
  TakeLastError(error);
  return false;
}

DriveKind FileSystemWin::KindOfDrive(const std::wstring& root) {
  switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_FIXED:
    case DRIVE_RAMDISK:
      return DriveKind::Fixed;
    case DRIVE_REMOVABLE:
      return DriveKind::Removable;
    case DRIVE_REMOTE:
      return DriveKind::Network;
    case DRIVE_CDROM:
      return DriveKind::Optical;
    default:
      return DriveKind::Unknown;
  }
}

bool FileSystemWin::MakeSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before,
                             FileError& error) {
  if (!MakeFolderSafe(path, rule, users, before)) {
    TakeLastError(error);
    return false;
  }
  return true;
}

bool FileSystemWin::RestoreSecurity(const std::wstring& path, const SecurityBackup& before, FileError& error) {
  if (!RestoreFolderSecurity(path, before)) {
    TakeLastError(error);
    return false;
  }
  return true;
}

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::vector<FoundFile> FileSystemWin::FindFiles(const std::wstring& pattern) {
  std::vector<FoundFile> entries;
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(FindFirst(pattern, found));
  if (!search) return entries;
  do {
    if (IsDotEntry(found.cFileName)) continue;
    entries.push_back(FoundFile{
        .name = found.cFileName,
        .size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow,
        .directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
        .hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0,
        .system = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0,
    });
  } while (FindNextFileW(search.get(), &found));
  return entries;
}

bool FileSystemWin::MakeProtectedDirectory(const std::wstring& path, UsersMay users, FileError& error) {
  if (TooLong(path, kMaxDirectoryPath + 1, &error)) return false;
  std::wstring folder = FolderPath(path);
  std::size_t slash = folder.find_last_of(L'\\');
  // Up to its last backslash, which only a drive root keeps (FolderPath).
  std::wstring parent = slash == std::wstring::npos ? folder : std::wstring(folder.data(), slash > 2 ? slash : slash + 1);
  ProtectedDescriptor list(ProtectedFolderSddl(users));
  // The parent is held where it was found to be, with an access that takes
  // part in sharing and without sharing deletion: neither it nor a folder
  // above it can be renamed away and replaced by a link until the new folder
  // is made. The list is given at creation, so the folder never exists with
  // its parent's rights; never made without it: an open folder is worse
  // than none.
  UniqueKernelHandle held(list ? OpenPlainFolder(parent, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE)
                               : UniqueKernelHandle());
  if (held && CreateDirectoryW(folder.c_str(), list.attributes())) {
    // Checked once more where it landed; a folder made elsewhere goes again.
    UniqueKernelHandle made(CreateFileW(folder.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
    if (made && LiesWhereItSays(made.get(), folder.c_str())) return true;
    if (made) DeleteThroughHandle(made.get());
    SetLastError(kErrorReparsePointEncountered);
  }
  TakeLastError(error);
  return false;
}

std::wstring FileSystemWin::MakeWorkFolder(FileError& error) {
  std::wstring folder = MakeFolderNamedAfter(SystemTempFolder(), L"Morvane Setup ", error);
  if (!folder.empty()) workFolders_.push_back(folder);
  return folder;
}

void FileSystemWin::RemoveWorkFolders() {
  // Files set aside while in use stay until Windows deletes them at its next start, and their folder with them.
  for (const std::wstring& folder : workFolders_) {
    for (const FoundFile& found : FindFiles(folder + L"*")) {
      if (!found.directory) RemovePlainFile(folder + found.name);
    }
    RemoveEmptyDirectory(folder);
  }
  workFolders_.clear();
}

std::wstring FileSystemWin::MakeKitFolder(FileError& error) {
  return MakeFolderNamedAfter(SystemTempFolder(), kKitFolderName, error);
}

std::wstring FileSystemWin::MakeFolderNamedAfter(const std::wstring& folder, const wchar_t* name, FileError& error) {
  std::wstring made = folder.empty() ? folder : MakePrivateFolder(folder + name);
  if (made.empty()) TakeLastError(error);
  return made;
}

FolderSecurity FileSystemWin::ReadFolderSecurity(const std::wstring& path) { return ReadFolderSecurityWin(path); }

bool FileSystemWin::RemoveEmptyDirectory(const std::wstring& path, FileError& error) {
  // Deleted through the handle that was checked; a folder that still holds
  // anything refuses to be marked for deletion.
  UniqueKernelHandle folder = OpenPlainFolder(FolderPath(path), DELETE, kShareAll);
  if (folder && DeleteThroughHandle(folder.get())) return true;
  TakeLastError(error);
  return false;
}

bool FileSystemWin::IsOrdinaryFile(const std::wstring& path) {
  // The search below would take wildcards as a pattern; this test is for one
  // exact name only.
  if (path.empty() || HasWildcard(path) || text::EndsWithBackslash(path)) return false;
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(FindFirst(path, found));
  if (!search) return false;
  return !(found.dwFileAttributes & kNotOrdinary);
}

bool FileSystemWin::IsLink(const std::wstring& path) {
  if (HasWildcard(path)) return false;
  // The listing's entry tells the kind of reparse point; the attributes alone
  // would take a deduplicated folder for a link.
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(FindFirst(path, found));
  if (!search) {
    DWORD attributes = GetFileAttributesW(path.c_str());  // a drive root lists nothing of itself
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }
  return IsLinkReparsePoint(found.dwFileAttributes, found.dwReserved0);
}

bool FileSystemWin::ChangeDrive(wchar_t letter) {
  if (!text::IsDriveLetter(letter)) return false;
  // "D:" returns to the directory the process last used on that drive; if
  // that has gone, the drive's root will do.
  wchar_t drive[] = {letter, L':', L'\0', L'\0'};
  if (SetCurrentDirectoryW(drive)) return true;
  drive[2] = L'\\';
  return SetCurrentDirectoryW(drive) != 0;
}

bool FileSystemWin::SameFolder(const std::wstring& a, const std::wstring& b) {
  // Asked of the folders themselves: one volume and one file number is one
  // folder, whatever leads there.
  auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    UniqueKernelHandle folder(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return folder && GetFileInformationByHandle(folder.get(), &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  };
  BY_HANDLE_FILE_INFORMATION first, second;
  return identity(a, first) && identity(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

std::wstring FileSystemWin::LongForm(const std::wstring& path) {
  if (path.empty()) return {};
  DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::wstring full(needed, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return {};
  full.resize(length);
  // Walk down from the root and let the file search name each existing part
  // in full; stop at the first part that is not there (nothing below it can
  // have a short name), so a long made-up path costs one search.
  std::size_t start = full.find(L'\\');
  if (full.size() < 3 || full[1] != L':' || start != 2) return full;  // only drive paths have short names to expand
  std::wstring result(full.data(), 3);
  std::size_t at = 3;
  while (at < full.size()) {
    std::size_t end = std::min(full.find(L'\\', at), full.size());
    std::wstring_view part(full.data() + at, end - at);
    if (part.empty() || HasWildcard(part)) break;
    // Searched for as the long form so far and this part as written.
    std::size_t known = result.size();
    result += part;
    WIN32_FIND_DATAW found;
    UniqueFindHandle search(FindFirst(result, found));
    result.resize(known);
    if (!search) break;
    result += found.cFileName;
    at = end == full.size() ? end : end + 1;
    if (end != full.size()) result += L'\\';
  }
  result.append(full, std::min(at, full.size()));
  return result;
}

bool FileSystemWin::IsInUse(const std::wstring& path) {
  UniqueKernelHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}
