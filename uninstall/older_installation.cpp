#include "uninstall/older_installation.h"

#include <algorithm>

#include "install/kit_files.h"
#include "install/registration_names.h"
#include "install/target_path.h"
#include "platform/file_system.h"
#include "platform/registry_api.h"

namespace uninstall {
namespace {

constexpr std::uint32_t kQueryValue = 0x1;  // KEY_QUERY_VALUE: reading needs no more
constexpr const wchar_t* kProductFile = kit_table::kKitFiles[0].installedName;  // kit file 1, the program

// The entry's command; empty without one.
std::wstring ReadUninstallString(RegistryApi& registry) {
  RegistryHandle key = 0;
  std::wstring command;
  if (registry.OpenKey(hkey::kLocalMachine, texts::kUninstallKey, kQueryValue, key) != 0) return command;
  std::int32_t status = registry.QueryStringValue(key, entry_value::kUninstallString, command);
  registry.CloseKey(key);
  if (status != 0) command.clear();
  return command;
}

}  // namespace

std::wstring ProgramFolder(const std::wstring& command) {
  std::wstring path = command;
  std::erase(path, L'"');
  std::size_t slash = path.find_last_of(L'\\');
  path.resize(slash == std::wstring::npos ? 0 : slash + 1);
  // Its files are deleted there: only a path that means what it reads.
  if (!install::IsPlainFullPath(path)) path.clear();
  return path;
}

std::optional<std::wstring> RegisteredFolder(RegistryApi& registry) {
  // No command names no folder.
  std::wstring folder = ProgramFolder(ReadUninstallString(registry));
  if (folder.empty()) return std::nullopt;
  return folder;
}

std::optional<std::wstring> OlderInstallation(RegistryApi& registry, FileSystem& files) {
  std::optional<std::wstring> folder = RegisteredFolder(registry);
  if (!folder || !files.IsOrdinaryFile(*folder + kProductFile)) return std::nullopt;
  return folder;
}

}  // namespace uninstall
