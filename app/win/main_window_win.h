// frmMain as a real window. Every control is a child window whose text the
// system (and assistive technology) can read. Labels are static controls
// that paint nothing themselves: the form paints the picture and then every
// visible label in stacking order, so labels overlap the way they should and
// a changed caption repaints cleanly from the picture up.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "app/main_form_design.h"
#include "app/main_form_controls.h"
#include "platform/callback.h"
#include "platform/win/dialog_keys_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/window_common_win.h"
#include "platform/win/window_win.h"

class frmMain;

// The main window's class: a second setup finds the first one's window by it.
inline constexpr const wchar_t* kMainWindowClass = L"MorvaneSetupMain";

class MainWindow : public Window, public MainFormControls {
 public:
  // busyPointer tells whether the program-wide hourglass is on.
  MainWindow(HINSTANCE instance, Callback<bool()> busyPointer) : instance_(instance), busyPointer_(busyPointer) {}

  // Creates the window hidden, every control in its design state, its events
  // going to logic.
  bool Create(frmMain& logic);
  // Shows the window centred on the screen and gives the focus to the first
  // control of the tab order that can take it.
  void Show();
  // What the buttons' actions need and the window does not: done once, at
  // the first click of a button.
  void BeforeFirstAction(void (*prepare)()) { beforeFirstAction_ = prepare; }
  HWND ControlWindow(Control control) const { return controls_[Index(control)]; }
  const DialogKeys& dialogKeys() const { return keys_; }
  // True once the window has begun to close.
  bool closing() const { return closing_; }
  void BeginClosing() { closing_ = true; }

  // MainFormControls
  std::wstring Text(Control control) const override;
  void SetText(Control control, const std::wstring& text) override;
  bool IsVisible(Control control) const override;
  void SetVisible(Control control, bool visible) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetReadOnly(Control control, bool readOnly) override;
  void SetTop(Control control, int twips) override;
  void SetTooltip(Control control, const std::wstring& tooltip) override;
  void FocusOn(Control control) override;
  void Repaint() override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static std::size_t Index(Control control) { return static_cast<std::size_t>(control); }
  bool CreateControls();
  // Sizes the window, its controls, fonts, icons and picture for dpi.
  void Layout(int dpi);
  // The icons and the picture at the window's scale.
  void MakeIconsAndPicture();
  void Paint();
  // Makes the off-screen copy of the client area on first use.
  bool EnsureBackBuffer(HDC reference);
  // The picture and the visible labels, for the part of the client area.
  void DrawForm(HDC dc, const RECT& area);
  void PaintLabels(HDC dc, const RECT& area);
  void InvalidateLabel(Control control);
  // Invalidates the form and every control under the child's rectangle.
  void InvalidateArea(HWND child);
  void OnButtonClicked(HWND button);
  void MoveFocusOffHidden(HWND hidden);
  void MoveFocusOffCovered();

  HINSTANCE instance_;
  Callback<bool()> busyPointer_;
  void (*beforeFirstAction_)() = nullptr;
  frmMain* logic_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  HWND tooltip_ = nullptr;
  int dpi_ = 96;
  // Where each control's top is, in twips: the logic moves some buttons.
  std::array<int, kControlCount> tops_{};
  UniqueGdiObject background_;
  // The off-screen copy of the client area the form paints into; the
  // bitmaps are declared before the DCs they are selected into, so that the
  // DCs go first.
  UniqueGdiObject backBitmap_;
  UniqueMemoryDc backBuffer_;
  UniqueMemoryDc pictureDc_;
  DesignFonts fonts_;
  WindowIcons icons_;
  DialogKeys keys_;
  HWND focusOnDeactivate_ = nullptr;
  bool closing_ = false;
};
