// What frmMain's logic sees of its controls. A window state is nothing but
// these properties; the Windows build backs them with real child windows,
// the unit tests with a fake that records them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/text.h"

// The main window's controls, in the order of its design table.
enum class Control : std::uint8_t {
  cmdNext2,
  cmdNext1,
  cmdNext0,
  Command1,
  cmdBrowse,
  Text1,
  lblProgHundred,
  lblProgZero,
  lblProgFore,
  lblProgBack,
  lblDiskFree,
  lblDiskReq,
  lblDisk,
  Label2,
  Label1,
};

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::Label1) + 1;

class MainFormControls {
 public:
  virtual ~MainFormControls() = default;
  virtual std::wstring Text(Control control) const = 0;
  virtual void SetText(Control control, const std::wstring& text) = 0;
  // A fixed caption, widened here rather than at each place that sets one.
  void SetText(Control control, text::Ascii text) { SetText(control, std::wstring(text)); }
  virtual bool IsVisible(Control control) const = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  // Each of them, in this order.
  void SetVisible(std::initializer_list<Control> controls, bool visible) {
    for (Control control : controls) SetVisible(control, visible);
  }
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetReadOnly(Control control, bool readOnly) = 0;
  virtual void SetTop(Control control, int twips) = 0;
  virtual void SetTooltip(Control control, const std::wstring& tooltip) = 0;
  // Gives the control the keyboard focus; a text box gets its whole text
  // selected, so that typing replaces it.
  virtual void FocusOn(Control control) = 0;
  // Paints at once whatever has changed.
  virtual void Repaint() = 0;
};
