// The account this process runs as, read from its token: what the log's
// header says, and whether the all-users road applies.
#pragma once

#include <windows.h>

#include <string>

struct AccountFacts {
  std::wstring name;  // DOMAIN\name, or the SID when it has no name
  bool elevated = false;
  bool system = false;  // NT AUTHORITY\SYSTEM, as deployment agents run setups
};

AccountFacts CurrentAccount();

// The SID of the account the setup runs as, read from the token into a
// buffer of the most a token's user entry can take; get() is null when the
// token cannot be read. The entry points into its own buffer, so it stays
// where it was made.
class CurrentUserSid {
 public:
  CurrentUserSid();
  CurrentUserSid(const CurrentUserSid&) = delete;
  CurrentUserSid& operator=(const CurrentUserSid&) = delete;
  PSID get() const { return sid_; }

 private:
  alignas(TOKEN_USER) BYTE entry_[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  PSID sid_ = nullptr;
};
