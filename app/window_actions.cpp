#include "app/window_actions.h"

#include <functional>
#include <variant>

#include "app/frm_main.h"
#include "app/next_button.h"
#include "app/overloaded.h"
#include "app/result_texts.h"
#include "app/texts.h"
#include "install/installation.h"
#include "install/registration_names.h"
#include "platform/modReg.h"
#include "platform/text.h"
#include "uninstall/removal.h"

namespace app {
namespace {

using enum Control;

// The window asks its questions in message boxes.
class WindowQuestions final : public install::OperationQuestions {
 public:
  explicit WindowQuestions(MessageBoxes& messages) : messages_(messages) {}
  bool RetryWhileInUse(const std::wstring& folder) override {
    return messages_.Show(InUseQuestion(folder), mb::kExclamation | mb::kRetryCancel) == MessageBoxAnswer::Retry;
  }
  bool ConfirmRemoval() override {
    return messages_.Show(texts::kConfirmUninstall, mb::kExclamation | mb::kYesNo) == MessageBoxAnswer::Yes;
  }

 private:
  MessageBoxes& messages_;
};

class WindowInstallProgress final : public install::InstallProgress {
 public:
  explicit WindowInstallProgress(frmMain& form) : form_(form) {}
  void Started() override {
    MainFormControls& controls = form_.controls();
    controls.SetText(Label1, texts::kInstalling);
    controls.SetVisible({cmdNext0, cmdNext1, Label2, Text1, Command1, cmdBrowse, lblDisk, lblDiskReq, lblDiskFree}, false);
    controls.SetVisible({lblProgBack, lblProgFore, lblProgZero, lblProgHundred}, true);
    form_.ShowProgress();  // the first step
    controls.Repaint();
    form_.services().ui.DoEvents();
    form_.services().ui.SetMousePointer(MousePointer::Hourglass);
  }
  void Step() override { form_.ShowProgress(); }
  void Yield() override { form_.services().ui.DoEvents(); }

 private:
  frmMain& form_;
};

// Hides what the removal makes pointless and shows the new caption before
// the work starts.
class WindowRemovalProgress final : public uninstall::RemovalProgress {
 public:
  WindowRemovalProgress(frmMain& form, std::initializer_list<Control> buttons) : form_(form), buttons_(buttons) {}
  void Started() override {
    MainFormControls& controls = form_.controls();
    controls.SetVisible(buttons_, false);
    controls.SetText(Label1, texts::kUninstalling);
    controls.SetVisible({Label2, Text1, Command1}, false);
    controls.Repaint();
    form_.services().ui.DoEvents();
  }

 private:
  frmMain& form_;
  std::initializer_list<Control> buttons_;  // the caller's, which outlives the removal
};

enum class Removal {
  Done,          // the files are gone; the caller picks the caption
  LeftAsItWas,   // No, or Cancel while Morvane ran
  StillInPlace,  // Morvane was found running again after its delete: the installation is kept whole
};

// The removal run for the folder the window shows.
Removal RemoveShownCopy(frmMain& form, std::initializer_list<Control> buttons) {
  Services& services = form.services();
  MainFormControls& controls = form.controls();
  WindowQuestions questions(services.messages);
  WindowRemovalProgress progress(form, buttons);
  uninstall::RemovalRequest request{.directory = text::WithTrailingBackslash(controls.Text(Text1))};
  install::OperationResult result = uninstall::Remove(request, services, questions, progress);
  return std::visit(
      Overloaded{
          [&](const install::Done&) { return Removal::Done; },
          [&](const install::EntryNotDeleted& failure) {
            // Whatever else failed, only the registry step is reported: a
            // status in its own words, a breakdown of the call here.
            if (failure.status == kRegistryCallBrokeDown) {
              services.messages.Show(texts::kUninstallKeyNotDeleted, mb::kCritical | mb::kOkOnly);
            } else {
              modReg::ShowRegistryDeleteError(services.messages, failure.status, hkey::kLocalMachine,
                                              texts::kUninstallKey);
            }
            return Removal::Done;
          },
          [&](const install::InUse& inUse) {
            if (inUse.changedNothing) return Removal::LeftAsItWas;
            controls.SetText(Label1, texts::kProductNotRemoved);
            return Removal::StillInPlace;
          },
          [&](const install::ProductNotRemoved& failure) {
            controls.SetText(Label1, texts::kProductCouldNotBeRemoved + failure.description);
            return Removal::StillInPlace;
          },
          [&](const install::Refused& refused) {
            services.messages.Show(RefusalMessage(refused), mb::kCritical | mb::kOkOnly);
            return Removal::LeftAsItWas;
          },
          [&](const auto&) { return Removal::LeftAsItWas; },  // No
      },
      result);
}

}  // namespace

// Out of line: in its caller's frame its locals would need longer offsets.
[[gnu::noinline]] void InstallFromWindow(frmMain& form) {
  Services& services = form.services();
  MainFormControls& controls = form.controls();
  install::InstallRequest request{.target = controls.Text(Text1),
                                  .kitDirectory = services.environment.KitDirectory(),
                                  .replaces = std::nullopt,
                                  .startDirectory = services.environment.SetupDirectory()};
  WindowQuestions questions(services.messages);
  WindowInstallProgress progress(form);
  install::OperationResult result = install::Install(request, services, questions, progress);
  // A check that fails leaves the window as it was, ready for the corrected
  // target: what the user types next goes into the box, not to the buttons'
  // access keys.
  std::visit(Overloaded{
                 [&](const install::Done&) {
                   controls.SetText(Label1, texts::kInstallCompleted);
                   ClosingSteps(form);
                 },
                 [&](const install::Refused& refused) {
                   // Reinstall offers no other folder: the box is locked and Browse gone.
                   bool reinstalling = controls.IsVisible(cmdNext1);
                   services.messages.Show(RefusalMessage(refused, reinstalling), RefusalFlags(refused));
                   controls.FocusOn(Text1);
                 },
                 [&](const install::KitProblem& problem) {
                   services.messages.Show(install::FailureMessage(problem.failure), mb::kCritical | mb::kOkOnly);
                   controls.FocusOn(Text1);
                 },
                 [&](const install::StepFailed& failed) {
                   services.messages.Show(install::FailureMessage(failed.failure), mb::kCritical | mb::kOkOnly);
                   controls.SetText(Label1, texts::kInstallFailed);
                   ClosingSteps(form);
                 },
                 // Morvane running, and Cancel chosen: everything stays, ready for another try.
                 [&](const auto&) { controls.FocusOn(Text1); },
             },
             result);
}

void UninstallFromWindow(frmMain& form) {
  if (RemoveShownCopy(form, {cmdNext0, cmdNext1}) != Removal::Done) return;
  // Whatever else the sequence achieved, the kit check of the directory
  // alone picks the caption.
  MainFormControls& controls = form.controls();
  std::wstring directory = text::WithTrailingBackslash(controls.Text(Text1));
  controls.SetText(Label1, form.CompleteInstallKit(directory) ? texts::kUninstallCompleted
                                                              : texts::kUninstalledDeleteTheRest);
}

void RemoveOlderFromWindow(frmMain& form) {
  MainFormControls& controls = form.controls();
  // Next lies underneath and shows once this button is gone.
  switch (RemoveShownCopy(form, {cmdNext2})) {
    case Removal::Done:
      break;
    case Removal::StillInPlace:
      // Installing now would leave the older copy behind after all.
      controls.SetVisible(cmdNext0, false);
      return;
    case Removal::LeftAsItWas:
      return;
  }
  if (form.CompleteInstallKit(L"")) {
    controls.SetText(Label1, texts::kUninstalledReinstall);
    controls.SetText(Text1, texts::kReinstallDirectory);
    controls.SetVisible(Text1, true);
    controls.SetEnabled(Text1, true);
    controls.SetReadOnly(Text1, false);
    controls.SetVisible({cmdNext0, cmdBrowse, lblDisk, lblDiskReq}, true);
    form.ShowDiskSpace();
    controls.SetVisible(lblDiskFree, true);
  } else {
    controls.SetText(Label1, texts::kUninstallCompleted);
    controls.SetVisible(cmdNext0, false);
  }
}

}  // namespace app
