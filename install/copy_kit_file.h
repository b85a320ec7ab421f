// Copying one kit file to its installed name, and the two failure classes
// of the installation's file work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "install/kit_files.h"
#include "platform/file_system.h"

namespace install {

// Registration: the per-user setting or the uninstall entry could not be
// written.
enum class FailureKind : std::uint8_t { Read, Write, Registration };

// What a failed step of the installation hands back: the work done so far
// is rolled back, and the front end tells what failed.
struct KitFileFailure {
  FailureKind kind;
  std::wstring name;         // the current read or write name; what could not be registered
  std::wstring description;  // the system's one-line text
  std::uint32_t code = 0;    // the system's error code
};

KitFileFailure ReadFailure(const std::wstring& name, const FileError& error);
KitFileFailure WriteFailure(const std::wstring& name, const FileError& error);

std::wstring FailureMessage(const KitFileFailure& failure);

// The names a failure shows; every file step sets both before it starts and
// they stay until the next step sets them.
// The result of a file step: nothing when it went through.
using StepFailure = std::optional<KitFileFailure>;

struct CurrentNames {
  std::wstring read;
  std::wstring write;
};

// Both upper case with a trailing backslash, formed once per installation.
// The installation reads its kit files from the kit's checked copy, and
// takes kit as the folder it was started from, for the skip rule.
struct InstallDirectories {
  std::wstring kit;
  std::wstring target;
};

inline constexpr std::size_t kCopyBufferBytes = 1 << 20;

// A kit file the installation holds open from its start to its end. Opened
// with read sharing only: meanwhile no one can write, rename or delete it,
// so what is copied is what was there when the installation began.
struct HeldKitFile {
  std::unique_ptr<InputFile> file;  // null when it could not be opened
  FileError error;                  // why not
};

HeldKitFile HoldKitFile(FileSystem& files, const std::wstring& path);

// Copies the whole of from into to, then closes to. Nothing when that went
// through; otherwise the side that failed (Read or Write), error saying why.
std::optional<FailureKind> FailedCopy(InputFile& from, OutputFile& to, FileError& error);

// Copies the held file, from where it stands (its start, as nothing read it
// before), to destination under the given names.
[[nodiscard]] StepFailure CopyKitFile(FileSystem& files, HeldKitFile& source, const std::wstring& destination,
                                      CurrentNames& names, const wchar_t* readName, const wchar_t* writeName);

// Copies kit directory + kitName to target directory + installedName. The
// source is opened before the destination is touched; the destination ends
// with exactly the source's bytes, or as far as a failure left it.
[[nodiscard]] StepFailure CopyKitFile(FileSystem& files, const InstallDirectories& directories, CurrentNames& names,
                 const std::wstring& kitName, const std::wstring& installedName, const std::wstring& readName,
                 const std::wstring& writeName);

[[nodiscard]] inline StepFailure CopyKitFile(FileSystem& files, const InstallDirectories& directories,
                                             CurrentNames& names, const KitFile& row) {
  return CopyKitFile(files, directories, names, row.kitName, row.installedName, row.readName, row.writeName);
}

}  // namespace install
