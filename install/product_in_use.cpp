#include "install/product_in_use.h"

#include "app/texts.h"
#include "install/kit_files.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"

namespace install {

bool ProductIsClosed(FileSystem& files, MessageBoxes& messages, const std::wstring& directory) {
  const std::wstring product = directory + KitFileNumber(1).installedName;
  while (files.IsInUse(product)) {
    MessageBoxAnswer answer = messages.Show(texts::kProductInUse + directory + texts::kProductInUseWhatToDo,
                                            mb::kExclamation | mb::kRetryCancel);
    if (answer != MessageBoxAnswer::Retry) return false;
  }
  return true;
}

}  // namespace install
