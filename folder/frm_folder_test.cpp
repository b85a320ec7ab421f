#include "folder/frm_folder.h"

#include <gtest/gtest.h>

#include "folder/fakes/fake_folder_form.h"
#include "folder/folder_chooser_ref.h"
#include "folder/folder_texts.h"
#include "platform/fakes/fake_folder_system.h"
#include "platform/fakes/fake_services.h"

namespace {

class FakeInputBox : public InputBox {
 public:
  std::optional<std::wstring> answer;
  std::wstring title, prompt;
  int asked = 0;
  std::optional<std::wstring> Ask(const std::wstring& t, const std::wstring& p) override {
    ++asked;
    title = t;
    prompt = p;
    return answer;
  }
};

class FolderChooserLogic : public ::testing::Test {
 protected:
  FolderChooserLogic() {
    folders.drives = {{L'C', L"System"}, {L'D', L""}, {L'X', L"\\\\server\\share"}};
    for (const wchar_t* path : {L"C:\\Work\\kit", L"C:\\Work\\beta", L"C:\\Work\\Alpha", L"C:\\Work\\alpha2",
                                L"D:\\Games\\old"}) {
      folders.AddFolder(path);
    }
    folders.current = L"C:\\Work";
    chooser.Form_Load();
  }
  void ClickEntry(const std::wstring& entryText) {
    form.selected = form.Entry(entryText);
    ASSERT_GE(form.selected, 0) << "no entry " << std::string(entryText.begin(), entryText.end());
    chooser.Dir1_Click();
  }
  void OpenEntry(const std::wstring& entryText) {
    ClickEntry(entryText);
    chooser.Dir1_Open();
  }
  void ChooseDrive(wchar_t letter) {
    for (std::size_t i = 0; i < folders.drives.size(); ++i) {
      if (folders.drives[i].letter == letter) chooser.Drive1_Change(static_cast<int>(i));
    }
  }
  // What a user reads in the directory list: indent, folder kind and text.
  std::vector<std::wstring> ShownEntries() const {
    std::vector<std::wstring> shown;
    for (const DirectoryEntry& e : form.directories) {
      shown.push_back(std::wstring(static_cast<std::size_t>(e.indent) * 2, L' ') + (e.opened ? L"[o] " : L"[ ] ") +
                      e.text);
    }
    return shown;
  }

  FakeFolderForm form;
  FakeFolderSystem folders;
  FakeMessageBoxes messages;
  FakeInputBox input;
  std::wstring mainText1;  // the main window's target box
  frmFolder chooser{form, {folders, messages, input, [this](const std::wstring& path) { mainText1 = path; }}};
};

TEST_F(FolderChooserLogic, FirstOpeningShowsTheCurrentDriveAndDirectoryWithAnEmptyText) {
  EXPECT_EQ(form.drives, (std::vector<std::wstring>{L"c: [System]", L"d:", L"x: [\\\\server\\share]"}));
  EXPECT_EQ(form.ShownDrive(), L"c: [System]");
  // The path from the root as opened folders, then the subfolders sorted
  // without regard to case, one level further in.
  EXPECT_EQ(ShownEntries(), (std::vector<std::wstring>{L"[o] c:\\", L"  [o] Work", L"    [ ] Alpha",
                                                       L"    [ ] alpha2", L"    [ ] beta", L"    [ ] kit"}));
  EXPECT_EQ(form.directories[form.selected].path, L"C:\\Work");
  EXPECT_EQ(form.text, L"");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FolderChooserLogic, ClickFillsTheTextAndOpeningMakesTheEntryTheListedDirectory) {
  ClickEntry(L"beta");
  EXPECT_EQ(form.text, L"C:\\Work\\beta");
  EXPECT_EQ(form.ShownDirectory(), L"C:\\Work");  // a click does not open it

  OpenEntry(L"kit");
  EXPECT_EQ(form.ShownDirectory(), L"C:\\Work\\kit");
  EXPECT_EQ(form.directories.back().text, L"kit");
  ClickEntry(L"c:\\");
  EXPECT_EQ(form.text, L"C:\\");
  chooser.Dir1_Open();
  EXPECT_EQ(ShownEntries(), (std::vector<std::wstring>{L"[o] c:\\", L"  [ ] Work"}));
}

TEST_F(FolderChooserLogic, AFolderThatCannotBeOpenedLeavesTheListWhereItWas) {
  folders.unreadable.insert(L"C:\\WORK\\BETA");
  std::vector<DirectoryEntry> before = form.directories;
  OpenEntry(L"beta");
  EXPECT_EQ(form.ShownDirectory(), L"C:\\Work");
  EXPECT_EQ(form.directories.size(), before.size());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FolderChooserLogic, SetCopiesTheTextUnchangedAndCancelCopiesNothing) {
  mainText1 = L"C:\\WinUtil\\Morvane";
  chooser.Command3_Click();
  EXPECT_EQ(form.hides, 1);
  EXPECT_EQ(mainText1, L"C:\\WinUtil\\Morvane");

  for (const wchar_t* typed : {L"D:\\does not exist\\", L"relative", L""}) {
    form.text = typed;
    chooser.Command2_Click();
    EXPECT_EQ(mainText1, typed);
  }
  EXPECT_EQ(form.hides, 4);
}

TEST_F(FolderChooserLogic, ChangingTheDriveListsThatDrivesCurrentDirectory) {
  folders.driveDirectories[L'D'] = L"D:\\Games";
  ChooseDrive(L'D');
  EXPECT_EQ(form.ShownDrive(), L"d:");
  EXPECT_EQ(ShownEntries(), (std::vector<std::wstring>{L"[o] d:\\", L"  [o] Games", L"    [ ] old"}));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FolderChooserLogic, ADriveNotReadyFallsBackToCOnceWithOneMessage) {
  folders.unreadable.insert(L"X:\\");
  folders.driveDirectories[L'C'] = L"C:\\Work\\kit";
  OpenEntry(L"beta");
  messages.onShow = [&](const FakeMessageBoxes::Shown&) {
    // Both lists are on C: by the time the user reads the message.
    EXPECT_EQ(form.ShownDrive(), L"c: [System]");
    EXPECT_EQ(form.ShownDirectory().substr(0, 3), L"C:\\");
  };
  ChooseDrive(L'X');
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, texts::kDriveNotReady);
  EXPECT_EQ(messages.shown[0].flags, mb::kInformation | mb::kOkOnly);
  EXPECT_EQ(form.ShownDrive(), L"c: [System]");
  EXPECT_EQ(form.ShownDirectory(), L"C:\\Work\\kit");  // C:'s current directory
}

TEST_F(FolderChooserLogic, TheFallbackIsNotRetriedWhenCCannotBeReadEither) {
  folders.driveDirectories[L'D'] = L"D:\\Games";
  ChooseDrive(L'D');
  folders.unreadable = {L"X:\\", L"C:\\"};
  int listingsBefore = folders.listings;
  ChooseDrive(L'X');
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_LE(folders.listings - listingsBefore, 4);
  // The directory list stays where it was and the drive list follows it.
  EXPECT_EQ(form.ShownDirectory(), L"D:\\Games");
  EXPECT_EQ(form.ShownDrive(), L"d:");
}

TEST(FolderChooserWithoutAListedFolder, CreateNewAsksNothingAndMakesNothing) {
  FakeFolderForm form;
  FakeFolderSystem folders;
  FakeMessageBoxes messages;
  FakeInputBox input;
  folders.drives = {{L'C', L""}};
  folders.current = L"C:\\Work";
  folders.unreadable = {L"C:\\Work", L"C:\\"};
  frmFolder chooser{form, {folders, messages, input, [](const std::wstring&) {}}};
  chooser.Form_Load();
  input.answer = L"x";
  chooser.Command1_Click();
  EXPECT_TRUE(input.title.empty());
  EXPECT_FALSE(folders.Exists(L"\\x"));
  EXPECT_FALSE(folders.Exists(L"C:\\x"));
}

TEST_F(FolderChooserLogic, CreateNewMakesOneFolderUnderTheListedDirectoryAndSelectsIt) {
  ClickEntry(L"beta");  // selected, not opened: the folder still goes under P
  input.answer = L"New One";
  chooser.Command1_Click();
  EXPECT_EQ(input.title, texts::kCreateFolderTitle);
  EXPECT_EQ(input.prompt, L"Create new folder in\r\n\r\nC:\\Work");
  EXPECT_TRUE(folders.Exists(L"C:\\Work\\New One"));
  EXPECT_EQ(form.text, L"C:\\Work\\New One");
  EXPECT_EQ(form.ShownDirectory(), L"C:\\Work");
  EXPECT_EQ(form.directories[form.selected].text, L"New One");
  EXPECT_TRUE(messages.shown.empty());

  // At a drive's root the path gets no doubled backslash.
  ClickEntry(L"c:\\");
  chooser.Dir1_Open();
  input.answer = L"Top";
  chooser.Command1_Click();
  EXPECT_EQ(input.prompt, L"Create new folder in\r\n\r\nC:\\");
  EXPECT_EQ(form.text, L"C:\\Top");
  EXPECT_TRUE(folders.Exists(L"C:\\Top"));
}

TEST_F(FolderChooserLogic, AnEmptyOrCancelledAnswerChangesNothing) {
  ClickEntry(L"kit");
  std::size_t before = folders.FolderCount();
  for (std::optional<std::wstring> answer : {std::optional<std::wstring>(), std::optional<std::wstring>(L"")}) {
    input.answer = answer;
    chooser.Command1_Click();
  }
  EXPECT_EQ(input.asked, 2);
  EXPECT_EQ(folders.FolderCount(), before);
  EXPECT_EQ(form.text, L"C:\\Work\\kit");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FolderChooserLogic, AFolderThatCannotBeCreatedIsReportedWithPathAndReasonAndChangesNothing) {
  folders.unwritable.insert(L"C:\\WORK\\KIT");
  struct Case {
    const wchar_t* name;
    const wchar_t* path;
    const wchar_t* reason;
  };
  const Case cases[] = {
      {L"KIT", L"C:\\Work\\KIT", L"Cannot create a file when that file already exists."},
      {L"a<b", L"C:\\Work\\a<b", L"The filename, directory name, or volume label syntax is incorrect."},
      {L"..\\outside", L"C:\\Work\\..\\outside", L"The filename, directory name, or volume label syntax is incorrect."},
      {L"sub\\deeper", L"C:\\Work\\sub\\deeper", L"The filename, directory name, or volume label syntax is incorrect."},
      // Windows would drop the blank or the dot, and make another folder than Text1 then names.
      {L"blank ", L"C:\\Work\\blank ", L"The filename, directory name, or volume label syntax is incorrect."},
      {L"dot.", L"C:\\Work\\dot.", L"The filename, directory name, or volume label syntax is incorrect."},
  };
  ClickEntry(L"beta");
  std::size_t before = folders.FolderCount();
  std::vector<DirectoryEntry> list = form.directories;
  for (const Case& c : cases) {
    messages.shown.clear();
    input.answer = c.name;
    chooser.Command1_Click();
    ASSERT_EQ(messages.shown.size(), 1u) << std::string(c.name, c.name + wcslen(c.name));
    EXPECT_EQ(messages.shown[0].text,
              std::wstring(texts::kCreateFolderFailed) + c.path + L"\r\n\r\n" + c.reason);
    EXPECT_EQ(messages.shown[0].flags, mb::kCritical | mb::kOkOnly);
  }
  EXPECT_EQ(folders.FolderCount(), before);
  EXPECT_EQ(form.text, L"C:\\Work\\beta");
  EXPECT_EQ(form.directories.size(), list.size());

  OpenEntry(L"kit");
  messages.shown.clear();
  input.answer = L"x";
  chooser.Command1_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(L"Access is denied."), std::wstring::npos);
}

class FakeView : public FolderView {
 public:
  explicit FakeView(std::vector<Ending>& endings) : endings_(endings) {}
  Ending ShowModal() override {
    Ending e = endings_.front();
    endings_.erase(endings_.begin());
    return e;
  }
  void Unload() override { ++unloads; }
  int unloads = 0;

 private:
  std::vector<Ending>& endings_;
};

TEST(FolderChooserReference, KeptWhileHiddenAndDroppedWhenClosedByTheWindowSystem) {
  using enum FolderView::Ending;
  std::vector<FolderView::Ending> endings{Hidden, Hidden, Closed, Hidden};
  int created = 0;
  FakeView* last = nullptr;
  FolderChooserRef chooser([&] {
    ++created;
    auto view = std::make_unique<FakeView>(endings);
    last = view.get();
    return view;
  });
  chooser.Unload();  // never created: nothing to close
  EXPECT_EQ(created, 0);
  chooser.ShowModal();
  chooser.ShowModal();
  EXPECT_EQ(created, 1);  // the same window, its state kept
  chooser.ShowModal();    // closed with its close box
  EXPECT_FALSE(chooser.loaded());
  chooser.ShowModal();
  EXPECT_EQ(created, 2);  // starts afresh
  chooser.Unload();
  EXPECT_EQ(last->unloads, 1);
}

}  // namespace
