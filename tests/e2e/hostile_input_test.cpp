// Generated hostile values through the real window: remembered as
// "InstallDir" or typed into the target box, then Next. The program must
// neither crash nor hang, every value must end refused, completed or stopped
// with a failure message, and the kit must stay complete.
#include "tests/e2e/session.h"
#include "tests/fuzz/hostile_values.h"

namespace e2e {
namespace {

using enum Control;
using namespace std::chrono_literals;

const wchar_t* const kRefusals[] = {
    L"Morvane can not be installed in Program Files due to permission for writing Undo files. Choose another folder.",
    L"Enter target directory for installation first."};
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
      ASSERT_TRUE(label == kInstallPrompt || label == L"Remove or Reinstall Morvane") << Utf8(label);
    }
    if (!remembered) SetText(Handle(window, Text1), value);
    std::wstring before = Text(window, Label1);
    Click(Handle(window, cmdNext0));
    ++tried;

    std::optional<MessageBoxInfo> box;
    ASSERT_TRUE(WaitUntil(
        [&] {
          box = setup_.WaitForMessageBox(0ms);
          return box || Text(window, Label1) == L"Completed installation." || !setup_.Running();
        },
        // The program may give the registry editor up to 30 s twice.
        90s))
        << "neither a message nor the end; Label1: " << Utf8(Text(window, Label1))
        << ", progress: " << Text(window, lblProgFore).size() / 2 << " steps";
    ASSERT_TRUE(setup_.Running()) << "setup.exe ended";
    bool refusal = box && (std::find(std::begin(kRefusals), std::end(kRefusals), box->text) != std::end(kRefusals) ||
                           box->text.starts_with(L"Morvane can not be installed safely here:\r\n\r\n"));
    if (refusal) {
      ++refused;
      AnswerMessageBox(*box, L"OK");
      ASSERT_TRUE(WaitUntil([&] { return setup_.VisibleTopLevelWindows().size() == 1; }));
      EXPECT_EQ(Text(window, Label1), before);
      EXPECT_TRUE(Visible(window, cmdNext0));
      continue;  // the same window takes the next value
    }
    if (box) {
      ++stopped;
      EXPECT_TRUE(box->text.starts_with(L"An error occured while writing the following file: ") ||
                  box->text.starts_with(L"An error occured while reading the following file: "))
          << Utf8(box->text);
      AnswerMessageBox(*box, L"OK");
      EXPECT_TRUE(WaitUntil([&] { return Text(window, Label1) == L"An error occured while installing."; }));
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
