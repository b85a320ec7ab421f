#include "app/single_setup.h"

namespace single_setup {

std::wstring ObjectName() { return std::wstring(kNamespaceAlias) + L"\\" + kObject; }

bool AnotherSetupRunning(Claim space, Claim object) {
  if (space == Claim::Existed) return true;
  return object == Claim::Existed;
}

}  // namespace single_setup
