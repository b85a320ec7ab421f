#include "platform/fakes/fake_file_system.h"

#include <algorithm>
#include <cwchar>

#include "platform/text.h"

namespace {

bool MatchesPattern(std::wstring_view name, std::wstring_view pattern) {
  if (pattern.empty()) return name.empty();
  if (pattern.front() == L'*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchesPattern(name.substr(skip), pattern.substr(1))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (pattern.front() != L'?' && pattern.front() != name.front()) return false;
  return MatchesPattern(name.substr(1), pattern.substr(1));
}

// Names Windows refuses in a path: control characters and the reserved
// punctuation (a colon only as the drive's).
bool InvalidName(const std::wstring& path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    wchar_t c = path[i];
    if (c < 32 || std::wstring_view(L"<>\"|?*").find(c) != std::wstring_view::npos) return true;
    if (c == L':' && i != 1) return true;
  }
  return false;
}

}  // namespace

// Both kinds of open file hold their place in the file system's table of
// open files until they are closed or destroyed, as a handle does.
class FakeInputFile : public InputFile {
 public:
  FakeInputFile(FakeFileSystem& fs, std::wstring path) : fs_(fs), path_(std::move(path)) {}
  ~FakeInputFile() override { fs_.Release(FakeFileSystem::Key(path_), false); }
  bool Read(std::span<std::byte> buffer, std::size_t& got, FileError& error) override {
    got = 0;
    if (fs_.Fails(FileOp::Read, path_, error)) return false;
    const FakeFileSystem::Node* node = fs_.Find(path_);
    if (!node) {
      error = FakeFileSystem::Error(6);
      return false;
    }
    std::size_t left = node->bytes.size() - std::min(position_, node->bytes.size());
    got = std::min({buffer.size(), left, fs_.readChunk});
    std::copy_n(reinterpret_cast<const std::byte*>(node->bytes.data()) + position_, got, buffer.data());
    position_ += got;
    return true;
  }
  std::uint64_t Size() const override {
    const FakeFileSystem::Node* node = fs_.Find(path_);
    return node ? node->bytes.size() : 0;
  }

 private:
  FakeFileSystem& fs_;
  std::wstring path_;
  std::size_t position_ = 0;
};

class FakeOutputFile : public OutputFile {
 public:
  FakeOutputFile(FakeFileSystem& fs, std::wstring path) : fs_(fs), path_(std::move(path)) {}
  ~FakeOutputFile() override { Release(); }
  bool Write(std::span<const std::byte> bytes, FileError& error) override {
    if (!open_) {
      error = FakeFileSystem::Error(6);
      return false;
    }
    if (fs_.Fails(FileOp::Write, path_, error)) return false;
    FakeFileSystem::Node* node = fs_.Find(path_);
    node->bytes.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
  }
  bool Close(FileError& error) override {
    // The handle is gone afterwards whether closing succeeded or not.
    bool failed = fs_.Fails(FileOp::Close, path_, error);
    Release();
    return !failed;
  }

 private:
  void Release() {
    if (open_) fs_.Release(FakeFileSystem::Key(path_), true);
    open_ = false;
  }

  FakeFileSystem& fs_;
  std::wstring path_;
  bool open_ = true;
};

FakeFileSystem::FakeFileSystem() {
  AddDrive(L'C');
  AddDirectory(L"C:\\");
}

FileError FakeFileSystem::Error(std::uint32_t code) {
  switch (code) {
    case 2: return {2, L"The system cannot find the file specified."};
    case 3: return {3, L"The system cannot find the path specified."};
    case 5: return {5, L"Access is denied."};
    case 6: return {6, L"The handle is invalid."};
    case 32: return {32, L"The process cannot access the file because it is being used by another process."};
    case 33: return {33, L"The process cannot access the file because another process has locked a portion of the file."};
    case 21: return {21, L"The device is not ready."};
    case 87: return {87, L"The parameter is incorrect."};
    case 112: return {112, L"There is not enough space on the disk."};
    case 123: return {123, L"The filename, directory name, or volume label syntax is incorrect."};
    case 145: return {145, L"The directory is not empty."};
    case 183: return {183, L"Cannot create a file when that file already exists."};
    case 206: return {206, L"The filename or extension is too long."};
    case 4395: return {4395, L"The object manager encountered a reparse point while retrieving an object."};
    default: return {code, L"Unknown error."};
  }
}

std::wstring FakeFileSystem::Key(const std::wstring& path) {
  std::wstring key = text::UpperCase(path);
  while (key.size() > 3 && key.back() == L'\\') key.pop_back();
  return key;
}

// A file's name never ends in a backslash: Windows refuses "C:\dir\a.txt\"
// even when C:\dir\a.txt exists.
bool FakeFileSystem::NamesAFile(const std::wstring& path) { return !path.empty() && path.back() != L'\\'; }

bool FakeFileSystem::IsOpen(const std::wstring& path) const { return open_.contains(Key(path)); }

void FakeFileSystem::Release(const std::wstring& key, bool writer) {
  auto it = open_.find(key);
  if (it == open_.end()) return;
  (writer ? it->second.writers : it->second.readers) -= 1;
  if (it->second.readers <= 0 && it->second.writers <= 0) open_.erase(it);
}

std::wstring FakeFileSystem::Parent(const std::wstring& key) {
  std::size_t slash = key.find_last_of(L'\\');
  if (slash == std::wstring::npos || key.size() <= 3) return {};
  return slash == 2 ? key.substr(0, 3) : key.substr(0, slash);
}

bool FakeFileSystem::Fails(FileOp op, const std::wstring& path, FileError& error) const {
  if (!failWhen) return false;
  std::optional<FileError> failure = failWhen(op, path);
  if (!failure) return false;
  error = *failure;
  return true;
}

std::wstring FakeFileSystem::Followed(const std::wstring& key) const {
  for (std::size_t slash = key.find(L'\\', 3); slash != std::wstring::npos; slash = key.find(L'\\', slash + 1)) {
    auto it = linkTargets_.find(key.substr(0, slash));
    if (it != linkTargets_.end()) return Followed(Key(it->second) + key.substr(slash));
  }
  return key;
}

bool FakeFileSystem::ReachedThroughLink(const std::wstring& path) const {
  std::wstring key = Key(path);
  if (Followed(key) != key) return true;
  // A link made so by its attributes alone leads nowhere else, but is one.
  for (; !key.empty(); key = Parent(key)) {
    const Node* node = Find(key);
    if (node && node->attributes.link) return true;
  }
  return false;
}

FakeFileSystem::Node* FakeFileSystem::Find(const std::wstring& path) {
  auto it = nodes_.find(Followed(Key(path)));
  return it == nodes_.end() ? nullptr : &it->second;
}

const FakeFileSystem::Node* FakeFileSystem::Find(const std::wstring& path) const {
  auto it = nodes_.find(Followed(Key(path)));
  return it == nodes_.end() ? nullptr : &it->second;
}

bool FakeFileSystem::HasChildren(const std::wstring& key) const {
  for (const auto& [k, node] : nodes_) {
    if (k != key && Parent(k) == key) return true;
  }
  return false;
}

void FakeFileSystem::AddDrive(wchar_t letter) {
  wchar_t upper = static_cast<wchar_t>(text::UpperCase(std::wstring(1, letter))[0]);
  drives_.insert(upper);
  std::wstring root = std::wstring(1, upper) + L":\\";
  nodes_[root] = Node{root, true, {}, {}};
}

void FakeFileSystem::AddDirectory(const std::wstring& path) {
  std::wstring key = Key(path);
  std::wstring parent = Parent(key);
  if (!parent.empty() && !Find(parent)) AddDirectory(path.substr(0, parent.size()));
  if (!Find(key)) {
    std::wstring name = path;
    while (name.size() > 3 && name.back() == L'\\') name.pop_back();
    nodes_[key] = Node{name, true, {}, {}};
  }
}

void FakeFileSystem::AddFile(const std::wstring& path, const std::string& bytes, FakeAttributes attributes) {
  std::wstring parent = Parent(Key(path));
  if (!parent.empty()) AddDirectory(path.substr(0, parent.size()));
  nodes_[Key(path)] = Node{path, false, bytes, attributes};
}

void FakeFileSystem::SetAttributes(const std::wstring& path, FakeAttributes attributes) {
  if (Node* node = Find(path)) node->attributes = attributes;
}

void FakeFileSystem::MakeFolderLink(const std::wstring& path, const std::wstring& target) {
  std::wstring key = Key(path);
  std::erase_if(nodes_, [&](const auto& entry) { return entry.first.starts_with(key + L"\\"); });
  nodes_[key] = Node{path, true, {}, {.link = true}};
  linkTargets_[key] = target;
}

void FakeFileSystem::SetShortName(const std::wstring& path, const std::wstring& shortName) {
  shortNames_[Key(path)] = shortName;
}

bool FakeFileSystem::Exists(const std::wstring& path) const { return Find(path) != nullptr; }

bool FakeFileSystem::IsDirectory(const std::wstring& path) const {
  const Node* node = Find(path);
  return node && node->directory;
}

std::optional<std::string> FakeFileSystem::Contents(const std::wstring& path) const {
  const Node* node = Find(path);
  if (!node || node->directory) return std::nullopt;
  return node->bytes;
}

std::wstring FakeFileSystem::StoredName(const std::wstring& path) const {
  const Node* node = Find(path);
  return node ? node->name : std::wstring();
}

std::vector<std::wstring> FakeFileSystem::List(const std::wstring& directory) const {
  std::wstring prefix = Key(directory);
  if (prefix.back() != L'\\') prefix.push_back(L'\\');
  std::vector<std::wstring> out;
  for (const auto& [key, node] : nodes_) {
    if (key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0) out.push_back(node.name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::unique_ptr<InputFile> FakeFileSystem::OpenForReading(const std::wstring& path, FileError& error) {
  if (Fails(FileOp::Open, path, error)) return nullptr;
  const Node* node = Find(path);
  if (!node) {
    error = Error(Find(Parent(Key(path))) ? 2 : 3);
    return nullptr;
  }
  if (node->directory) {
    error = Error(5);
    return nullptr;
  }
  if (!NamesAFile(path)) {
    error = Error(123);
    return nullptr;
  }
  // Readers let others read; a writer that is open keeps them out.
  if (IsOpen(path) && open_.at(Key(path)).writers > 0) {
    error = Error(32);
    return nullptr;
  }
  open_[Key(path)].readers += 1;
  return std::make_unique<FakeInputFile>(*this, path);
}

std::unique_ptr<InputFile> FakeFileSystem::OpenPlainForReading(const std::wstring& path, FileError& error) {
  if (Find(path) && ReachedThroughLink(path)) {
    error = Error(kErrorReachedThroughLink);
    return nullptr;
  }
  return OpenForReading(path, error);
}

std::unique_ptr<InputFile> FakeFileSystem::OpenFileInFolder(const std::wstring& folder, const std::wstring& name,
                                                            FileError& error) {
  // The folder may be reached through a link; the file may not be one.
  const Node* node = Find(folder + name);
  if (node && node->attributes.link) {
    error = Error(kErrorReachedThroughLink);
    return nullptr;
  }
  return OpenForReading(folder + name, error);
}

bool FakeFileSystem::FreeSpace(const std::wstring& root, std::uint64_t& bytes, FileError& error) {
  wchar_t drive = root.size() >= 2 && root[1] == L':' ? text::UpperCase(root.substr(0, 1))[0] : L'\0';
  if (!drives_.contains(drive)) {
    error = Error(3);
    return false;
  }
  if (notReady.contains(drive)) {
    error = Error(21);
    return false;
  }
  auto it = freeBytes.find(drive);
  bytes = it == freeBytes.end() ? 1ull << 40 : it->second;
  return true;
}

bool FakeFileSystem::SetAsideInUseFile(const std::wstring& path, FileError& error) {
  if (Fails(FileOp::Rename, path, error)) return false;
  const Node* node = Find(path);
  if (!node || node->directory || ReachedThroughLink(path)) {
    error = Error(node ? kErrorReachedThroughLink : 2);
    return false;
  }
  // A running program's file can be moved, though not deleted.
  setAside.push_back(node->name);
  nodes_.erase(Key(node->name));
  return true;
}

std::unique_ptr<OutputFile> FakeFileSystem::CreateForWriting(const std::wstring& path, UsersMay users,
                                                             FileError& error) {
  if (Fails(FileOp::Create, path, error)) return nullptr;
  if (ReachedThroughLink(path)) {
    error = Error(kErrorReachedThroughLink);
    return nullptr;
  }
  if (path.size() >= kMaxPath || InvalidName(path) || !NamesAFile(path)) {
    error = Error(path.size() >= kMaxPath ? kErrorFilenameExcedRange : 123);
    return nullptr;
  }
  std::wstring key = Key(path);
  const Node* parent = Find(Parent(key));
  if (!parent || !parent->directory) {
    error = Error(3);
    return nullptr;
  }
  if (Node* node = Find(path)) {
    if (node->directory || node->attributes.readOnly) {
      error = Error(5);
      return nullptr;
    }
    if (IsOpen(path)) {  // no open file shares writing
      error = Error(32);
      return nullptr;
    }
    node->bytes.clear();  // truncated; its name keeps the case it had
  } else {
    nodes_[key] = Node{path, false, {}, {}};
  }
  protectedFiles[path] = users;
  open_[key].writers += 1;
  return std::make_unique<FakeOutputFile>(*this, path);
}

bool FakeFileSystem::RenameFile(const std::wstring& from, const std::wstring& to, FileError& error) {
  if (Fails(FileOp::Rename, from, error)) return false;
  if (!NamesAFile(from) || !NamesAFile(to)) {
    error = Error(123);
    return false;
  }
  Node* node = Find(from);
  if (!node) {
    error = Error(Find(Parent(Key(from))) ? 2 : 3);
    return false;
  }
  if (IsOpen(from)) {  // no open file shares deletion, which a rename needs
    error = Error(32);
    return false;
  }
  if (Key(from) != Key(to) && Find(to)) {
    error = Error(183);
    return false;
  }
  if (!Find(Parent(Key(to)))) {
    error = Error(3);
    return false;
  }
  Node moved = *node;
  moved.name = to;
  nodes_.erase(Key(from));
  nodes_[Key(to)] = moved;
  return true;
}

bool FakeFileSystem::RemoveFile(const std::wstring& path) {
  FileError error;
  return !Fails(FileOp::Remove, path, error) && Unlink(path);
}

bool FakeFileSystem::Unlink(const std::wstring& path) {
  Node* node = Find(path);
  if (!node || node->directory || node->attributes.readOnly || !NamesAFile(path) || IsOpen(path)) return false;
  nodes_.erase(Key(node->name));
  return true;
}

bool FakeFileSystem::EmptyPlainFile(const std::wstring& path, UsersMay users, FileError& error) {
  std::unique_ptr<OutputFile> file = CreateForWriting(path, users, error);
  return file && file->Close(error);
}

bool FakeFileSystem::RemovePlainFile(const std::wstring& path, FileError& error) {
  // Opened first, then checked through the handle: a link swapped in before
  // the open is seen, whenever it came.
  if (Fails(FileOp::Remove, path, error)) return false;
  if (ReachedThroughLink(path)) {
    error = Error(kErrorReachedThroughLink);
    return false;
  }
  const Node* node = Find(path);
  if (!node || node->directory || !NamesAFile(path)) {
    error = Error(node ? 5 : 2);
    return false;
  }
  if (IsOpen(path)) {
    error = Error(32);
    return false;
  }
  if (node->attributes.readOnly) {
    error = Error(5);
    return false;
  }
  return Unlink(path);
}

DriveKind FakeFileSystem::KindOfDrive(const std::wstring& root) {
  if (root.starts_with(L"\\\\")) return DriveKind::Network;
  auto kind = root.empty() ? driveKinds.end() : driveKinds.find(text::UpperCase(root.substr(0, 1))[0]);
  return kind == driveKinds.end() ? DriveKind::Fixed : kind->second;
}

FolderSecurity FakeFileSystem::SafeOnTheWay(const FolderSecurity& before) {
  using enum Trustee;
  constexpr std::uint32_t kDangerous = rights::kDelete | rights::kDeleteChild | rights::kWriteDac | rights::kWriteOwner;
  FolderSecurity safe{.result = FolderRead::Read, .link = false, .owner = Administrators};
  safe.entries = {{System, true, rights::kFileAllAccess},
                  {Administrators, true, rights::kFileAllAccess},
                  {Other, true, rights::kFileReadAndExecute},   // Users
                  {Other, true, rights::kAddSubdirectory},      // Authenticated Users: make folders
                  {Other, true, 0x1301BF, true}};               // ... and change what they make
  for (const AccessEntry& entry : before.entries) {
    if (entry.trustee != CurrentUser || !entry.allow) continue;
    std::uint32_t rights = entry.rights & rights::kGenericAll ? rights::kFileAllAccess : entry.rights;
    safe.entries.push_back({CurrentUser, true, rights & ~kDangerous, false});
  }
  return safe;
}

bool FakeFileSystem::MakeSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before,
                              FileError& error) {
  if (Fails(FileOp::Permit, path, error)) return false;
  const Node* node = Find(path);
  if (!node || !node->directory || node->attributes.link || ReachedThroughLink(path)) {
    error = Error(node ? kErrorReachedThroughLink : 3);
    return false;
  }
  FolderSecurity current = ReadFolderSecurity(path);
  before.descriptor = {static_cast<std::uint8_t>(saved_.size())};
  saved_.push_back(current);
  if (rule == SafeRule::OnTheWay) {
    security_[Key(path)] = SafeOnTheWay(current);
  } else {
    FolderSecurity safe = ProtectedFolder();
    if (users == UsersMay::Modify) safe.entries.back().rights = 0x1301BF;
    security_[Key(path)] = safe;
  }
  return true;
}

bool FakeFileSystem::RestoreSecurity(const std::wstring& path, const SecurityBackup& before, FileError& error) {
  if (Fails(FileOp::Permit, path, error)) return false;
  if (before.descriptor.size() != 1 || before.descriptor[0] >= saved_.size() || !Find(path)) {
    error = Error(87);
    return false;
  }
  security_[Key(path)] = saved_[before.descriptor[0]];
  return true;
}

std::wstring FakeFileSystem::MakeWorkFolder(FileError& error) {
  AddDirectory(workFolderParent);
  for (int n = 1; n < 100; ++n) {
    std::wstring folder = workFolderParent + L"Morvane Setup " + std::to_wstring(n);
    if (MakeProtectedDirectory(folder, UsersMay::ReadAndExecute, error)) return folder + L"\\";
    if (error.code != 183) break;
  }
  return {};
}

std::wstring FakeFileSystem::MakeKitFolder(FileError& error) {
  AddDirectory(workFolderParent);
  for (int n = 1; n < 100; ++n) {
    wchar_t number[9];
    std::swprintf(number, 9, L"%08X", n);
    std::wstring folder = workFolderParent + kKitFolderName + number;
    if (MakeProtectedDirectory(folder, UsersMay::ReadAndExecute, error)) return folder + L"\\";
    if (error.code != 183) break;
  }
  return {};
}

std::vector<FoundFile> FakeFileSystem::FindFiles(const std::wstring& pattern) {
  std::vector<FoundFile> found;
  FileError error;
  if (Fails(FileOp::List, pattern, error)) return found;
  std::size_t slash = pattern.find_last_of(L'\\');
  if (slash == std::wstring::npos) return found;
  std::wstring directory = Key(pattern.substr(0, slash + 1));
  std::wstring namePattern = text::UpperCase(pattern.substr(slash + 1));
  for (const auto& [key, node] : nodes_) {
    if (key.size() <= 3 || Parent(key) != directory) continue;
    std::wstring name = node.name.substr(node.name.find_last_of(L'\\') + 1);
    auto alias = shortNames_.find(key);
    std::wstring shortName = alias == shortNames_.end() ? std::wstring() : alias->second;
    bool matches = MatchesPattern(text::UpperCase(name), namePattern) ||
                   (!shortName.empty() && MatchesPattern(text::UpperCase(shortName), namePattern));
    if (!matches) continue;
    found.push_back(FoundFile{name, node.bytes.size(), node.directory, node.attributes.hidden,
                              node.attributes.system});
  }
  return found;
}

bool FakeFileSystem::MakeDirectory(const std::wstring& path, FileError* error) {
  FileError ignored;
  FileError& failure = error ? *error : ignored;
  if (Fails(FileOp::MakeDirectory, path, failure)) return false;
  if (path.size() > kMaxDirectoryPath || InvalidName(path)) {
    failure = Error(path.size() > kMaxDirectoryPath ? 206 : 123);
    return false;
  }
  std::wstring key = Key(path);
  if (Find(key)) {  // exists already, drive roots included
    failure = Error(183);
    return false;
  }
  const Node* parent = Find(Parent(key));
  if (!parent || !parent->directory) {
    failure = Error(3);
    return false;
  }
  std::wstring name = path;
  while (name.size() > 3 && name.back() == L'\\') name.pop_back();
  // Made where a link on the way leads, as the system's call makes it.
  if (Followed(key) != key) name = key = Followed(key);
  nodes_[key] = Node{name, true, {}, {}};
  return true;
}

bool FakeFileSystem::RemoveEmptyDirectory(const std::wstring& path, FileError& error) {
  if (Fails(FileOp::RemoveDirectory, path, error)) return false;
  std::wstring key = Key(path);
  const Node* node = Find(key);
  if (node && ReachedThroughLink(key)) {
    error = Error(kErrorReachedThroughLink);
    return false;
  }
  if (!node || !node->directory || HasChildren(key) || key.size() <= 3) {
    error = Error(node ? 145 : 2);
    return false;
  }
  nodes_.erase(key);
  return true;
}

bool FakeFileSystem::IsOrdinaryFile(const std::wstring& path) {
  FileError error;
  if (Fails(FileOp::List, path, error)) return false;
  if (path.find_first_of(L"*?") != std::wstring::npos || !NamesAFile(path)) return false;
  const Node* node = Find(path);
  return node && !node->directory && !node->attributes.hidden && !node->attributes.system;
}

bool FakeFileSystem::IsLink(const std::wstring& path) {
  const Node* node = Find(path);
  return node && node->attributes.link;
}

void FakeFileSystem::SetSecurity(const std::wstring& path, FolderSecurity security) {
  security_[Key(path)] = std::move(security);
}

FolderSecurity FakeFileSystem::SystemDriveRoot() {
  using enum Trustee;
  return FolderSecurity{
      .result = FolderRead::Read,
      .owner = TrustedInstaller,
      .entries = {{Administrators, true, rights::kFileAllAccess},
                  {System, true, rights::kFileAllAccess},
                  {Other, true, rights::kFileReadAndExecute},                // Users
                  {Other, true, 0x1301BF, true},                             // Authenticated Users: modify what they make
                  {Other, true, rights::kAddSubdirectory}},                  // Authenticated Users: make folders
  };
}

FolderSecurity FakeFileSystem::ProtectedFolder() {
  using enum Trustee;
  return FolderSecurity{
      .result = FolderRead::Read,
      .owner = Administrators,
      .entries = {{System, true, rights::kFileAllAccess},
                  {Administrators, true, rights::kFileAllAccess},
                  {Other, true, rights::kFileReadAndExecute}},
  };
}

FolderSecurity FakeFileSystem::ReadFolderSecurity(const std::wstring& path) {
  const Node* node = Find(path);
  if (!node) return {};
  std::wstring key = Key(path);
  auto root = security_.find(key.substr(0, 3));
  if (root != security_.end() && root->second.result == FolderRead::NoAccessLists) return root->second;
  auto own = security_.find(key);
  FolderSecurity security = own != security_.end() ? own->second : key.size() <= 3 ? SystemDriveRoot() : ProtectedFolder();
  security.link = security.link || ReachedThroughLink(key);
  return security;
}

bool FakeFileSystem::ChangeDrive(wchar_t letter) {
  std::wstring upper = text::UpperCase(std::wstring(1, letter));
  if (!drives_.contains(upper[0])) return false;
  currentDrive_ = upper[0];
  return true;
}

bool FakeFileSystem::MakeProtectedDirectory(const std::wstring& path, UsersMay users, FileError& error) {
  std::wstring parent = Parent(Key(path));
  if (Find(parent) && ReachedThroughLink(parent)) {
    error = Error(kErrorReachedThroughLink);
    return false;
  }
  if (!MakeDirectory(path, &error)) return false;
  protectedFolders[path] = users;
  return true;
}

void FakeFileSystem::AddShortName(const std::wstring& shortPath, const std::wstring& longPath) {
  shortPaths_[Key(shortPath)] = longPath;
}

bool FakeFileSystem::SameFolder(const std::wstring& a, const std::wstring& b) {
  std::wstring longA = LongForm(a), longB = LongForm(b);
  return !longA.empty() && IsDirectory(longA) && Key(longA) == Key(longB);
}

std::wstring FakeFileSystem::LongForm(const std::wstring& path) {
  // Drive paths only, as the tests use them: separators unified, "." and
  // ".." resolved, then the longest known short alias expanded.
  std::wstring unified = path;
  std::replace(unified.begin(), unified.end(), L'/', L'\\');
  if (unified.size() < 3 || unified[1] != L':' || unified[2] != L'\\') return {};
  std::vector<std::wstring> parts;
  for (std::size_t at = 3; at <= unified.size();) {
    std::size_t end = std::min(unified.find(L'\\', at), unified.size());
    std::wstring part = unified.substr(at, end - at);
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  std::wstring full = unified.substr(0, 3);
  for (std::size_t i = 0; i < parts.size(); ++i) full += (i ? L"\\" : L"") + parts[i];
  if (text::EndsWithBackslash(unified) && !parts.empty()) full += L'\\';
  for (const auto& [alias, longPath] : shortPaths_) {
    if (Key(full).starts_with(alias) && (Key(full).size() == alias.size() || full[alias.size()] == L'\\')) {
      return longPath + full.substr(alias.size());
    }
  }
  return full;
}
