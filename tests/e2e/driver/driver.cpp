#include "tests/e2e/driver/driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <set>
#include <thread>
#include <utility>

#include "platform/win/packed_picture_win.h"
#include "tests/e2e/driver/png_writer.h"

namespace e2e {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconIds[] = {0x14, 0x440};  // Windows, Wine

// How long another program's window may take to answer a message before
// the test calls it hung.
constexpr UINT kAnswerWaitMs = 10000;

// A message to another program's window that cannot hang the test run: a
// window that does not answer fails the test (once per window and test) and
// the call gives 0. A window that is gone is no hang.
LRESULT SendBounded(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerWaitMs, &result)) {
    return static_cast<LRESULT>(result);
  }
  if (IsWindow(hwnd)) {
    static const ::testing::TestInfo* test = nullptr;
    static std::set<HWND> reported;
    const ::testing::TestInfo* current = ::testing::UnitTest::GetInstance()->current_test_info();
    if (current != test) {
      test = current;
      reported.clear();
    }
    if (reported.insert(hwnd).second) {
      ADD_FAILURE() << "window " << hwnd << " does not answer message 0x" << std::hex << message
                    << ": its program hangs";
    }
  }
  return 0;
}

std::wstring WindowText(HWND hwnd) {
  // WM_GETTEXT works across processes, also for controls of another process.
  LRESULT length = SendBounded(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT got = SendBounded(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::min(static_cast<std::size_t>(got), text.size() - 1));
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

namespace {

// Input goes to the foreground window, so the control's window is brought
// there first, and only once its program waits for input: a key or a click
// sent earlier would reach another window, or be taken as the user's too.
HWND ReadyForInput(HWND control) {
  HWND top = GetAncestor(control, GA_ROOT);
  DWORD pid = 0;
  GetWindowThreadProcessId(control, &pid);
  if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
    WaitForInputIdle(process, static_cast<DWORD>(kDefaultWait.count()));
    CloseHandle(process);
  }
  bool ready = WaitUntil([&] {
    if (!IsWindow(control) || !IsWindowVisible(top) || !IsWindowEnabled(top)) return false;
    if (GetForegroundWindow() != top) SetForegroundWindow(top);
    // Asked of the system, not of the window: a busy program answers a
    // message only at its next message-loop turn, and input must not wait.
    return GetForegroundWindow() == top && !IsHungAppWindow(top);
  });
  if (!ready) {
    ADD_FAILURE() << "window " << top << " never became ready for input (visible, enabled, in front, not hung)";
    return nullptr;
  }
  return top;
}

void Send(std::vector<INPUT> inputs) {
  UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) ADD_FAILURE() << "SendInput sent " << sent << " of " << inputs.size() << " events";
}

INPUT MouseEvent(DWORD flags, POINT screen = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    // Absolute positions are in 1/65536 of the screen; aim at the pixel's centre.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + 32768) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + 32768) / height);
  }
  input.mi.dwFlags = flags;
  return input;
}

INPUT KeyEvent(WORD virtualKey, bool up, wchar_t unicode = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  if (unicode) {
    input.ki.wScan = unicode;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
  } else {
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    switch (virtualKey) {
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
      case VK_HOME:
      case VK_END:
      case VK_PRIOR:
      case VK_NEXT:
      case VK_INSERT:
      case VK_DELETE:
        input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
        break;
      default:
        break;
    }
  }
  if (up) input.ki.dwFlags |= KEYEVENTF_KEYUP;
  return input;
}

// The control (or a child of it) is what the mouse hits at this screen point.
// The system passes over a disabled control to its parent, where a user's
// click on it lands.
bool Hits(HWND control, POINT screen) {
  HWND hit = WindowFromPoint(screen);
  if (!IsWindowEnabled(control) && hit == GetParent(control)) return true;
  return hit == control || IsChild(control, hit);
}

// Moves the mouse onto the control's client point and presses the left button
// clicks times, as fast as a user does: the button-up events are queued
// together with the button-down ones.
void ClickClientPoint(HWND control, POINT client, int clicks) {
  if (!ReadyForInput(control)) return;
  POINT screen = client;
  ClientToScreen(control, &screen);
  Send({MouseEvent(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen)});
  // A control that another window covers there cannot be clicked by a user.
  if (!WaitUntil([&] { return Hits(control, screen); }, 2s)) {
    ADD_FAILURE() << "control " << control << " (" << Utf8(ClassOf(control)) << " \"" << Utf8(WindowText(control))
                  << "\") is not what the mouse hits at " << screen.x << "," << screen.y << ": "
                  << WindowFromPoint(screen) << " is";
    return;
  }
  // Each press and release carries the position too: a window that has just
  // closed under the pointer (a message box) can move Wine's cursor back to
  // where it was, and a bare press would land there.
  std::vector<INPUT> inputs;
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseEvent(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen));
    inputs.push_back(MouseEvent(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen));
  }
  Send(inputs);
}

POINT ClientCentre(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return POINT{r.right / 2, r.bottom / 2};
}

}  // namespace

void Click(HWND button) { ClickClientPoint(button, ClientCentre(button), 1); }

void ClickInto(HWND control) { ClickClientPoint(control, ClientCentre(control), 1); }

void ClickAt(HWND control, int x, int y) { ClickClientPoint(control, POINT{x, y}, 1); }

void DoubleClick(HWND control) { ClickClientPoint(control, ClientCentre(control), 2); }

void DoubleClickAt(HWND control, int x, int y) { ClickClientPoint(control, POINT{x, y}, 2); }

void PressKey(HWND target, UINT virtualKey) {
  if (!ReadyForInput(target)) return;
  auto key = static_cast<WORD>(virtualKey);
  Send({KeyEvent(key, false), KeyEvent(key, true)});
}

void PressKeyWith(HWND target, UINT modifier, UINT virtualKey) {
  if (!ReadyForInput(target)) return;
  auto key = static_cast<WORD>(virtualKey);
  auto held = static_cast<WORD>(modifier);
  // A hand lets go of the modifier a moment after the key, by which time the
  // program has handled the key: what it does on the modifier's release alone
  // shows then.
  Send({KeyEvent(held, false), KeyEvent(key, false), KeyEvent(key, true)});
  Sleep(100);
  Send({KeyEvent(held, true)});
}

void PressAccessKey(HWND target, wchar_t letter) {
  PressKeyWith(target, VK_MENU, static_cast<UINT>(std::towupper(letter)));
}

void TypeText(HWND target, const std::wstring& text) {
  if (!ReadyForInput(target)) return;
  if (!WaitUntil([&] { return FocusedControl(target) == target; }, 5s)) {
    ADD_FAILURE() << "cannot type into " << target << ": the focus is on " << FocusedControl(target);
    return;
  }
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    // The key a user presses for the character, Shift included; characters
    // no plain key gives arrive as Unicode input, as from an input method.
    SHORT scan = VkKeyScanW(c);
    BYTE shifts = HIBYTE(scan);
    if (scan == -1 || (shifts & ~1)) {
      inputs.push_back(KeyEvent(0, false, c));
      inputs.push_back(KeyEvent(0, true, c));
      continue;
    }
    auto key = static_cast<WORD>(LOBYTE(scan));
    if (shifts & 1) inputs.push_back(KeyEvent(VK_SHIFT, false));
    inputs.push_back(KeyEvent(key, false));
    inputs.push_back(KeyEvent(key, true));
    if (shifts & 1) inputs.push_back(KeyEvent(VK_SHIFT, true));
  }
  Send(inputs);
}

void SetText(HWND control, const std::wstring& text) {
  SendBounded(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CloseWithCloseBox(HWND window) {
  if (!ReadyForInput(window)) return;
  // The close box is the rightmost button of the title bar, just above the
  // client area's right end. The window confirms it only after the click is
  // on its way: a busy program answers at its next message-loop turn, and a
  // user's click does not wait for that either.
  POINT clientCorner{0, 0};
  ClientToScreen(window, &clientCorner);
  RECT client{};
  GetClientRect(window, &client);
  int caption = GetSystemMetrics(SM_CYCAPTION), button = GetSystemMetrics(SM_CXSIZE);
  POINT target{clientCorner.x + client.right - button / 2 - 1, clientCorner.y - caption / 2};
  Send({MouseEvent(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, target),
        MouseEvent(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, target),
        MouseEvent(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, target)});
  DWORD_PTR hit = HTNOWHERE;
  if (SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(target.x, target.y), SMTO_ABORTIFHUNG, kAnswerWaitMs,
                          &hit) &&
      hit != HTCLOSE) {
    ADD_FAILURE() << "the click at " << target.x << "," << target.y << " missed the close box of window " << window;
  }
}

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
      Click(child);
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
