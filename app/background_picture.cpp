#include "app/background_picture.h"

#include <cstring>
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

// The whole part of v cut to 0..255, as a cast of the clamped value gives
// it, without the cast's cost on a 32-bit x87 build (two switches of the
// rounding mode per pixel and colour, most of the picture's time): adding
// 1.5 x 2^52 and storing the double leaves the nearest whole number in its
// low bits, one more than the whole part at most, which the comparison
// takes back.
std::uint8_t Byte(double v) {
  v = v < 0 ? 0 : v > 255 ? 255 : v;
  volatile double shifted = v + 6755399441055744.0;
  double stored = shifted;
  std::uint64_t bits;
  std::memcpy(&bits, &stored, sizeof bits);
  auto whole = static_cast<std::int32_t>(bits & 0xFFFFFFFF);
  if (whole > v) --whole;
  return static_cast<std::uint8_t>(whole);
}

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
  // Where a device pixel lies in the design is px * 96 / dpi; the stripes
  // and the rule are tested on that in whole numbers, exactly.
  auto design = [](int devicePixels) { return devicePixels * kDesignDpi; };  // times dpi
  for (int py = 0; py < height; ++py) {
    const double y = py * scale;
    const double t = y / (kPictureHeight - 1);
    const double rowGlow = GlowWeight(y, -30.0);
    const double baseR = 14 - 8 * t, baseG = 26 - 14 * t, baseB = 62 - 30 * t;
    const bool ruleRow = design(py) >= 100 * dpi && design(py) < 104 * dpi;  // a thin rule under the message area
    std::uint8_t* out = pixels + static_cast<std::ptrdiff_t>(py) * stride;
    for (int px = 0; px < width; ++px) {
      double r = baseR, g = baseG, b = baseB;
      double glow = columnGlow[static_cast<std::size_t>(px)] * rowGlow;
      r += 30 * glow;
      g += 50 * glow;
      b += 90 * glow;
      if (design(px + py) / (4 * dpi) % 12 == 0) {  // faint diagonal stripes
        r += 4;
        g += 6;
        b += 10;
      }
      if (ruleRow && design(px) >= 8 * dpi && design(px) < 312 * dpi) {
        r += 10;
        g += 16;
        b += 30;
      }
      *out++ = Byte(b);
      *out++ = Byte(g);
      *out++ = Byte(r);
    }
  }
}
