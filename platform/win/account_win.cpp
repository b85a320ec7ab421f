#include "platform/win/account_win.h"

#include <windows.h>
#include <sddl.h>

#include <vector>

#include "platform/text.h"
#include "platform/win/handles_win.h"

std::vector<BYTE> CurrentUserSid() {
  HANDLE raw;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  UniqueKernelHandle token(raw);
  // The account's entry and its SID, which never takes more than the most a SID can.
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size;
  if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return {};
  PSID sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
  const BYTE* start = static_cast<const BYTE*>(sid);
  return std::vector<BYTE>(start, start + GetLengthSid(sid));
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
  std::vector<BYTE> user = CurrentUserSid();
  if (user.empty()) return facts;
  PSID sid = user.data();
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
