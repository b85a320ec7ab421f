// frmMain's controls as plain properties, starting from the design table.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "app/main_form_design.h"
#include "app/main_form_controls.h"

class FakeMainForm : public MainFormControls {
 public:
  struct Properties {
    std::wstring text;
    bool visible = true;
    bool enabled = true;
    bool readOnly = false;
    int top = 0;
    std::wstring tooltip;
  };

  FakeMainForm() {
    for (const ControlDesign& d : MainFormDesign()) {
      controls[d.control] = Properties{d.caption, d.visible, true, false, d.top, d.tooltip};
    }
  }

  const Properties& operator[](Control c) const { return controls.at(c); }

  std::wstring Text(Control c) const override { return controls.at(c).text; }
  void SetText(Control c, const std::wstring& text) override { controls[c].text = text; }
  bool IsVisible(Control c) const override { return controls.at(c).visible; }
  void SetVisible(Control c, bool visible) override { controls[c].visible = visible; }
  void SetEnabled(Control c, bool enabled) override { controls[c].enabled = enabled; }
  void SetReadOnly(Control c, bool readOnly) override { controls[c].readOnly = readOnly; }
  void SetTop(Control c, int twips) override { controls[c].top = twips; }
  void SetTooltip(Control c, const std::wstring& tooltip) override { controls[c].tooltip = tooltip; }
  void FocusOn(Control c) override { focused = c; }
  void Repaint() override { ++repaints; }

  std::map<Control, Properties> controls;
  int repaints = 0;
  std::optional<Control> focused;
};
