#include "install/target_access.h"

#include <vector>

#include "install/install_texts.h"
#include "install/target_path.h"
#include "platform/text.h"

namespace install {
namespace {

using namespace rights;

bool Trusted(Trustee trustee) { return trustee != Trustee::Other; }

std::uint32_t Mapped(std::uint32_t mask) {
  if (mask & kGenericAll) mask |= kFileAllAccess;
  if (mask & kGenericWrite) mask |= kFileGenericWrite;
  return mask;
}

// What someone who is none of the trusted kinds may be granted on the folder
// itself. Deny entries are left out: which of the others they hold back is
// not known here, and leaving them out can only refuse more. A CREATOR OWNER
// entry grants nothing on the folder itself (no account is that placeholder).
std::uint32_t OthersMay(const FolderSecurity& folder) {
  if (!folder.hasAccessList) return kFileAllAccess;
  std::uint32_t granted = 0;
  for (const AccessEntry& entry : folder.entries) {
    if (entry.allow && !entry.inheritOnly && entry.trustee == Trustee::Other) granted |= Mapped(entry.rights);
  }
  // An owner may always read and change the list, whatever it says.
  if (!Trusted(folder.owner)) granted |= kReadControl | kWriteDac;
  return granted;
}

// The drive root, then every folder down to the target, without trailing
// backslashes (except the root's).
std::vector<std::wstring> FoldersFromRoot(FileSystem& files, const std::wstring& target) {
  // Judged as the system will resolve it: "..", "." and short names lead
  // elsewhere than they read.
  std::wstring full = IsDrivePath(target) ? files.LongForm(target) : target;
  if (full.empty()) full = target;
  for (wchar_t& c : full) {
    if (c == L'/') c = L'\\';
  }
  std::size_t rootEnd = 3;  // "C:\"
  if (full.starts_with(L"\\\\")) {  // \\server\share\ is the root of a network path
    std::size_t server = full.find(L'\\', 2);
    std::size_t share = server == std::wstring::npos ? server : full.find(L'\\', server + 1);
    rootEnd = share == std::wstring::npos ? full.size() : share + 1;
  }
  std::vector<std::wstring> folders = {text::WithTrailingBackslash(full.substr(0, rootEnd))};
  // Nothing is installed past the path limit (no folder made, no file
  // written), so the folders beyond it need no judging.
  for (std::size_t at = rootEnd; at < full.size() && at <= kMaxDirectoryPath; ++at) {
    std::size_t end = full.find(L'\\', at);
    if (end == std::wstring::npos) end = full.size();
    if (end > at) folders.push_back(full.substr(0, end));
    at = end;
  }
  return folders;
}

}  // namespace

std::optional<TargetRefusal> RefuseUnsafeTarget(FileSystem& files, const std::wstring& target) {
  std::vector<std::wstring> folders = FoldersFromRoot(files, target);
  std::optional<FolderSecurity> parent;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const std::wstring& folder = folders[i];
    FolderSecurity security = files.ReadFolderSecurity(folder);
    bool isRoot = i == 0;
    bool isTarget = i + 1 == folders.size();
    auto refuse = [&](const wchar_t* reason) { return TargetRefusal{folder, reason}; };
    switch (security.result) {
      case FolderRead::Missing:
        // Made protected later, but whoever may delete what its parent
        // holds could rename it away and put their own in its place.
        if (parent && (OthersMay(*parent) & kDeleteChild)) return refuse(texts::kOthersMayDelete);
        parent.reset();
        continue;
      case FolderRead::NoAccessLists: return refuse(texts::kKeepsNoAccessList);
      case FolderRead::Unreadable: return refuse(texts::kAccessListUnreadable);
      case FolderRead::Read: break;
    }
    if (security.link && !isRoot) return refuse(texts::kFolderIsALink);
    std::uint32_t others = OthersMay(security);
    // Whoever may delete what a folder holds may also rename any folder in it.
    bool parentLetsGo = parent && (OthersMay(*parent) & kDeleteChild);
    parent = security;
    if (isRoot && !isTarget) continue;  // a root's own rights matter only where the installation goes
    if (!Trusted(security.owner)) return refuse(texts::kOwnedByOthers);
    if (isTarget && (others & kAddFile)) return refuse(texts::kOthersMayAddFiles);
    if ((others & kDelete && !isRoot) || parentLetsGo) return refuse(texts::kOthersMayDelete);
    if (isTarget && (others & kDeleteChild)) return refuse(texts::kOthersMayDeleteContents);
    if (others & (kWriteDac | kWriteOwner)) return refuse(texts::kOthersMayRepermission);
  }
  return std::nullopt;
}

}  // namespace install
