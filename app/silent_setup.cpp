#include "app/silent_setup.h"

#include <vector>

#include "app/action_window.h"
#include "app/frm_main.h"
#include "app/headless_form.h"
#include "app/texts.h"
#include "install/installation.h"
#include "install/kit_files.h"
#include "install/registration_names.h"
#include "install/target_path.h"
#include "platform/text.h"
#include "uninstall/older_installation.h"

namespace {

using enum Control;

std::wstring Normalised(const std::wstring& directory) {
  return text::WithTrailingBackslash(text::UpperCase(directory));
}

class SilentRun {
 public:
  SilentRun(const CommandLine& command, Services& services, SilentMessageBoxes& messages, LogSink& log)
      : command_(command), services_(services), messages_(messages), log_(log), main_(form_, services) {}

  Outcome Run() {
    std::wstring kit = text::WithTrailingBackslash(services_.environment.SetupDirectory());
    log_.WriteLine(L"Kit: " + kit);
    if (command_.uninstall) {
      main_.Form_Load();
      return Remove();
    }
    // Checked before anything else, so that a broken kit changes nothing.
    if (!KitComplete()) return Outcome::KitIncomplete;
    main_.Form_Load();
    return Install();
  }

 private:
  bool KitComplete() {
    std::wstring missing;
    for (const KitFile& file : main_.MissingKitFiles(L"")) {
      missing += (missing.empty() ? L"" : L", ") + std::wstring(file.kitName);
    }
    if (!missing.empty()) log_.WriteLine(L"The installation kit is incomplete; missing: " + missing);
    return missing.empty();
  }

  // The window's state tells, as it would tell a user, what this start offers.
  bool Offers(Control button) const { return form_.IsVisible(button); }
  std::wstring Shown() const { return text::WithTrailingBackslash(form_.Text(Text1)); }

  // Presses a removal button for the directory the window shows; the
  // question is answered Yes. Morvane still in place afterwards was in use.
  Outcome RemoveShown(int index) {
    std::wstring directory = Shown();
    log_.WriteLine(L"Removing Morvane from " + directory);
    main_.cmdNext_Click(index);
    if (messages_.outcome() != Outcome::Done) return messages_.outcome();
    if (services_.files.IsOrdinaryFile(directory + texts::kInstalledMarker)) {
      log_.WriteLine(L"Morvane.exe is still in " + directory);
      return Outcome::MorvaneInUse;
    }
    return Outcome::Done;
  }

  Outcome Remove() {
    if (Offers(cmdNext1)) return RemoveShown(1);
    if (Offers(cmdNext2)) return RemoveShown(2);
    // Installed by another account: this one's setting does not know the
    // copy, but the machine's uninstall entry does.
    if (std::optional<std::wstring> older = uninstall::OlderInstallation(services_.registry, services_.files)) {
      main_.OldUninstall(*older);
      return RemoveShown(2);
    }
    log_.WriteLine(L"No installed copy of Morvane was found.");
    return Outcome::NotInstalled;
  }

  // Where the installation goes: the folder asked for; else the installed
  // copy's folder; else where the window aims after removing an older copy;
  // else where a first installation goes.
  std::wstring Target() const {
    if (command_.target) return *command_.target;
    if (Offers(cmdNext1)) return form_.Text(Text1);
    if (Offers(cmdNext2)) return texts::kReinstallDirectory;
    // Not the remembered folder the window shows: no copy of Morvane is
    // there any more, so the run goes where a first installation goes.
    return HeadlessForm().Text(Text1);
  }

  // The installation's entry tests on target, before anything is removed
  // on its way.
  bool TargetAccepted(const std::wstring& target) {
    std::wstring shown = form_.Text(Text1);
    form_.SetText(Text1, target);
    app::ActionWindow window(main_);
    bool accepted = install::Installation(services_, form_, window).PassesEntryTests();
    form_.SetText(Text1, shown);
    return accepted;
  }

  bool DriveIsThere(const std::wstring& target) {
    std::size_t rootEnd = 3;  // "C:\"; for \\server\share\ the end of the share
    if (target.starts_with(L"\\\\")) {
      std::size_t server = target.find(L'\\', 2);
      std::size_t share = server == std::wstring::npos ? server : target.find(L'\\', server + 1);
      rootEnd = share == std::wstring::npos ? target.size() : share + 1;
    }
    std::wstring root = text::WithTrailingBackslash(target.substr(0, rootEnd));
    return services_.files.ReadFolderSecurity(root).result != FolderRead::Missing;
  }

  Outcome Install() {
    std::wstring target = Target();
    log_.WriteLine(L"Target: " + target);
    if (!TargetAccepted(target)) return messages_.outcome();
    // A copy may be removed on the way: the folder asked for must be one
    // that can be made, or the run would end with none installed at all.
    if (!install::IsPlainFullPath(target) || !DriveIsThere(target)) {
      log_.WriteLine(L"The target is no folder that can be made here: " + target);
      return Outcome::TargetRefused;
    }
    // A copy elsewhere would be left behind, its entry overwritten: it goes
    // first, as the window removes an older installation first.
    bool elsewhere = Offers(cmdNext1) && Normalised(target) != Normalised(form_.Text(Text1));
    if (Offers(cmdNext2) || elsewhere) {
      if (Outcome removal = RemoveShown(Offers(cmdNext2) ? 2 : 1); removal != Outcome::Done) return removal;
    }
    form_.SetText(Text1, target);
    log_.WriteLine(L"Installing Morvane into " + target);
    main_.cmdNext_Click(0);
    if (messages_.outcome() != Outcome::Done) return messages_.outcome();
    return form_.Text(Label1) == texts::kInstallCompleted ? Outcome::Done : Outcome::Failed;
  }

  const CommandLine& command_;
  Services& services_;
  SilentMessageBoxes& messages_;
  LogSink& log_;
  HeadlessForm form_;
  frmMain main_;
};

}  // namespace

Outcome RunSilently(const CommandLine& command, Services& services, SilentMessageBoxes& messages, LogSink& log) {
  return SilentRun(command, services, messages, log).Run();
}
