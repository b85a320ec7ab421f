// Generated hostile values as the remembered "InstallDir" and as the typed
// target, through start-up and the installation: nothing may crash or hang,
// and every value must end in one of the states the program knows, with the
// kit still complete.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "app/fakes/fake_setup.h"
#include "app/texts.h"
#include "platform/text.h"
#include "tests/fuzz/hostile_values.h"

namespace {

using enum Control;

constexpr std::size_t kValues = 10000;

// Printable in a failure report: escapes, and the middle of long values cut.
std::string Shown(const std::wstring& value) {
  std::string out;
  for (wchar_t c : value.size() > 120 ? value.substr(0, 60) + L"..." + value.substr(value.size() - 60) : value) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out + " (" + std::to_string(value.size()) + " characters)";
}

struct Session {
  Session() {
    setup.environment.variables = {{L"ProgramW6432", L"C:\\Program Files"},
                                   {L"ProgramFiles(x86)", L"C:\\Program Files (x86)"}};
    setup.AddKit(L"C:\\Kit");
    setup.files.AddDrive(L'D');
    setup.files.AddShortName(L"C:\\PROGRA~1", L"C:\\Program Files");
  }
  FakeSetup setup;
};

// Presses Next and checks the one outcome it must have: refused with the
// window and the machine as they were, completed, or stopped with a failure
// message and everything put back.
void ExpectDefinedInstallation(Session& s, const std::wstring& value) {
  SCOPED_TRACE(Shown(value));
  std::wstring prompt = s.setup.form[Label1].text;
  std::vector<std::wstring> filesBefore = s.setup.files.List(L"C:\\");
  std::wstring typed = s.setup.form[Text1].text;
  s.setup.main.cmdNext_Click(0);
  const std::wstring label = s.setup.form[Label1].text;
  const auto& shown = s.setup.messages.shown;
  if (label == prompt) {
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].flags == 16 || shown[0].flags == 64) << shown[0].flags;
    EXPECT_EQ(s.setup.files.List(L"C:\\"), filesBefore);
    EXPECT_FALSE(s.setup.settings.InstallDir() && *s.setup.settings.InstallDir() != value);
    EXPECT_EQ(s.setup.form.focused, Text1);
    return;
  }
  EXPECT_TRUE(s.setup.form[Command1].visible);
  EXPECT_TRUE(s.setup.main.CompleteInstallKit(L""));
  if (label == texts::kInstallCompleted) {
    EXPECT_TRUE(shown.empty());
    std::wstring target = text::WithTrailingBackslash(text::UpperCase(typed));
    EXPECT_EQ(s.setup.settings.InstallDir(), target);
    EXPECT_TRUE(s.setup.files.IsOrdinaryFile(target + L"Morvane.exe"));
    return;
  }
  ASSERT_EQ(label, texts::kInstallFailed);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].text.starts_with(std::wstring(texts::kWriteFailure)) ||
              shown[0].text.starts_with(std::wstring(texts::kReadFailure)));
  EXPECT_EQ(s.setup.files.List(L"C:\\"), filesBefore);
}

TEST(HostileInput, GeneratedValuesAsRememberedAndTypedTargetsEndInADefinedState) {
  fuzz::HostileValues values(20261207);
  auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration slowest{};
  std::size_t completed = 0;
  for (std::size_t i = 0; i < kValues && !HasFatalFailure(); ++i) {
    std::wstring value = values.Next();
    auto began = std::chrono::steady_clock::now();
    {
      // As the remembered directory: start-up, then Next on what it offers.
      Session s;
      s.setup.settings.SetInstallDir(value);
      s.setup.main.Form_Load();
      const std::wstring label = s.setup.form[Label1].text;
      ASSERT_TRUE(label == texts::kInstallPrompt) << Shown(value) << " -> " << Shown(label);
      ExpectDefinedInstallation(s, value);
    }
    {
      // As typed into the box.
      Session s;
      s.setup.main.Form_Load();
      s.setup.form.SetText(Text1, value);
      ExpectDefinedInstallation(s, value);
      if (s.setup.form[Label1].text == texts::kInstallCompleted) ++completed;
    }
    slowest = std::max(slowest, std::chrono::steady_clock::now() - began);
  }
  auto ms = [](auto d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
  std::cout << "[ fuzz     ] " << kValues << " values tried as remembered and typed target (" << completed
            << " installed), " << ms(std::chrono::steady_clock::now() - start) << " ms, slowest " << ms(slowest)
            << " ms\n";
  RecordProperty("values_tried", static_cast<int>(kValues));
  EXPECT_LT(ms(slowest), 2000) << "one value took far longer than the rest: a hang in the making";
}

}  // namespace
