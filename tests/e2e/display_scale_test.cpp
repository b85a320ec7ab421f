// Both windows at 96, 144 and 192 dots per inch, the display scale that
// Wine's LogPixels gives every program it starts: each window and each of
// its controls grows with the scale, and no control's text is cut off.
#include <cmath>
#include <map>

#include "folder/folder_form_design.h"
#include "tests/e2e/session.h"

namespace e2e {
namespace {

void SetLogPixels(DWORD dpi) {
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}
// The scale of every program started while it lives; 96 again afterwards.
struct LogPixels {
  explicit LogPixels(DWORD dpi) { SetLogPixels(dpi); }
  ~LogPixels() { SetLogPixels(96); }
};

struct Part {
  RECT rect;  // in the window's client area
  RECT ink;   // the box around its text as drawn
};
// One window at one scale: its client area and its visible controls.
struct Measured {
  SIZE client{};
  std::map<int, Part> parts;
};

// A control of window as it is on screen at dpi.
Part PartOf(HWND window, int id, Ink ink, int dpi) {
  RECT r{};
  GetWindowRect(GetDlgItem(window, id), &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  RECT inside = r;
  if (ink == Ink::Dark) InflateRect(&inside, -3, -3);  // not the border
  return Part{r, InkBox(window, inside, ink, dpi)};
}

Measured Measure(HWND window, std::initializer_list<std::pair<int, Ink>> controls, int dpi) {
  auto once = [&] {
    Measured m;
    RECT client{};
    GetClientRect(window, &client);
    m.client = SIZE{client.right, client.bottom};
    for (auto [id, ink] : controls) {
      if (IsWindowVisible(GetDlgItem(window, id))) m.parts[id] = PartOf(window, id, ink, dpi);
    }
    return m;
  };
  // A window still painting on a busy machine, and the caret that blinks in
  // the target box, come and go: each text is taken as the union of what
  // looks over more than one blink show.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Measured all = once();
  for (int looks = 0; looks < 9; ++looks) {
    Sleep(150);
    Measured now = once();
    for (auto& [id, part] : now.parts) {
      auto seen = all.parts.find(id);
      if (seen == all.parts.end() || IsRectEmpty(&seen->second.ink)) continue;
      if (!IsRectEmpty(&part.ink)) UnionRect(&part.ink, &part.ink, &seen->second.ink);
      else part.ink = seen->second.ink;
    }
    all = now;
  }
  return all;
}

// What scale times the 96-dpi window's figures should give, within two
// pixels for geometry (whole pixels both times); for text, whose letters the
// fonts fit to whole pixels at each size, within a tenth of its width (one
// letter lost is more) and a seventh of its height (a mnemonic's underline
// keeps its own distance; half a line cut off is far more).
void ExpectInProportion(const Measured& base, const Measured& scaled, double scale) {
  auto grown = [scale](LONG at96, LONG now, double tolerance) {
    return std::abs(now - at96 * scale) <= std::max(2.0, tolerance * at96 * scale);
  };
  EXPECT_TRUE(grown(base.client.cx, scaled.client.cx, 0)) << base.client.cx << " -> " << scaled.client.cx;
  EXPECT_TRUE(grown(base.client.cy, scaled.client.cy, 0)) << base.client.cy << " -> " << scaled.client.cy;
  ASSERT_EQ(scaled.parts.size(), base.parts.size());
  for (const auto& [id, at96] : base.parts) {
    SCOPED_TRACE(id);
    const Part& now = scaled.parts.at(id);
    EXPECT_TRUE(grown(at96.rect.left, now.rect.left, 0) && grown(at96.rect.top, now.rect.top, 0) &&
                grown(at96.rect.right, now.rect.right, 0) && grown(at96.rect.bottom, now.rect.bottom, 0))
        << "control at " << now.rect.left << "," << now.rect.top << "-" << now.rect.right << "," << now.rect.bottom;
    if (at96.ink.right == 0) continue;  // no text
    // Text cut off at either end, or at the bottom, is narrower or lower
    // than the same text at 96 dpi, grown with the scale.
    EXPECT_TRUE(grown(at96.ink.right - at96.ink.left, now.ink.right - now.ink.left, 0.1))
        << "text " << at96.ink.right - at96.ink.left << " -> " << now.ink.right - now.ink.left << " pixels wide";
    EXPECT_TRUE(grown(at96.ink.bottom - at96.ink.top, now.ink.bottom - now.ink.top, 0.15))
        << "text " << at96.ink.bottom - at96.ink.top << " -> " << now.ink.bottom - now.ink.top << " pixels high";
  }
}

class DisplayScale : public SetupSession {
 protected:
  // Wherever an earlier scenario left the pointer, a tooltip it raised would
  // be measured with the text it covers: the pointer leaves, and the tooltip goes.
  static void AwayWithThePointer() {
    SetCursorPos(0, 0);
    Sleep(1000);
  }
  // The main window's controls with text, with a screenshot.
  Measured MeasureMain(HWND main, int dpi) {
    using enum Control;
    Measured window = Measure(main,
                              {{Id(Label1), Ink::OnThePicture}, {Id(Label2), Ink::OnThePicture},
                               {Id(lblDisk), Ink::OnThePicture}, {Id(lblDiskReq), Ink::OnThePicture},
                               {Id(lblDiskFree), Ink::OnThePicture}, {Id(Text1), Ink::Dark}, {Id(cmdBrowse), Ink::Dark},
                               {Id(cmdNext0), Ink::Dark}, {Id(Command1), Ink::Dark}},
                              dpi);
    World::Screenshot(main, "main-" + std::to_string(dpi));
    return window;
  }

  // Both windows at dpi, with a screenshot of each.
  std::pair<Measured, Measured> BothWindows(int dpi) {
    LogPixels scale(static_cast<DWORD>(dpi));
    World::MakeKit(kKit);
    HWND main = StartAndWaitForWindow(kKit);
    if (!main || !WaitUntil([&] { return FocusedControl(main) == Handle(main, Control::Text1); })) return {};
    // The path's text, not its selection, whose colour depends on whether
    // the window is active yet: End leaves the caret behind it instead.
    PressKey(Handle(main, Control::Text1), VK_END);
    AwayWithThePointer();
    Measured window = MeasureMain(main, dpi);

    Click(Handle(main, Control::cmdBrowse));
    HWND chooser = setup_.WaitForWindow(kFolderCaption);
    if (!chooser) return {};
    auto part = [chooser](FolderControl c) { return GetDlgItem(chooser, DesignOf(c).id); };
    // Focus and a path in the path box, so that no button shows a focus frame.
    ClickInto(part(FolderControl::Text1));
    SetText(part(FolderControl::Text1), L"C:\\e2e\\kit\\Morvane");
    WaitUntil([&] { return FocusedControl(chooser) == part(FolderControl::Text1); });
    AwayWithThePointer();
    Measured folder = Measure(chooser,
                              {{DesignOf(FolderControl::Drive1).id, Ink::None},
                               {DesignOf(FolderControl::Dir1).id, Ink::None},
                               {DesignOf(FolderControl::Text1).id, Ink::Dark},
                               {DesignOf(FolderControl::Command2).id, Ink::Dark},
                               {DesignOf(FolderControl::Command1).id, Ink::Dark},
                               {DesignOf(FolderControl::Command3).id, Ink::Dark}},
                              dpi);
    // The directory list's rows, with their pictures and indents, grow too.
    EXPECT_EQ(SendMessageW(part(FolderControl::Dir1), LB_GETITEMHEIGHT, 0, 0), 16 * dpi / 96);
    World::Screenshot(chooser, "chooser-" + std::to_string(dpi));
    setup_.Kill();
    return {window, folder};
  }
};

TEST_F(DisplayScale, BothWindowsGrowWithTheScaleAndNoTextIsCutOff) {
  auto [main96, chooser96] = BothWindows(96);
  ASSERT_EQ(main96.client.cx, 319);
  ASSERT_EQ(main96.client.cy, 239);
  ASSERT_EQ(main96.parts.size(), 9u);
  for (int dpi : {144, 192}) {
    SCOPED_TRACE(dpi);
    World::Reset();
    auto [main, chooser] = BothWindows(dpi);
    ExpectInProportion(main96, main, dpi / 96.0);
    ExpectInProportion(chooser96, chooser, dpi / 96.0);
  }
}

// Windows tells a window moved to a monitor of another scale with
// WM_DPICHANGED (Wine never does: it has one scale): the window is laid out
// again as if it had opened there.
TEST_F(DisplayScale, MainWindowMovedToAMonitorOfAnotherScaleIsLaidOutAgain) {
  World::MakeKit(kKit);
  HWND main = StartAndWaitForWindow(kKit);
  ASSERT_TRUE(main && WaitUntil([&] { return FocusedControl(main) == Handle(main, Control::Text1); }));
  PressKey(Handle(main, Control::Text1), VK_END);  // the text's ink, not its selection's
  AwayWithThePointer();
  Measured at96 = MeasureMain(main, 96);
  RECT window{};
  GetWindowRect(main, &window);
  // The rectangle the message points at lies in the program's own memory.
  RECT suggested{window.left, window.top, window.left + 2 * (window.right - window.left),
                 window.top + 2 * (window.bottom - window.top)};
  void* remote = VirtualAllocEx(setup_.handle(), nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(remote && WriteProcessMemory(setup_.handle(), remote, &suggested, sizeof suggested, nullptr));
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192),
                                  reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &answer));
  // Repainted at its own pace: the target box, with its text grown, comes last.
  const RECT& before = at96.parts.at(Id(Control::Text1)).ink;
  EXPECT_TRUE(WaitUntil([&] {
    RECT text = PartOf(main, Id(Control::Text1), Ink::Dark, 192).ink;
    return text.bottom - text.top >= (before.bottom - before.top) * 17 / 10;
  }));
  ExpectInProportion(at96, MeasureMain(main, 192), 2.0);
}

}  // namespace
}  // namespace e2e
