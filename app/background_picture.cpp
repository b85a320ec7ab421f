#include "app/background_picture.h"

#include <vector>

namespace {

constexpr int kDesignDpi = 96;

// e to the power x, for the glow's exponent (from 0 down to about -30): the
// same in every build on every machine, where a library's exp may differ in
// its last bit, and a colour value lying next to a whole number would then
// change.
double Exp(double x) {
  constexpr double kLn2High = 0.693147180369123816490, kLn2Low = 1.90821492927058770002e-10;
  constexpr double kInvLn2 = 1.44269504088896338700;
  // x = k ln 2 + r with |r| <= ln 2 / 2, so that the series below converges fast.
  int k = static_cast<int>(x * kInvLn2 + (x < 0 ? -0.5 : 0.5));
  double r = (x - k * kLn2High) - k * kLn2Low;
  double term = 1, sum = 1;
  for (int n = 1; n <= 16; ++n) {
    term *= r / n;
    sum += term;
  }
  for (; k > 0; --k) sum *= 2;
  for (; k < 0; ++k) sum *= 0.5;
  return sum;
}

double Clamped(double v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// The glow's weight along one axis, centre at c, spread 70 design pixels;
// the glow itself is the product of its two axes' weights.
double GlowWeight(double d, double c) {
  double distance = d - c;
  return Exp(-distance * distance / (2 * 70.0 * 70.0));
}

}  // namespace

int PictureWidth(int dpi) { return (kPictureWidth * dpi + kDesignDpi / 2) / kDesignDpi; }

int PictureHeight(int dpi) { return (kPictureHeight * dpi + kDesignDpi / 2) / kDesignDpi; }

void DrawBackgroundPicture(std::uint8_t* pixels, int stride, int dpi) {
  const int width = PictureWidth(dpi), height = PictureHeight(dpi);
  const double scale = static_cast<double>(kDesignDpi) / dpi;  // design pixels per device pixel
  std::vector<double> columnGlow(static_cast<std::size_t>(width));
  for (int px = 0; px < width; ++px) columnGlow[static_cast<std::size_t>(px)] = GlowWeight(px * scale, 290.0);
  for (int py = 0; py < height; ++py) {
    const double y = py * scale;
    const double t = y / (kPictureHeight - 1);
    const double rowGlow = GlowWeight(y, -30.0);
    std::uint8_t* out = pixels + static_cast<std::ptrdiff_t>(py) * stride;
    for (int px = 0; px < width; ++px) {
      const double x = px * scale;
      double r = 14 - 8 * t, g = 26 - 14 * t, b = 62 - 30 * t;
      double glow = columnGlow[static_cast<std::size_t>(px)] * rowGlow;
      r += 30 * glow;
      g += 50 * glow;
      b += 90 * glow;
      if (static_cast<int>((x + y) / 4) % 12 == 0) {  // faint diagonal stripes
        r += 4;
        g += 6;
        b += 10;
      }
      if (y >= 100 && y < 104 && x >= 8 && x < 312) {  // a thin rule under the message area
        r += 10;
        g += 16;
        b += 30;
      }
      *out++ = static_cast<std::uint8_t>(Clamped(b));
      *out++ = static_cast<std::uint8_t>(Clamped(g));
      *out++ = static_cast<std::uint8_t>(Clamped(r));
    }
  }
}
