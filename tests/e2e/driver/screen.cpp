#include "tests/e2e/driver/screen.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win/packed_picture_win.h"
#include "tests/e2e/driver/png_writer.h"

namespace e2e {

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

}  // namespace e2e
