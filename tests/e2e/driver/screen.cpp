#include "tests/e2e/driver/screen.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/background_picture.h"
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

namespace {

// The background picture as the program draws it at dpi, selected into a DC.
class DrawnPicture {
 public:
  explicit DrawnPicture(int dpi) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), PictureWidth(dpi), -PictureHeight(dpi), 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ && bits) DrawBackgroundPicture(static_cast<std::uint8_t*>(bits), (PictureWidth(dpi) * 3 + 3) & ~3, dpi);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~DrawnPicture() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  explicit operator bool() const { return bitmap_ != nullptr; }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// A part of the screen, copied once and read pixel by pixel.
class ScreenArea {
 public:
  ScreenArea(HWND window, RECT area) : width_(area.right - area.left), height_(area.bottom - area.top) {
    POINT origin{area.left, area.top};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
    old_ = SelectObject(dc_, bitmap_);
    BitBlt(dc_, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
  }
  ~ScreenArea() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

}  // namespace

int PixelsDifferingFromThePicture(HWND window, RECT area) {
  DrawnPicture picture(96);
  if (!picture) return -1;
  ScreenArea shot(window, area);
  int differing = 0;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      if (shot.Pixel(x, y) != picture.Pixel(area.left + x, area.top + y)) ++differing;
    }
  }
  return differing;
}

RECT InkBox(HWND window, RECT area, Ink ink, int dpi) {
  if (ink == Ink::None) return RECT{};
  DrawnPicture picture(dpi);
  ScreenArea shot(window, area);
  RECT box{area.right, area.bottom, area.left, area.top};
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      COLORREF c = shot.Pixel(x, y);
      // Dark text is drawn with grey edges on a light face: any pixel darker
      // than mid-grey counts. Label text is white or light blue: far
      // brighter than the dark picture.
      bool inked = ink == Ink::Dark ? Brightness(c) < 384
                                    : Brightness(c) > Brightness(picture.Pixel(area.left + x, area.top + y)) + 120;
      if (!inked) continue;
      box.left = std::min<LONG>(box.left, area.left + x);
      box.top = std::min<LONG>(box.top, area.top + y);
      box.right = std::max<LONG>(box.right, area.left + x + 1);
      box.bottom = std::max<LONG>(box.bottom, area.top + y + 1);
    }
  }
  return box.left < box.right ? box : RECT{};
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
