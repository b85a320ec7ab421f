#include "install/operation.h"

namespace install {

OperationResult Refusal(RefusalReason reason, const std::wstring& target, std::wstring_view folder,
                        std::wstring_view detail) {
  return Refused{reason, target, std::wstring(folder), std::wstring(detail)};
}

}  // namespace install
