// Assembles a kit folder from a product folder laid out under the installed
// names: every product file goes into the kit under its neutral kit name
// ("morvane.1" to "morvane.8"), next to setup.exe and setup.dll. Given
// KIT_ZIP, it also writes the kit folder's files as that one zip archive,
// the form in which the kit is downloaded.
//
//   make_kit PRODUCT_DIR SETUP_EXE SETUP_DLL KIT_DIR [KIT_ZIP]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "install/kit_files.h"
#include "tools/make_kit/kit_zip.h"

namespace fs = std::filesystem;

namespace {

// The two kit files that are not installed have no installed name; in the
// product folder they go by these.
fs::path ProductName(const KitFile& file) {
  switch (file.handling) {
    case KitHandling::PresetsScript: return "presets.reg";
    case KitHandling::PresenceOnly: return "readme.txt";
    default: break;
  }
  std::wstring name = file.installedName;
  for (wchar_t& c : name) {
    if (c == L'\\') c = L'/';
  }
  return fs::path(name);
}

bool CopyInto(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (!fs::is_regular_file(from, error)) {
    std::fprintf(stderr, "make_kit: missing product file: %s\n", from.string().c_str());
    return false;
  }
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error) {
    std::fprintf(stderr, "make_kit: cannot write %s: %s\n", to.string().c_str(), error.message().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: make_kit PRODUCT_DIR SETUP_EXE SETUP_DLL KIT_DIR [KIT_ZIP]\n");
    return 2;
  }
  fs::path product = argv[1], setupExe = argv[2], setupDll = argv[3], kit = argv[4];
  std::error_code error;
  fs::create_directories(kit, error);
  if (error) {
    std::fprintf(stderr, "make_kit: cannot create %s: %s\n", kit.string().c_str(), error.message().c_str());
    return 1;
  }
  bool ok = true;
  std::vector<ZipEntry> entries;
  for (const KitFile& file : KitFiles()) {
    fs::path kitName(std::wstring(file.kitName));
    fs::path source;
    if (kitName == "setup.exe") {
      source = setupExe;
    } else if (kitName == "setup.dll") {
      source = setupDll;
    } else {
      source = product / ProductName(file);
    }
    ok = CopyInto(source, kit / kitName) && ok;
    entries.push_back({kitName.string(), kit / kitName});
  }
  if (!ok) return 1;
  std::printf("make_kit: kit written to %s\n", kit.string().c_str());
  if (argc == 6) {
    // Sorted by name, so that the archive does not follow the table's order
    // and lists as the folder does.
    std::sort(entries.begin(), entries.end(), [](const ZipEntry& a, const ZipEntry& b) { return a.name < b.name; });
    fs::path zip = argv[5];
    std::string reason;
    if (!WriteKitZip(zip, entries, reason)) {
      std::fprintf(stderr, "make_kit: %s\n", reason.c_str());
      fs::remove(zip, error);
      return 1;
    }
    std::printf("make_kit: kit archive written to %s\n", zip.string().c_str());
  }
  return 0;
}
