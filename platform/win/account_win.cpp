#include "platform/win/account_win.h"

#include <windows.h>
#include <sddl.h>

#include "platform/text.h"
#include "platform/win/handles_win.h"

CurrentUserSid::CurrentUserSid() {
  HANDLE raw;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return;
  UniqueKernelHandle token(raw);
  DWORD size;
  if (GetTokenInformation(token.get(), TokenUser, entry_, sizeof entry_, &size)) {
    sid_ = reinterpret_cast<TOKEN_USER*>(entry_)->User.Sid;
  }
}

AccountFacts CurrentAccount() {
  AccountFacts facts;
  HANDLE raw;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return facts;
  UniqueKernelHandle token(raw);
  TOKEN_ELEVATION elevation;
  DWORD size;
  facts.elevated = GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
                   elevation.TokenIsElevated != 0;
  CurrentUserSid user;
  PSID sid = user.get();
  if (!sid) return facts;
  facts.system = IsWellKnownSid(sid, WinLocalSystemSid) != FALSE;
  wchar_t name[256], domain[256];
  DWORD nameLength = 256, domainLength = 256;
  SID_NAME_USE use;
  if (LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
    facts.name = text::Concat({domain, *domain ? L"\\" : L"", name});
  } else if (wchar_t* text = nullptr; ConvertSidToStringSidW(sid, &text)) {
    facts.name = std::wstring(text);  // made and moved in, as the name above is
    LocalFree(text);
  }
  return facts;
}
