#include "platform/win/access_lists_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/win/handles_win.h"

namespace {

// The account the setup runs as; empty when the token cannot be read.
std::vector<BYTE> CurrentUserSid() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  UniqueKernelHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
  PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  const BYTE* start = static_cast<const BYTE*>(sid);
  return std::vector<BYTE>(start, start + GetLengthSid(sid));
}

bool IsTrustedInstaller(PSID sid) {
  // NT SERVICE\TrustedInstaller, the owner of the system's own folders.
  static const DWORD kParts[] = {956008885, 3418522649, 1831038044, 1853292631, 2271478464};
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  if (*GetSidSubAuthorityCount(sid) != 6 || memcmp(GetSidIdentifierAuthority(sid), &nt, sizeof nt) != 0) return false;
  if (*GetSidSubAuthority(sid, 0) != SECURITY_SERVICE_ID_BASE_RID) return false;
  for (DWORD i = 0; i < 5; ++i) {
    if (*GetSidSubAuthority(sid, i + 1) != kParts[i]) return false;
  }
  return true;
}

Trustee KindOf(PSID sid, std::vector<BYTE>& currentUser) {
  if (!sid || !IsValidSid(sid)) return Trustee::Other;
  if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) return Trustee::Administrators;
  if (IsWellKnownSid(sid, WinLocalSystemSid)) return Trustee::System;
  if (IsWellKnownSid(sid, WinCreatorOwnerSid)) return Trustee::CreatorOwner;
  if (IsTrustedInstaller(sid)) return Trustee::TrustedInstaller;
  if (!currentUser.empty() && EqualSid(sid, currentUser.data())) return Trustee::CurrentUser;
  return Trustee::Other;
}

bool IsLink(HANDLE file) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag)) return false;
  if (!(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  // Deduplicated or cloud-synced folders are reparse points too, but lie
  // where they are. (Wine shows its Unix links with no tag at all.)
  return tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT || tag.ReparseTag == IO_REPARSE_TAG_SYMLINK ||
         tag.ReparseTag == 0;
}

}  // namespace

ProtectedDescriptor::ProtectedDescriptor(const std::wstring& sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    descriptor_.reset(descriptor);
  }
  attributes_ = SECURITY_ATTRIBUTES{sizeof attributes_, descriptor, FALSE};
}

PACL ProtectedDescriptor::dacl() const {
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  if (!descriptor_ || !GetSecurityDescriptorDacl(descriptor_.get(), &present, &dacl, &defaulted)) return nullptr;
  return dacl;
}

FolderSecurity ReadFolderSecurityWin(const std::wstring& path) {
  FolderSecurity security;
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  UniqueKernelHandle folder(CreateFileW(path.c_str(), READ_CONTROL, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!folder) {
    DWORD code = GetLastError();
    // A name that cannot exist is missing too: making it fails later, with the system's words.
    bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME;
    security.result = missing ? FolderRead::Missing : FolderRead::Unreadable;
    return security;
  }
  security.result = FolderRead::Unreadable;
  DWORD flags = 0;
  if (!GetVolumeInformationByHandleW(folder.get(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return security;
  if (!(flags & FILE_PERSISTENT_ACLS)) {
    security.result = FolderRead::NoAccessLists;
    return security;
  }
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (GetSecurityInfo(folder.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                      nullptr, &dacl, nullptr, &raw) != ERROR_SUCCESS) {
    return security;
  }
  std::unique_ptr<void, decltype(&LocalFree)> descriptor(raw, &LocalFree);
  std::vector<BYTE> currentUser = CurrentUserSid();
  security.result = FolderRead::Read;
  security.link = IsLink(folder.get());
  security.owner = KindOf(owner, currentUser);
  security.hasAccessList = dacl != nullptr;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) {
      security.result = FolderRead::Unreadable;
      return security;
    }
    const ACE_HEADER& header = *static_cast<const ACE_HEADER*>(ace);
    AccessEntry entry{.inheritOnly = (header.AceFlags & INHERIT_ONLY_ACE) != 0};
    // The allowed and denied kinds, plain or with a condition, share one
    // layout. Any other kind is taken as granting everything to anyone: a
    // list that cannot be understood is not proof that users are kept out.
    switch (header.AceType) {
      case ACCESS_ALLOWED_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
      case ACCESS_DENIED_ACE_TYPE:
      case ACCESS_DENIED_CALLBACK_ACE_TYPE: {
        const auto& known = *static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        entry.allow = header.AceType == ACCESS_ALLOWED_ACE_TYPE || header.AceType == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        entry.rights = known.Mask;
        entry.trustee = KindOf(const_cast<DWORD*>(&known.SidStart), currentUser);
        break;
      }
      default:
        entry.rights = rights::kFileAllAccess;
        break;
    }
    security.entries.push_back(entry);
  }
  return security;
}
