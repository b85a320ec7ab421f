// frmFolder as designed: the window's fixed properties and every control
// with its child window ID, geometry (twips from the top-left of the client
// area), tab index, caption, font and tooltip. The window's code and the
// end-to-end tests name the chooser's controls through this one table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/text.h"
#include "platform/window_design.h"

// In the order the window makes them, which stacks them: the frame, last, lies under all the others.
enum class FolderControl : std::uint8_t { Drive1, Dir1, Text1, Command2, Command1, Command3, Frame1 };
inline constexpr std::size_t kFolderControlCount = static_cast<std::size_t>(FolderControl::Frame1) + 1;

enum class FolderControlKind : std::uint8_t { Frame, DriveList, DirectoryList, TextBox, Button };

// Small number types: the table is kept in the program as it is.
struct FolderControlDesign {
  FolderControl control;
  FolderControlKind kind;
  std::int16_t id;  // the child window ID
  std::int16_t left, top, width, height;  // twips
  std::int16_t tabIndex;
  const wchar_t* caption;
  FontSpec font;
  text::Ascii tooltip;  // empty: none
};

inline constexpr const wchar_t* kFolderCaption = L"Choose installation folder";
inline constexpr int kFolderClientWidthTwips = 7875;
inline constexpr int kFolderClientHeightTwips = 3630;
inline constexpr Rgb kFolderBackground{83, 162, 225};
inline constexpr FolderControl kFolderDefaultButton = FolderControl::Command2;  // Enter
inline constexpr FolderControl kFolderCancelButton = FolderControl::Command3;   // Esc

std::span<const FolderControlDesign> FolderFormDesign();
const FolderControlDesign& DesignOf(FolderControl control);
