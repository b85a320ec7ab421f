// Works the real setup.exe from outside, as a user and as assistive
// technology would: finds its windows, reads every control, clicks, types,
// answers message boxes and closes windows. Every wait is bounded: a message
// to a window that does not answer, or a window that never takes input,
// fails the test instead of hanging the run.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
inline constexpr std::chrono::milliseconds kDefaultWait = 15s;

// Polls until condition holds or timeout passes; true when it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kDefaultWait);

struct ControlInfo {
  HWND hwnd = nullptr;
  int id = 0;
  std::wstring className;
  std::wstring text;
  bool visible = false;  // the control's own style, whatever its window shows
  bool enabled = false;
  bool readOnly = false;
  RECT twips{};  // in the parent's client area, 15 twips to a pixel
  std::wstring tooltip;
};

enum class MessageIcon { None, Information, Exclamation, Critical, Question };

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring title;
  std::wstring text;
  MessageIcon icon = MessageIcon::None;
  std::vector<std::wstring> buttons;  // captions, in order
};

class SetupProcess {
 public:
  // Starts exe with the given working directory; fails the test run loudly
  // (empty process) when it cannot be started.
  static SetupProcess Start(const std::wstring& exe, const std::wstring& workingDirectory,
                            const std::wstring& arguments = L"");
  SetupProcess() = default;
  SetupProcess(SetupProcess&& other) noexcept;
  SetupProcess& operator=(SetupProcess&& other) noexcept;
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;
  ~SetupProcess();  // kills it if it still runs

  explicit operator bool() const { return process_ != nullptr; }
  DWORD pid() const { return pid_; }
  HANDLE handle() const { return process_; }
  bool Running() const;
  // The exit code once the process has ended within the timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = kDefaultWait) const;
  void Kill();

  // The process's visible top-level window with this title.
  HWND WaitForWindow(const std::wstring& title, std::chrono::milliseconds timeout = kDefaultWait) const;
  // Any top-level window of the process with this title, shown or not.
  HWND FindWindowTitled(const std::wstring& title, bool visibleOnly) const;
  // A message box (a dialog of class #32770) of the process.
  std::optional<MessageBoxInfo> WaitForMessageBox(std::chrono::milliseconds timeout = kDefaultWait) const;
  std::vector<HWND> VisibleTopLevelWindows() const;

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// A visible top-level window with this title, of any process (for a setup
// started by someone else, such as the system's uninstaller).
HWND WaitForAnyWindow(const std::wstring& title, std::chrono::milliseconds timeout = kDefaultWait);

// Every child control of window, with tooltips read from the window's
// tooltip control in the other process's memory.
std::vector<ControlInfo> ListControls(HWND window, HANDLE process);
std::optional<ControlInfo> FindControl(const std::vector<ControlInfo>& controls, int id);
std::wstring ControlText(HWND window, int id);
HWND ControlHandle(HWND window, int id);
// The control with the keyboard focus in window's thread.
HWND FocusedControl(HWND window);

// The user's input, sent as real mouse and keyboard input (SendInput), so it
// takes the same way through the program as a user's: the control's window
// is brought to the front first. Clicks go to the control's screen position,
// every press and release carrying it, and fail the test when something else
// lies there or the cursor is not there after the click; keys go to whichever
// control of target's window has the focus, as a user's keys do. A window
// that never becomes visible, enabled and in front fails the test.
void Click(HWND button);                   // a left click at the centre
void ClickInto(HWND control);              // the same click, into a text box or list
void ClickAt(HWND control, int x, int y);  // at a point of the control's client area
void DoubleClick(HWND control);
void DoubleClickAt(HWND control, int x, int y);
void PressKey(HWND target, UINT virtualKey);                     // key down and up
void PressKeyWith(HWND target, UINT modifier, UINT virtualKey);  // Shift+Tab, Alt+F4...
void PressAccessKey(HWND target, wchar_t letter);                // Alt+letter
// Types text with the keyboard into target, which must have the focus.
void TypeText(HWND target, const std::wstring& text);
void SetText(HWND control, const std::wstring& text);  // as assistive technology may, without input
void CloseWithCloseBox(HWND window);                   // a click on the title bar's close box

MessageBoxInfo ReadMessageBox(HWND box);
// Clicks the message box button with this caption ("OK", "&Yes", ...).
bool AnswerMessageBox(const MessageBoxInfo& box, const std::wstring& buttonCaption);

// Saves the window, frame included, as it is on screen.
bool SaveScreenshot(HWND window, const std::wstring& path);
// The colour of a client pixel of window as it is on screen.
COLORREF ScreenPixel(HWND window, int x, int y);
// The width in pixels of the dark "ink" (text) drawn inside a control, as it
// is on screen: from the leftmost to the rightmost dark pixel, border excluded.
int InkWidth(HWND control);
// How many client pixels of window inside area differ, on screen, from the
// background picture (packed picture resource 101) of the program file exe.
int PixelsDifferingFromThePicture(HWND window, const std::wstring& exe, RECT area);
// The width the system draws text in with the message font (buttons' font).
int MessageFontTextWidth(const std::wstring& text);

std::wstring Wide(const std::string& s);
std::string Utf8(const std::wstring& s);

}  // namespace e2e
