#include "install/kit_check.h"

#include "platform/file_system.h"

namespace install {

std::vector<KitFile> MissingKitFiles(FileSystem& files, const std::wstring& directory) {
  std::vector<KitFile> missing;
  for (const KitFile& file : KitFiles()) {
    // Without a folder there is no kit: a bare name would be looked for
    // wherever the process happens to be.
    if (directory.empty() || !files.IsOrdinaryFile(directory + file.kitName)) missing.push_back(file);
  }
  return missing;
}

}  // namespace install
