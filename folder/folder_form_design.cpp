#include "folder/folder_form_design.h"

#include <array>

namespace {

constexpr FontSpec kDefaultFont{nullptr, 0, 400};
constexpr FontSpec kTahoma825{L"Tahoma", 825, 400};

using enum FolderControl;
using enum FolderControlKind;

constexpr std::array<FolderControlDesign, 7> kDesign = {{
    // control, id, name, kind, left, top, width, height, tab, caption, font, tooltip
    {Frame1, 200, "Frame1", Frame, 0, 0, 7815, 3555, 0, L"", kDefaultFont, ""},
    {Drive1, 201, "Drive1", DriveList, 120, 240, 7575, 315, 3, L"", kDefaultFont, "Click to change drive"},
    {Dir1, 202, "Dir1", DirectoryList, 120, 720, 7575, 1890, 4, L"", kDefaultFont, "Click to change directory"},
    {Text1, 203, "Text1", TextBox, 120, 2760, 7575, 285, 5, L"", kDefaultFont, "Type in the path to search here"},
    {Command2, 204, "Command2", Button, 120, 3120, 1335, 300, 2, L"&Set", kTahoma825, "Set installation path"},
    {Command1, 205, "Command1", Button, 1560, 3120, 1335, 300, 6, L"&Create new...", kTahoma825,
     "Create new folder"},
    {Command3, 206, "Command3", Button, 6360, 3120, 1335, 300, 1, L"&Cancel", kTahoma825,
     "Cancel setting installation path"},
}};
static_assert(RowsFollowEnum(kDesign, Command3), "rows in the order of FolderControl");

}  // namespace

std::span<const FolderControlDesign> FolderFormDesign() { return kDesign; }

const FolderControlDesign& DesignOf(FolderControl control) { return kDesign[static_cast<std::size_t>(control)]; }
