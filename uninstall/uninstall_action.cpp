#include "uninstall/uninstall_action.h"

#include "install/product_in_use.h"
#include "platform/text.h"
#include "uninstall/removal_sequence.h"
#include "uninstall/uninstall_texts.h"

namespace uninstall {
namespace {

using enum Control;

// Yes, and Morvane not running from the folder, whose files could then not
// be deleted, or closed when the user is asked to. Cancel there counts as No.
bool UserConfirms(Services& services, MainFormControls& controls) {
  return services.messages.Show(texts::kConfirmUninstall, mb::kExclamation | mb::kYesNo) == MessageBoxAnswer::Yes &&
         install::ProductIsClosed(services.files, services.messages, text::WithTrailingBackslash(controls.Text(Text1)));
}

// Hides what the removal makes pointless, shows the new caption before the
// work starts, and returns the directory to remove.
std::wstring PrepareWindow(Services& services, MainFormControls& controls) {
  controls.SetText(Label1, texts::kUninstalling);
  for (Control c : {Label2, Text1, Command1}) controls.SetVisible(c, false);
  controls.Repaint();
  services.ui.DoEvents();
  return text::WithTrailingBackslash(controls.Text(Text1));
}

}  // namespace

void UninstallAction(Services& services, MainFormControls& controls, RemovalWindow& form) {
  if (UserConfirms(services, controls)) {
    controls.SetVisible(cmdNext0, false);
    controls.SetVisible(cmdNext1, false);
    std::wstring directory = PrepareWindow(services, controls);
    if (!RunRemovalSequence(services, directory)) {
      controls.SetText(Label1, texts::kProductNotRemoved);
    } else {
      // Whatever else the sequence achieved, the kit check of the directory
      // alone picks the caption.
      controls.SetText(Label1, form.CompleteInstallKit(directory) ? texts::kUninstallCompleted
                                                                   : texts::kUninstalledDeleteTheRest);
    }
  }
}

void RemoveOlderInstallation(Services& services, MainFormControls& controls, RemovalWindow& form) {
  if (UserConfirms(services, controls)) {
    // Next lies underneath and shows once this button is gone.
    controls.SetVisible(cmdNext2, false);
    if (!RunRemovalSequence(services, PrepareWindow(services, controls))) {
      // Installing now would leave the older copy behind after all.
      controls.SetText(Label1, texts::kProductNotRemoved);
      controls.SetVisible(cmdNext0, false);
    } else if (form.CompleteInstallKit(L"")) {
      controls.SetText(Label1, texts::kUninstalledReinstall);
      controls.SetText(Text1, texts::kReinstallDirectory);
      controls.SetVisible(Text1, true);
      controls.SetEnabled(Text1, true);
      controls.SetReadOnly(Text1, false);
      controls.SetVisible(cmdNext0, true);
      controls.SetVisible(cmdBrowse, true);
      controls.SetVisible(lblDisk, true);
      controls.SetVisible(lblDiskReq, true);
      form.ShowDiskSpace();
      controls.SetVisible(lblDiskFree, true);
    } else {
      controls.SetText(Label1, texts::kUninstallCompleted);
      controls.SetVisible(cmdNext0, false);
    }
  }
}

}  // namespace uninstall
