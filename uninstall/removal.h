// The removal as one operation: asked first, Morvane not running, then the
// removal sequence on the installed copy's folder.
#pragma once

#include <string>

#include "install/operation.h"
#include "platform/services.h"
#include "uninstall/removal_sequence.h"

namespace uninstall {

struct RemovalRequest {
  std::wstring directory;  // the installed copy's folder
  RemovalScope scope = RemovalScope::Everything;
  // Nothing of the installation is left behind: also the folders it made,
  // once empty (FileList, Undo, the folder itself), and this setup's own
  // program when it runs from that folder. For a deployment,
  // which counts the product as gone once the removal has ended.
  bool leaveNothing = false;
};

class RemovalProgress {
 public:
  // Confirmed, and Morvane is not running: the removal begins.
  virtual void Started() = 0;

 protected:
  ~RemovalProgress() = default;
};

// Done, Cancelled (No to the question), InUse (Morvane running: left so, or
// still in place after the delete), ProductNotRemoved, EntryNotDeleted, or
// Refused before anything changed: a folder the machine's entry does not
// name, or one reached through a link. A removal of FilesOnly asks no
// question: it follows an installation that was asked for.
install::OperationResult Remove(const RemovalRequest& request, const SystemServices& services,
                                install::OperationQuestions& questions, RemovalProgress& progress);

}  // namespace uninstall
