#include "platform/win/access_lists_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/folder_access.h"
#include "platform/win/account_win.h"
#include "platform/win/handles_win.h"
#include "platform/win/plain_file_win.h"

namespace {

bool IsTrustedInstaller(PSID sid) {
  // NT SERVICE\TrustedInstaller, the owner of the system's own folders, laid
  // out as a SID with its six parts.
  struct ServiceSid {
    BYTE revision;
    BYTE count;
    SID_IDENTIFIER_AUTHORITY authority;
    DWORD parts[6];
  };
  static const ServiceSid kTrustedInstaller = {
      SID_REVISION,
      6,
      SECURITY_NT_AUTHORITY,
      {SECURITY_SERVICE_ID_BASE_RID, 956008885, 3418522649, 1831038044, 1853292631, 2271478464}};
  return EqualSid(sid, const_cast<ServiceSid*>(&kTrustedInstaller)) != FALSE;
}

Trustee KindOf(PSID sid, PSID currentUser) {
  if (!sid || !IsValidSid(sid)) return Trustee::Other;
  if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) return Trustee::Administrators;
  if (IsWellKnownSid(sid, WinLocalSystemSid)) return Trustee::System;
  if (IsWellKnownSid(sid, WinCreatorOwnerSid)) return Trustee::CreatorOwner;
  if (IsTrustedInstaller(sid)) return Trustee::TrustedInstaller;
  if (currentUser && EqualSid(sid, currentUser)) return Trustee::CurrentUser;
  return Trustee::Other;
}

// Opened for changing its owner and list: the folder itself, never a link.
UniqueKernelHandle OpenFolderToPermit(const std::wstring& path) {
  UniqueKernelHandle folder(CreateFileW(path.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return folder;
}

bool IsLink(HANDLE file);

// A folder, no link, and where its path says: Wine shows a Unix link opened
// this way as the folder it leads to, whose final path then differs.
bool IsPlainFolder(HANDLE folder, const std::wstring& path) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(folder, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !IsLink(folder) && LiesWhereItSays(folder, path.c_str());
}

constexpr ACCESS_MASK kDangerous = DELETE | WRITE_DAC | WRITE_OWNER | FILE_DELETE_CHILD;

ACCESS_MASK FileRights(ACCESS_MASK mask) {
  // The call only reads the mapping.
  static const GENERIC_MAPPING kFiles{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
  MapGenericMask(&mask, const_cast<GENERIC_MAPPING*>(&kFiles));
  return mask;
}

bool IsLink(HANDLE file) {
  FILE_ATTRIBUTE_TAG_INFO tag;
  if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag)) return false;
  if (!(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  // Deduplicated or cloud-synced folders are reparse points too, but lie
  // where they are. (Wine shows its Unix links with no tag at all.)
  return tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT || tag.ReparseTag == IO_REPARSE_TAG_SYMLINK ||
         tag.ReparseTag == 0;
}

// The owner and list of an open file or folder (opened with READ_CONTROL),
// each trustee sorted into its kind: filled into security, which comes as
// made (no entries yet), so that no copy of it is moved in afterwards.
void ReadSecurityOf(HANDLE file, FolderSecurity& security) {
  security.result = FolderRead::Unreadable;
  PSID owner;
  // Documented as null for a descriptor without a list only for the named
  // call: set here, since a stale value would decide what is safe.
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR raw;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                      nullptr, &dacl, nullptr, &raw) != ERROR_SUCCESS) {
    return;
  }
  std::unique_ptr<void, decltype(&LocalFree)> descriptor(raw, &LocalFree);
  CurrentUserSid currentUser;
  security.result = FolderRead::Read;
  security.owner = KindOf(owner, currentUser.get());
  security.hasAccessList = dacl != nullptr;
  // Made at its size and filled in place; cut to what was read should an entry fail.
  security.entries = std::vector<AccessEntry>(dacl ? dacl->AceCount : 0);
  for (DWORD i = 0; i < security.entries.size(); ++i) {
    void* ace;
    if (!GetAce(dacl, i, &ace)) {
      security.result = FolderRead::Unreadable;
      security.entries.erase(security.entries.begin() + i, security.entries.end());
      return;
    }
    const ACE_HEADER& header = *static_cast<const ACE_HEADER*>(ace);
    AccessEntry& entry = security.entries[i];
    entry.inheritOnly = (header.AceFlags & INHERIT_ONLY_ACE) != 0;
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
        entry.trustee = KindOf(const_cast<DWORD*>(&known.SidStart), currentUser.get());
        break;
      }
      default:
        entry.rights = rights::kFileAllAccess;
        break;
    }
  }
}

}  // namespace

ProtectedDescriptor::ProtectedDescriptor(text::Ascii sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::wstring wide = sddl;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorW(wide.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    descriptor_.reset(descriptor);
  }
  attributes_ = SECURITY_ATTRIBUTES{sizeof attributes_, descriptor, FALSE};
}

PSID ProtectedDescriptor::owner() const {
  BOOL defaulted;
  PSID owner;
  if (!descriptor_ || !GetSecurityDescriptorOwner(descriptor_.get(), &owner, &defaulted)) return nullptr;
  return owner;
}

PACL ProtectedDescriptor::dacl() const {
  BOOL present, defaulted;
  PACL dacl = nullptr;  // left alone when the descriptor has no list
  if (!descriptor_ || !GetSecurityDescriptorDacl(descriptor_.get(), &present, &dacl, &defaulted)) return nullptr;
  return dacl;
}

FolderSecurity ReadFolderSecurityWin(const std::wstring& path) {
  FolderSecurity security;
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  // Its attributes are read too: whether it is a link, and where it lies.
  UniqueKernelHandle folder(CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
  if (!folder) {
    DWORD code = GetLastError();
    // A name that cannot exist is missing too: making it fails later, with the system's words.
    bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME;
    security.result = missing ? FolderRead::Missing : FolderRead::Unreadable;
    return security;
  }
  security.result = FolderRead::Unreadable;
  DWORD flags;
  if (!GetVolumeInformationByHandleW(folder.get(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return security;
  if (!(flags & FILE_PERSISTENT_ACLS)) {
    security.result = FolderRead::NoAccessLists;
    return security;
  }
  ReadSecurityOf(folder.get(), security);
  // A link on the way counts as one too (Wine shows a Unix link there only
  // so), and is refused before anything changes.
  security.link = security.result == FolderRead::Read && (IsLink(folder.get()) || !LiesWhereItSays(folder.get(), path.c_str()));
  return security;
}

bool OnlyAdministratorsMayRepermission(HANDLE file) {
  auto trusted = [](Trustee trustee) {
    return trustee == Trustee::Administrators || trustee == Trustee::System || trustee == Trustee::TrustedInstaller;
  };
  FolderSecurity security;
  ReadSecurityOf(file, security);
  if (security.result != FolderRead::Read || !security.hasAccessList || !trusted(security.owner)) return false;
  for (const AccessEntry& entry : security.entries) {
    if (entry.allow && !entry.inheritOnly && !trusted(entry.trustee) && entry.trustee != Trustee::CreatorOwner &&
        (FileRights(entry.rights) & (WRITE_DAC | WRITE_OWNER))) {
      return false;
    }
  }
  return true;
}

std::vector<BYTE> OnTheWayAcl(PACL fixed, PACL existing) {
  CurrentUserSid account;
  PSID user = account.get();
  if (!fixed || !user) return {};
  // What the running account had: on the folder itself, and passed on.
  ACCESS_MASK own = 0, passedOn = 0;
  BYTE inheritance = 0;
  for (DWORD i = 0; existing && i < existing->AceCount; ++i) {
    void* ace;
    if (!GetAce(existing, i, &ace)) return {};
    const ACE_HEADER& header = *static_cast<const ACE_HEADER*>(ace);
    if (header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    const auto& allowed = *static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    if (!EqualSid(const_cast<DWORD*>(&allowed.SidStart), user)) continue;
    if (!(header.AceFlags & INHERIT_ONLY_ACE)) own |= FileRights(allowed.Mask);
    if (header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)) {
      passedOn |= allowed.Mask;
      inheritance |= header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    }
  }
  own &= ~kDangerous;
  // Room for the fixed list as it was made and the account's two entries.
  DWORD extra = 2 * (sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user));
  std::vector<BYTE> acl(fixed->AclSize + extra);
  auto* made = reinterpret_cast<PACL>(acl.data());
  if (!InitializeAcl(made, static_cast<DWORD>(acl.size()), ACL_REVISION)) return {};
  for (DWORD i = 0; i < fixed->AceCount; ++i) {
    void* ace;
    if (!GetAce(fixed, i, &ace) ||
        !AddAce(made, ACL_REVISION, MAXDWORD, ace, static_cast<const ACE_HEADER*>(ace)->AceSize)) {
      return {};
    }
  }
  if (own && !AddAccessAllowedAceEx(made, ACL_REVISION, 0, own, user)) return {};
  if (passedOn &&
      !AddAccessAllowedAceEx(made, ACL_REVISION, inheritance | INHERIT_ONLY_ACE, passedOn, user)) {
    return {};
  }
  return acl;
}

bool MakeFolderSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before) {
  UniqueKernelHandle folder = OpenFolderToPermit(path);
  if (!folder) return false;
  if (!IsPlainFolder(folder.get(), path)) {
    SetLastError(kErrorReparsePointEncountered);
    return false;
  }
  // Taken down first, through the same handle, for a rollback.
  constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  GetKernelObjectSecurity(folder.get(), kWhat, nullptr, 0, &needed);
  before.descriptor = std::vector<std::uint8_t>(needed);
  if (needed == 0 || !GetKernelObjectSecurity(folder.get(), kWhat, before.descriptor.data(), needed, &needed)) {
    return false;
  }
  ProtectedDescriptor list(rule == SafeRule::OnTheWay ? OnTheWaySddl() : ProtectedFolderSddl(users));
  if (!list) return false;
  std::vector<BYTE> wayAcl;
  PACL dacl = list.dacl();
  if (rule == SafeRule::OnTheWay) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL existing = nullptr;
    GetSecurityDescriptorDacl(before.descriptor.data(), &present, &existing, &defaulted);
    wayAcl = OnTheWayAcl(dacl, present ? existing : nullptr);
    if (wayAcl.empty()) return false;
    dacl = reinterpret_cast<PACL>(wayAcl.data());
  }
  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorOwner(&descriptor, list.owner(), FALSE) ||
      !SetSecurityDescriptorDacl(&descriptor, TRUE, dacl, FALSE) ||
      !SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
    return false;
  }
  // The kernel call sets it on this folder alone; the higher-level ones
  // would rewrite the lists of everything inside.
  if (!SetKernelObjectSecurity(folder.get(), kWhat | PROTECTED_DACL_SECURITY_INFORMATION, &descriptor)) return false;
  // Whoever opened the folder with DELETE before keeps that right whatever
  // its list says now, and could still rename it away and put another in
  // its place. Such a handle is found by opening the folder without sharing
  // deletion, which fails while one is open; the folder then gets back what
  // it had.
  UniqueKernelHandle deleters(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (deleters) return true;
  DWORD error = GetLastError();
  folder.Reset();
  RestoreFolderSecurity(path, before);
  SetLastError(error);
  return false;
}

bool RestoreFolderSecurity(const std::wstring& path, const SecurityBackup& before) {
  UniqueKernelHandle folder = OpenFolderToPermit(path);
  if (!folder || before.descriptor.empty()) return false;
  if (!IsPlainFolder(folder.get(), path)) {
    SetLastError(kErrorReparsePointEncountered);
    return false;
  }
  auto* descriptor = const_cast<BYTE*>(before.descriptor.data());
  SECURITY_DESCRIPTOR_CONTROL control;
  DWORD revision;
  if (!GetSecurityDescriptorControl(descriptor, &control, &revision)) return false;
  SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION |
                              (control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION
                                                           : UNPROTECTED_DACL_SECURITY_INFORMATION);
  // An owner other than the administrator or Administrators (SYSTEM, say)
  // may be given back only with the restore privilege, which elevated
  // administrators hold but have switched off.
  HANDLE raw;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
    UniqueKernelHandle token(raw);
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_RESTORE_NAME, &privileges.Privileges[0].Luid)) {
      AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    }
  }
  return SetKernelObjectSecurity(folder.get(), what, descriptor) != 0;
}
