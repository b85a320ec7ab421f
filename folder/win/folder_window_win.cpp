#include "folder/win/folder_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <span>
#include <vector>

#include "platform/win/dpi_win.h"
#include "resources/resource_ids.h"

namespace {

constexpr const wchar_t* kClassName = L"MorvaneFolderChooser";
// Fixed single border. Not WS_CLIPCHILDREN: the frame covers the client area and
// paints no inside of its own, so the window must paint the blue under it.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_WINDOWEDGE;
// At 96 dots per inch; scaled with the window.
constexpr int kItemHeight = 16;  // a folder picture and a line of text
constexpr int kIndentPixels = 12;
constexpr int kDropDownItems = 12;  // the drive list's opened height
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, Windows 8.1 and later

// The window's outer size at dpi.
// The window's client size and outer size at dpi.
SIZE ClientAt(int dpi) {
  return {TwipsToPixels(kFolderClientWidthTwips, dpi), TwipsToPixels(kFolderClientHeightTwips, dpi)};
}
SIZE FrameAt(int dpi) { return FrameSize(ClientAt(dpi).cx, ClientAt(dpi).cy, kStyle, kExStyle, dpi); }
constexpr UINT kDriveChosen = WM_APP + 1;  // handled once the combo box has finished its notifications
constexpr UINT kOpenSelected = WM_APP + 2;

// Each kind of control's window class and styles, in the order of FolderControlKind.
struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};
constexpr ControlClass kControlClasses[] = {
    {L"Button", BS_GROUPBOX, 0},
    {L"ComboBox", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0},
    {L"ListBox", WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE},
    {L"Edit", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE},
    {L"Button", WS_TABSTOP | BS_PUSHBUTTON, 0},
};
static_assert(std::size(kControlClasses) == static_cast<std::size_t>(FolderControlKind::Button) + 1);

COLORREF BackgroundColor() { return RGB(kFolderBackground.r, kFolderBackground.g, kFolderBackground.b); }

std::wstring ItemText(HWND control, bool combo, int index) {
  // One text for every path out, which the caller's own then is.
  std::wstring text;
  LRESULT length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
  if (length >= 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    LRESULT got = SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  }
  return text;
}

void FillPolygon(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF line, int dpi) {
  UniqueGdiObject brush(CreateSolidBrush(fill));
  UniqueGdiObject pen(CreatePen(PS_SOLID, ScaledPixels(1, dpi), line));
  SelectedObject b(dc, brush.get());
  SelectedObject p(dc, pen.get());
  Polygon(dc, points, count);
}

// A corner of a small picture, in 96-dpi pixels from its top left.
struct Corner {
  std::int8_t x, y;
};

// A small picture drawn in 96-dpi pixels from (x, y), scaled to dpi.
struct Sketch {
  HDC dc;
  int x, y, dpi;
  void Shape(std::span<const Corner> design, COLORREF fill, COLORREF line) const {
    POINT points[8];
    int count = 0;
    for (Corner c : design) points[count++] = POINT{x + ScaledPixels(c.x, dpi), y + ScaledPixels(c.y, dpi)};
    FillPolygon(dc, points, count, fill, line, dpi);
  }
};

// A folder as the classic lists draw it: closed, or opened with its front
// tilted back.
void DrawFolder(const Sketch& s, bool opened) {
  static constexpr Corner kBody[] = {{0, 2}, {5, 2}, {6, 3}, {13, 3}, {13, 12}, {0, 12}};
  static constexpr Corner kFront[] = {{2, 6}, {15, 6}, {13, 12}, {0, 12}};
  const COLORREF line = RGB(128, 96, 0);
  s.Shape(kBody, RGB(240, 200, 80), line);
  if (opened) s.Shape(kFront, RGB(255, 230, 140), line);
}

void DrawDrive(const Sketch& s) {
  static constexpr Corner kCase[] = {{0, 5}, {14, 5}, {14, 11}, {0, 11}};
  static constexpr Corner kLight[] = {{10, 7}, {12, 7}, {12, 9}, {10, 9}};
  s.Shape(kCase, RGB(192, 192, 192), RGB(64, 64, 64));
  s.Shape(kLight, RGB(0, 200, 0), RGB(0, 128, 0));
}

}  // namespace

FolderWindow::FolderWindow(HINSTANCE instance, HWND owner, const wchar_t* messageTitle, FolderSystem& folders,
                           Callback<void(const std::wstring&)> setTarget)
    : instance_(instance),
      owner_(owner),
      messages_(messageTitle, [this] { return hwnd(); }),
      input_(instance, *this),
      logic_(*this, FolderServices{folders, messages_, input_, setTarget}) {}

FolderWindow::~FolderWindow() { Unload(); }

void FolderWindow::Unload() {
  if (hwnd()) DestroyWindow(hwnd());
}

bool FolderWindow::Create() {
  if (!RegisterWindowClass(instance_, kClassName, nullptr, LoadCursorW(nullptr, IDC_ARROW))) return false;
  background_.Reset(CreateSolidBrush(BackgroundColor()));
  // Made at the system's scale; laid out at the scale of the monitor it opens on.
  SIZE frame = FrameAt(WindowDpi(nullptr));
  if (!CreateWindowObject(instance_, kClassName, kFolderCaption, kStyle, kExStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          frame.cx, frame.cy, owner_)) {
    return false;
  }
  if (!CreateControls()) return false;
  Layout(WindowDpi(hwnd()));
  logic_.Form_Load();
  return true;
}

void FolderWindow::Layout(int dpi) {
  dpi_ = dpi;
  icons_.Apply(instance_, IDI_PROGRAM, hwnd(), dpi);
  ResizeClientArea(hwnd(), ClientAt(dpi));
  // The controls take the new fonts before the old ones are freed.
  DesignFonts fonts(dpi);
  int itemHeight = ScaledPixels(kItemHeight, dpi);
  for (const FolderControlDesign& d : FolderFormDesign()) {
    HWND control = ControlWindow(d.control);
    RECT r = PixelRect(d.left, d.top, d.width, d.height, dpi);
    // A combo box's height is its dropped-down list's; the closed box is fitted below.
    int height = d.kind == FolderControlKind::DriveList ? kDropDownItems * itemHeight : r.bottom - r.top;
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(d.font)), TRUE);
    if (d.kind == FolderControlKind::DirectoryList) SendMessageW(control, LB_SETITEMHEIGHT, 0, itemHeight);
    if (d.kind == FolderControlKind::DriveList) {
      SendMessageW(control, CB_SETITEMHEIGHT, 0, itemHeight);
      FitDriveListHeight(r.bottom - r.top);
    }
  }
  fonts_ = std::move(fonts);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

bool FolderWindow::CreateControls() {
  tooltip_ = CreateTooltips(instance_, hwnd());

  // Children are stacked in the order they are made: the design's order,
  // which ends with the frame, under all the others.
  for (const FolderControlDesign& d : FolderFormDesign()) {
    const ControlClass& c = kControlClasses[static_cast<std::size_t>(d.kind)];
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | c.style;
    if (d.control == kFolderDefaultButton) style |= BS_DEFPUSHBUTTON;
    // Placed, and given its font, by Layout.
    HWND control = CreateWindowExW(c.exStyle, c.name, d.caption, style, 0, 0, 0, 0, hwnd(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)), instance_, nullptr);
    if (!control) return false;
    controls_[static_cast<std::size_t>(d.control)] = control;
    if (d.kind == FolderControlKind::TextBox) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    // The chooser's loop relays the mouse to the tooltips: subclassing the
    // controls for it would slow every message, and filling the directory
    // list with ten thousand folders is ten thousand messages.
    AddTooltip(tooltip_, hwnd(), control, d.tooltip, false);
  }

  // The keyboard cycle follows the tab index; the tab indices count the rows.
  keys_.window = hwnd();
  for (std::size_t tab = 0; tab < kFolderControlCount; ++tab) {
    for (const FolderControlDesign& d : FolderFormDesign()) {
      if (static_cast<std::size_t>(d.tabIndex) == tab && d.kind != FolderControlKind::Frame) {
        keys_.tabOrder.push_back(ControlWindow(d.control));
      }
    }
  }
  keys_.cancelButton = ControlWindow(kFolderCancelButton);
  keys_.defaultButton = ControlWindow(kFolderDefaultButton);
  return true;
}

void FolderWindow::FitDriveListHeight(int pixels) {
  // A closed combo box is as high as its selection field plus its border;
  // the field's height is what can be set.
  HWND combo = ControlWindow(FolderControl::Drive1);
  RECT r;
  GetWindowRect(combo, &r);
  auto field = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  int wanted = field + pixels - (r.bottom - r.top);
  if (wanted > 0 && wanted != field) SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
}

void FolderWindow::CenterOverOwner() {
  RECT owner, self, work;
  GetWindowRect(owner_, &owner);
  GetWindowRect(hwnd(), &self);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int width = self.right - self.left, height = self.bottom - self.top;
  int x = (owner.left + owner.right - width) / 2, y = (owner.top + owner.bottom - height) / 2;
  x = std::clamp<int>(x, work.left, std::max<int>(work.left, work.right - width));
  y = std::clamp<int>(y, work.top, std::max<int>(work.top, work.bottom - height));
  SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

FolderView::Ending FolderWindow::ShowModal() {
  if (!hwnd()) return Ending::Closed;
  ending_.reset();
  if (!placed_) {
    CenterOverOwner();  // the first position only; afterwards it stays where the user left it
    placed_ = true;
  }
  // While the chooser is open the main window takes no input.
  EnableWindow(owner_, FALSE);
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
  HWND focus = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : FirstUsableControl(keys_);
  if (focus) FocusControl(focus);

  MSG message;
  while (!ending_ && hwnd()) {
    int got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop
      EndModal(Ending::Closed);
      break;
    }
    if (tooltip_ && message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST &&
        IsChild(hwnd(), message.hwnd)) {
      SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
    }
    if (HandleKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return ending_.value_or(Ending::Closed);
}

void FolderWindow::EndModal(Ending ending) {
  if (ending_) return;
  ending_ = ending;
  if (HWND focus = FocusedChild(hwnd())) lastFocus_ = focus;
  // The owner first, so that hiding hands the activation back to it.
  EnableWindow(owner_, TRUE);
  if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
  SetActiveWindow(owner_);
}

void FolderWindow::Hide() { EndModal(Ending::Hidden); }

bool FolderWindow::HandleKey(const MSG& message) {
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    if (SendMessageW(ControlWindow(FolderControl::Drive1), CB_GETDROPPEDSTATE, 0, 0)) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        GetFocus() == ControlWindow(FolderControl::Dir1)) {
      logic_.Dir1_Open();
      return true;
    }
  }
  return HandleDialogKey(keys_, message);
}

void FolderWindow::OnButtonClicked(HWND button) {
  if (!IsUsableControl(button)) return;
  if (button == ControlWindow(FolderControl::Command1)) logic_.Command1_Click();
  if (button == ControlWindow(FolderControl::Command2)) logic_.Command2_Click();
  if (button == ControlWindow(FolderControl::Command3)) logic_.Command3_Click();
}

void FolderWindow::OnDriveChosen() {
  HWND combo = ControlWindow(FolderControl::Drive1);
  if (SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) return;  // still choosing
  auto index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  if (index < 0 || index == shownDrive_) return;
  shownDrive_ = index;
  logic_.Drive1_Change(index);
}

void FolderWindow::ShowDrives(const std::vector<DriveInfo>& drives, int current) {
  HWND combo = ControlWindow(FolderControl::Drive1);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const DriveInfo& drive : drives) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveEntryText(drive).c_str()));
  }
  SelectDrive(current);
}

void FolderWindow::SelectDrive(int index) {
  shownDrive_ = index;
  SendMessageW(ControlWindow(FolderControl::Drive1), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void FolderWindow::ShowDirectories(const std::vector<DirectoryEntry>& entries, int selected) {
  HWND list = ControlWindow(FolderControl::Dir1);
  // Filled without drawing each entry: ten thousand folders take no longer
  // than one redraw.
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  std::size_t characters = 0;
  for (const DirectoryEntry& e : entries) characters += e.text.size() + 1;
  SendMessageW(list, LB_INITSTORAGE, entries.size(), characters * sizeof(wchar_t));
  for (const DirectoryEntry& e : entries) {
    LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text.c_str()));
    if (index >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), e.indent * 2 + (e.opened ? 1 : 0));
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int FolderWindow::SelectedDirectory() const {
  return static_cast<int>(SendMessageW(ControlWindow(FolderControl::Dir1), LB_GETCURSEL, 0, 0));
}

std::wstring FolderWindow::Text() const { return WindowText(ControlWindow(FolderControl::Text1)); }

void FolderWindow::SetText(const std::wstring& text) { SetWindowTextW(ControlWindow(FolderControl::Text1), text.c_str()); }

// Out of line: its locals would push the message handler's beyond one-byte
// offsets.
[[gnu::noinline]] void FolderWindow::DrawItem(const DRAWITEMSTRUCT& item) {
  bool combo = item.CtlType == ODT_COMBOBOX;
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID == static_cast<UINT>(-1)) return;
  int x = item.rcItem.left + ScaledPixels(2, dpi_);
  int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - ScaledPixels(kItemHeight, dpi_)) / 2 +
          ScaledPixels(1, dpi_);
  if (!combo) x += static_cast<int>(item.itemData / 2) * ScaledPixels(kIndentPixels, dpi_);
  Sketch sketch{dc, x, y, dpi_};
  if (combo) {
    DrawDrive(sketch);
  } else {
    DrawFolder(sketch, (item.itemData & 1) != 0);
  }
  std::wstring text = ItemText(item.hwndItem, combo, static_cast<int>(item.itemID));
  RECT r = item.rcItem;
  r.left = x + ScaledPixels(19, dpi_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &item.rcItem);
}

void FolderWindow::FillBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  FillRect(dc, &client, static_cast<HBRUSH>(background_.get()));
}

LRESULT FolderWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      FillBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PRINTCLIENT:  // themed buttons and the frame ask for what lies under them
      FillBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      auto dc = reinterpret_cast<HDC>(wParam);
      if (reinterpret_cast<HWND>(lParam) == ControlWindow(FolderControl::Text1)) break;  // a read-only edit keeps its look
      SetBkColor(dc, BackgroundColor());
      return reinterpret_cast<LRESULT>(background_.get());
    }
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->itemID != static_cast<UINT>(-1)) measure->itemHeight = ScaledPixels(kItemHeight, dpi_);
      return TRUE;
    }
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND: {
      auto child = reinterpret_cast<HWND>(lParam);
      if (!child) break;
      WORD code = HIWORD(wParam);
      if (child == ControlWindow(FolderControl::Drive1)) {
        if (code == CBN_SELCHANGE || code == CBN_CLOSEUP) PostMessageW(hwnd(), kDriveChosen, 0, 0);
        return 0;
      }
      if (child == ControlWindow(FolderControl::Dir1)) {
        if (code == LBN_SELCHANGE) logic_.Dir1_Click();
        if (code == LBN_DBLCLK) PostMessageW(hwnd(), kOpenSelected, 0, 0);
        return 0;
      }
      if (code == BN_CLICKED) {
        OnButtonClicked(child);
        return 0;
      }
      break;
    }
    case kDriveChosen:
      OnDriveChosen();
      return 0;
    case kOpenSelected:
      logic_.Dir1_Open();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = FocusedChild(hwnd())) lastFocus_ = focus;
      } else {
        RestoreFocus(lastFocus_, keys_);
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
      // The close box, Alt+F4 or the system menu: "&Cancel", and the
      // chooser is dropped afterwards.
      EndModal(Ending::Closed);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
