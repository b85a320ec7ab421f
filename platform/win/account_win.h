// The account this process runs as, read from its token: what the log's
// header says, and whether the all-users road applies.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct AccountFacts {
  std::wstring name;  // DOMAIN\name, or the SID when it has no name
  bool elevated = false;
  bool system = false;  // NT AUTHORITY\SYSTEM, as deployment agents run setups
};

AccountFacts CurrentAccount();

// The SID of the account the setup runs as; empty when the token cannot be read.
std::vector<BYTE> CurrentUserSid();
