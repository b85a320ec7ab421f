#include "install/target_path.h"

namespace install {
namespace {

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

bool IsFullPath(std::wstring_view path) {
  if (path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return true;
  if (!path.starts_with(L"\\\\")) return false;
  std::wstring_view rest = path.substr(2);
  std::size_t serverEnd = rest.find(L'\\');
  if (serverEnd == std::wstring_view::npos) return false;
  std::wstring_view server = rest.substr(0, serverEnd);
  std::wstring_view share = rest.substr(serverEnd + 1);
  share = share.substr(0, share.find(L'\\'));
  return !server.empty() && server != L"?" && server != L"." && !share.empty();
}

bool IsDrivePath(std::wstring_view path) {
  return path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

}  // namespace install
