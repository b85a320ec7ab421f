#include "folder/folder_form_design.h"

#include <array>

namespace {

constexpr FontSpec kDefaultFont{nullptr, 0, 400};
constexpr FontSpec kTahoma825{L"Tahoma", 825, 400};

using enum FolderControl;
using enum FolderControlKind;

constexpr std::array<FolderControlDesign, 7> kDesign = {{
    // control, kind, id, left, top, width, height, tab, caption, font, tooltip
    {Drive1, DriveList, 201, 120, 240, 7575, 315, 3, L"", kDefaultFont, "Click to change drive"},
    {Dir1, DirectoryList, 202, 120, 720, 7575, 1890, 4, L"", kDefaultFont, "Click to change directory"},
    {Text1, TextBox, 203, 120, 2760, 7575, 285, 5, L"", kDefaultFont, "Type in the path to search here"},
    {Command2, Button, 204, 120, 3120, 1335, 300, 2, L"&Set", kTahoma825, "Set installation path"},
    {Command1, Button, 205, 1560, 3120, 1335, 300, 6, L"&Create new...", kTahoma825,
     "Create new folder"},
    {Command3, Button, 206, 6360, 3120, 1335, 300, 1, L"&Cancel", kTahoma825,
     "Cancel setting installation path"},
    {Frame1, Frame, 200, 0, 0, 7815, 3555, 0, L"", kDefaultFont, ""},
}};
static_assert(RowsFollowEnum(kDesign, Frame1), "rows in the order of FolderControl");
static_assert(TabIndicesCountRows(kDesign), "tab indices 0 to 6, each once");

}  // namespace

std::span<const FolderControlDesign> FolderFormDesign() { return kDesign; }

const FolderControlDesign& DesignOf(FolderControl control) { return kDesign[static_cast<std::size_t>(control)]; }
