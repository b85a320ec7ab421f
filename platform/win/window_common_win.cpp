#include "platform/win/window_common_win.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr int kScreenDpi = 96;  // the layout is in twips at 15 per pixel; the program is not DPI aware

}  // namespace

RECT PixelRect(int left, int top, int width, int height) {
  return RECT{left / kTwipsPerPixel, top / kTwipsPerPixel, (left + width) / kTwipsPerPixel,
              (top + height) / kTwipsPerPixel};
}

std::wstring WindowText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got));
  return text;
}

HFONT DesignFonts::Get(const FontSpec& font) {
  std::wstring key = font.face ? std::wstring(font.face) + L"/" + std::to_wstring(font.hundredthsOfPoint) + L"/" +
                                     std::to_wstring(font.weight)
                               : std::wstring();
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return static_cast<HFONT>(found->second.get());
  HFONT created = nullptr;
  if (!font.face) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    created = CreateFontIndirectW(&metrics.lfMessageFont);
  } else {
    int height = -MulDiv(font.hundredthsOfPoint, kScreenDpi, 7200);
    created = CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face);
  }
  fonts_.emplace(key, UniqueGdiObject(created));
  return created;
}

HWND CreateTooltips(HINSTANCE instance, HWND owner) {
  return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

void AddTooltip(HWND tooltips, HWND owner, HWND control, const wchar_t* text, bool subclass) {
  if (!tooltips || !text || !*text) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | (subclass ? TTF_SUBCLASS : 0);
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::vector<HWND> InTabOrder(std::vector<std::pair<int, HWND>> controls) {
  std::sort(controls.begin(), controls.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<HWND> order;
  for (const auto& c : controls) order.push_back(c.second);
  return order;
}

HWND FocusedChild(HWND window) {
  HWND focus = GetFocus();
  return IsChild(window, focus) ? focus : nullptr;
}

void RestoreFocus(HWND remembered, const DialogKeys& keys) {
  HWND target = remembered && IsUsableControl(remembered) ? remembered : FirstUsableControl(keys);
  if (target) SetFocus(target);
}
