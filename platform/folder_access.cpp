#include "platform/folder_access.h"

namespace {

// Object and container inherit: files and subfolders made later get the same rights.
constexpr const wchar_t* kInherited = L"OICI";
constexpr const wchar_t* kFullControl = L"0x1f01ff";     // FILE_ALL_ACCESS
constexpr const wchar_t* kReadAndExecute = L"0x1200a9";  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
constexpr const wchar_t* kModify = L"0x1301bf";          // read, execute, write and delete

std::wstring Allow(const wchar_t* rights, const wchar_t* trustee) {
  return std::wstring(L"(A;") + kInherited + L";" + rights + L";;;" + trustee + L")";
}

}  // namespace

std::wstring ProtectedFolderSddl(UsersMay users) {
  // "P": protected, so the permissive entries of a drive root never flow in.
  return L"D:P" + Allow(kFullControl, L"SY") + Allow(kFullControl, L"BA") +
         Allow(users == UsersMay::Modify ? kModify : kReadAndExecute, L"BU");
}
