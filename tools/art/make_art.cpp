// Draws the program icon (32 x 32, 16 colours) and the main window's dark
// background picture (320 x 240, 24 bpp, uncompressed), which the program
// draws itself from the same formula (app/background_picture.cpp) and the
// benchmark's bare window shows. The outputs are committed under resources/;
// run this only to redraw them, from the top of the repository:
//   g++ -std=c++20 -O2 -I. tools/art/make_art.cpp app/background_picture.cpp -o /tmp/make_art &&
//   /tmp/make_art resources
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/background_picture.h"

namespace {

struct Rgb { std::uint8_t r, g, b; };

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// The standard 16-colour VGA palette, which every Windows draws the same way.
constexpr Rgb kVga[16] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

// Icon: a yellow folder with a page sliding out of it and a blue arrow that
// says "moved and renamed". Rows are top-down here; '.' is transparent.
// Letters pick palette entries: K black, Y yellow, O olive, W white,
// S silver, G grey, B blue, N navy, C cyan.
constexpr const char* kIconRows[32] = {
    "................................",
    "................................",
    "..............GGGGGGGGGG........",
    "..............GWWWWWWWWGG.......",
    "..............GWSSSSSSWGWG......",
    "..............GWWWWWWWWGGGG.....",
    "..............GWSSSSSSSWWWG.....",
    "..............GWWWWWWWWWWWG.....",
    "..............GWSSSSSSSSSWG.....",
    "...KKKKKKK....GWWWWWWWWWWWG.....",
    "..KYYYYYYYK...GWSSSSSSSSSWG.....",
    ".KYYYYYYYYYKKKGWWWWWWWWWWWG.....",
    ".KYYYYYYYYYYYYGWSSSSSSSSSWGK....",
    ".KYYYYYYYYYYYYGWWWWWWWWWWWGOK...",
    ".KYYYYYYYYYYYYGGGGGGGGGGGGGOK...",
    ".KYYYYYYYYYYYYYYYYYYYYYYYYYOK...",
    ".KYYYYYYYYYYYYYYYYYYYYYYYYYOK...",
    ".KYYYYYYYYYYYYYYYYYYYYYYYYYOK...",
    ".KYYYYYYYYYYYYYYYYYYYYYYYYYOK...",
    ".KYYYYYYYYYYYYYYYYYYYNYYYYYOK...",
    ".KYYYYYYYYYYYYYYYYYYYNNYYYYOK...",
    ".KYYYYYYNNNNNNNNNNNNNBNNYYYOK...",
    ".KYYYYYYNBBBBBBBBBBBBBBBNYYOK...",
    ".KYYYYYYNCCCCCCCCCCCCCCCCNYOK...",
    ".KYYYYYYNBBBBBBBBBBBBBBBNYYOK...",
    ".KYYYYYYNNNNNNNNNNNNNBNNYYYOK...",
    ".KYYYYYYYYYYYYYYYYYYYNNYYYYOK...",
    ".KYYYYYYYYYYYYYYYYYYYNYYYYYOK...",
    ".KOOOOOOOOOOOOOOOOOOOOOOOOOOK...",
    "..KKKKKKKKKKKKKKKKKKKKKKKKKKK...",
    "................................",
    "................................"};

int PaletteIndex(char c) {
  switch (c) {
    case 'K': return 0;
    case 'O': return 3;
    case 'N': return 4;
    case 'S': return 7;
    case 'G': return 8;
    case 'Y': return 11;
    case 'B': return 12;
    case 'C': return 14;
    case 'W': return 15;
    default: return 0;  // transparent pixels are black under the AND mask
  }
}

std::vector<std::uint8_t> MakeIcon() {
  const int size = 32;
  const int xorBytes = size * size / 2;  // 4 bits per pixel, rows already 4-byte aligned
  const int andBytes = size * 4;         // 1 bit per pixel, 32 bits per row
  const int imageBytes = 40 + 16 * 4 + xorBytes + andBytes;
  std::vector<std::uint8_t> out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // type: icon
  Put16(out, 1);  // one image
  out.push_back(size);
  out.push_back(size);
  out.push_back(16);  // colour count
  out.push_back(0);
  Put16(out, 1);   // planes
  Put16(out, 4);   // bits per pixel
  Put32(out, imageBytes);
  Put32(out, 6 + 16);
  // BITMAPINFOHEADER; the height counts the XOR and the AND bitmaps.
  Put32(out, 40);
  Put32(out, size);
  Put32(out, size * 2);
  Put16(out, 1);
  Put16(out, 4);
  Put32(out, 0);
  Put32(out, xorBytes + andBytes);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 16);
  Put32(out, 0);
  for (const Rgb& c : kVga) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  for (int y = size - 1; y >= 0; --y) {  // bottom-up
    for (int x = 0; x < size; x += 2) {
      int hi = PaletteIndex(kIconRows[y][x]);
      int lo = PaletteIndex(kIconRows[y][x + 1]);
      out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    for (int byte = 0; byte < 4; ++byte) {
      std::uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (kIconRows[y][byte * 8 + bit] == '.') bits |= 0x80 >> bit;
      }
      out.push_back(bits);
    }
  }
  return out;
}

// Background: drawn by the program's own formula at 96 dots per inch, so
// that the committed picture is what the window shows at that scale.
std::vector<std::uint8_t> MakeBackground() {
  const int width = kPictureWidth, height = kPictureHeight;
  const int rowBytes = width * 3;  // 960, already a multiple of 4
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + rowBytes * height);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);  // positive: bottom-up rows
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB, uncompressed
  Put32(out, rowBytes * height);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes) * height);
  DrawBackgroundPicture(rows.data(), rowBytes, 96);
  for (int y = height - 1; y >= 0; --y) {
    out.insert(out.end(), rows.begin() + y * rowBytes, rows.begin() + (y + 1) * rowBytes);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_art OUTPUT_DIRECTORY\n");
    return 2;
  }
  std::string dir = argv[1];
  if (!WriteFile(dir + "/morvane.ico", MakeIcon()) ||
      !WriteFile(dir + "/background.bmp", MakeBackground())) {
    std::perror("make_art");
    return 1;
  }
  return 0;
}
