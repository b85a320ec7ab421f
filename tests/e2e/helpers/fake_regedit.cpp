// Stands in for the registry editor in a folder that "WinDir" points to: it
// leaves a marker beside itself, so the test sees whether it was run.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  HANDLE marker = CreateFileW((std::wstring(self) + L".ran").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
  CloseHandle(marker);
  return 0;
}
