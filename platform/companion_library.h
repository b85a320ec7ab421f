// The companion library "setup.dll" beside the setup program. Every call runs
// with errors suppressed: when the library or the function is not there, the
// call is skipped and reports that through an empty result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class CompanionLibrary {
 public:
  virtual ~CompanionLibrary() = default;
  virtual std::optional<std::int32_t> fCreateShellLink(const std::wstring& folder, const std::wstring& linkName,
                                                        const std::wstring& target, const std::wstring& arguments) = 0;
  virtual std::optional<std::int32_t> fRemoveShellLink(const std::wstring& folder, const std::wstring& linkName) = 0;
  // Free bytes on the process's current drive, capped at 2,147,483,647.
  virtual std::optional<std::int32_t> DISKSPACEFREE() = 0;
};
