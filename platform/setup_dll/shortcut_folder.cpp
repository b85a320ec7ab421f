#include "platform/setup_dll/shortcut_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/text.h"

namespace {

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return path;
}

std::wstring WithoutTrailingBackslashes(std::wstring s) {
  while (!s.empty() && s.back() == L'\\') s.pop_back();
  return s;
}

}  // namespace

std::wstring ShortcutFolder(const std::wstring& folder) {
  std::wstring relative = WithoutTrailingBackslashes(folder);
  // Walking up from Programs reached the desktop only before Windows Vista;
  // since then the desktop lives elsewhere, so ask the shell for it.
  if (text::EqualsIgnoringCase(relative, L"..\\..\\Desktop")) return ShellFolder(CSIDL_DESKTOPDIRECTORY);
  std::wstring base = ShellFolder(CSIDL_PROGRAMS);
  if (base.empty() || relative.empty()) return base;
  std::wstring joined = base + L"\\" + relative;
  wchar_t full[MAX_PATH] = {};
  DWORD length = GetFullPathNameW(joined.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? WithoutTrailingBackslashes(full) : joined;
}

std::wstring ShortcutPath(const std::wstring& folder, const std::wstring& linkName) {
  std::wstring directory = ShortcutFolder(folder);
  if (directory.empty() || linkName.empty()) return {};
  return directory + L"\\" + linkName + L".lnk";
}
