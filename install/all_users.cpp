#include "install/all_users.h"

#include "install/registration_names.h"
#include "platform/modReg.h"
#include "platform/text.h"

namespace install {

std::wstring PresetsImportCommand(const std::wstring& windowsDirectory, const std::wstring& directory) {
  text::Ascii separator = text::EndsWithBackslash(windowsDirectory) ? text::Ascii("") : text::Ascii("\\");
  return text::Concat(
      {"\"", windowsDirectory, separator, "System32\\reg.exe\" import \"", directory, kAllUsersPresets, "\""});
}

bool ActiveSetupImportsFrom(RegistryApi& registry, const std::wstring& windowsDirectory, const std::wstring& directory) {
  RegistryHandle key = 0;
  if (registry.OpenKey(hkey::kLocalMachine, texts::kActiveSetupKey, modReg::kKeyAccess, key) != 0) return false;
  std::wstring command;
  bool read = registry.QueryStringValue(key, active_setup_value::kStubPath, command) == 0;
  registry.CloseKey(key);
  return read && !windowsDirectory.empty() &&
         text::EqualsIgnoringCase(command, PresetsImportCommand(windowsDirectory, directory));
}

}  // namespace install
