// One setup at a time in a session: two windows, one hidden under the
// other, would install into two folders with one uninstall entry between
// them.
#pragma once

#include "platform/win/handles_win.h"

class SingleSetup {
 public:
  // Claims the session's setup mutex for the life of this object.
  SingleSetup();
  // True when another setup of this session held it first.
  bool anotherRunning() const { return anotherRunning_; }

 private:
  UniqueKernelHandle mutex_;
  bool anotherRunning_ = false;
};

// Brings the other setup's window to the front (restored, if minimised),
// or the message box or chooser it has open; waits a little for a setup
// that is only starting. Nothing when it shows no window at all.
void BringRunningSetupToFront();
