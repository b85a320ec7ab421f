#include "app/frm_main.h"

#include <functional>
#include <optional>

#include "app/disk_space_caption.h"
#include "app/modMain.h"
#include "app/next_button.h"
#include "app/start_decision.h"
#include "app/texts.h"
#include "install/kit_check.h"
#include "install/kit_files.h"
#include "platform/sort.h"
#include "platform/text.h"

using enum Control;

frmMain::frmMain(MainFormControls& controls, Services& services) : controls_(controls), services_(services) {}

bool frmMain::CompleteInstallKit(std::wstring_view directory) {
  // The setup's own kit is the checked copy, and a damaged one is no kit.
  if (directory.empty() && !services_.environment.DamagedKitFiles().empty()) return false;
  std::wstring kit = directory.empty() ? services_.environment.KitDirectory() : std::wstring(directory);
  return install::MissingKitFiles(services_.files, kit).empty();
}

void frmMain::ShowLocation(const std::wstring& directory) {
  controls_.SetText(Label1, texts::kRemove);
  controls_.SetText(Label2, texts::kLocation);
  controls_.SetText(Text1, directory);
  controls_.SetReadOnly(Text1, true);
  controls_.SetTooltip(Text1, texts::kLocationTooltip);
  // The folder shown is the one acted on: no other can be chosen.
  controls_.SetVisible({cmdBrowse, lblDisk, lblDiskReq, lblDiskFree}, false);
}

void frmMain::Uninstall(const std::wstring& directory) {
  ShowLocation(directory);
  bool reinstallable = CompleteInstallKit(L"");
  if (reinstallable) {
    controls_.SetText(Label1, texts::kRemoveOrReinstall);
    controls_.SetVisible(cmdNext0, true);
    controls_.SetText(cmdNext0, texts::kReinstall);
  }
  // Without a kit, Uninstall lies exactly over Next, which stays shown underneath.
  controls_.SetTop(cmdNext1, reinstallable ? 2760 : 3120);
}

void frmMain::OldUninstall(const std::wstring& directory) {
  ShowLocation(directory);
  controls_.SetVisible(cmdNext1, false);
  controls_.SetVisible(cmdNext2, true);
  if (CompleteInstallKit(L"")) controls_.SetText(Label1, texts::kRemoveBeforeReinstall);
  controls_.SetTop(cmdNext2, 3120);
}

void frmMain::EnterInstallState() {
  controls_.SetText(Label1, texts::kInstallPrompt);
  controls_.SetVisible(cmdNext1, false);
  ShowDiskSpace();
}

void frmMain::EnterNoKitState() {
  controls_.SetText(Label1, texts::kNoKit);
  controls_.SetVisible({Label2, Text1, cmdNext1, cmdNext0, cmdBrowse, lblDisk, lblDiskReq, lblDiskFree}, false);
  controls_.SetText(Command1, texts::kExit);
}

void frmMain::EnterKitProblemState(text::Ascii message, std::vector<std::wstring> files) {
  EnterNoKitState();
  SortBy(files, std::less<>());  // morvane.1 to morvane.8 before the setup's own two
  // Label1 has room for three names after the message; more are counted.
  constexpr std::size_t kShown = 3;
  std::size_t shown = files.size() > kShown ? kShown - 1 : files.size();
  std::wstring caption = message;
  for (std::size_t i = 0; i < shown; ++i) {
    if (i) caption += L", ";
    caption += files[i];
  }
  if (shown < files.size()) {
    caption += text::Concat({texts::kAnd, text::Decimal(files.size() - shown), texts::kMoreFiles});
  }
  controls_.SetText(Label1, caption);
}

void frmMain::EnterUninstalledState() {
  // The no-kit state with an empty Label1.
  EnterNoKitState();
  controls_.SetText(Label1, "");
  // Shown while the window is still hidden: the message comes first.
  services_.messages.Show(texts::kUninstalledMessage, mb::kInformation | mb::kOkOnly);
}

void frmMain::Form_Load() {
  app::StartDecision decision = app::DecideStart(services_);
  if (!decision.remembered.empty()) controls_.SetText(Text1, decision.remembered);
  switch (decision.state) {
    case app::StartState::Removal:
      Uninstall(decision.installedCopy);
      break;
    case app::StartState::OlderInstallation:
      OldUninstall(decision.installedCopy);
      break;
    case app::StartState::IncompleteKit:
    case app::StartState::DamagedKit:
      EnterKitProblemState(decision.state == app::StartState::DamagedKit ? texts::kDamagedKit : texts::kIncompleteKit,
                           std::move(decision.kitFiles));
      break;
    case app::StartState::Uninstalled:
      EnterUninstalledState();
      break;
    case app::StartState::Install:
      EnterInstallState();
      break;
    case app::StartState::NoKit:
      EnterNoKitState();
      break;
  }
}

void frmMain::ShowDiskSpace() {
  std::wstring target = controls_.Text(Text1);
  // Only the first character counts as the drive letter; an unusable one
  // leaves the current drive as it was.
  if (!target.empty()) services_.files.ChangeDrive(target.front());
  std::int32_t freeBytes = services_.companion.DISKSPACEFREE().value_or(0);
  controls_.SetText(lblDiskFree, FreeSpaceCaption(freeBytes));
  controls_.Repaint();
  services_.ui.DoEvents();
}

void frmMain::ShowProgress() {
  controls_.SetText(lblProgFore, controls_.Text(lblProgFore) + L"__");
  controls_.Repaint();
  services_.ui.DoEvents();
}

void frmMain::cmdBrowse_Click() {
  if (actionRunning_) return;  // shown again at the end of a removal, before the action is over
  if (chooser_) chooser_->ShowModal();
  // Whatever the user did in the chooser: "&Set" may have changed the drive.
  ShowDiskSpace();
}

void frmMain::cmdNext_Click(int index) {
  // The actions let the message loop run; a click that lands meanwhile (on
  // Next, which the removal of an older installation uncovers) must not
  // start a second action inside the first.
  if (actionRunning_) return;
  actionRunning_ = true;
  app::cmdNext_Dispatch(*this, index);
  actionRunning_ = false;
}

void frmMain::Command1_Click() { modMain::EndSetup(services_.end); }

void frmMain::Form_QueryUnload() {
  // After an installation, a work folder that stays holds what its rollback
  // could not put back, and is left for the administrator.
  if (actionRunning_ && !services_.end.MainWindowClosing()) services_.end.DropUnfinishedWork();
  modMain::EndSetup(services_.end);
}

void frmMain::Form_Terminate() { modMain::EndSetup(services_.end); }

void frmMain::Text1_LostFocus() { ShowDiskSpace(); }
