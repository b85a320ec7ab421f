#include "app/silent_setup.h"

#include <optional>

#include "app/main_form_design.h"
#include "app/result_log_lines.h"
#include "install/installation.h"
#include "install/kit_check.h"
#include "install/target_path.h"
#include "platform/text.h"
#include "uninstall/older_installation.h"
#include "uninstall/removal.h"

namespace {

using text::Concat;

// The removal was asked for on the command line; Morvane running is not
// waited for: a deployment cannot close it.
class SilentQuestions final : public install::OperationQuestions {
 public:
  // The result's own line names the folder.
  bool RetryWhileInUse(const std::wstring&) override { return false; }
  bool ConfirmRemoval() override { return true; }
};

class Unseen final : public install::InstallProgress, public uninstall::RemovalProgress {
 public:
  explicit Unseen(LogSink& log) : log_(log) {}
  void Started() override { log_.WriteLine(text::Ascii("Every check passed.")); }
  void Step() override {}
  void Yield() override {}

 private:
  LogSink& log_;
};

std::wstring Normalised(const std::wstring& directory) {
  return text::WithTrailingBackslash(text::UpperCase(directory));
}

class SilentRun {
 public:
  SilentRun(const CommandLine& command, const SystemServices& services, LogSink& log)
      : command_(command),
        services_(services),
        log_(log),
        progress_(log),
        places_{text::WithTrailingBackslash(services.environment.SetupDirectory()), L"", services.registry} {}

  Outcome Run() {
    // The kit folder is in the log's header; the checked copy is news.
    std::wstring copy = services_.environment.KitDirectory();
    if (!copy.empty()) log_.WriteLine(Concat({"Kit copied, to be checked and used from there: ", copy}));
    // The copy the machine's uninstall entry names: a deployment runs as
    // whichever account it likes, and a per-user setting, which programs
    // without elevation can change, never picks what is replaced or removed.
    std::optional<std::wstring> installed = uninstall::OlderInstallation(services_.registry, services_.files);
    if (command_.uninstall) return Uninstall(installed);
    // Checked before anything else, so that a broken kit changes nothing.
    if (!KitUndamaged()) return Outcome::KitDamaged;
    if (!KitComplete(copy)) return Outcome::KitIncomplete;
    return Install(installed);
  }

 private:
  // True when no file is named; else the log says what is wrong with them.
  bool KitWithout(const std::wstring& files, text::Ascii problem) {
    if (!files.empty()) log_.WriteLine(Concat({"The installation kit is ", problem, files, "; nothing was changed."}));
    return files.empty();
  }

  bool KitUndamaged() {
    std::wstring damaged;
    for (const std::wstring& file : services_.environment.DamagedKitFiles()) AddToList(damaged, file);
    return KitWithout(damaged, "damaged; not as assembled: ");
  }

  bool KitComplete(const std::wstring& kit) {
    std::wstring missing;
    for (const KitFile& file : install::MissingKitFiles(services_.files, kit)) {
      AddToList(missing, app::KitFileForLog(file));
    }
    return KitWithout(missing, "incomplete; missing: ");
  }

  // Appends name to a list of names separated by commas.
  static void AddToList(std::wstring& list, const std::wstring& name) {
    if (!list.empty()) list += L", ";
    list += name;
  }

  Outcome Uninstall(const std::optional<std::wstring>& installed) {
    if (!installed) {
      log_.WriteLine(text::Ascii("No installed copy of Morvane was found."));
      return Outcome::NotInstalled;
    }
    log_.WriteLine(Concat({"Removing Morvane from ", *installed}));
    // A deployment counts the product as gone once this ends: nothing of
    // the installation stays behind.
    uninstall::RemovalRequest request{.directory = *installed, .leaveNothing = true};
    return Remove(request);
  }

  // Into the folder asked for; else where the installed copy is; else where
  // a first installation goes. A copy in another folder goes once the new
  // one is complete, so that a failure leaves the machine with the old one.
  Outcome Install(const std::optional<std::wstring>& installed) {
    std::wstring target = command_.target ? *command_.target
                          : installed     ? *installed
                                          : std::wstring(DesignOf(Control::Text1).caption);
    // Compared as folders, not as texts: the same folder under a short name
    // or another drive letter is no other copy, and its files are the ones
    // just installed. Only a plain path on a fixed drive is opened for it: a
    // network path is refused without any server ever being asked.
    bool local = install::IsPlainFullPath(target) && install::IsDrivePath(target) &&
                 services_.files.KindOfDrive(target.substr(0, 3)) == DriveKind::Fixed;
    bool replacing = installed && (!local || !services_.files.SameFolder(*installed, target));
    log_.WriteLine(Concat({"Target: ", target}));
    places_.target = Normalised(target);
    install::InstallRequest request{.target = target,
                                    .kitDirectory = services_.environment.KitDirectory(),
                                    .replaces = replacing ? installed : std::nullopt,
                                    .startDirectory = services_.environment.SetupDirectory()};
    Outcome outcome = Report(install::Install(request, services_, questions_, progress_));
    if (outcome != Outcome::Done || !replacing) return outcome;
    log_.WriteLine(Concat({"Removing the copy this installation replaces, in ", *installed}));
    uninstall::RemovalRequest removal{
        .directory = *installed, .scope = uninstall::RemovalScope::FilesOnly, .leaveNothing = true};
    if (Outcome removed = Remove(removal); removed != Outcome::Done) {
      // The new copy is whole and registered; what is left of the old one
      // is named above and stops nothing.
      log_.WriteLine(Concat({"The earlier copy was not removed entirely: ", OutcomeName(removed)}));
    }
    return outcome;
  }

  Outcome Remove(const uninstall::RemovalRequest& request) {
    return Report(uninstall::Remove(request, services_, questions_, progress_));
  }

  // Writes what the result means, and returns it as an outcome.
  Outcome Report(const install::OperationResult& result) {
    app::WriteResultLog(log_, result, places_);
    return OutcomeOf(result);
  }

  const CommandLine& command_;
  const SystemServices& services_;
  LogSink& log_;
  SilentQuestions questions_;
  Unseen progress_;
  app::ResultPlaces places_;
};

}  // namespace

// Out of line: in its caller's frame its locals would need longer offsets.
[[gnu::noinline]] Outcome RunSilently(const CommandLine& command, const SystemServices& services, LogSink& log) {
  return SilentRun(command, services, log).Run();
}
