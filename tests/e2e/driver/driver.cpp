#include "tests/e2e/driver/driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <thread>
#include <utility>

#include "platform/win/packed_picture_win.h"
#include "tests/e2e/driver/png_writer.h"

namespace e2e {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconIds[] = {0x14, 0x440};  // Windows, Wine

std::wstring WindowText(HWND hwnd) {
  // WM_GETTEXT works across processes, also for controls of another process.
  LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

struct WindowSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->pid) search->found.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
  WindowSearch search{pid, {}};
  EnumWindows(&CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

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

// Tool window handle -> tooltip text, read from the tooltip controls owned
// by window.
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
    LRESULT count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      TOOLINFOW info{};
      info.cbSize = sizeof info;
      info.lpszText = remoteText;
      std::vector<wchar_t> empty(kTextChars, L'\0');
      remote.Write(&info, sizeof info);
      remote.Write(empty.data(), empty.size() * sizeof(wchar_t), sizeof(TOOLINFOW));
      if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.address()))) {
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

MessageIcon IdentifyIcon(HWND iconControl) {
  RECT r{};
  GetWindowRect(iconControl, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return MessageIcon::None;
  HDC screen = GetDC(nullptr);
  HDC shot = CreateCompatibleDC(screen);
  HBITMAP shotBitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldShot = SelectObject(shot, shotBitmap);
  BitBlt(shot, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  COLORREF background = GetPixel(shot, 0, 0);

  // Icons are not comparable by handle across processes; compare what each
  // system icon looks like drawn on the same background.
  struct Candidate {
    MessageIcon icon;
    LPCWSTR id;
  };
  const Candidate kCandidates[] = {{MessageIcon::Information, IDI_ASTERISK},
                                   {MessageIcon::Exclamation, IDI_EXCLAMATION},
                                   {MessageIcon::Critical, IDI_HAND},
                                   {MessageIcon::Question, IDI_QUESTION}};
  MessageIcon best = MessageIcon::None;
  long bestDifference = -1;
  HDC drawn = CreateCompatibleDC(screen);
  HBITMAP drawnBitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldDrawn = SelectObject(drawn, drawnBitmap);
  HBRUSH brush = CreateSolidBrush(background);
  for (const Candidate& candidate : kCandidates) {
    RECT all{0, 0, width, height};
    FillRect(drawn, &all, brush);
    DrawIconEx(drawn, 0, 0, LoadIconW(nullptr, candidate.id), 0, 0, 0, nullptr, DI_NORMAL);
    long difference = 0;
    for (int y = 0; y < std::min(height, 32); ++y) {
      for (int x = 0; x < std::min(width, 32); ++x) {
        if (GetPixel(drawn, x, y) != GetPixel(shot, x, y)) ++difference;
      }
    }
    if (bestDifference < 0 || difference < bestDifference) {
      bestDifference = difference;
      best = candidate.icon;
    }
  }
  DeleteObject(brush);
  SelectObject(drawn, oldDrawn);
  DeleteObject(drawnBitmap);
  DeleteDC(drawn);
  SelectObject(shot, oldShot);
  DeleteObject(shotBitmap);
  DeleteDC(shot);
  ReleaseDC(nullptr, screen);
  // A poor best match means no known icon is shown.
  return bestDifference >= 0 && bestDifference < 100 ? best : MessageIcon::None;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
}

SetupProcess SetupProcess::Start(const std::wstring& exe, const std::wstring& workingDirectory,
                                 const std::wstring& arguments) {
  SetupProcess started;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info)) {
    return started;
  }
  CloseHandle(info.hThread);
  started.process_ = info.hProcess;
  started.pid_ = info.dwProcessId;
  return started;
}

SetupProcess::SetupProcess(SetupProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), pid_(std::exchange(other.pid_, 0)) {}

SetupProcess& SetupProcess::operator=(SetupProcess&& other) noexcept {
  if (this != &other) {
    Kill();
    process_ = std::exchange(other.process_, nullptr);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

SetupProcess::~SetupProcess() { Kill(); }

bool SetupProcess::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> SetupProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  if (!process_ || WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

void SetupProcess::Kill() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

HWND SetupProcess::FindWindowTitled(const std::wstring& title, bool visibleOnly) const {
  for (HWND hwnd : TopLevelWindowsOf(pid_)) {
    if (visibleOnly && !IsWindowVisible(hwnd)) continue;
    if (WindowText(hwnd) == title && ClassOf(hwnd) != L"#32770") return hwnd;
  }
  return nullptr;
}

HWND SetupProcess::WaitForWindow(const std::wstring& title, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowTitled(title, true)) != nullptr || !Running(); }, timeout);
  return found;
}

std::vector<HWND> SetupProcess::VisibleTopLevelWindows() const {
  std::vector<HWND> visible;
  for (HWND hwnd : TopLevelWindowsOf(pid_)) {
    if (IsWindowVisible(hwnd)) visible.push_back(hwnd);
  }
  return visible;
}

std::optional<MessageBoxInfo> SetupProcess::WaitForMessageBox(std::chrono::milliseconds timeout) const {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        for (HWND hwnd : TopLevelWindowsOf(pid_)) {
          if (ClassOf(hwnd) == L"#32770" && IsWindowVisible(hwnd) && GetDlgItem(hwnd, kMessageTextId)) {
            box = hwnd;
            return true;
          }
        }
        return !Running();
      },
      timeout);
  if (!box) return std::nullopt;
  // The icon is recognised by its pixels: give the box time to paint it.
  MessageBoxInfo info = ReadMessageBox(box);
  WaitUntil([&] { return (info = ReadMessageBox(box)).icon != MessageIcon::None || !IsWindow(box); }, 2s);
  return info;
}

namespace {

struct TitleSearch {
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK FindVisibleTitled(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<TitleSearch*>(lParam);
  if (IsWindowVisible(hwnd) && ClassOf(hwnd) != L"#32770" && WindowText(hwnd) == *search->title) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitForAnyWindow(const std::wstring& title, std::chrono::milliseconds timeout) {
  TitleSearch search{&title, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(&FindVisibleTitled, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout);
  return search.found;
}

std::vector<ControlInfo> ListControls(HWND window, HANDLE process) {
  std::vector<std::pair<HWND, std::wstring>> tips = ReadTooltips(window, process);
  std::vector<ControlInfo> controls;
  for (HWND child : ChildrenOf(window)) {
    ControlInfo c;
    c.hwnd = child;
    c.id = GetDlgCtrlID(child);
    c.className = ClassOf(child);
    c.text = WindowText(child);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    c.visible = (style & WS_VISIBLE) != 0;
    c.enabled = (style & WS_DISABLED) == 0;
    c.readOnly = lstrcmpiW(c.className.c_str(), L"Edit") == 0 && (style & ES_READONLY) != 0;
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    c.twips = RECT{r.left * kTwipsPerPixel, r.top * kTwipsPerPixel, r.right * kTwipsPerPixel,
                   r.bottom * kTwipsPerPixel};
    for (const auto& [tool, text] : tips) {
      if (tool == child) c.tooltip = text;
    }
    controls.push_back(c);
  }
  return controls;
}

std::optional<ControlInfo> FindControl(const std::vector<ControlInfo>& controls, int id) {
  for (const ControlInfo& c : controls) {
    if (c.id == id) return c;
  }
  return std::nullopt;
}

HWND ControlHandle(HWND window, int id) { return GetDlgItem(window, id); }

std::wstring ControlText(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  return control ? WindowText(control) : L"<no control " + std::to_wstring(id) + L">";
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void ClickInto(HWND control) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void PressKey(HWND target, UINT virtualKey) {
  UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageW(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000);
}

void PressAccessKey(HWND target, wchar_t letter) {
  auto key = static_cast<UINT>(std::towupper(letter));
  UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  // Bit 29 is the context code: the Alt key is down.
  PostMessageW(target, WM_SYSKEYDOWN, key, 1 | (scan << 16) | (1u << 29));
  PostMessageW(target, WM_SYSKEYUP, key, 1 | (scan << 16) | (1u << 29) | 0xC0000000);
}

void TypeText(HWND target, const std::wstring& text) {
  for (wchar_t c : text) PostMessageW(target, WM_CHAR, c, 1);
}

void SetText(HWND control, const std::wstring& text) {
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CloseWithCloseBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

MessageBoxInfo ReadMessageBox(HWND box) {
  MessageBoxInfo info;
  info.hwnd = box;
  info.title = WindowText(box);
  info.text = ControlText(box, kMessageTextId);
  for (int id : kMessageIconIds) {
    HWND icon = GetDlgItem(box, id);
    if (icon && IsWindowVisible(icon)) info.icon = IdentifyIcon(icon);
  }
  for (HWND child : ChildrenOf(box)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 && IsWindowVisible(child)) {
      info.buttons.push_back(WindowText(child));
    }
  }
  return info;
}

bool AnswerMessageBox(const MessageBoxInfo& box, const std::wstring& buttonCaption) {
  for (HWND child : ChildrenOf(box.hwnd)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0 && WindowText(child) == buttonCaption) {
      PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                   reinterpret_cast<LPARAM>(child));
      return true;
    }
  }
  return false;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
  RECT r{};
  if (!GetWindowRect(window, &r)) return false;
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;  // top-down
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  const auto* bgra = static_cast<const std::uint8_t*>(bits);
  for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
    rgb[i * 3] = bgra[i * 4 + 2];
    rgb[i * 3 + 1] = bgra[i * 4 + 1];
    rgb[i * 3 + 2] = bgra[i * 4];
  }
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return WritePng(path, width, height, rgb);
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  HDC screen = GetDC(nullptr);
  COLORREF color = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return color;
}

int InkWidth(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  int left = width, right = -1;
  constexpr int kBorder = 3;
  for (int y = kBorder; y < height - kBorder; ++y) {
    for (int x = kBorder; x < width - kBorder; ++x) {
      COLORREF c = GetPixel(memory, x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return right < left ? 0 : right - left + 1;
}

int PixelsDifferingFromThePicture(HWND window, const std::wstring& exe, RECT area) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HBITMAP picture = module ? LoadPackedPicture(module, 101) : nullptr;
  if (!picture) {
    if (module) FreeLibrary(module);
    return -1;
  }
  int width = area.right - area.left, height = area.bottom - area.top;
  POINT origin{area.left, area.top};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  HDC shot = CreateCompatibleDC(screen);
  HBITMAP shotBitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldShot = SelectObject(shot, shotBitmap);
  BitBlt(shot, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  HDC expected = CreateCompatibleDC(screen);
  HGDIOBJ oldExpected = SelectObject(expected, picture);
  int differing = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (GetPixel(shot, x, y) != GetPixel(expected, area.left + x, area.top + y)) ++differing;
    }
  }
  SelectObject(expected, oldExpected);
  DeleteDC(expected);
  SelectObject(shot, oldShot);
  DeleteObject(shotBitmap);
  DeleteDC(shot);
  ReleaseDC(nullptr, screen);
  DeleteObject(picture);
  FreeLibrary(module);
  return differing;
}

int MessageFontTextWidth(const std::wstring& text) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return size.cx;
}

std::wstring Wide(const std::string& s) {
  int size = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), size);
  w.resize(w.size() - 1);
  return w;
}

std::string Utf8(const std::wstring& w) {
  int size = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), size, nullptr, nullptr);
  s.resize(s.size() - 1);
  return s;
}

}  // namespace e2e
