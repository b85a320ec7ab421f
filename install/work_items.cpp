#include "install/work_items.h"

#include <algorithm>
#include <array>

#include "install/registration_names.h"
#include "platform/modReg.h"
#include "platform/text.h"

namespace install {

using text::Concat;
namespace {

constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::int32_t kNotFound = 2;

bool CopyFile(FileSystem& files, const std::wstring& from, const std::wstring& to, UsersMay users, FileError& error) {
  std::unique_ptr<InputFile> source = files.OpenPlainForReading(from, error);
  if (!source) return false;
  std::unique_ptr<OutputFile> destination = files.CreateForWriting(to, users, error);
  return destination && !FailedCopy(*source, *destination, error);
}

// Whether the two plain files hold the same bytes; false when either cannot be read.
bool SameBytes(FileSystem& files, const std::wstring& a, const std::wstring& b) {
  FileError error;
  std::unique_ptr<InputFile> first = files.OpenPlainForReading(a, error);
  std::unique_ptr<InputFile> second = first ? files.OpenPlainForReading(b, error) : nullptr;
  if (!second || first->Size() != second->Size()) return false;
  // One buffer for both halves, left as it comes: only what the reads fill is touched.
  auto buffer = std::make_unique_for_overwrite<std::byte[]>(2 * kCopyBufferBytes);
  std::byte* one = buffer.get();
  std::byte* two = one + kCopyBufferBytes;
  for (;;) {
    std::size_t gotOne = 0, gotTwo = 0;
    if (!first->Read({one, kCopyBufferBytes}, gotOne, error)) return false;
    // Fill the same amount from the second, however it hands it out.
    while (gotTwo < gotOne) {
      std::size_t more = 0;
      if (!second->Read({two + gotTwo, gotOne - gotTwo}, more, error) || more == 0) return false;
      gotTwo += more;
    }
    if (gotOne == 0) return true;
    if (!std::equal(one, one + gotOne, two)) return false;
  }
}

bool IsPlainFileThere(FileSystem& files, const std::wstring& path) {
  FileError error;
  return files.OpenPlainForReading(path, error) != nullptr;
}

constexpr const wchar_t* kLinkName = L"Morvane";

// What a rollback could not put back, and why, as one line of its report.
void NotPutBack(RollbackReport& report, std::initializer_list<text::Part> parts) {
  report.notPutBack.push_back(Concat(parts));
}

}  // namespace

StepFailure WorkItemList::Do(std::unique_ptr<WorkItem> item) {
  items_.push_back(std::move(item));
  return items_.back()->Do();
}

RollbackReport WorkItemList::Rollback() {
  RollbackReport report;
  for (auto item = items_.rbegin(); item != items_.rend(); ++item) (*item)->Rollback(report);
  items_.clear();
  return report;
}

void WorkItemList::Commit() {
  for (const std::unique_ptr<WorkItem>& item : items_) item->Commit();
  items_.clear();
}

std::wstring WorkFolder::Path(FileError& error) {
  if (path_.empty()) path_ = files_.MakeWorkFolder(error);
  return path_;
}

std::wstring WorkFolder::NewFileName(FileError& error) {
  std::wstring folder = Path(error);
  if (!folder.empty()) folder += Concat({"replaced ", text::Decimal(++names_)});
  return folder;
}

void WorkFolder::RemoveIfEmpty() {
  if (!path_.empty() && files_.RemoveEmptyDirectory(path_)) path_.clear();
}

StepFailure MakeSafeItem::Do() {
  FileError error;
  if (files_.MakeSafe(fix_.folder, fix_.rule, fix_.users, before_.emplace(), error)) return std::nullopt;
  before_.reset();  // nothing to put back
  return WriteFailure(fix_.folder, error);
}

void MakeSafeItem::Rollback(RollbackReport& report) {
  FileError error;
  if (before_ && !files_.RestoreSecurity(fix_.folder, *before_, error)) {
    NotPutBack(report, {fix_.folder, " (its owner and access list: ", error.description, ")"});
  }
  before_.reset();
}

MakeFoldersItem::MakeFoldersItem(FileSystem& files, const std::wstring& path, UsersMay users)
    : files_(files), path_(path), users_(users) {}

StepFailure MakeFoldersItem::Do() {
  // Every directory along the path, from the root down; the ones that exist
  // already (and the drive root, which cannot be made) fail without harm.
  // Nothing can be made past the path limit, so a path of thousands of parts
  // costs no refused call for each.
  for (std::size_t i = 0; i < path_.size() && i < kMaxDirectoryPath; ++i) {
    if (path_[i] != L'\\') continue;
    UsersMay users = i + 1 == path_.size() ? users_ : UsersMay::ReadAndExecute;
    std::wstring folder = path_.substr(0, i + 1);
    FileError error;  // passed over: the first file to go in it says why
    if (files_.MakeProtectedDirectory(folder, users, error)) made_.push_back(folder);
  }
  return std::nullopt;
}

void MakeFoldersItem::Rollback(RollbackReport& report) {
  // Each only where it was made: one reached through a link now stays, and says so.
  for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) {
    FileError error;
    if (!files_.RemoveEmptyDirectory(*folder, error)) {
      NotPutBack(report, {*folder, " (a folder made, not removed: ", error.description, ")"});
    }
  }
  made_.clear();
}

ReplaceFileItem::ReplaceFileItem(FileSystem& files, WorkFolder& work, const std::wstring& path, UsersMay users,
                                 const wchar_t* writeName)
    : files_(files), work_(work), path_(path), users_(users), writeName_(writeName) {}

StepFailure ReplaceFileItem::Do() {
  FileError error;
  if (!KeepWhatIsThere(error)) return WriteFailure(writeName_, error);
  return Write(path_);
}

bool ReplaceFileItem::KeepWhatIsThere(FileError& error) {
  std::unique_ptr<InputFile> earlier = files_.OpenPlainForReading(path_, error);
  if (!earlier) {
    if (error.code == kFileNotFound || error.code == kPathNotFound) {
      before_ = Before::Nothing;
      return true;
    }
    before_ = Before::NotOurs;
    // There, but not readable: it could not be put back, so it is not replaced.
    return error.code == kErrorReachedThroughLink;
  }
  kept_ = work_.NewFileName(error);
  std::unique_ptr<OutputFile> copy =
      kept_.empty() ? nullptr : files_.CreateForWriting(kept_, UsersMay::ReadAndExecute, error);
  if (copy && !FailedCopy(*earlier, *copy, error)) {
    before_ = Before::File;
    return true;
  }
  // Nothing of the file was touched yet: without its copy it stays as it is.
  copy.reset();
  RemoveKeptCopy();
  before_ = Before::NotOurs;
  return false;
}

void ReplaceFileItem::Rollback(RollbackReport& report) {
  switch (before_) {
    case Before::NotLookedAt:
    case Before::NotOurs:
      return;
    case Before::Nothing:
      // Only the plain file this step made.
      if (IsPlainFileThere(files_, path_) && !files_.RemovePlainFile(path_)) {
        NotPutBack(report, {path_, " (new, not removed)"});
      }
      return;
    case Before::File:
      break;
  }
  // A file the failed step never changed (it could not open it) is left alone.
  FileError error;
  if (!SameBytes(files_, kept_, path_)) {
    if (!CopyFile(files_, kept_, path_, users_, error)) {
      // The copy stays, for whoever puts the file back by hand.
      NotPutBack(report, {path_, " (", error.description, " Its earlier content is kept in ", kept_, ")"});
      kept_.clear();
      return;
    }
    report.putBack.push_back(path_);
  }
  RemoveKeptCopy();
}

void ReplaceFileItem::Commit() { RemoveKeptCopy(); }

void ReplaceFileItem::RemoveKeptCopy() {
  if (!kept_.empty()) files_.RemovePlainFile(kept_);
  kept_.clear();
}

void CreateShortcuts(CompanionLibrary& companion, const ShortcutPlaces& places, const std::wstring& program) {
  const std::wstring name = kLinkName, noArguments;
  companion.fCreateShellLink(places.desktop, name, program, noArguments);
  companion.fCreateShellLink(places.programs, name, program, noArguments);
}

void RemoveShortcuts(CompanionLibrary& companion, const ShortcutPlaces& places) {
  const std::wstring name = kLinkName;
  companion.fRemoveShellLink(Concat({places.desktop, "\\"}), name);
  companion.fRemoveShellLink(places.programs, name);
}

ShortcutsItem::ShortcutsItem(CompanionLibrary& companion, ShortcutPlaces places, const std::wstring& product,
                             const std::optional<std::wstring>& earlierProduct)
    : companion_(companion), places_(places), product_(product), earlierProduct_(earlierProduct) {}

StepFailure ShortcutsItem::Do() {
  CreateShortcuts(companion_, places_, product_);
  return std::nullopt;
}

void ShortcutsItem::Rollback(RollbackReport&) {
  if (earlierProduct_) {
    CreateShortcuts(companion_, places_, *earlierProduct_);
  } else {
    RemoveShortcuts(companion_, places_);
  }
}

SettingItem::SettingItem(SettingsStore& settings, const RegistryApi& registry, const std::wstring& value)
    : settings_(settings), registry_(registry), value_(value) {}

StepFailure SettingItem::Do() {
  earlier_ = settings_.FindSetting(application_, section_, key_);
  std::int32_t status = settings_.SaveSetting(application_, section_, key_, value_);
  written_ = status == 0;
  if (written_) return std::nullopt;
  return KitFileFailure{FailureKind::Registration, Concat({application_, "\\", section_, "\\", key_}),
                        registry_.StatusText(status), static_cast<std::uint32_t>(status)};
}

void SettingItem::Rollback(RollbackReport& report) {
  if (!written_) return;
  std::int32_t status = earlier_ ? settings_.SaveSetting(application_, section_, key_, *earlier_)
                                 : settings_.DeleteSetting(application_, section_, key_);
  if (status != 0) NotPutBack(report, {"the setting ", key_});
}

MachineEntryItem::MachineEntryItem(RegistryApi& registry, const std::wstring& key, std::vector<EntryValue> values)
    : registry_(registry), key_(key), values_(std::move(values)), earlier_(values_.size()) {}

std::wstring MachineEntryItem::Name(const wchar_t* value) const {
  text::Ascii root = modReg::RootKeyName(hkey::kLocalMachine);
  return value ? Concat({root, key_, "\\", value}) : Concat({root, key_});
}

KitFileFailure MachineEntryItem::Failure(const wchar_t* value, std::int32_t status) const {
  return {FailureKind::Registration, Name(value), registry_.StatusText(status), static_cast<std::uint32_t>(status)};
}

StepFailure MachineEntryItem::Do() {
  // What the entry held before, so that a rollback can give it back.
  RegistryHandle key = 0;
  keyExisted_ = registry_.OpenKey(hkey::kLocalMachine, key_, modReg::kKeyAccess, key) == 0;
  if (keyExisted_) {
    for (std::size_t i = 0; i < values_.size(); ++i) {
      Earlier& earlier = earlier_[i];
      earlier.present = registry_.QueryValue(key, values_[i].name, earlier.type, earlier.bytes) == 0;
    }
    registry_.CloseKey(key);
  }
  keyTouched_ = true;
  if (std::int32_t status = modReg::CreateRegistryKey(registry_, hkey::kLocalMachine, key_)) {
    return Failure(nullptr, status);
  }
  for (const EntryValue& value : values_) {
    bool text = std::holds_alternative<std::wstring>(value.value);
    std::int32_t status = modReg::SetRegistryValue(registry_, hkey::kLocalMachine, key_, value.name, value.value,
                                                   text ? regtype::kString : regtype::kDword);
    if (status != 0) return Failure(value.name, status);
  }
  return std::nullopt;
}

void MachineEntryItem::Rollback(RollbackReport& report) {
  if (!keyTouched_) return;
  keyTouched_ = false;
  if (!keyExisted_) {
    std::int32_t status = registry_.DeleteKey(hkey::kLocalMachine, key_);
    if (status != 0 && status != kNotFound) report.notPutBack.push_back(Name(nullptr));
    return;
  }
  RegistryHandle key = 0;
  if (registry_.OpenKey(hkey::kLocalMachine, key_, modReg::kKeyAccess, key) != 0) {
    report.notPutBack.push_back(Name(nullptr));
    return;
  }
  for (std::size_t i = 0; i < values_.size() && i < earlier_.size(); ++i) {
    const Earlier& earlier = earlier_[i];
    const std::wstring name = values_[i].name;
    std::int32_t status =
        earlier.present ? registry_.SetValue(key, name, earlier.type, earlier.bytes) : registry_.DeleteValue(key, name);
    if (status != 0 && !(status == kNotFound && !earlier.present)) {
      report.notPutBack.push_back(Name(values_[i].name));
    }
  }
  registry_.CloseKey(key);
}

}  // namespace install
