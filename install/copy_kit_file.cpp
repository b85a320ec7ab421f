#include "install/copy_kit_file.h"

#include <vector>

#include "install/install_texts.h"

namespace install {

std::wstring FailureMessage(const KitFileFailure& failure) {
  const wchar_t* lead = failure.kind == FailureKind::Read ? texts::kReadFailure : texts::kWriteFailure;
  return std::wstring(lead) + L"\r\n" + failure.name + L"\r\n\r\n" + failure.description + L"\r\n\r\n" +
         texts::kCannotContinue;
}

HeldKitFile HoldKitFile(FileSystem& files, const std::wstring& path) {
  HeldKitFile held;
  held.file = files.OpenForReading(path, held.error);
  return held;
}

StepFailure CopyKitFile(FileSystem& files, const InstallDirectories& directories, CurrentNames& names,
                        const std::wstring& kitName, const std::wstring& installedName,
                        const std::wstring& readName, const std::wstring& writeName) {
  HeldKitFile source = HoldKitFile(files, directories.kit + kitName);
  return CopyKitFile(files, source, directories.target + installedName, names, readName, writeName);
}

StepFailure CopyKitFile(FileSystem& files, HeldKitFile& source, const std::wstring& destinationPath,
                        CurrentNames& names, const std::wstring& readName, const std::wstring& writeName) {
  names.read = readName;
  names.write = writeName;
  FileError error;
  if (!source.file) return KitFileFailure{FailureKind::Read, names.read, source.error.description};

  std::unique_ptr<OutputFile> destination = files.CreateForWriting(destinationPath, UsersMay::ReadAndExecute, error);
  if (!destination) return KitFileFailure{FailureKind::Write, names.write, error.description};

  std::vector<std::byte> buffer(kCopyBufferBytes);
  for (;;) {
    std::size_t got = 0;
    if (!source.file->Read(buffer, got, error)) return KitFileFailure{FailureKind::Read, names.read, error.description};
    if (got == 0) break;
    if (!destination->Write(std::span<const std::byte>(buffer.data(), got), error)) {
      return KitFileFailure{FailureKind::Write, names.write, error.description};
    }
  }
  if (!destination->Close(error)) return KitFileFailure{FailureKind::Write, names.write, error.description};
  return std::nullopt;
}

bool SkipRuleHolds(FileSystem& files, const InstallDirectories& directories, const std::wstring& installedName) {
  return directories.kit == directories.target && files.IsOrdinaryFile(directories.target + installedName);
}

}  // namespace install
