#include "app/single_setup.h"

#include <gtest/gtest.h>

namespace {

using namespace single_setup;

TEST(SingleSetup, OneObjectInTheAdministratorsNamespaceDecidesForEveryAccount) {
  // In the namespace, not in the session's or the global one, where any user could make it first.
  EXPECT_EQ(ObjectName(), L"MorvaneSetup\\Running");
  EXPECT_EQ(std::wstring_view(kAdministratorsSid), L"S-1-5-32-544");
  EXPECT_EQ(std::wstring_view(kHighIntegritySid), L"S-1-16-12288");
  EXPECT_EQ(std::wstring_view(kNamespaceSddl), L"D:P(A;;GA;;;BA)(A;;GA;;;SY)");

  // A namespace made by another setup means that setup still runs, whatever its object says.
  EXPECT_TRUE(AnotherSetupRunning(Claim::Existed, Claim::Unavailable));
  EXPECT_FALSE(AnotherSetupRunning(Claim::Created, Claim::Created));
  // No namespace on this system: the session's object alone decides.
  EXPECT_TRUE(AnotherSetupRunning(Claim::Unavailable, Claim::Existed));
  EXPECT_FALSE(AnotherSetupRunning(Claim::Unavailable, Claim::Created));
}

}  // namespace
