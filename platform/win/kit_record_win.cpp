#include "platform/win/kit_record_win.h"

#include <windows.h>

#include "resources/resource_ids.h"

const std::uint8_t* OwnKitRecord(std::size_t& size) {
  size = 0;
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_KIT_RECORD), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return nullptr;
  size = SizeofResource(nullptr, found);
  return static_cast<const std::uint8_t*>(bytes);
}
