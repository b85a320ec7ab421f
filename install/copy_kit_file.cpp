#include "install/copy_kit_file.h"

#include <memory>

#include "install/install_texts.h"

namespace install {

KitFileFailure ReadFailure(const std::wstring& name, const FileError& error) {
  return {FailureKind::Read, name, error.description, error.code};
}

KitFileFailure WriteFailure(const std::wstring& name, const FileError& error) {
  return {FailureKind::Write, name, error.description, error.code};
}

std::wstring FailureMessage(const KitFileFailure& failure) {
  text::Ascii lead = failure.kind == FailureKind::Read    ? texts::kReadFailure
                     : failure.kind == FailureKind::Write ? texts::kWriteFailure
                                                          : texts::kRegistrationFailure;
  return text::Concat(
      {lead, "\r\n", failure.name, "\r\n\r\n", failure.description, "\r\n\r\n", texts::kCannotContinue});
}

HeldKitFile HoldKitFile(FileSystem& files, const std::wstring& path) {
  HeldKitFile held;
  held.file = files.OpenForReading(path, held.error);
  return held;
}

std::optional<FailureKind> FailedCopy(InputFile& from, OutputFile& to, FileError& error) {
  // Left as it comes: only what the reads fill is touched.
  auto buffer = std::make_unique_for_overwrite<std::byte[]>(kCopyBufferBytes);
  for (;;) {
    std::size_t got = 0;
    if (!from.Read({buffer.get(), kCopyBufferBytes}, got, error)) return FailureKind::Read;
    if (got == 0) break;
    if (!to.Write({buffer.get(), got}, error)) return FailureKind::Write;
  }
  if (!to.Close(error)) return FailureKind::Write;
  return std::nullopt;
}

StepFailure CopyKitFile(FileSystem& files, const InstallDirectories& directories, CurrentNames& names,
                        const std::wstring& kitName, const std::wstring& installedName,
                        const std::wstring& readName, const std::wstring& writeName) {
  HeldKitFile source = HoldKitFile(files, directories.kit + kitName);
  return CopyKitFile(files, source, directories.target + installedName, names, readName.c_str(), writeName.c_str());
}

StepFailure CopyKitFile(FileSystem& files, HeldKitFile& source, const std::wstring& destinationPath,
                        CurrentNames& names, const wchar_t* readName, const wchar_t* writeName) {
  // Made and moved in: assigning the pointers would bring the string's
  // general replace code into the program for these lines alone.
  names.read = std::wstring(readName);
  names.write = std::wstring(writeName);
  FileError error;
  if (!source.file) return ReadFailure(names.read, source.error);

  std::unique_ptr<OutputFile> destination = files.CreateForWriting(destinationPath, UsersMay::ReadAndExecute, error);
  std::optional<FailureKind> failed =
      destination ? FailedCopy(*source.file, *destination, error) : FailureKind::Write;
  if (!failed) return std::nullopt;
  return *failed == FailureKind::Read ? ReadFailure(names.read, error) : WriteFailure(names.write, error);
}

}  // namespace install
