// Access lists on the real file system: the protected descriptor the setup
// gives what it makes, and who may change an existing folder.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/folder_security.h"

// A descriptor built from its text, for one creation or one change.
class ProtectedDescriptor {
 public:
  explicit ProtectedDescriptor(const std::wstring& sddl);
  // False when the text could not be turned into a descriptor; the last
  // error says why. Nothing is ever made without its list.
  explicit operator bool() const { return descriptor_ != nullptr; }
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }
  PACL dacl() const;

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
