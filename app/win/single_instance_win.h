// One setup at a time on the machine (app/single_setup.h): two setups, one
// hidden under the other or running unseen as SYSTEM, would install into
// two folders with one uninstall entry between them.
#pragma once

#include "platform/win/handles_win.h"

class SingleSetup {
 public:
  // Claims the setups' private namespace and the object in it for the life
  // of this object.
  SingleSetup();
  SingleSetup(const SingleSetup&) = delete;
  SingleSetup& operator=(const SingleSetup&) = delete;
  ~SingleSetup();
  // True when another setup, of any account and session, held it first.
  bool anotherRunning() const { return anotherRunning_; }

 private:
  HANDLE boundary_ = nullptr;
  HANDLE namespace_ = nullptr;
  UniqueKernelHandle mutex_;
  bool anotherRunning_ = false;
};

// Brings the other setup's window to the front (restored, if minimised),
// or the message box or chooser it has open; waits a little for a setup
// that is only starting. Nothing when it shows no window at all.
void BringRunningSetupToFront();
