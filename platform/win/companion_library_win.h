#pragma once

#include <string>

#include "platform/companion_library.h"
#include "platform/win/handles_win.h"

// setup.dll, loaded by its full path (never through the DLL search order):
// the program loads it at start (Load), and a call made before that loads it
// then. An empty path loads nothing.
class CompanionLibraryWin : public CompanionLibrary {
 public:
  explicit CompanionLibraryWin(std::wstring libraryPath) : path_(std::move(libraryPath)) {}

  std::optional<std::int32_t> fCreateShellLink(const std::wstring& folder, const std::wstring& linkName,
                                                const std::wstring& target, const std::wstring& arguments) override;
  std::optional<std::int32_t> fRemoveShellLink(const std::wstring& folder, const std::wstring& linkName) override;
  std::optional<std::int32_t> DISKSPACEFREE() override;

  // Loads the library now, so that later calls still work after the file
  // itself was deleted. False when it cannot be loaded, or there is no path.
  bool Load();
  // Lets go of it for good: no later call loads it again.
  void Unload() {
    tried_ = true;
    module_.Reset();
  }

 private:
  FARPROC Function(const char* name);

  std::wstring path_;
  UniqueModule module_;
  bool tried_ = false;
};
