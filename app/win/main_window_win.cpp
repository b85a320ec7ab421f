#include "app/win/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "app/background_picture.h"
#include "app/frm_main.h"
#include "platform/win/dpi_win.h"
#include "resources/resource_ids.h"

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;  // fixed single border
constexpr DWORD kExStyle = WS_EX_WINDOWEDGE;
constexpr COLORREF kFallbackBackground = RGB(10, 18, 40);
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, Windows 8.1 and later

// The window's client size and outer size at dpi.
SIZE ClientAt(int dpi) {
  return {TwipsToPixels(kMainClientWidthTwips, dpi), TwipsToPixels(kMainClientHeightTwips, dpi)};
}
SIZE FrameAt(int dpi) { return FrameSize(ClientAt(dpi).cx, ClientAt(dpi).cy, kStyle, kExStyle, dpi); }

// Each kind of control's window class and styles, in the order of ControlKind.
struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};
constexpr ControlClass kControlClasses[] = {
    {L"Button", WS_TABSTOP | BS_PUSHBUTTON, 0},
    {L"Edit", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE},
    {L"Static", SS_NOPREFIX | SS_LEFT, WS_EX_TRANSPARENT},
};
static_assert(std::size(kControlClasses) == static_cast<std::size_t>(ControlKind::Label) + 1);

// The background picture drawn at dpi, or null when no bitmap can be made.
HBITMAP CreateBackgroundPicture(int dpi) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), PictureWidth(dpi), -PictureHeight(dpi), 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!picture || !bits) return picture;
  DrawBackgroundPicture(static_cast<std::uint8_t*>(bits), (PictureWidth(dpi) * 3 + 3) & ~3, dpi);
  return picture;
}

// Labels paint nothing of their own; the form draws them. Clicks go through.
WNDPROC g_staticProcedure = nullptr;
LRESULT CALLBACK LabelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      ValidateRect(hwnd, nullptr);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_SETTEXT:
      // Only the text is kept (and announced); the form repaints the label.
      return DefWindowProcW(hwnd, message, wParam, lParam);
    default:
      return CallWindowProcW(g_staticProcedure, hwnd, message, wParam, lParam);
  }
}

// Text1 reports where the focus goes, so that leaving it for another
// program (a deactivation, not a move inside the form) runs nothing.
constexpr const wchar_t* kNewFocusProperty = L"Morvane.NewFocus";
WNDPROC g_editProcedure = nullptr;
LRESULT CALLBACK TargetBoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KILLFOCUS) SetPropW(hwnd, kNewFocusProperty, reinterpret_cast<HANDLE>(wParam));
  if (message == WM_NCDESTROY) RemovePropW(hwnd, kNewFocusProperty);
  return CallWindowProcW(g_editProcedure, hwnd, message, wParam, lParam);
}

// Where a window of this size lies centred on the work area of the primary
// monitor, its top-left corner kept on it.
POINT CentredOnWorkArea(SIZE size) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return POINT{std::max<LONG>(work.left + (work.right - work.left - size.cx) / 2, work.left),
               std::max<LONG>(work.top + (work.bottom - work.top - size.cy) / 2, work.top)};
}

// Where a child window lies in its parent's client area.
RECT RectInParent(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

// Out of line: inlined into the run, its locals would push the run's beyond
// one-byte offsets.
[[gnu::noinline]] bool MainWindow::Create(frmMain& logic) {
  logic_ = &logic;
  if (!RegisterWindowClass(instance_, kMainWindowClass, nullptr, LoadCursorW(nullptr, IDC_ARROW))) return false;
  // Made centred at the system's scale, where it opens (its size limits
  // too, while it is made); laid out at its own scale, which its monitor
  // may have another of.
  dpi_ = WindowDpi(nullptr);
  SIZE frame = FrameAt(dpi_);
  POINT centred = CentredOnWorkArea(frame);
  if (!CreateWindowObject(instance_, kMainWindowClass, kMainCaption, kStyle, kExStyle, centred.x, centred.y, frame.cx,
                          frame.cy, nullptr)) {
    return false;
  }
  for (const ControlDesign& d : MainFormDesign()) tops_[Index(d.control)] = d.top;
  if (!CreateControls()) return false;
  Layout(WindowDpi(hwnd()));
  return true;
}

void MainWindow::Layout(int dpi) {
  dpi_ = dpi;
  ResizeClientArea(hwnd(), ClientAt(dpi));
  // The controls take the new fonts before the old ones are freed.
  DesignFonts fonts(dpi);
  for (const ControlDesign& d : MainFormDesign()) {
    HWND control = ControlWindow(d.control);
    RECT r = PixelRect(d.left, tops_[Index(d.control)], d.width, d.height, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(d.font)), TRUE);
  }
  fonts_ = std::move(fonts);
  MakeIconsAndPicture();
}

void MainWindow::MakeIconsAndPicture() {
  icons_.Apply(instance_, IDI_PROGRAM, hwnd(), dpi_);
  // The picture and the off-screen copy are made anew at the new size; the
  // DCs go before the bitmaps selected into them.
  backBuffer_.Reset();
  pictureDc_.Reset();
  backBitmap_.Reset();
  background_.Reset(CreateBackgroundPicture(dpi_));
  InvalidateRect(hwnd(), nullptr, FALSE);
}

bool MainWindow::CreateControls() {
  tooltip_ = CreateTooltips(instance_, hwnd());

  // Created in stacking order: each new child goes below the ones before it.
  for (const ControlDesign& d : MainFormDesign()) {
    const ControlClass& c = kControlClasses[static_cast<std::size_t>(d.kind)];
    // Overlapping buttons (Uninstall over Next) must not paint over each other.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (d.visible ? WS_VISIBLE : 0) | c.style;
    if (d.kind == ControlKind::Label && d.align == TextAlign::Center) style |= SS_CENTER;
    // Placed, and given its font, by Layout.
    HWND control = CreateWindowExW(c.exStyle, c.name, std::wstring(d.caption).c_str(), style, 0, 0, 0, 0, hwnd(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)), instance_, nullptr);
    if (!control) return false;
    controls_[Index(d.control)] = control;
    if (d.kind == ControlKind::Label) {
      WNDPROC previous =
          reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LabelProcedure)));
      if (!g_staticProcedure) g_staticProcedure = previous;
    }
    if (d.kind == ControlKind::TextBox) {
      SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // as long as the system allows
      g_editProcedure = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TargetBoxProcedure)));
    }
    AddTooltip(tooltip_, hwnd(), control, d.tooltip, true);
  }

  // The keyboard cycle follows the tab index, not the stacking order; the
  // tab indices count the rows.
  keys_.window = hwnd();
  for (std::size_t tab = 0; tab < kControlCount; ++tab) {
    for (const ControlDesign& d : MainFormDesign()) {
      if (d.tabIndex == tab && d.kind != ControlKind::Label) keys_.tabOrder.push_back(ControlWindow(d.control));
    }
  }
  keys_.cancelButton = ControlWindow(Control::Command1);
  keys_.defaultButton = nullptr;  // Enter starts nothing
  return true;
}

void MainWindow::Show() {
  // Made centred already; only a scale other than the one it was made for
  // changed its size since.
  RECT window;
  GetWindowRect(hwnd(), &window);
  POINT centred = CentredOnWorkArea(SIZE{window.right - window.left, window.bottom - window.top});
  if (centred.x != window.left || centred.y != window.top) {
    SetWindowPos(hwnd(), nullptr, centred.x, centred.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
  if (HWND first = FirstUsableControl(keys_)) FocusControl(first);
  UpdateWindow(hwnd());
}

std::wstring MainWindow::Text(Control control) const { return WindowText(ControlWindow(control)); }

void MainWindow::SetText(Control control, const std::wstring& text) {
  SetWindowTextW(ControlWindow(control), text.c_str());
  InvalidateLabel(control);
}

bool MainWindow::IsVisible(Control control) const {
  return (GetWindowLongW(ControlWindow(control), GWL_STYLE) & WS_VISIBLE) != 0;
}

void MainWindow::SetVisible(Control control, bool visible) {
  HWND child = ControlWindow(control);
  if (!visible) MoveFocusOffHidden(child);
  // The system's own redraw on every change is slow; what the change
  // uncovers or covers is invalidated here and painted at the next Repaint.
  SetWindowPos(child, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW |
                   (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  InvalidateArea(child);
  if (visible) MoveFocusOffCovered();
}

void MainWindow::InvalidateArea(HWND child) {
  RECT r = RectInParent(child);
  RedrawWindow(hwnd(), &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainWindow::SetEnabled(Control control, bool enabled) {
  if (!enabled) MoveFocusOffHidden(ControlWindow(control));
  EnableWindow(ControlWindow(control), enabled);
}

void MainWindow::SetReadOnly(Control control, bool readOnly) {
  SendMessageW(ControlWindow(control), EM_SETREADONLY, readOnly, 0);
}

void MainWindow::SetTop(Control control, int twips) {
  const ControlDesign& d = DesignOf(control);
  tops_[Index(control)] = twips;
  InvalidateLabel(control);
  SetWindowPos(ControlWindow(control), nullptr, TwipsToPixels(d.left, dpi_), TwipsToPixels(twips, dpi_), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateLabel(control);
  MoveFocusOffCovered();
}

void MainWindow::SetTooltip(Control control, const std::wstring& tooltip) {
  if (!tooltip_) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(ControlWindow(control));
  tool.lpszText = const_cast<wchar_t*>(tooltip.c_str());
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::FocusOn(Control control) {
  HWND child = ControlWindow(control);
  if (!IsUsableControl(child)) return;
  // Also where the next activation puts the focus back; it would otherwise
  // return to the button pressed before a message box.
  focusOnDeactivate_ = child;
  FocusControl(child);
}

void MainWindow::Repaint() { RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

void MainWindow::InvalidateLabel(Control control) {
  if (DesignOf(control).kind != ControlKind::Label || !hwnd()) return;
  RECT r = RectInParent(ControlWindow(control));
  InvalidateRect(hwnd(), &r, FALSE);
}

void MainWindow::MoveFocusOffHidden(HWND hidden) {
  // A hidden or disabled control keeps no focus (it could still be typed
  // into); the form takes it, and Tab reaches the next usable control.
  if (GetFocus() == hidden) SetFocus(hwnd());
}

void MainWindow::MoveFocusOffCovered() {
  // A button moved or shown over the focused one hides it: the focus must
  // not stay where Enter or Space would press a button nobody can see.
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd(), focus) && IsCoveredControl(focus)) SetFocus(hwnd());
}

void MainWindow::OnButtonClicked(HWND button) {
  // A click can only come from a button the user can see and use.
  if (!logic_ || !IsUsableControl(button)) return;
  if (beforeFirstAction_) std::exchange(beforeFirstAction_, nullptr)();
  for (int index = 0; index < static_cast<int>(kCmdNext.size()); ++index) {
    if (button == ControlWindow(kCmdNext[static_cast<std::size_t>(index)])) {
      logic_->cmdNext_Click(index);
      return;
    }
  }
  if (button == ControlWindow(Control::Command1)) logic_->Command1_Click();
  if (button == ControlWindow(Control::cmdBrowse)) logic_->cmdBrowse_Click();
}

void MainWindow::PaintLabels(HDC dc, const RECT& area) {
  SetBkMode(dc, TRANSPARENT);
  auto design = MainFormDesign();
  // From the bottom of the stack up, so that upper labels draw over lower ones.
  for (auto d = design.rbegin(); d != design.rend(); ++d) {
    if (d->kind != ControlKind::Label || !IsVisible(d->control)) continue;
    HWND label = ControlWindow(d->control);
    RECT r = RectInParent(label), overlap;
    if (!IntersectRect(&overlap, &r, &area)) continue;
    std::wstring caption = WindowText(label);
    SelectedObject font(dc, fonts_.Get(d->font));
    Rgb color = d->textColor.value_or(Rgb{255, 255, 255});
    SetTextColor(dc, RGB(color.r, color.g, color.b));
    UINT format = DT_WORDBREAK | DT_NOPREFIX | (d->align == TextAlign::Center ? DT_CENTER : DT_LEFT);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, format);  // clipped to the label
  }
}

bool MainWindow::EnsureBackBuffer(HDC reference) {
  if (!backBuffer_) {
    RECT client;
    GetClientRect(hwnd(), &client);
    backBuffer_.Reset(CreateCompatibleDC(reference));
    backBitmap_.Reset(CreateCompatibleBitmap(reference, client.right, client.bottom));
    pictureDc_.Reset(CreateCompatibleDC(reference));
    if (backBuffer_ && backBitmap_) SelectObject(backBuffer_.get(), backBitmap_.get());
    if (pictureDc_ && background_) SelectObject(pictureDc_.get(), background_.get());
  }
  return backBuffer_ && backBitmap_;
}

void MainWindow::DrawForm(HDC dc, const RECT& area) {
  int width = area.right - area.left, height = area.bottom - area.top;
  bool pictureDrawn = background_ && pictureDc_ &&
                      BitBlt(dc, area.left, area.top, width, height, pictureDc_.get(), area.left, area.top, SRCCOPY);
  if (!pictureDrawn) {
    UniqueGdiObject brush(CreateSolidBrush(kFallbackBackground));
    FillRect(dc, &area, static_cast<HBRUSH>(brush.get()));
  }
  PaintLabels(dc, area);
}

// Out of line: its paint structure would push the message handler's locals
// beyond one-byte offsets.
[[gnu::noinline]] void MainWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  // Buttons and the text box paint themselves; keep the form's drawing off them.
  for (const ControlDesign& d : MainFormDesign()) {
    if (d.kind == ControlKind::Label || !IsVisible(d.control)) continue;
    RECT r = RectInParent(ControlWindow(d.control));
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  // Only the invalid part is drawn, off-screen first, so that a changed
  // caption neither flickers nor costs a whole window's drawing.
  const RECT& area = ps.rcPaint;
  int width = area.right - area.left, height = area.bottom - area.top;
  if (width > 0 && height > 0 && EnsureBackBuffer(dc)) {
    DrawForm(backBuffer_.get(), area);
    BitBlt(dc, area.left, area.top, width, height, backBuffer_.get(), area.left, area.top, SRCCOPY);
  }
  EndPaint(hwnd(), &ps);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PRINTCLIENT: {
      // Themed buttons ask for the form under their rounded corners.
      auto dc = reinterpret_cast<HDC>(wParam);
      RECT client;
      GetClientRect(hwnd(), &client);
      EnsureBackBuffer(dc);
      DrawForm(dc, client);
      return 0;
    }
    case WM_COMMAND: {
      HWND child = reinterpret_cast<HWND>(lParam);
      if (!child) break;
      if (HIWORD(wParam) == BN_CLICKED) {
        OnButtonClicked(child);
        return 0;
      }
      if (HIWORD(wParam) == EN_KILLFOCUS && child == ControlWindow(Control::Text1)) {
        auto newFocus = static_cast<HWND>(GetPropW(child, kNewFocusProperty));
        bool staysInForm = newFocus == hwnd() || IsChild(hwnd(), newFocus);
        if (logic_ && staysInForm && !closing_) logic_->Text1_LostFocus();
        return 0;
      }
      break;
    }
    case WM_SETCURSOR:
      if (busyPointer_ && busyPointer_()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        focusOnDeactivate_ = FocusedChild(hwnd());
      } else {
        RestoreFocus(focusOnDeactivate_, keys_);
      }
      return 0;
    case WM_GETMINMAXINFO:
      if (!hwnd()) break;
      KeepDesignedSize(*reinterpret_cast<MINMAXINFO*>(lParam), FrameAt(dpi_));
      return 0;
    case kDpiChanged:
      // Moved to a monitor of another scale: laid out again at its scale.
      MoveToSuggested(hwnd(), *reinterpret_cast<const RECT*>(lParam));
      Layout(LOWORD(wParam));
      return 0;
    case WM_CLOSE:
      // Every way of closing ends the program; the close is never refused.
      if (logic_) logic_->Form_QueryUnload();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && logic_) logic_->Form_QueryUnload();
      return 0;
    case WM_DESTROY:
      closing_ = true;
      if (logic_) logic_->Form_Terminate();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
