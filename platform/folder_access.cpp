#include "platform/folder_access.h"

namespace {

// Object and container inherit: files and subfolders made later get the same rights.
constexpr const wchar_t* kInherited = L"OICI";
constexpr const wchar_t* kFullControl = L"0x1f01ff";     // FILE_ALL_ACCESS
constexpr const wchar_t* kReadAndExecute = L"0x1200a9";  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
constexpr const wchar_t* kModify = L"0x1301bf";          // read, execute, write and delete
// Read and execute, and make files and folders in it: what users may do to
// a working folder itself, which they may neither move away nor turn into a link.
constexpr const wchar_t* kReadAndAdd = L"0x1200af";

std::wstring Allow(const wchar_t* inheritance, const wchar_t* rights, const wchar_t* trustee) {
  return std::wstring(L"(A;") + inheritance + L";" + rights + L";;;" + trustee + L")";
}

std::wstring ProtectedSddl(const wchar_t* inheritance, UsersMay users) {
  // Owned by Administrators, not by the account that runs the setup: its
  // programs without elevation could otherwise change the list again.
  // "P": protected, so the permissive entries of a drive root never flow in.
  std::wstring own = L"O:BAD:P" + Allow(inheritance, kFullControl, L"SY") + Allow(inheritance, kFullControl, L"BA");
  if (users == UsersMay::ReadAndExecute) return own + Allow(inheritance, kReadAndExecute, L"BU");
  // A working folder: users change what is in it, not the folder itself.
  if (*inheritance) return own + Allow(L"", kReadAndAdd, L"BU") + Allow(L"OICIIO", kModify, L"BU");
  return own + Allow(L"", kModify, L"BU");
}

}  // namespace

std::wstring ProtectedFolderSddl(UsersMay users) { return ProtectedSddl(kInherited, users); }

std::wstring ProtectedFileSddl(UsersMay users) { return ProtectedSddl(L"", users); }

std::wstring OnTheWaySddl() {
  // As Windows gives a system drive's root: Authenticated Users may make
  // folders in it and change what they make, nothing more on it.
  return L"O:BAD:P" + Allow(kInherited, kFullControl, L"SY") + Allow(kInherited, kFullControl, L"BA") +
         Allow(kInherited, kReadAndExecute, L"BU") + Allow(L"", L"0x4", L"AU") + Allow(L"OICIIO", kModify, L"AU");
}
