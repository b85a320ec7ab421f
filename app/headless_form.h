// frmMain's controls without a window, for a run that shows nothing: each
// control is its design properties and what the logic sets. The load
// decision and the actions run on them exactly as on the real window.
#pragma once

#include <string>
#include <vector>

#include "app/main_form_design.h"
#include "platform/main_form_controls.h"

class HeadlessForm : public MainFormControls {
 public:
  HeadlessForm() {
    for (const ControlDesign& d : MainFormDesign()) controls_.push_back({d.caption, d.visible});
  }
  std::wstring Text(Control control) const override { return Of(control).text; }
  void SetText(Control control, const std::wstring& text) override { Of(control).text = text; }
  bool IsVisible(Control control) const override { return Of(control).visible; }
  void SetVisible(Control control, bool visible) override { Of(control).visible = visible; }
  void SetEnabled(Control, bool) override {}
  void SetReadOnly(Control, bool) override {}
  void SetTop(Control, int) override {}
  void SetTooltip(Control, const std::wstring&) override {}
  void FocusOn(Control) override {}
  void Repaint() override {}

 private:
  struct Properties {
    std::wstring text;
    bool visible = true;
  };
  // The design table's rows follow the controls' order, and so do these.
  Properties& Of(Control control) { return controls_[static_cast<std::size_t>(control)]; }
  const Properties& Of(Control control) const { return controls_[static_cast<std::size_t>(control)]; }
  std::vector<Properties> controls_;
};
