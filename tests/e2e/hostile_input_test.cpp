// Generated hostile values through the real window: remembered as
// "InstallDir" or typed into the target box, then Next. The program must
// neither crash nor hang, every value must end refused with the window as it
// was, completed, or stopped with a failure message, and the kit must stay
// complete.
#include "app/texts.h"
#include "tests/e2e/session.h"
#include "tests/fuzz/hostile_values.h"

namespace e2e {
namespace {

using enum Control;
using namespace std::chrono_literals;

constexpr int kValues = 100;

std::string Shown(const std::wstring& value) {
  std::wstring cut = value.size() > 80 ? value.substr(0, 40) + L"..." + value.substr(value.size() - 40) : value;
  return Utf8(cut) + " (" + std::to_string(value.size()) + " characters)";
}

class HostileInput : public SetupSession {
 protected:
  HWND Restart() {
    if (setup_.Running()) setup_.Kill();
    StartSetup(kKit);
    return setup_.WaitForWindow(kMainTitle);
  }

  static bool KitComplete() {
    return World::Exists(kKit + L"\\morvane.7") && !World::Exists(kKit + L"\\presets.reg");
  }
};

TEST_F(HostileInput, GeneratedValuesThroughTheRealWindowEndInADefinedState) {
  World::MakeKit(kKit);
  fuzz::HostileValues values(20261208);
  HWND window = nullptr;
  int tried = 0, refused = 0, completed = 0, stopped = 0;
  for (int i = 0; i < kValues; ++i) {
    std::wstring value = values.Next();
    SCOPED_TRACE(Shown(value));
    bool remembered = i % 4 == 0;
    if (remembered || !window) {
      // An earlier value's installation leaves its uninstall entry, which
      // would open the next start on the removal of that older copy.
      World::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\QolMORVANE");
      World::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey, kView32);
      if (remembered) World::SetInstallDir(value);
      window = Restart();
      ASSERT_TRUE(window) << "no window";
      std::wstring label = Text(window, Label1);
      ASSERT_TRUE(label == kInstallPrompt || label == texts::kRemoveOrReinstall) << Utf8(label);
    }
    if (!remembered) SetText(Handle(window, Text1), value);
    std::wstring before = Text(window, Label1);
    Click(Handle(window, cmdNext0));
    ++tried;

    std::optional<MessageBoxInfo> box;
    ASSERT_TRUE(WaitUntil(
        [&] {
          box = setup_.WaitForMessageBox(0ms);
          return box || Text(window, Label1) == texts::kInstallCompleted || !setup_.Running();
        },
        // The program may give the registry editor up to 30 s twice.
        90s))
        << "neither a message nor the end; Label1: " << Utf8(Text(window, Label1))
        << ", progress: " << Text(window, lblProgFore).size() / 2 << " steps";
    ASSERT_TRUE(setup_.Running()) << "setup.exe ended";
    if (box) AnswerMessageBox(*box, L"OK");
    // A refusal leaves the window as it was, ready for the next value; a
    // failure midway ends the installation.
    bool refusal = box && WaitUntil([&] { return setup_.VisibleTopLevelWindows().size() == 1; }) &&
                   Text(window, Label1) == before && Visible(window, cmdNext0);
    if (refusal) {
      ++refused;
      continue;  // the same window takes the next value
    }
    if (box) {
      ++stopped;
      EXPECT_TRUE(box->text.starts_with(std::wstring(texts::kWriteFailure)) ||
                  box->text.starts_with(std::wstring(texts::kReadFailure)))
          << Utf8(box->text);
      EXPECT_TRUE(WaitUntil([&] { return Text(window, Label1) == texts::kInstallFailed; }));
    } else {
      ++completed;
    }
    EXPECT_TRUE(WaitUntil([&] { return Visible(window, Command1); }));
    EXPECT_TRUE(KitComplete());
    Click(Handle(window, Command1));
    ExpectEndsCleanly();
    window = nullptr;
  }
  std::printf("[ fuzz     ] %d values tried through the window: %d refused, %d installed, %d stopped\n", tried,
              refused, completed, stopped);
  RecordProperty("values_tried", tried);
  EXPECT_GE(tried, 100);
}

}  // namespace
}  // namespace e2e
