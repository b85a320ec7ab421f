#include "app/modMain.h"

#include <gtest/gtest.h>

#include "app/fakes/fake_setup.h"

namespace {

class Leaving : public ::testing::Test {
 protected:
  Leaving() {
    setup.AddKit(L"C:\\Kit");
    // As in the real window: unloading frmMain raises its close request.
    setup.end.onUnloadMain = [this] { setup.main.Form_QueryUnload(); };
  }
  FakeSetup setup;
};

TEST_F(Leaving, CancelButtonEndsTheProcessOnceDespiteTheNestedCloseRequest) {
  setup.main.Form_Load();
  EXPECT_THROW(setup.main.Command1_Click(), ProcessEnded);
  EXPECT_EQ(setup.end.unloads, 1);
  EXPECT_EQ(setup.end.ends, 1);
  EXPECT_EQ(setup.end.folderUnloads, 1);
  EXPECT_EQ(setup.end.unfinishedDrops, 0);  // nothing was under way
}

TEST_F(Leaving, CloseRequestOfAClosingWindowDoesNotUnloadItAgain) {
  setup.end.closing = true;
  EXPECT_THROW(setup.main.Form_QueryUnload(), ProcessEnded);
  EXPECT_EQ(setup.end.unloads, 0);
  EXPECT_EQ(setup.end.ends, 1);
}

TEST_F(Leaving, FinalReleaseEndsTheProcess) {
  EXPECT_THROW(setup.main.Form_Terminate(), ProcessEnded);
  EXPECT_EQ(setup.end.ends, 1);
}

}  // namespace
