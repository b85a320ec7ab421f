// Access lists on the real file system: the protected descriptor the setup
// gives what it makes, and who may change an existing folder.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/folder_security.h"
#include "platform/text.h"

// A descriptor built from its text, for one creation or one change.
class ProtectedDescriptor {
 public:
  explicit ProtectedDescriptor(text::Ascii sddl);
  // False when the text could not be turned into a descriptor; the last
  // error says why. Nothing is ever made without its list.
  explicit operator bool() const { return descriptor_ != nullptr; }
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }
  PACL dacl() const;
  PSID owner() const;
  PSECURITY_DESCRIPTOR get() const { return descriptor_.get(); }

 private:
  struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
  };
  std::unique_ptr<void, LocalFreer> descriptor_;
  SECURITY_ATTRIBUTES attributes_{};
};

// Read through a handle opened on path itself (a link is not followed), so
// what is judged is the folder that is there, not what a path leads to later.
// Wine keeps no access lists and answers with one made up from the Unix
// permissions: its own Unix user's folders belong to the running account,
// the "other" bits become an Everyone entry, and its drives claim to keep
// lists. A 755 folder therefore passes and a 777 one is refused, as a folder
// with the same rights would be on Windows; nothing here is special to Wine.
FolderSecurity ReadFolderSecurityWin(const std::wstring& path);

// True when the open file (opened with READ_CONTROL) is owned by
// Administrators, SYSTEM or TrustedInstaller and no one else may change its
// owner or list: then no one else can hold a handle with those rights,
// which a new list would not take away.
bool OnlyAdministratorsMayRepermission(HANDLE file);

// The folder at path itself (never through a link) gets Administrators as
// its owner and the rule's list, set on it alone: nothing already in it is
// given the new list (SetSecurityInfo would pass it down to everything
// inside). before receives the owner and list it had. False, with the last
// error, when it is no plain folder or cannot be changed, or when someone
// holds it open with the right to delete it (the list is then put back).
bool MakeFolderSafe(const std::wstring& path, SafeRule rule, UsersMay users, SecurityBackup& before);
bool RestoreFolderSecurity(const std::wstring& path, const SecurityBackup& before);

// The list a folder on the target's way gets, given the list it has: the
// rule of a system drive's root (fixed, the list of OnTheWaySddl's
// descriptor), with the running account's rights kept but for deleting,
// renaming and re-permissioning the folder itself. Empty when it cannot be
// built. Its own function so that tests can read it.
std::vector<BYTE> OnTheWayAcl(PACL fixed, PACL existing);
