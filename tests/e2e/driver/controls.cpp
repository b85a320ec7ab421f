#include "tests/e2e/driver/controls.h"

#include "tests/e2e/driver/tooltips.h"
#include "tests/e2e/driver/window_query.h"

namespace e2e {
namespace {

constexpr int kTwipsPerPixel = 15;

}  // namespace

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

void SetText(HWND control, const std::wstring& text) {
  SendBounded(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace e2e
