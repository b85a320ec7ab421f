#include "platform/win/window_common_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win/dpi_win.h"

RECT PixelRect(int left, int top, int width, int height, int dpi) {
  return RECT{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(left + width, dpi),
              TwipsToPixels(top + height, dpi)};
}

std::wstring WindowText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got));
  return text;
}

HFONT DesignFonts::Get(const FontSpec& font) {
  for (const Made& made : fonts_) {
    if (made.asked.face == font.face && made.asked.hundredthsOfPoint == font.hundredthsOfPoint &&
        made.asked.weight == font.weight) {
      return static_cast<HFONT>(made.font.get());
    }
  }
  HFONT created = nullptr;
  if (!font.face) {
    LOGFONTW message = MessageFont(dpi_);
    created = CreateFontIndirectW(&message);
  } else {
    int height = -MulDiv(font.hundredthsOfPoint, dpi_, 7200);
    created = CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face);
  }
  fonts_.push_back(Made{font, UniqueGdiObject(created)});
  return created;
}

WindowIcons::~WindowIcons() { Free(); }

void WindowIcons::Free() {
  if (big_) DestroyIcon(big_);
  if (small_) DestroyIcon(small_);
  big_ = small_ = nullptr;
}

void WindowIcons::Apply(HINSTANCE instance, int iconId, HWND window, int dpi) {
  // The one 32 x 32 image, drawn by the system at each size the scale needs.
  auto load = [&](int metric) {
    int size = SystemMetric(metric, dpi);
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
  };
  HICON big = load(SM_CXICON), small = load(SM_CXSMICON);
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  Free();  // the window no longer shows the old ones
  big_ = big;
  small_ = small;
}

void ResizeClientArea(HWND window, SIZE client) {
  RECT outer{}, inner{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &inner);
  int width = client.cx + (outer.right - outer.left) - inner.right;
  int height = client.cy + (outer.bottom - outer.top) - inner.bottom;
  if (width != outer.right - outer.left || height != outer.bottom - outer.top) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void KeepDesignedSize(MINMAXINFO& limits, SIZE frame) {
  limits.ptMaxTrackSize.x = std::max<LONG>(limits.ptMaxTrackSize.x, frame.cx);
  limits.ptMaxTrackSize.y = std::max<LONG>(limits.ptMaxTrackSize.y, frame.cy);
}

void MoveToSuggested(HWND window, const RECT& suggested) {
  SetWindowPos(window, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateTooltips(HINSTANCE instance, HWND owner) {
  return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

void AddTooltip(HWND tooltips, HWND owner, HWND control, const std::wstring& text, bool subclass) {
  if (!tooltips || text.empty()) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | (subclass ? TTF_SUBCLASS : 0);
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND FocusedChild(HWND window) {
  HWND focus = GetFocus();
  return IsChild(window, focus) ? focus : nullptr;
}

void RestoreFocus(HWND remembered, const DialogKeys& keys) {
  HWND target = remembered && IsUsableControl(remembered) ? remembered : FirstUsableControl(keys);
  if (target) SetFocus(target);
}
