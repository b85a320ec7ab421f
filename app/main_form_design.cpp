#include "app/main_form_design.h"

namespace {

constexpr FontSpec kDefaultFont{nullptr, 0, 400};
constexpr FontSpec kTahoma825{L"Tahoma", 825, 400};
constexpr FontSpec kTahoma1125{L"Tahoma", 1125, 400};
constexpr FontSpec kTahoma1125Bold{L"Tahoma", 1125, 700};
constexpr FontSpec kTahoma1425Bold{L"Tahoma", 1425, 700};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kLightBlue{192, 192, 255};

using enum Control;
using enum ControlKind;
using enum TextAlign;

constexpr std::array<ControlDesign, 15> kDesign = {{
    // control, id, kind, align, left, top, width, height, tab, visible, caption, font, colour, tooltip
    {cmdNext2, 102, Button, Left, 120, 2760, 1335, 300, 14, false, "&Uninstall", kDefaultFont, {},
     "Uninstall Morvane by Halvo"},
    {cmdNext1, 101, Button, Left, 120, 2760, 1335, 300, 6, true, "&Uninstall", kDefaultFont, {},
     "Uninstall Morvane by Halvo"},
    {cmdNext0, 100, Button, Left, 120, 3120, 1335, 300, 5, true, "&Next", kDefaultFont, {},
     "Install Morvane by Halvo"},
    {Command1, 110, Button, Left, 3360, 3120, 1335, 300, 4, true, "&Cancel", kDefaultFont, {},
     "Exit setup"},
    {cmdBrowse, 111, Button, Left, 3360, 2160, 1335, 300, 3, true, "&Browse...", kDefaultFont, {},
     "Browse for the installation path"},
    {Text1, 120, TextBox, Left, 120, 1800, 4575, 285, 2, true, "C:\\WinUtil\\Morvane", kTahoma825, {},
     "The path where Morvane by Halvo will be installed"},
    {lblProgHundred, 153, Label, Left, 3840, 2520, 735, 255, 13, false, "100%", kTahoma1125Bold,
     kWhite, ""},
    {lblProgZero, 152, Label, Left, 240, 2520, 495, 255, 12, false, "0%", kTahoma1125Bold, kWhite, ""},
    {lblProgFore, 151, Label, Left, 360, 2520, 4335, 375, 11, false, "", kTahoma1125Bold, kWhite, ""},
    {lblProgBack, 150, Label, Left, 360, 2520, 4335, 375, 10, false, "__________________________",
     kTahoma1125Bold, kLightBlue, ""},
    {lblDiskFree, 142, Label, Left, 360, 2640, 4335, 255, 9, true, "Free:", kTahoma1125, kWhite, ""},
    {lblDiskReq, 141, Label, Left, 360, 2400, 2895, 255, 8, true, "Required: < 1 Mb", kTahoma1125,
     kWhite, ""},
    {lblDisk, 140, Label, Left, 240, 2160, 3015, 255, 7, true, "Disk space", kTahoma1125, kWhite, ""},
    {Label2, 131, Label, Left, 120, 1440, 4575, 375, 1, true, "Target Directory:", kTahoma1425Bold, kWhite,
     ""},
    {Label1, 130, Label, Center, 120, 120, 4575, 1455, 0, true, "#", kTahoma1425Bold, kWhite, ""},
}};
static_assert(RowsFollowEnum(kDesign, Label1), "rows in the order of Control, which is the stacking order");
static_assert(TabIndicesCountRows(kDesign), "tab indices 0 to 14, each once");

}  // namespace

std::span<const ControlDesign> MainFormDesign() { return kDesign; }

const ControlDesign& DesignOf(Control control) { return kDesign[static_cast<std::size_t>(control)]; }
