// Where each kit file lies in a product folder, which holds the product
// under its installed names: make_kit reads one so, and the tests under Wine
// lay one out so.
#pragma once

#include <string>

#include "install/kit_files.h"

// Its name in the product folder, folders separated by backslashes. The two
// kit files that are not installed have no installed name; they go by these.
inline std::wstring ProductName(const KitFile& file) {
  switch (file.handling) {
    case KitHandling::PresetsScript: return L"presets.reg";
    case KitHandling::PresenceOnly: return L"readme.txt";
    default: return file.installedName;
  }
}
