// Holds a file the way another program might, until it is ended:
//   hold_file exclusive PATH   open with no sharing at all
//   hold_file lock PATH        open shared, with its first bytes locked
// It creates PATH.held once it holds the file, so the test knows when.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  std::wstring mode = argv[1], path = argv[2];
  bool exclusive = mode == L"exclusive";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  if (!exclusive && !LockFile(file, 0, 0, 0x10000000, 0)) return 1;
  HANDLE held = CreateFileW((path + L".held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(held);
  Sleep(INFINITE);
  return 0;
}
