#include "platform/win/packed_picture_win.h"

#include <cstdint>
#include <cstring>

#include "platform/inflate.h"

HBITMAP LoadPackedPicture(HMODULE module, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* data = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
  DWORD size = found ? SizeofResource(module, found) : 0;
  constexpr DWORD kHeaders = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  if (!data || size <= kHeaders) return nullptr;

  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  std::memcpy(&file, data, sizeof file);
  std::memcpy(&info, data + sizeof file, sizeof info);
  // Only what the build packs: 24 bits, uncompressed, rows right after the headers.
  if (file.bfType != 0x4D42 || file.bfOffBits != kHeaders || info.biSize != sizeof info || info.biPlanes != 1 ||
      info.biBitCount != 24 || info.biCompression != BI_RGB || info.biWidth <= 0 || info.biWidth > 4096 ||
      info.biHeight == 0 || info.biHeight > 4096 || info.biHeight < -4096) {
    return nullptr;
  }
  std::size_t rowBytes = (static_cast<std::size_t>(info.biWidth) * 3 + 3) & ~std::size_t{3};
  std::size_t imageBytes = rowBytes * static_cast<std::size_t>(info.biHeight < 0 ? -info.biHeight : info.biHeight);

  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                     nullptr, 0);
  if (!picture || !bits) return nullptr;
  // Unpacked straight into the bitmap: no second copy of the pixels.
  if (!inflate::Gunzip(data + kHeaders, size - kHeaders, static_cast<std::uint8_t*>(bits), imageBytes)) {
    DeleteObject(picture);
    return nullptr;
  }
  return picture;
}
