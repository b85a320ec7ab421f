#include "install/kit_files.h"

#include <array>

namespace {

using enum KitHandling;

constexpr std::array<KitFile, 10> kKitFiles = {{
    {1, L"morvane.1", L"Morvane.exe", L"MORVANE.1", L"MORVANE.EXE", Copied},
    {2, L"morvane.2", L"screenshot.jpg", L"MORVANE.2", L"SCREENSHOT.JPG", Copied},
    {3, L"morvane.3", L"about.htm", L"MORVANE.3", L"ABOUT.HTM", Copied},
    {4, L"setup.dll", L"setup.dll", L"SETUP.DLL", L"SETUP.DLL", CopiedUnlessSkipped},
    {5, L"setup.exe", L"setup.exe", L"SETUP.EXE", L"SETUP.EXE", CopiedUnlessSkipped},
    {6, L"morvane.4", L"Help\\AddFile.bmp", L"MORVANE.4", L"HELP\\ADDFILE.BMP", Copied},
    {7, L"morvane.5", L"Help\\AddPath.bmp", L"MORVANE.5", L"HELP\\ADDPATH.BMP", Copied},
    {8, L"morvane.6", L"Help\\FileList.htm", L"MORVANE.6", L"HELP\\FILELIST.HTM", Copied},
    {9, L"morvane.7", L"", L"MORVANE.7", L"PRESETS.REG", PresetsScript},
    {10, L"morvane.8", L"", L"", L"", PresenceOnly},
}};

}  // namespace

std::span<const KitFile> KitFiles() { return kKitFiles; }

const KitFile& KitFileNumber(int number) { return kKitFiles.at(static_cast<std::size_t>(number - 1)); }
