#include "platform/win/companion_library_win.h"

#include <windows.h>

#include "platform/win/text_win.h"

namespace {

using CreateShellLinkFn = LONG(WINAPI*)(LPCSTR folder, LPCSTR name, LPCSTR target, LPCSTR arguments);
using RemoveShellLinkFn = LONG(WINAPI*)(LPCSTR folder, LPCSTR name);
using CreateShellLinkWFn = LONG(WINAPI*)(LPCWSTR folder, LPCWSTR name, LPCWSTR target, LPCWSTR arguments);
using RemoveShellLinkWFn = LONG(WINAPI*)(LPCWSTR folder, LPCWSTR name);
using DiskSpaceFreeFn = LONG(WINAPI*)();

}  // namespace

bool CompanionLibraryWin::Load() {
  if (!tried_ && !path_.empty()) {
    tried_ = true;
    // A missing or broken library is skipped without any message box.
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    module_.Reset(LoadLibraryExW(path_.c_str(), nullptr, 0));
    SetErrorMode(previous);
  }
  return static_cast<bool>(module_);
}

FARPROC CompanionLibraryWin::Function(const char* name) {
  return Load() ? GetProcAddress(module_.get(), name) : nullptr;
}

std::optional<std::int32_t> CompanionLibraryWin::fCreateShellLink(const std::wstring& folder,
                                                                   const std::wstring& linkName,
                                                                   const std::wstring& target,
                                                                   const std::wstring& arguments) {
  // The wide export keeps names outside the ANSI code page (a target such as
  // C:\Tools\Морване would become C:\Tools\??????? through the ANSI one); an
  // older library has only the ANSI one.
  if (auto wide = ProcAs<CreateShellLinkWFn>(Function("fCreateShellLinkW"))) {
    return wide(folder.c_str(), linkName.c_str(), target.c_str(), arguments.c_str());
  }
  auto call = ProcAs<CreateShellLinkFn>(Function("fCreateShellLink"));
  if (!call) return std::nullopt;
  return call(text::ToAnsi(folder).c_str(), text::ToAnsi(linkName).c_str(), text::ToAnsi(target).c_str(),
              text::ToAnsi(arguments).c_str());
}

std::optional<std::int32_t> CompanionLibraryWin::fRemoveShellLink(const std::wstring& folder,
                                                                   const std::wstring& linkName) {
  if (auto wide = ProcAs<RemoveShellLinkWFn>(Function("fRemoveShellLinkW"))) {
    return wide(folder.c_str(), linkName.c_str());
  }
  auto call = ProcAs<RemoveShellLinkFn>(Function("fRemoveShellLink"));
  if (!call) return std::nullopt;
  return call(text::ToAnsi(folder).c_str(), text::ToAnsi(linkName).c_str());
}

std::optional<std::int32_t> CompanionLibraryWin::DISKSPACEFREE() {
  auto call = ProcAs<DiskSpaceFreeFn>(Function("DISKSPACEFREE"));
  if (!call) return std::nullopt;
  return call();
}
