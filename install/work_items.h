// The installation as a list of small work items, each able to undo what it
// did: when a later one fails, those done are rolled back newest first, so
// a failed installation leaves the machine as it found it. Only once the
// whole installation is through are the copies kept for a rollback dropped.
#pragma once

#include <memory>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "install/copy_kit_file.h"
#include "install/operation.h"
#include "install/registration_names.h"
#include "install/target_access.h"
#include "platform/companion_library.h"
#include "platform/file_system.h"
#include "platform/registry_api.h"
#include "platform/settings_store.h"
#include "platform/shortcut_places.h"

namespace install {

class WorkItem {
 public:
  virtual ~WorkItem() = default;
  [[nodiscard]] virtual StepFailure Do() = 0;
  // Undoes what Do did, as far as it got (also when Do failed midway).
  virtual void Rollback(RollbackReport& report) = 0;
  // The installation is complete: what was kept for a rollback goes.
  virtual void Commit() {}
};

class WorkItemList {
 public:
  // Runs the item and keeps it, done or failed, for a rollback.
  [[nodiscard]] StepFailure Do(std::unique_ptr<WorkItem> item);
  RollbackReport Rollback();
  void Commit();

 private:
  std::vector<std::unique_ptr<WorkItem>> items_;
};

// The installation's own folder in the system's Temp, made at its first use:
// the presets script for the registry editor and the copies of replaced
// files lie there, where only administrators reach them.
class WorkFolder {
 public:
  explicit WorkFolder(FileSystem& files) : files_(files) {}
  // With a trailing backslash; empty (and error set) when none can be made.
  std::wstring Path(FileError& error);
  // A name in it that nothing else of this run uses.
  std::wstring NewFileName(FileError& error);
  // Goes when nothing is left in it; a copy that could not be put back stays.
  void RemoveIfEmpty();

 private:
  FileSystem& files_;
  std::wstring path_;
  int names_ = 0;
};

// Every folder along path that is not there yet, from the drive root down,
// each with its own protected access list; a folder that cannot be made is
// passed over (the first file to go in it then fails). Rollback removes
// those it made, once empty.
class MakeFoldersItem : public WorkItem {
 public:
  MakeFoldersItem(FileSystem& files, const std::wstring& path, UsersMay users);
  StepFailure Do() override;
  void Rollback(RollbackReport& report) override;

 private:
  FileSystem& files_;
  std::wstring path_;
  UsersMay users_;
  std::vector<std::wstring> made_;
};

// Gives a folder Administrators as its owner and a safe list; rollback
// puts back the owner and list it had.
class MakeSafeItem : public WorkItem {
 public:
  MakeSafeItem(FileSystem& files, const FolderFix& fix) : files_(files), fix_(fix) {}
  StepFailure Do() override;
  void Rollback(RollbackReport& report) override;

 private:
  FileSystem& files_;
  FolderFix fix_;
  std::optional<SecurityBackup> before_;
};

// Writes one file through Write (a kit copy, an empty test file). A file
// that was there is copied into the work folder first and written back on
// a rollback; one that was not is removed again.
class ReplaceFileItem : public WorkItem {
 public:
  ReplaceFileItem(FileSystem& files, WorkFolder& work, const std::wstring& path, UsersMay users,
                  const wchar_t* writeName);
  StepFailure Do() override;
  void Rollback(RollbackReport& report) override;
  void Commit() override;

 protected:
  // Writes the file at path; a link in its place is the writer's to refuse
  // or pass over.
  virtual StepFailure Write(const std::wstring& path) = 0;

  FileSystem& files_;

 private:
  // Looks at what is in the file's place, and copies a file there into the
  // work folder; false (error saying why) when something is there that could
  // not be kept, and so must not be replaced.
  bool KeepWhatIsThere(FileError& error);
  // The copy of what was there goes (when there is one), and is forgotten.
  void RemoveKeptCopy();

  WorkFolder& work_;
  std::wstring path_;
  UsersMay users_;
  const wchar_t* writeName_;  // a fixed name: the kit table's, or the test files'
  // What was in the file's place: nothing (rollback removes what is there
  // now), a file (kept_ holds its copy), or something that is not this
  // step's to change back (a link, or a file that could not be read, so was
  // not touched).
  enum class Before { NotLookedAt, Nothing, File, NotOurs } before_ = Before::NotLookedAt;
  std::wstring kept_;  // the copy of the file as it was
};

// The two shortcuts named "Morvane" in places, to program. Whether the
// library made or removed them is not asked: a missing shortcut stops nothing.
void CreateShortcuts(CompanionLibrary& companion, const ShortcutPlaces& places, const std::wstring& program);
void RemoveShortcuts(CompanionLibrary& companion, const ShortcutPlaces& places);

// The two shortcuts to product, on the desktop and in the Programs folder of
// places. Rollback points them at earlierProduct again, the program of the
// copy this installation replaces; without one they go.
class ShortcutsItem : public WorkItem {
 public:
  ShortcutsItem(CompanionLibrary& companion, ShortcutPlaces places, const std::wstring& product,
                const std::optional<std::wstring>& earlierProduct);
  StepFailure Do() override;
  void Rollback(RollbackReport& report) override;

 private:
  CompanionLibrary& companion_;
  ShortcutPlaces places_;
  std::wstring product_;
  std::optional<std::wstring> earlierProduct_;
};

// The per-user setting that remembers the installation; rollback gives it
// its earlier value again, or removes it.
class SettingItem : public WorkItem {
 public:
  SettingItem(SettingsStore& settings, const RegistryApi& registry, const std::wstring& value);
  StepFailure Do() override;
  void Rollback(RollbackReport& report) override;

 private:
  SettingsStore& settings_;
  const RegistryApi& registry_;  // for the text of a failure's status
  // Where the setting lies, named once for every call that reaches it.
  const std::wstring application_ = texts::kSettingsApplication;
  const std::wstring section_ = texts::kSettingsSection;
  const std::wstring key_ = texts::kSettingsKey;
  std::wstring value_;
  bool written_ = false;
  std::optional<std::wstring> earlier_;
};

// One value of the uninstall entry.
struct EntryValue {
  const wchar_t* name;
  std::variant<std::wstring, std::int32_t> value;
};

// A key of HKEY_LOCAL_MACHINE with its values (the uninstall entry, the
// Active Setup entry), every write checked. Rollback puts back each value as
// it was (its type and bytes), or removes the key when there was none.
class MachineEntryItem : public WorkItem {
 public:
  MachineEntryItem(RegistryApi& registry, const std::wstring& key, std::vector<EntryValue> values);
  StepFailure Do() override;
  void Rollback(RollbackReport& report) override;

 private:
  struct Earlier {
    bool present = false;
    std::int32_t type = 0;
    std::vector<std::uint8_t> bytes;
  };
  // The key's full name, or with value that value's.
  std::wstring Name(const wchar_t* value) const;
  KitFileFailure Failure(const wchar_t* value, std::int32_t status) const;

  RegistryApi& registry_;
  std::wstring key_;
  std::vector<EntryValue> values_;
  bool keyExisted_ = false;
  bool keyTouched_ = false;
  std::vector<Earlier> earlier_;  // by value; read only when the key existed
};

}  // namespace install
