// Reads a shell link (.lnk) file from its bytes, by the published binary
// format, without the shell's own IShellLink: an independent check of what
// the companion library wrote.
#pragma once

#include <optional>
#include <string>

namespace e2e {

struct ShellLinkInfo {
  std::wstring localBasePath;  // the target as stored in the link's location info
  // The target as the link's item ID list names it: what the shell follows.
  // Wine stores the location info in the ANSI code page only; the list keeps
  // every name whole.
  std::wstring idListPath;
  std::wstring arguments;
  std::wstring workingDirectory;
};

std::optional<ShellLinkInfo> ReadShellLink(const std::wstring& path);

}  // namespace e2e
