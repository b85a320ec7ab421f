#include "install/target_path.h"

#include <string>

#include "platform/text.h"

namespace install {
bool IsFullPath(std::wstring_view path) {
  if (path.size() >= 3 && text::IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return true;
  if (!path.starts_with(L"\\\\")) return false;
  std::wstring_view rest = path.substr(2);
  std::size_t serverEnd = rest.find(L'\\');
  if (serverEnd == std::wstring_view::npos) return false;
  std::wstring_view server = rest.substr(0, serverEnd);
  std::wstring_view share = rest.substr(serverEnd + 1);
  share = share.substr(0, share.find(L'\\'));
  return !server.empty() && server != L"?" && server != L"." && !share.empty();
}

bool IsPlainFullPath(std::wstring_view path) {
  if (!IsFullPath(path)) return false;
  std::size_t start = path.starts_with(L"\\\\") ? 2 : 3;
  std::wstring_view rest = path.substr(start);
  if (rest.ends_with(L'\\')) rest.remove_suffix(1);
  for (bool more = !rest.empty(); more;) {
    std::size_t end = rest.find(L'\\');
    more = end != std::wstring_view::npos;
    std::wstring_view part = rest.substr(0, end);
    rest.remove_prefix(more ? end + 1 : rest.size());
    if (part.empty() || part.back() == L' ' || part.back() == L'.') return false;  // "." and ".." too
    for (wchar_t c : part) {
      if (c < 32 || std::wstring_view(L"/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    // CON, NUL, COM1 and their kind name a device in any folder, even with an extension.
    std::wstring base;
    for (wchar_t c : part.substr(0, part.find(L'.'))) base += (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c;
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
      if (base == device) return false;
    }
    if (base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) && base[3] >= L'1' &&
        base[3] <= L'9') {
      return false;
    }
  }
  return true;
}

bool IsDrivePath(std::wstring_view path) {
  return path.size() >= 3 && text::IsDriveLetter(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

}  // namespace install
