#include "platform/logged_services.h"

#include "platform/modReg.h"
#include "platform/text.h"

namespace {

using text::Concat;

constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kPathNotFound = 3;

// The system's code and its words: what an administrator looks up.
std::wstring Failed(const FileError& error) {
  return Concat({" failed: error ", text::Decimal(error.code), ", ", error.description});
}

// What the companion library answered: nothing at all when it or its
// function could not be reached.
std::wstring ResultNote(const std::optional<std::int32_t>& result) {
  return result ? Concat({" (result ", text::Decimal(*result), ")"}) : text::Ascii(" failed: setup.dll not reached");
}

// One line of the log, joined from its parts.
void WriteLine(LogSink& log, std::initializer_list<text::Part> parts) { log.WriteLine(Concat(parts)); }

// A line that ends, when the step failed, with the system's code and words.
void WriteLine(LogSink& log, std::initializer_list<text::Part> parts, bool done, const FileError& error) {
  std::wstring line = Concat(parts);
  if (!done) line += Failed(error);
  log.WriteLine(line);
}

// A line that ends, when the call failed, with its status.
void WriteLine(LogSink& log, std::initializer_list<text::Part> parts, std::int32_t status) {
  std::wstring line = Concat(parts);
  if (status != 0) line += Concat({" failed: status ", text::Decimal(status)});
  log.WriteLine(line);
}

// A folder of the setup's own made, or why not; the folder passed on.
std::wstring LogFolderMade(LogSink& log, std::wstring folder, text::Ascii making, text::Ascii created,
                           const FileError& error) {
  if (folder.empty()) {
    WriteLine(log, {making}, false, error);
  } else {
    WriteLine(log, {created, folder});
  }
  return folder;
}

}  // namespace

std::unique_ptr<InputFile> LoggedFileSystem::OpenForReading(const std::wstring& path, FileError& error) {
  std::unique_ptr<InputFile> file = inner_.OpenForReading(path, error);
  if (!file) WriteLine(log_, {"Reading ", path}, false, error);
  return file;
}

std::unique_ptr<InputFile> LoggedFileSystem::OpenFileInFolder(const std::wstring& folder, const std::wstring& name,
                                                              FileError& error) {
  std::unique_ptr<InputFile> file = inner_.OpenFileInFolder(folder, name, error);
  if (!file) WriteLine(log_, {"Reading ", folder, name}, false, error);
  return file;
}

std::unique_ptr<OutputFile> LoggedFileSystem::CreateForWriting(const std::wstring& path, UsersMay users,
                                                               FileError& error) {
  std::unique_ptr<OutputFile> file = inner_.CreateForWriting(path, users, error);
  WriteLine(log_, {"Writing file ", path}, file != nullptr, error);
  return file;
}

bool LoggedFileSystem::EmptyPlainFile(const std::wstring& path, UsersMay users, FileError& error) {
  bool emptied = inner_.EmptyPlainFile(path, users, error);
  // The test files are written empty, so the line reads as a write.
  WriteLine(log_, {"Writing file ", path, " (empty)"}, emptied, error);
  return emptied;
}

bool LoggedFileSystem::RemovePlainFile(const std::wstring& path, FileError& error) {
  // A file that is not there is no news; only what went, or stayed, is told.
  bool present = inner_.IsOrdinaryFile(path);
  bool removed = inner_.RemovePlainFile(path, error);
  if (removed || present) WriteLine(log_, {"Removing file ", path}, removed, error);
  return removed;
}

bool LoggedFileSystem::MakeSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before,
                                FileError& error) {
  bool made = inner_.MakeSafe(path, rule, users, before, error);
  WriteLine(log_, {"Owner and access list of ", path, " set to ",
                         rule == SafeRule::OnTheWay ? text::Ascii("Administrators, users may make folders in it")
                                                    : text::Ascii("Administrators, users may read")}, made, error);
  return made;
}

bool LoggedFileSystem::RestoreSecurity(const std::wstring& path, const SecurityBackup& before, FileError& error) {
  bool restored = inner_.RestoreSecurity(path, before, error);
  WriteLine(log_, {"Owner and access list of ", path, " put back"}, restored, error);
  return restored;
}

bool LoggedFileSystem::SetAsideInUseFile(const std::wstring& path, FileError& error) {
  bool setAside = inner_.SetAsideInUseFile(path, error);
  WriteLine(log_, {"Setting aside ", path, ", in use, to be deleted when Windows starts next"}, setAside, error);
  return setAside;
}

std::wstring LoggedFileSystem::MakeWorkFolder(FileError& error) {
  return LogFolderMade(log_, inner_.MakeWorkFolder(error), "Making a work folder", "Created work folder ", error);
}

std::wstring LoggedFileSystem::MakeKitFolder(FileError& error) {
  return LogFolderMade(log_, inner_.MakeKitFolder(error), "Making a folder for the kit's copy",
                       "Created folder for the kit's copy ", error);
}

bool LoggedFileSystem::MakeProtectedDirectory(const std::wstring& path, UsersMay users, FileError& error) {
  bool made = inner_.MakeProtectedDirectory(path, users, error);
  if (made) {
    WriteLine(log_, {"Created folder ", path});
    return true;
  }
  // A folder that is there already (the drive root among them) is no news,
  // nor one whose parent could not be made: that parent's line says why,
  // once for each folder that is tried along the way.
  if (error.code != kAlreadyExists && error.code != kPathNotFound && path.size() > 3 && path != lastFolderFailed_) {
    WriteLine(log_, {"Creating folder ", path}, false, error);
    lastFolderFailed_ = path;
  }
  return false;
}

bool LoggedFileSystem::RemoveEmptyDirectory(const std::wstring& path, FileError& error) {
  bool removed = inner_.RemoveEmptyDirectory(path, error);
  if (removed) WriteLine(log_, {"Removed folder ", path});
  return removed;
}

std::int32_t LoggedRegistry::CreateKey(RootKey root, const std::wstring& path, std::uint32_t access,
                                       RegistryHandle& key) {
  std::int32_t status = inner_.CreateKey(root, path, access, key);
  WriteLine(log_, {"Registry key ", modReg::RootKeyName(root), path}, status);
  if (status == 0) Remember(key, root, path);
  return status;
}

std::int32_t LoggedRegistry::OpenKey(RootKey root, const std::wstring& path, std::uint32_t access,
                                     RegistryHandle& key) {
  std::int32_t status = inner_.OpenKey(root, path, access, key);
  if (status == 0) Remember(key, root, path);
  return status;
}

void LoggedRegistry::LogValue(RegistryHandle key, const std::wstring& name, const std::wstring& value,
                              std::int32_t status) {
  WriteLine(log_, {"Registry value ", PathOf(key), name, " = ", value}, status);
}

std::int32_t LoggedRegistry::SetStringValue(RegistryHandle key, const std::wstring& name, const std::wstring& text) {
  std::int32_t status = inner_.SetStringValue(key, name, text);
  LogValue(key, name, text, status);
  return status;
}

std::int32_t LoggedRegistry::SetDwordValue(RegistryHandle key, const std::wstring& name, std::int32_t value) {
  std::int32_t status = inner_.SetDwordValue(key, name, value);
  LogValue(key, name, text::Decimal(value), status);
  return status;
}

std::int32_t LoggedRegistry::SetValue(RegistryHandle key, const std::wstring& name, std::int32_t type,
                                     const std::vector<std::uint8_t>& bytes) {
  std::int32_t status = inner_.SetValue(key, name, type, bytes);
  LogValue(key, name, text::Ascii("(as it was before)"), status);
  return status;
}

std::int32_t LoggedRegistry::DeleteValue(RegistryHandle key, const std::wstring& name) {
  std::int32_t status = inner_.DeleteValue(key, name);
  WriteLine(log_, {"Deleting registry value ", PathOf(key), name}, status);
  return status;
}

std::int32_t LoggedRegistry::DeleteKey(RootKey root, const std::wstring& path) {
  std::int32_t status = inner_.DeleteKey(root, path);
  WriteLine(log_, {"Deleting registry key ", modReg::RootKeyName(root), path}, status);
  return status;
}

void LoggedRegistry::Remember(RegistryHandle key, RootKey root, const std::wstring& path) {
  std::wstring full = Concat({modReg::RootKeyName(root), path, "\\"});
  for (auto& [handle, known] : openKeys_) {
    if (handle == key) {
      known = std::move(full);
      return;
    }
  }
  openKeys_.emplace_back(key, std::move(full));
}

std::wstring_view LoggedRegistry::PathOf(RegistryHandle key) const {
  for (const auto& [handle, path] : openKeys_) {
    if (handle == key) return path;
  }
  return {};
}

std::int32_t LoggedRegistry::CloseKey(RegistryHandle key) {
  // Remember keeps one name for each handle.
  for (auto open = openKeys_.begin(); open != openKeys_.end(); ++open) {
    if (open->first == key) {
      openKeys_.erase(open);
      break;
    }
  }
  return inner_.CloseKey(key);
}

std::int32_t LoggedSettings::SaveSetting(const std::wstring& application, const std::wstring& section,
                                         const std::wstring& key, const std::wstring& value) {
  std::int32_t status = inner_.SaveSetting(application, section, key, value);
  WriteLine(log_, {"Setting ", application, "\\", section, "\\", key, " = ", value}, status);
  return status;
}

std::int32_t LoggedSettings::DeleteSetting(const std::wstring& application, const std::wstring& section,
                                           const std::wstring& key) {
  std::int32_t status = inner_.DeleteSetting(application, section, key);
  WriteLine(log_, {"Deleting setting ", application, "\\", section, "\\", key}, status);
  return status;
}

std::optional<std::int32_t> LoggedCompanion::fCreateShellLink(const std::wstring& folder, const std::wstring& linkName,
                                                               const std::wstring& target,
                                                               const std::wstring& arguments) {
  std::optional<std::int32_t> result = inner_.fCreateShellLink(folder, linkName, target, arguments);
  WriteLine(log_, {"Shortcut \"", linkName, "\" in \"", folder, "\" to ", target, ResultNote(result)});
  return result;
}

std::optional<std::int32_t> LoggedCompanion::fRemoveShellLink(const std::wstring& folder,
                                                               const std::wstring& linkName) {
  std::optional<std::int32_t> result = inner_.fRemoveShellLink(folder, linkName);
  WriteLine(log_, {"Removing shortcut \"", linkName, "\" in \"", folder, "\"", ResultNote(result)});
  return result;
}

std::unique_ptr<RunningProcess> LoggedProcesses::StartMinimized(const std::wstring& program,
                                                                const std::wstring& commandLine) {
  std::unique_ptr<RunningProcess> process = inner_.StartMinimized(program, commandLine);
  WriteLine(log_, {"Starting ", commandLine, process ? text::Ascii("") : text::Ascii(" failed")});
  return process;
}
