#include "platform/win/log_file_win.h"

#include "platform/win/text_win.h"

namespace {

// No DELETE right kept: a reader that does not share deletion (most do not)
// could not open the log while the setup runs.
constexpr DWORD kAccess = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
// Another setup refused while this one runs adds its line to the same log.
constexpr DWORD kSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kNoLinkFollowed = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

UniqueKernelHandle OpenByName(const std::wstring& path, DWORD disposition) {
  return UniqueKernelHandle(CreateFileW(path.c_str(), kAccess, kSharing, nullptr, disposition, kNoLinkFollowed, nullptr));
}

// An ordinary file with no other name, reached by its own name: writing to
// it changes nothing else. The name test catches a link that the system
// followed all the same (Wine follows Unix links whatever the flag says).
bool IsOwnPlainFile(HANDLE file, const std::wstring& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return false;
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      info.nNumberOfLinks != 1) {
    return false;
  }
  wchar_t opened[MAX_PATH * 2] = {};
  DWORD length = GetFinalPathNameByHandleW(file, opened, MAX_PATH * 2, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= MAX_PATH * 2) return false;
  std::wstring_view reached(opened, length);
  std::wstring_view asked(path);
  reached.remove_prefix(reached.find_last_of(L'\\') + 1);
  asked.remove_prefix(asked.find_last_of(L"\\/") + 1);
  return CompareStringOrdinal(reached.data(), static_cast<int>(reached.size()), asked.data(),
                              static_cast<int>(asked.size()), TRUE) == CSTR_EQUAL;
}

std::string Utf8(const std::wstring& s) {
  if (s.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::unique_ptr<LogFileWin> LogFileWin::Open(const std::wstring& path, bool fresh, std::wstring& reason) {
  UniqueKernelHandle file = OpenByName(path, OPEN_ALWAYS);
  if (!file) {
    reason = text::SystemMessage(GetLastError());
    return nullptr;
  }
  // Something else under the log's name is neither written through nor
  // removed: it may be a user's way into a file only administrators may change.
  if (!IsOwnPlainFile(file.get(), path)) {
    reason = L"A link, a folder or a file with another name lies under that name.";
    return nullptr;
  }
  if (fresh) {
    FILE_END_OF_FILE_INFO empty{};
    if (!SetFileInformationByHandle(file.get(), FileEndOfFileInfo, &empty, sizeof empty)) {
      reason = text::SystemMessage(GetLastError());
      return nullptr;
    }
  }
  std::unique_ptr<LogFileWin> log(new LogFileWin(std::move(file)));
  // The byte order mark makes every Windows tool read it as UTF-8.
  LARGE_INTEGER size{};
  if (GetFileSizeEx(log->file_.get(), &size) && size.QuadPart == 0) log->Append("\xEF\xBB\xBF");
  return log;
}

void LogFileWin::Append(const std::string& bytes) {
  // Always at the end, also when another setup has added a line meanwhile.
  OVERLAPPED atEnd{};
  atEnd.Offset = 0xFFFFFFFF;
  atEnd.OffsetHigh = 0xFFFFFFFF;
  DWORD written = 0;
  WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, &atEnd);
}

void LogFileWin::WriteLine(const std::wstring& line) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  // 2026-12-08 04:30:44.123, the local time.
  std::string stamp;
  auto digits = [&stamp](unsigned value, int count, char after) {
    for (int place = count - 1; place >= 0; --place) {
      unsigned divisor = 1;
      for (int i = 0; i < place; ++i) divisor *= 10;
      stamp.push_back(static_cast<char>('0' + value / divisor % 10));
    }
    stamp.push_back(after);
  };
  digits(now.wYear, 4, '-');
  digits(now.wMonth, 2, '-');
  digits(now.wDay, 2, ' ');
  digits(now.wHour, 2, ':');
  digits(now.wMinute, 2, ':');
  digits(now.wSecond, 2, '.');
  digits(now.wMilliseconds, 3, ' ');
  Append(stamp + Utf8(line) + "\r\n");
}

std::wstring DefaultLogPath() {
  wchar_t folder[MAX_PATH + 1] = {};
  DWORD length = GetEnvironmentVariableW(L"TEMP", folder, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) length = GetTempPathW(MAX_PATH + 1, folder);
  std::wstring path(folder, length <= MAX_PATH ? length : 0);
  if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
  return path + L"Morvane Setup.log";
}
