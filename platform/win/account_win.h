// The account this process runs as, read from its token: what the log's
// header says, and whether the all-users road applies.
#pragma once

#include <string>

struct AccountFacts {
  std::wstring name;  // DOMAIN\name, or the SID when it has no name
  bool elevated = false;
  bool system = false;  // NT AUTHORITY\SYSTEM, as deployment agents run setups
};

AccountFacts CurrentAccount();
