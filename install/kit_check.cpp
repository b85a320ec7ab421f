#include "install/kit_check.h"

#include "platform/file_system.h"

namespace install {

std::vector<KitFile> MissingKitFiles(FileSystem& files, const std::wstring& directory) {
  std::vector<KitFile> missing;
  for (const KitFile& file : KitFiles()) {
    if (!files.IsOrdinaryFile(directory + file.kitName)) missing.push_back(file);
  }
  return missing;
}

}  // namespace install
