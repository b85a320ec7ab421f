#include "app/win/kit_copy_win.h"

#include <algorithm>

#include "install/kit_files.h"
#include "platform/text.h"
#include "platform/win/environment_win.h"
#include "platform/win/kit_record_win.h"
#include "platform/win/private_folder_win.h"

RunKitCopy::RunKitCopy(LogSink* log)
    : log_(log),
      logged_(log ? std::optional<LoggedFileSystem>(std::in_place, real_, *log) : std::nullopt),
      copy_(Make()),
      companion_(ProvenLibrary()) {}

install::KitCopy RunKitCopy::Make() {
  // Unlogged: a running setup's copy (the single-file installer's among
  // them) stays, which is no news.
  std::wstring temp = SystemTempFolder();
  if (!temp.empty()) install::ClearLeftKitCopies(real_, temp);
  std::size_t size = 0;
  const std::uint8_t* bytes = OwnKitRecord(size);
  KitManifest manifest;
  install::OwnRecord own;
  if (ReadKitManifest(bytes, size, manifest)) own = {&manifest, bytes};
  std::wstring start = text::WithTrailingBackslash(EnvironmentWin().SetupDirectory());
  if (log_) log_->WriteLine(text::Concat({"Checking the kit in ", start, " in a copy of it"}));
  return install::CopyKit(files(), start, own);
}

std::wstring RunKitCopy::ProvenLibrary() const {
  // Without a copy there is no place to load it from: no path, no library.
  const wchar_t* name = KitFileNumber(4).kitName;
  if (copy_.directory.empty() || std::ranges::find(copy_.damaged, std::wstring_view(name)) != copy_.damaged.end()) {
    return {};
  }
  return copy_.directory + name;
}

void RunKitCopy::Remove() {
  companion_.Unload();
  install::RemoveKitCopy(files(), copy_);
}
