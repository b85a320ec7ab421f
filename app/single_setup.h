// One setup at a time on the machine, whichever account runs it: a user's
// setup window and a deployment running as SYSTEM in its own session see
// each other. The object that says so lives in a private namespace whose
// boundary holds the Administrators group at high integrity: only an
// elevated administrator (or SYSTEM) can create that namespace, so a
// standard user cannot take its name ahead of every setup, as anyone could
// in the global namespace. The namespace only lets administrators and
// SYSTEM in.
#pragma once

#include <cstdint>
#include <string>

namespace single_setup {

inline constexpr const wchar_t* kBoundaryName = L"Morvane by Halvo Setup";
inline constexpr const wchar_t* kAdministratorsSid = L"S-1-5-32-544";
inline constexpr const wchar_t* kHighIntegritySid = L"S-1-16-12288";
inline constexpr const wchar_t* kNamespaceAlias = L"MorvaneSetup";
inline constexpr const wchar_t* kNamespaceSddl = L"D:P(A;;GA;;;BA)(A;;GA;;;SY)";
inline constexpr const wchar_t* kObject = L"Running";
// Where the system has no private namespaces (Wine has none): one per
// session, as before.
inline constexpr const wchar_t* kSessionObject = L"Local\\Morvane by Halvo Setup";

// The mutex's full name inside the namespace: "MorvaneSetup\Running".
std::wstring ObjectName();

enum class Claim : std::uint8_t {
  Created,      // this setup made it
  Existed,      // another setup made it first (or it could not be opened: someone holds it)
  Unavailable,  // the system offers no private namespace, or refused this process one
};

// Whether another setup runs, from what became of the namespace and of the
// object. A namespace that existed already means a setup holds it: it
// lives exactly as long as the setup that made it. Without a namespace the
// session's object decides.
bool AnotherSetupRunning(Claim space, Claim object);

}  // namespace single_setup
