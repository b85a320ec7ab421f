#include "app/single_setup.h"

#include "platform/text.h"

namespace single_setup {

std::wstring ObjectName() { return text::Concat({kNamespaceAlias, "\\", kObject}); }

bool AnotherSetupRunning(Claim space, Claim object) {
  if (space == Claim::Existed) return true;
  return object == Claim::Existed;
}

}  // namespace single_setup
