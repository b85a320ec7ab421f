// The checked copy of the kit that one run of setup.exe works from
// (install/kit_copy.h), and setup.dll as loaded from it: made at start,
// before anything of the kit is used, and removed when the run ends,
// whichever way it ends (a crash excepted: the next run clears what it left).
#pragma once

#include <optional>

#include "install/kit_copy.h"
#include "platform/log_sink.h"
#include "platform/logged_services.h"
#include "platform/win/companion_library_win.h"
#include "platform/win/file_system_win.h"

class RunKitCopy {
 public:
  // log: where the copy's file steps go, when the run keeps one.
  explicit RunKitCopy(LogSink* log);
  RunKitCopy(const RunKitCopy&) = delete;
  RunKitCopy& operator=(const RunKitCopy&) = delete;
  ~RunKitCopy() { Remove(); }

  const install::KitCopy& copy() const { return copy_; }
  // setup.dll of the copy; one that was not proven is never loaded.
  CompanionLibraryWin& companion() { return companion_; }
  // setup.dll first, since a loaded library cannot be deleted; then the
  // copy's files and its folder. Once is enough.
  void Remove();

 private:
  FileSystem& files() { return logged_ ? static_cast<FileSystem&>(*logged_) : real_; }
  install::KitCopy Make();
  std::wstring ProvenLibrary() const;

  FileSystemWin real_;
  LogSink* log_;
  std::optional<LoggedFileSystem> logged_;
  install::KitCopy copy_;
  CompanionLibraryWin companion_;
};
