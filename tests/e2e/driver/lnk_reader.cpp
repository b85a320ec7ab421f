#include "tests/e2e/driver/lnk_reader.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace e2e {
namespace {

constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kHasName = 0x4;
constexpr std::uint32_t kHasRelativePath = 0x8;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kIsUnicode = 0x80;

std::optional<std::vector<std::uint8_t>> ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<std::uint8_t> bytes(GetFileSize(file, nullptr));
  DWORD read = 0;
  bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

class Cursor {
 public:
  explicit Cursor(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  bool Has(std::size_t n) const { return position_ + n <= bytes_.size(); }
  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8); }
  std::uint32_t U32(std::size_t at) const { return U16(at) | static_cast<std::uint32_t>(U16(at + 2)) << 16; }
  std::size_t position_ = 0;
  const std::vector<std::uint8_t>& bytes_;
};

std::wstring AnsiAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::string s;
  while (at < bytes.size() && bytes[at]) s.push_back(static_cast<char>(bytes[at++]));
  int size = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), size);
  w.resize(w.size() - 1);
  return w;
}

}  // namespace

std::optional<ShellLinkInfo> ReadShellLink(const std::wstring& path) {
  std::optional<std::vector<std::uint8_t>> bytes = ReadAll(path);
  if (!bytes || bytes->size() < 0x4C) return std::nullopt;
  Cursor c(*bytes);
  // Header: size 0x4C and the shell link class ID 00021401-0000-0000-C000-000000000046.
  static const std::uint8_t kClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  if (c.U32(0) != 0x4C || std::memcmp(bytes->data() + 4, kClsid, 16) != 0) return std::nullopt;
  std::uint32_t flags = c.U32(0x14);
  std::size_t at = 0x4C;
  ShellLinkInfo info;
  if (flags & kHasLinkTargetIdList) {
    if (at + 2 > bytes->size()) return std::nullopt;
    std::size_t size = c.U16(at);
    if (at + 2 + size > bytes->size() || size < 2) return std::nullopt;
    // The list as the file holds it, ending in its zero terminator; the
    // shell turns its items into a path.
    std::vector<std::uint16_t> list((size + 1) / 2 + 1, 0);
    std::memcpy(list.data(), bytes->data() + at + 2, size);
    wchar_t path[MAX_PATH * 2] = {};
    if (SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(list.data()), path)) info.idListPath = path;
    at += 2 + size;
  }
  if (flags & kHasLinkInfo) {
    if (at + 0x1C > bytes->size()) return std::nullopt;
    std::uint32_t size = c.U32(at);
    std::uint32_t headerSize = c.U32(at + 4);
    std::uint32_t linkInfoFlags = c.U32(at + 8);
    if (linkInfoFlags & 0x1) {  // VolumeIDAndLocalBasePath
      if (headerSize >= 0x24 && at + 0x20 <= bytes->size() && c.U32(at + 0x1C)) {
        std::size_t unicode = at + c.U32(at + 0x1C);
        std::wstring w;
        while (unicode + 1 < bytes->size() && c.U16(unicode)) {
          w.push_back(static_cast<wchar_t>(c.U16(unicode)));
          unicode += 2;
        }
        info.localBasePath = w;
      } else {
        info.localBasePath = AnsiAt(*bytes, at + c.U32(at + 0x10));
      }
    }
    at += size;
  }
  // String data: counted strings in a fixed order.
  auto readString = [&](std::wstring* into) {
    if (at + 2 > bytes->size()) return false;
    std::size_t count = c.U16(at);
    at += 2;
    std::size_t width = (flags & kIsUnicode) ? 2 : 1;
    if (at + count * width > bytes->size()) return false;
    std::wstring s;
    for (std::size_t i = 0; i < count; ++i) s.push_back(width == 2 ? c.U16(at + 2 * i) : (*bytes)[at + i]);
    at += count * width;
    if (into) *into = s;
    return true;
  };
  if ((flags & kHasName) && !readString(nullptr)) return std::nullopt;
  if ((flags & kHasRelativePath) && !readString(nullptr)) return std::nullopt;
  if ((flags & kHasWorkingDir) && !readString(&info.workingDirectory)) return std::nullopt;
  if ((flags & kHasArguments) && !readString(&info.arguments)) return std::nullopt;
  return info;
}

}  // namespace e2e
