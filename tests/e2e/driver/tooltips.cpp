#include "tests/e2e/driver/tooltips.h"

#include <commctrl.h>

#include "tests/e2e/driver/window_query.h"

namespace e2e {
namespace {

// Memory in another process, for messages whose arguments are pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, std::size_t size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  void* address() const { return address_; }
  bool Write(const void* data, std::size_t size, std::size_t offset = 0) const {
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }
  bool Read(void* data, std::size_t size, std::size_t offset = 0) const {
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace

std::vector<std::pair<HWND, std::wstring>> ReadTooltips(HWND window, HANDLE process) {
  std::vector<std::pair<HWND, std::wstring>> tips;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  constexpr std::size_t kTextChars = 512;
  RemoteBuffer remote(process, sizeof(TOOLINFOW) + kTextChars * sizeof(wchar_t));
  if (!remote.address()) return tips;
  auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.address()) + sizeof(TOOLINFOW));
  for (HWND tooltip : TopLevelWindowsOf(pid)) {
    if (lstrcmpiW(ClassOf(tooltip).c_str(), TOOLTIPS_CLASSW) != 0 || GetWindow(tooltip, GW_OWNER) != window) continue;
    LRESULT count = SendBounded(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      TOOLINFOW info{};
      info.cbSize = sizeof info;
      info.lpszText = remoteText;
      std::vector<wchar_t> empty(kTextChars, L'\0');
      remote.Write(&info, sizeof info);
      remote.Write(empty.data(), empty.size() * sizeof(wchar_t), sizeof(TOOLINFOW));
      if (!SendBounded(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.address()))) {
        continue;
      }
      remote.Read(&info, sizeof info);
      std::vector<wchar_t> text(kTextChars, L'\0');
      remote.Read(text.data(), (kTextChars - 1) * sizeof(wchar_t), sizeof(TOOLINFOW));
      HWND tool = (info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.uId) : nullptr;
      if (tool) tips.emplace_back(tool, text.data());
    }
  }
  return tips;
}

}  // namespace e2e
