#include "install/target_path.h"

#include <string>
#include <string_view>

#include "platform/text.h"

namespace install {
namespace {

constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};

// The name, letters a to z taken in either case.
bool IsNamed(std::wstring_view name, std::string_view upper) {
  if (name.size() != upper.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    wchar_t c = name[i] >= L'a' && name[i] <= L'z' ? static_cast<wchar_t>(name[i] - L'a' + L'A') : name[i];
    if (c != static_cast<wchar_t>(upper[i])) return false;
  }
  return true;
}

// CON, NUL, COM1 and their kind name a device in any folder, even with an extension.
bool IsDeviceName(std::wstring_view part) {
  std::wstring_view base = part.substr(0, part.find(L'.'));
  while (base.ends_with(L' ')) base.remove_suffix(1);
  for (std::string_view device : kDevices) {
    if (IsNamed(base, device)) return true;
  }
  if (base.size() != 4 || base[3] < L'1' || base[3] > L'9') return false;
  std::wstring_view port = base.substr(0, 3);
  return IsNamed(port, "COM") || IsNamed(port, "LPT");
}

}  // namespace

bool IsFullPath(std::wstring_view path) {
  if (path.size() >= 3 && text::IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return true;
  if (!path.starts_with(L"\\\\")) return false;
  std::size_t serverEnd = path.find(L'\\', 2);
  if (serverEnd == std::wstring_view::npos) return false;
  std::wstring_view server = path.substr(2, serverEnd - 2);
  bool hasShare = serverEnd + 1 < path.size() && path[serverEnd + 1] != L'\\';
  return !server.empty() && server != L"?" && server != L"." && hasShare;
}

bool IsPlainFullPath(std::wstring_view path) {
  if (!IsFullPath(path)) return false;
  std::wstring_view rest = path;
  rest.remove_prefix(path.starts_with(L"\\\\") ? 2 : 3);  // a full path is at least that long
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
    if (IsDeviceName(part)) return false;
  }
  return true;
}

std::wstring RootOf(const std::wstring& path) {
  if (!path.starts_with(L"\\\\")) return text::WithTrailingBackslash(path.substr(0, 3));
  std::size_t server = path.find(L'\\', 2);
  std::size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
  return text::WithTrailingBackslash(share == std::wstring::npos ? path : path.substr(0, share + 1));
}

bool IsDrivePath(std::wstring_view path) {
  return path.size() >= 3 && text::IsDriveLetter(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

}  // namespace install
