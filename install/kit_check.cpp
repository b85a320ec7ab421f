#include "install/kit_check.h"

#include "platform/file_system.h"

namespace install {

std::vector<KitFile> MissingKitFiles(FileSystem& files, const std::wstring& directory) {
  std::vector<KitFile> missing;
  for (const KitFile& file : KitFiles()) {
    // No folder holds no kit; a bare name would be looked for wherever the process is.
    if (directory.empty() || !files.IsOrdinaryFile(directory + file.kitName)) missing.push_back(file);
  }
  return missing;
}

}  // namespace install
