// frmMain's logic: the load decision and its window states, the kit check,
// the disk-space display, the progress bar and the event handlers. The
// controls themselves live behind MainFormControls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folder/folder_chooser.h"
#include "app/main_form_controls.h"
#include "platform/services.h"
#include "platform/text.h"
#include "install/kit_files.h"

class frmMain {
 public:
  frmMain(MainFormControls& controls, Services& services);

  // True when the directory (empty: the setup's own kit, as its checked copy
  // holds it) holds all ten kit files.
  // A non-empty directory must end in a backslash.
  bool CompleteInstallKit(std::wstring_view directory);
  // Removal of an older installation: the load decision leads here instead of
  // the install state when the machine's uninstall entry names an installed
  // copy.
  void OldUninstall(const std::wstring& directory);
  // The removal state for the installed directory.
  void Uninstall(const std::wstring& directory);

  // The folder chooser that Browse opens; none: Browse only refreshes.
  void SetFolderChooser(FolderChooser& chooser) { chooser_ = &chooser; }

  void cmdBrowse_Click();
  void cmdNext_Click(int index);
  void Command1_Click();
  void Form_Load();
  void Form_QueryUnload();
  void Form_Terminate();
  void Text1_LostFocus();

  // Feedback for the actions. Both repaint and let the message loop run once,
  // so a close request queued meanwhile ends the program inside the call.
  void ShowDiskSpace();
  void ShowProgress();

  MainFormControls& controls() { return controls_; }
  Services& services() { return services_; }

 private:
  void EnterInstallState();
  void EnterNoKitState();
  void EnterUninstalledState();
  // Only Exit, and Label1 naming the kit files the message is about.
  void EnterKitProblemState(text::Ascii message, std::vector<std::wstring> files);
  void ShowLocation(const std::wstring& directory);

  MainFormControls& controls_;
  Services& services_;
  FolderChooser* chooser_ = nullptr;
  bool actionRunning_ = false;  // one of cmdNext's actions
};
