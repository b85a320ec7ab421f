#include "tests/e2e/driver/message_boxes.h"

#include <algorithm>

#include "tests/e2e/driver/controls.h"
#include "tests/e2e/driver/input.h"
#include "tests/e2e/driver/window_query.h"

namespace e2e {
namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconIds[] = {0x14, 0x440};  // Windows, Wine

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

bool IsMessageBox(HWND window) { return ClassOf(window) == L"#32770" && GetDlgItem(window, kMessageTextId); }

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

}  // namespace e2e
