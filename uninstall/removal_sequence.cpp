#include "uninstall/removal_sequence.h"

#include <array>
#include <span>
#include <string_view>

#include "install/all_users.h"
#include "install/kit_files.h"
#include "install/registration_names.h"
#include "install/work_items.h"
#include "platform/modReg.h"
#include "platform/services.h"
#include "platform/shortcut_places.h"
#include "platform/text.h"

namespace uninstall {
namespace {

enum class RemovalStep {
  DeleteOneFile,
  DeleteTestFiles,    // every file whose own name ends in ".tst"
  RemoveEmptyFolder,  // only when nothing is left in it
};
using enum RemovalStep;

struct RemovalEntry {
  RemovalStep step;
  const wchar_t* path;  // relative to the installed directory
};

constexpr std::array<RemovalEntry, 11> kRemovalEntries = {{
    {DeleteOneFile, L"morvane.exe"},
    {DeleteOneFile, L"about.htm"},
    {DeleteOneFile, L"screenshot.jpg"},
    {DeleteOneFile, L"Help\\FileList.htm"},
    {DeleteOneFile, L"Help\\AddFile.bmp"},
    {DeleteOneFile, L"Help\\AddPath.bmp"},
    {DeleteTestFiles, L"TestThis\\*.tst"},
    {RemoveEmptyFolder, L"Help"},
    {RemoveEmptyFolder, L"TestThis"},
    // setup.exe is still in use when the setup runs from here, as the
    // uninstall entry starts it; it then stays, which is no failure.
    {DeleteOneFile, L"setup.exe"},
    {DeleteOneFile, L"setup.dll"},
}};

// The single files removed are exactly those the kit installs, so a file
// renamed in the kit table cannot be left behind.
constexpr bool RemovesTheInstalledFiles() {
  for (const RemovalEntry& entry : kRemovalEntries) {
    if (entry.step == DeleteOneFile && !kit_table::Installs(entry.path)) return false;
  }
  for (const KitFile& row : kit_table::kKitFiles) {
    bool removed = *row.installedName == L'\0';
    for (const RemovalEntry& entry : kRemovalEntries) {
      removed = removed || (entry.step == DeleteOneFile && kit_table::SameName(entry.path, row.installedName));
    }
    if (!removed) return false;
  }
  return true;
}
static_assert(RemovesTheInstalledFiles());

constexpr std::wstring_view kTestFileExtension = L".tst";

bool IsTestFileName(const std::wstring& name) {
  return name.size() >= kTestFileExtension.size() &&
         text::EqualsIgnoringCase(std::wstring_view(name).substr(name.size() - kTestFileExtension.size()),
                                  kTestFileExtension);
}

// The system's pattern search also matches the 8.3 aliases: "*.tst" finds
// "notes.tstx" through NOTES~1.TST. Only a file whose own name ends in
// ".tst" is one of ours.
void DeleteOwnTestFiles(FileSystem& files, const std::wstring& pattern) {
  std::wstring folder = pattern.substr(0, pattern.find_last_of(L'\\') + 1);
  for (const FoundFile& found : files.FindFiles(pattern)) {
    if (found.directory || found.hidden || found.system || !IsTestFileName(found.name)) continue;
    files.RemovePlainFile(folder + found.name);
  }
}

void Remove(FileSystem& files, const RemovalEntry& entry, const std::wstring& directory, FileError& error) {
  std::wstring path = directory + entry.path;
  if (!FirstLinkOnTheWay(files, path).empty()) {
    error.code = kErrorReachedThroughLink;
    error.description = text::Ascii("A link lies on the way.");
    return;
  }
  switch (entry.step) {
    case DeleteOneFile:
      files.RemovePlainFile(path, error);
      break;
    case DeleteTestFiles:
      DeleteOwnTestFiles(files, path);
      break;
    case RemoveEmptyFolder:
      files.RemoveEmptyDirectory(path);
      break;
  }
}

// What an installation for all users adds (install/all_users.h) goes with
// it, whoever removes it: its presets copy, its shortcuts and its Active
// Setup entry, which would otherwise import at every sign-in whatever
// someone put in its place once the folder is gone. A removal run as SYSTEM
// takes the presets copy, and the all-users shortcuts too unless a newer
// installation elsewhere replaced them.
void RemoveForAllUsers(const SystemServices& services, const std::wstring& directory, RemovalScope scope) {
  bool entryNamesThis =
      install::ActiveSetupImportsFrom(services.registry, services.environment.WindowsDirectory(), directory);
  bool system = services.environment.RunsAsSystem();
  FileError error;
  if (entryNamesThis || system) Remove(services.files, {DeleteOneFile, install::kAllUsersPresets}, directory, error);
  if (entryNamesThis || (system && scope == RemovalScope::Everything)) {
    install::RemoveShortcuts(services.companion, shortcut_places::kAllUsers);
  }
  if (entryNamesThis) services.registry.DeleteKey(hkey::kLocalMachine, texts::kActiveSetupKey);
}

}  // namespace

// Nothing is removed through a link: not under a linked directory, Help or
// TestThis. This test spares the step; what closes the gap between it and
// the deletion (a link swapped in meanwhile) is that every file and folder
// is deleted only through a handle checked to be the one at its own place.
std::wstring FirstLinkOnTheWay(FileSystem& files, const std::wstring& path) {
  std::size_t end = 2;
  do {
    end = path.find(L'\\', end + 1);
    std::wstring part = path.substr(0, end);
    if (part.size() > 3 && !text::EndsWithBackslash(part) && files.IsLink(part)) return part;
  } while (end != std::wstring::npos);
  return {};
}

std::int32_t DeleteUninstallEntry(const SystemServices& services) {
  return modReg::DeleteRegistryKey(services.registry, hkey::kLocalMachine, texts::kUninstallKey);
}

std::wstring FirstProductFileLeft(FileSystem& files, const std::wstring& directory) {
  for (const RemovalEntry& entry : kRemovalEntries) {
    if (entry.step != DeleteOneFile) continue;
    // What lies beyond a link is not the installation's.
    std::wstring path = directory + entry.path;
    if (files.IsOrdinaryFile(path) && FirstLinkOnTheWay(files, path).empty()) return path;
  }
  return {};
}

// Out of line: in its caller's frame its locals would need longer offsets.
[[gnu::noinline]] SequenceResult RunRemovalSequence(const SystemServices& services, const std::wstring& directory,
                                                    RemovalScope scope, bool entryToo) {
  SequenceResult result;
  const RemovalEntry& product = kRemovalEntries.front();
  FileError error;
  Remove(services.files, product, directory, error);
  // Not seen through a link that took the folder's place meanwhile is not gone.
  if (error.code == kErrorReachedThroughLink || services.files.IsOrdinaryFile(directory + product.path)) {
    result.productRemoved = false;
    result.productError = error.code;
    result.productErrorText = error.description;
    return result;
  }
  // Each other step's failure is its own: it is passed over and the next one runs.
  for (const RemovalEntry& entry : std::span(kRemovalEntries).subspan(1)) Remove(services.files, entry, directory, error);
  RemoveForAllUsers(services, directory, scope);
  if (scope == RemovalScope::FilesOnly) return result;
  // The library stays loaded from the program's start, so these still work
  // after its file in this directory was deleted.
  install::RemoveShortcuts(services.companion, shortcut_places::kThisUser);
  services.settings.SaveSetting(texts::kSettingsApplication, texts::kSettingsSection, texts::kSettingsKey,
                                texts::kUninstalledMark);
  // Whatever failed above, only the registry step is reported.
  if (entryToo) result.entryStatus = DeleteUninstallEntry(services);
  return result;
}

}  // namespace uninstall
