#include "platform/win/log_file_win.h"

#include <algorithm>
#include <vector>

#include "platform/folder_access.h"
#include "platform/text.h"
#include "platform/win/access_lists_win.h"
#include "platform/win/plain_file_win.h"
#include "platform/win/private_folder_win.h"
#include "platform/win/text_win.h"

namespace {

constexpr int kNames = 99;
// DELETE only to take back a file that is not where it should be; the log
// is then written through a handle without it, so that readers who do not
// share deletion (most do not) can read it while the setup runs.
constexpr DWORD kCreateAccess = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | DELETE | SYNCHRONIZE;
constexpr DWORD kWriteAccess = FILE_WRITE_DATA | FILE_APPEND_DATA | SYNCHRONIZE;

std::wstring Reason(const std::wstring& what, DWORD code) {
  return text::Concat({what, ": error ", text::Decimal(code), ", ", text::SystemMessage(code)});
}

// Opens every folder from the drive root down to the log's own (each one
// ending where the log's path has a backslash) as itself, and keeps them
// open without sharing deletion: none of them can be renamed, or replaced
// by a link, until the log is made in the last one.
bool HoldFolders(const std::wstring& path, std::vector<UniqueKernelHandle>& held, std::wstring& reason) {
  // One handle for each folder the loop opens: the root at position 2 and
  // each backslash after it, whatever lies at position 2.
  auto later = path.size() > 3 ? std::count(path.begin() + 3, path.end(), L'\\') : 0;
  held = std::vector<UniqueKernelHandle>(1 + static_cast<std::size_t>(later));
  std::size_t count = 0;
  for (std::size_t slash = 2; slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
    std::wstring folder(path.data(), slash == 2 ? 3 : slash);
    UniqueKernelHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) {
      reason = Reason(folder, GetLastError());
      return false;
    }
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (!GetFileInformationByHandleEx(handle.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsLinkReparsePoint(tag.FileAttributes, tag.ReparseTag)) {
      reason = folder + text::Ascii(": a link to another place, or no folder");
      return false;
    }
    held[count++] = std::move(handle);
  }
  return true;
}

}  // namespace

std::unique_ptr<LogFileWin> LogFileWin::Create(const std::wstring& path, bool elevated, std::wstring& reason) {
  // Written on the administrator's behalf, a log on a share would hand
  // the share's server the administrator's sign-in.
  if (path.size() < 4 || path[1] != L':' || path[2] != L'\\') {
    reason = path + text::Ascii(": not a full path on a drive of this computer");
    return nullptr;
  }
  const wchar_t root[] = {path[0], L':', L'\\', L'\0'};
  if (GetDriveTypeW(root) == DRIVE_REMOTE) {
    reason = path + text::Ascii(": a network drive");
    return nullptr;
  }
  std::vector<UniqueKernelHandle> folders;
  if (!HoldFolders(path, folders, reason)) return nullptr;
  ProtectedDescriptor list(ProtectedFileSddl(UsersMay::ReadAndExecute));
  if (elevated && !list) {
    reason = Reason(path, GetLastError());
    return nullptr;
  }
  // Where anyone may make files (the system's Temp), the numbered names can
  // all be taken ahead: a few numbers no one can guess come after them.
  for (int number = 1; number <= kNames + 4; ++number) {
    std::wstring name =
        NumberedLogPath(path, number <= kNames ? number : kNames + 1 + static_cast<int>(UnguessableNumber() % 1000000000));
    // CREATE_NEW: what lies under the name, a link too, is never opened.
    UniqueKernelHandle file(CreateFileW(name.c_str(), kCreateAccess, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        elevated ? list.attributes() : nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
      DWORD code = GetLastError();
      if (number == 1) reason = Reason(name, code);
      // The folder itself is missing or the name cannot be: no other name helps.
      if (code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME || code == ERROR_FILENAME_EXCED_RANGE) break;
      continue;
    }
    // Made where the name says, and nowhere else (Wine follows Unix links
    // whatever the flags say): else taken back, and the next name tried.
    if (!IsPlainFileAt(file.get(), name.c_str())) {
      DeleteThroughHandle(file.get());
      continue;
    }
    UniqueKernelHandle writer(
        ReOpenFile(file.get(), kWriteAccess, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0));
    std::unique_ptr<LogFileWin> log(new LogFileWin(writer ? std::move(writer) : std::move(file)));
    // The byte order mark makes every Windows tool read it as UTF-8.
    log->Append("\xEF\xBB\xBF");
    return log;
  }
  reason = text::Ascii("no free name for the log: ") + reason;
  return nullptr;
}

void LogFileWin::Append(std::string_view bytes) {
  DWORD written = 0;
  WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void LogFileWin::WriteLine(const std::wstring& line) {
  SYSTEMTIME now;  // filled whole by the call
  GetLocalTime(&now);
  // 2026-12-08 04:30:44.123, the local time.
  wchar_t stamp[32];
  int length = wsprintfW(stamp, L"%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay, now.wHour,
                         now.wMinute, now.wSecond, now.wMilliseconds);
  // The line made whole, then converted once, into room for the most UTF-8
  // can take: three bytes for each UTF-16 unit.
  std::wstring whole(stamp, static_cast<std::size_t>(length));
  AppendEscapedForLog(whole, line);
  whole += L"\r\n";
  std::string bytes(whole.size() * 3, '\0');
  int size = WideCharToMultiByte(CP_UTF8, 0, whole.data(), static_cast<int>(whole.size()), bytes.data(),
                                 static_cast<int>(bytes.size()), nullptr, nullptr);
  Append(std::string_view(bytes.data(), static_cast<std::size_t>(size)));
}

std::wstring DefaultLogPath() {
  wchar_t folder[MAX_PATH + 1];  // read only as far as a call filled it
  DWORD length = GetEnvironmentVariableW(L"TEMP", folder, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) length = GetTempPathW(MAX_PATH + 1, folder);
  std::wstring path(folder, length <= MAX_PATH ? length : 0);
  if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
  SYSTEMTIME now;
  GetLocalTime(&now);
  path += RunLogName(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  return path;
}
