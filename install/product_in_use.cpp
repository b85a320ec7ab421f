#include "install/product_in_use.h"

#include "install/kit_files.h"
#include "install/operation.h"
#include "platform/file_system.h"

namespace install {

bool ProductIsClosed(FileSystem& files, OperationQuestions& questions, const std::wstring& directory) {
  const std::wstring product = directory + KitFileNumber(1).installedName;
  while (files.IsInUse(product)) {
    if (!questions.RetryWhileInUse(directory)) return false;
  }
  return true;
}

}  // namespace install
