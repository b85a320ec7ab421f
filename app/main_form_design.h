// frmMain as designed: every control with its fixed ID, geometry (twips from
// the top-left of the client area), caption, font, colour, tooltip, tab index
// and start-up visibility, in stacking order from the top. The window's code
// and the end-to-end tests name controls through this one table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "app/main_form_controls.h"
#include "platform/text.h"
#include "platform/window_design.h"

enum class ControlKind : std::uint8_t { Button, TextBox, Label };
enum class TextAlign : std::uint8_t { Left, Center };

// Fields as narrow as their values, so that the table stays small.
struct ControlDesign {
  Control control;
  std::int16_t id;  // the child window ID
  ControlKind kind;
  TextAlign align;
  std::int16_t left, top, width, height;  // twips
  std::uint8_t tabIndex;
  bool visible;
  text::Ascii caption;
  FontSpec font;
  std::optional<Rgb> textColor;  // empty: the platform's default
  text::Ascii tooltip;           // empty: none
};

inline constexpr int kMainClientWidthTwips = 4785;
inline constexpr int kMainClientHeightTwips = 3585;
inline constexpr const wchar_t* kMainCaption = L"Morvane by Halvo Setup";

// cmdNext is one control array; its instance index maps to these controls.
inline constexpr std::array<Control, 3> kCmdNext = {Control::cmdNext0, Control::cmdNext1, Control::cmdNext2};

std::span<const ControlDesign> MainFormDesign();
const ControlDesign& DesignOf(Control control);
