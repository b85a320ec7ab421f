#include "platform/setup_dll/shortcut_folder.h"

#include <shlobj.h>

#include "platform/shortcut_places.h"

bool PathBuffer::Append(const wchar_t* s) {
  for (; ok_ && s && *s; ++s) {
    if (size_ + 1 >= kCapacity) {
      ok_ = false;
      break;
    }
    text_[size_++] = *s;
  }
  text_[size_ < kCapacity ? size_ : kCapacity - 1] = L'\0';
  return ok_;
}

void PathBuffer::Truncate(std::size_t length) {
  if (length < size_) size_ = length;
  text_[size_] = L'\0';
}

void PathBuffer::Measure() {
  text_[kCapacity - 1] = L'\0';
  size_ = static_cast<std::size_t>(lstrlenW(text_));
}

FARPROC SystemFunction(const wchar_t* library, const char* name) {
  PathBuffer path;
  UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  path.Measure();
  if (!path.Append(L"\\") || !path.Append(library)) return nullptr;
  // Stays loaded for the life of the process, as an import would.
  HMODULE module = LoadLibraryW(path.c_str());
  return module ? GetProcAddress(module, name) : nullptr;
}

namespace {

void DropTrailingBackslashes(PathBuffer& path) {
  std::size_t length = path.size();
  while (length > 0 && path.c_str()[length - 1] == L'\\') --length;
  path.Truncate(length);
}

bool ShellFolder(int csidl, PathBuffer& out) {
  static_assert(PathBuffer::kCapacity >= MAX_PATH);
  using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  auto getFolderPath = SystemFunctionAs<GetFolderPathFn>(L"shell32.dll", "SHGetFolderPathW");
  if (!getFolderPath || FAILED(getFolderPath(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, out.data()))) return false;
  out.Measure();
  return !out.empty();
}

}  // namespace

bool ShortcutFolder(const wchar_t* folder, PathBuffer& out) {
  PathBuffer relative;
  if (!relative.Append(folder)) return false;
  DropTrailingBackslashes(relative);
  // Walking up from Programs reached these folders only in the profiles of
  // old Windows; since then they live elsewhere, so ask the shell for them.
  const struct {
    const wchar_t* name;
    int csidl;
  } kShellFolders[] = {{shortcut_places::kThisUser.desktop, CSIDL_DESKTOPDIRECTORY},
                       {shortcut_places::kAllUsers.desktop, CSIDL_COMMON_DESKTOPDIRECTORY},
                       {shortcut_places::kAllUsers.programs, CSIDL_COMMON_PROGRAMS}};
  for (const auto& shell : kShellFolders) {
    if (CompareStringOrdinal(relative.c_str(), -1, shell.name, -1, TRUE) == CSTR_EQUAL) {
      return ShellFolder(shell.csidl, out);
    }
  }
  PathBuffer joined;
  if (!ShellFolder(CSIDL_PROGRAMS, joined)) return false;
  if (relative.empty()) return out.Append(joined.c_str());
  if (!joined.Append(L"\\") || !joined.Append(relative.c_str())) return false;
  DWORD length = GetFullPathNameW(joined.c_str(), PathBuffer::kCapacity, out.data(), nullptr);
  if (length == 0 || length >= PathBuffer::kCapacity) {
    out.Truncate(0);
    return out.Append(joined.c_str());
  }
  out.Measure();
  DropTrailingBackslashes(out);
  return true;
}

bool ShortcutPath(const wchar_t* folder, const wchar_t* linkName, PathBuffer& out) {
  if (!linkName || !*linkName || !ShortcutFolder(folder, out)) return false;
  return out.Append(L"\\") && out.Append(linkName) && out.Append(L".lnk");
}
