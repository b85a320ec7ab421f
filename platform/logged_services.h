// The platform services with a log line for each change they make: each
// file and folder written or removed, each registry key and value, the
// setting, the shortcuts, the programs started. Reads pass through unlogged.
// Each wraps the real service and changes nothing of what it does.
#pragma once

#include <utility>
#include <vector>

#include "platform/companion_library.h"
#include "platform/file_system.h"
#include "platform/log_sink.h"
#include "platform/process_launcher.h"
#include "platform/registry_api.h"
#include "platform/settings_store.h"

class LoggedFileSystem : public FileSystem {
 public:
  LoggedFileSystem(FileSystem& inner, LogSink& log) : inner_(inner), log_(log) {}
  std::unique_ptr<InputFile> OpenForReading(const std::wstring& path, FileError& error) override;
  std::unique_ptr<InputFile> OpenPlainForReading(const std::wstring& path, FileError& error) override {
    return inner_.OpenPlainForReading(path, error);
  }
  std::unique_ptr<InputFile> OpenFileInFolder(const std::wstring& folder, const std::wstring& name,
                                              FileError& error) override;
  bool FreeSpace(const std::wstring& root, std::uint64_t& bytes, FileError& error) override {
    return inner_.FreeSpace(root, bytes, error);
  }
  bool SetAsideInUseFile(const std::wstring& path, FileError& error) override;
  std::unique_ptr<OutputFile> CreateForWriting(const std::wstring& path, UsersMay users, FileError& error) override;
  bool EmptyPlainFile(const std::wstring& path, UsersMay users, FileError& error) override;
  using FileSystem::RemovePlainFile;
  bool RemovePlainFile(const std::wstring& path, FileError& error) override;
  DriveKind KindOfDrive(const std::wstring& root) override { return inner_.KindOfDrive(root); }
  bool MakeSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before,
                FileError& error) override;
  bool RestoreSecurity(const std::wstring& path, const SecurityBackup& before, FileError& error) override;
  std::vector<FoundFile> FindFiles(const std::wstring& pattern) override { return inner_.FindFiles(pattern); }
  bool MakeProtectedDirectory(const std::wstring& path, UsersMay users, FileError& error) override;
  std::wstring MakeWorkFolder(FileError& error) override;
  std::wstring MakeKitFolder(FileError& error) override;
  using FileSystem::RemoveEmptyDirectory;
  bool RemoveEmptyDirectory(const std::wstring& path, FileError& error) override;
  bool IsOrdinaryFile(const std::wstring& path) override { return inner_.IsOrdinaryFile(path); }
  bool IsLink(const std::wstring& path) override { return inner_.IsLink(path); }
  bool IsInUse(const std::wstring& path) override { return inner_.IsInUse(path); }
  FolderSecurity ReadFolderSecurity(const std::wstring& path) override { return inner_.ReadFolderSecurity(path); }
  bool ChangeDrive(wchar_t letter) override { return inner_.ChangeDrive(letter); }
  std::wstring LongForm(const std::wstring& path) override { return inner_.LongForm(path); }
  bool SameFolder(const std::wstring& a, const std::wstring& b) override { return inner_.SameFolder(a, b); }

 private:
  FileSystem& inner_;
  LogSink& log_;
  std::wstring lastFolderFailed_;
};

class LoggedRegistry : public RegistryApi {
 public:
  LoggedRegistry(RegistryApi& inner, LogSink& log) : inner_(inner), log_(log) {}
  std::int32_t CreateKey(RootKey root, const std::wstring& path, std::uint32_t access, RegistryHandle& key) override;
  std::int32_t OpenKey(RootKey root, const std::wstring& path, std::uint32_t access, RegistryHandle& key) override;
  std::int32_t SetStringValue(RegistryHandle key, const std::wstring& name, const std::wstring& text) override;
  std::int32_t SetDwordValue(RegistryHandle key, const std::wstring& name, std::int32_t value) override;
  std::int32_t QueryStringValue(RegistryHandle key, const std::wstring& name, std::wstring& text) override {
    return inner_.QueryStringValue(key, name, text);
  }
  std::int32_t QueryValue(RegistryHandle key, const std::wstring& name, std::int32_t& type,
                          std::vector<std::uint8_t>& bytes) override {
    return inner_.QueryValue(key, name, type, bytes);
  }
  std::int32_t SetValue(RegistryHandle key, const std::wstring& name, std::int32_t type,
                        const std::vector<std::uint8_t>& bytes) override;
  std::int32_t DeleteValue(RegistryHandle key, const std::wstring& name) override;
  std::int32_t DeleteKey(RootKey root, const std::wstring& path) override;
  std::int32_t CloseKey(RegistryHandle key) override;
  std::wstring StatusText(std::int32_t status) const override { return inner_.StatusText(status); }

 private:
  void LogValue(RegistryHandle key, const std::wstring& name, const std::wstring& value, std::int32_t status);

  RegistryApi& inner_;
  LogSink& log_;
  // The open keys' names, for the value lines: a key or two at a time.
  std::vector<std::pair<RegistryHandle, std::wstring>> openKeys_;
  void Remember(RegistryHandle key, RootKey root, const std::wstring& path);
  // The key's full name and a backslash, ready for a value's name; empty
  // for a key not opened through here.
  std::wstring_view PathOf(RegistryHandle key) const;
};

class LoggedSettings : public SettingsStore {
 public:
  LoggedSettings(SettingsStore& inner, LogSink& log) : inner_(inner), log_(log) {}
  std::optional<std::wstring> FindSetting(const std::wstring& application, const std::wstring& section,
                                          const std::wstring& key) override {
    return inner_.FindSetting(application, section, key);
  }
  std::int32_t SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) override;
  std::int32_t DeleteSetting(const std::wstring& application, const std::wstring& section,
                             const std::wstring& key) override;

 private:
  SettingsStore& inner_;
  LogSink& log_;
};

class LoggedCompanion : public CompanionLibrary {
 public:
  LoggedCompanion(CompanionLibrary& inner, LogSink& log) : inner_(inner), log_(log) {}
  std::optional<std::int32_t> fCreateShellLink(const std::wstring& folder, const std::wstring& linkName,
                                                const std::wstring& target, const std::wstring& arguments) override;
  std::optional<std::int32_t> fRemoveShellLink(const std::wstring& folder, const std::wstring& linkName) override;
  std::optional<std::int32_t> DISKSPACEFREE() override { return inner_.DISKSPACEFREE(); }

 private:
  CompanionLibrary& inner_;
  LogSink& log_;
};

class LoggedProcesses : public ProcessLauncher {
 public:
  LoggedProcesses(ProcessLauncher& inner, LogSink& log) : inner_(inner), log_(log) {}
  std::unique_ptr<RunningProcess> StartMinimized(const std::wstring& program, const std::wstring& commandLine) override;

 private:
  ProcessLauncher& inner_;
  LogSink& log_;
};
