#include "install/target_access.h"

#include <algorithm>
#include <vector>

#include "install/all_users.h"
#include "install/install_texts.h"
#include "install/installed_layout.h"
#include "install/kit_files.h"
#include "install/target_path.h"
#include "platform/text.h"

namespace install {
namespace {

using namespace rights;

bool Trusted(Trustee trustee) { return trustee != Trustee::Other; }

// Whom the judgement before any change trusts as a writer: not the running
// account, whose programs without elevation share it under UAC.
bool TrustedWriter(Trustee trustee) {
  return trustee == Trustee::Administrators || trustee == Trustee::System || trustee == Trustee::TrustedInstaller;
}

std::uint32_t Mapped(std::uint32_t mask) {
  if (mask & kGenericAll) mask |= kFileAllAccess;
  if (mask & kGenericWrite) mask |= kFileGenericWrite;
  return mask;
}

// What someone who is none of the trusted kinds may be granted on the folder
// itself. Deny entries are left out: which of the others they hold back is
// not known here, and leaving them out can only refuse more. A CREATOR OWNER
// entry grants nothing on the folder itself (no account is that placeholder).
// With runningAccountToo, the running account counts among the others.
std::uint32_t OthersMay(const FolderSecurity& folder, bool runningAccountToo = false) {
  if (!folder.hasAccessList) return kFileAllAccess;
  auto other = [&](Trustee trustee) {
    return runningAccountToo ? !TrustedWriter(trustee) && trustee != Trustee::CreatorOwner : !Trusted(trustee);
  };
  std::uint32_t granted = 0;
  for (const AccessEntry& entry : folder.entries) {
    if (entry.allow && !entry.inheritOnly && other(entry.trustee)) granted |= Mapped(entry.rights);
  }
  // An owner may always read and change the list, whatever it says.
  if (other(folder.owner)) granted |= kReadControl | kWriteDac;
  return granted;
}

// The names the product puts in its folder (within: empty), or in
// one of the product's folders (within: "Help\\").
bool ProductsOwnName(const FoundFile& found, std::wstring_view within = {}) {
  if (found.directory) {
    return within.empty() && std::ranges::any_of(kProductFolders, [&](const ProductFolder& product) {
             std::wstring_view name = product.name;
             name.remove_suffix(1);  // its backslash
             return text::EqualsIgnoringCase(found.name, name);
           });
  }
  if (within.empty() && text::EqualsIgnoringCase(found.name, kAllUsersPresets)) return true;
  std::wstring name = text::Concat({within, found.name});
  // A kit's own names (morvane.1, ...) are not among them: a kit's files
  // beside an installation keep whatever rights the kit came with.
  return std::ranges::any_of(KitFiles(), [&](const KitFile& row) {
    return *row.installedName != L'\0' && text::EqualsIgnoringCase(name, row.installedName);
  });
}

// A folder holding nothing else is a product's (or a kit's), and made safe.
bool HoldsOnlyTheProductsOwn(FileSystem& files, const std::wstring& folder) {
  std::vector<FoundFile> found = files.FindFiles(text::WithTrailingBackslash(folder) + L"*");
  auto named = [&](const wchar_t* name) {
    return std::ranges::any_of(found, [&](const FoundFile& f) { return text::EqualsIgnoringCase(f.name, name); });
  };
  // Its Morvane.exe and its setup.exe: an installation, whatever else is there.
  if (named(KitFileNumber(1).installedName) && named(KitFileNumber(5).installedName)) return true;
  return std::ranges::all_of(found, [](const FoundFile& f) { return ProductsOwnName(f); });
}

// Anything else in the target that others could change, or that is a link:
// Morvane, which administrators run too, would load a library put beside
// it, so the folder is no safe place while that is there. The product's
// own files are written anew, and its folders made safe, by the setup.
std::optional<TargetRefusal> OthersEntryIn(FileSystem& files, const std::wstring& target,
                                           std::wstring_view within = {}) {
  constexpr std::uint32_t kChange = kAddFile | kAddSubdirectory | 0x10 | kDeleteChild | 0x100 | kDelete | kWriteDac |
                                    kWriteOwner;  // and FILE_WRITE_EA, FILE_WRITE_ATTRIBUTES
  std::wstring inside = text::WithTrailingBackslash(target);
  for (const FoundFile& found : files.FindFiles(inside + L"*")) {
    if (ProductsOwnName(found, within)) continue;
    std::wstring path = inside + found.name;
    FolderSecurity security = files.ReadFolderSecurity(path);
    if (security.result == FolderRead::Missing) continue;  // gone since
    if (security.result != FolderRead::Read || security.link || files.IsLink(path) ||
        !TrustedWriter(security.owner) || (OthersMay(security, true) & kChange)) {
      return TargetRefusal{path, texts::kOthersEntry};
    }
  }
  return std::nullopt;
}

text::Ascii ReasonFor(const FolderSecurity& security, std::uint32_t others, bool isTarget, bool parentLetsGo) {
  if (!TrustedWriter(security.owner) && security.owner != Trustee::CurrentUser) return texts::kOwnedByOthers;
  if (isTarget && (others & (kAddFile | kAddSubdirectory))) return texts::kOthersMayAddFiles;
  if ((others & kDelete) || parentLetsGo) return texts::kOthersMayDelete;
  if (isTarget && (others & kDeleteChild)) return texts::kOthersMayDeleteContents;
  if (others & (kWriteDac | kWriteOwner)) return texts::kOthersMayRepermission;
  return texts::kOwnedByYou;
}

// Why a folder that is there cannot be judged: its drive keeps no access
// lists, its list cannot be read, or it is a link (a drive root aside).
std::optional<text::Ascii> Unjudged(const FolderSecurity& security, bool isRoot) {
  if (security.result == FolderRead::NoAccessLists) return texts::kKeepsNoAccessList;
  if (security.result == FolderRead::Unreadable) return texts::kAccessListUnreadable;
  if (security.link && !isRoot) return texts::kFolderIsALink;
  return std::nullopt;
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
  std::vector<std::wstring> folders;
  folders.push_back(RootOf(full));
  std::size_t rootEnd = folders.front().size();
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

// A product's folder in folder, without its trailing backslash.
std::wstring ProductFolderIn(const std::wstring& folder, const ProductFolder& product) {
  std::wstring inside = text::WithTrailingBackslash(folder);
  inside += product.name;
  inside.pop_back();
  return inside;
}

}  // namespace

// Out of line: in its caller's frame its locals would need longer offsets.
[[gnu::noinline]] std::optional<TargetRefusal> PlanTargetSafety(FileSystem& files, const std::wstring& target,
                                                                 std::vector<FolderFix>& fixes) {
  std::vector<std::wstring> folders = FoldersFromRoot(files, target);
  // Whether the folder above lets others delete what it holds, as it will
  // once the plan is carried out.
  bool parentLetsOthersDelete = false;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const std::wstring& folder = folders[i];
    FolderSecurity security = files.ReadFolderSecurity(folder);
    bool isRoot = i == 0;
    bool isTarget = i + 1 == folders.size();
    auto refuse = [&](text::Ascii reason) { return std::optional<TargetRefusal>(TargetRefusal{folder, reason}); };
    // Whoever may delete what a folder holds may also rename any folder in
    // it, whatever that folder's own list says.
    bool parentLetsGo = parentLetsOthersDelete;
    if (security.result == FolderRead::Missing) {
      // Made protected later, but it could be renamed away and replaced.
      if (parentLetsGo) return refuse(texts::kOthersMayDelete);
      return std::nullopt;  // nothing below it is there either
    }
    if (std::optional<text::Ascii> why = Unjudged(security, isRoot)) return refuse(*why);
    std::uint32_t others = OthersMay(security, true);
    bool ownerMayBeReplaced = TrustedWriter(security.owner) || security.owner == Trustee::CurrentUser;
    // A drive root is never changed, and what the running account may do
    // there is the whole drive's concern: only others count there.
    parentLetsOthersDelete = OthersMay(security, !isRoot) & kDeleteChild;
    if (isRoot && !isTarget) continue;  // never changed; its own rights matter only where the installation goes
    constexpr std::uint32_t kRename = kDelete | kWriteDac | kWriteOwner;
    if (!isTarget) {
      if (TrustedWriter(security.owner) && !(others & kRename) && !parentLetsGo) continue;
      if (!ownerMayBeReplaced || parentLetsGo) return refuse(ReasonFor(security, others, false, parentLetsGo));
      fixes.push_back({folder, SafeRule::OnTheWay});
      parentLetsOthersDelete = false;  // made safe
      continue;
    }
    bool safe = TrustedWriter(security.owner) && !parentLetsGo &&
                !(others & (kAddFile | kAddSubdirectory | kDeleteChild | kRename));
    if (!isRoot && ownerMayBeReplaced && !parentLetsGo && HoldsOnlyTheProductsOwn(files, folder)) {
      fixes.push_back({folder, SafeRule::ProductFolder, UsersMay::ReadAndExecute});
      // The product's folders someone made there beforehand, as the installation makes them.
      for (const ProductFolder& product : kProductFolders) {
        std::wstring inside = ProductFolderIn(folder, product);
        // One someone turned into a link is passed over: what it leads to is not the product's.
        FolderSecurity made = files.ReadFolderSecurity(inside);
        if (made.result != FolderRead::Read || made.link || files.IsLink(inside)) continue;
        // Another account's folder stays open to it whatever list it gets: an
        // owner may hold a handle that changes the list again afterwards.
        if (!TrustedWriter(made.owner) && made.owner != Trustee::CurrentUser) {
          return TargetRefusal{inside, texts::kOwnedByOthers};
        }
        // What users may not change: nothing of theirs may stay in it either.
        if (product.users == UsersMay::ReadAndExecute) {
          if (std::optional<TargetRefusal> theirs = OthersEntryIn(files, inside, product.name)) return theirs;
        }
        fixes.push_back({inside, SafeRule::ProductFolder, product.users});
      }
    } else if (!safe) {
      return refuse(ReasonFor(security, others, true, parentLetsGo));
    }
  }
  return OthersEntryIn(files, folders.back());
}

std::optional<TargetRefusal> RefuseUnsafeTarget(FileSystem& files, const std::wstring& target) {
  std::vector<std::wstring> folders = FoldersFromRoot(files, target);
  bool parentLetsOthersDelete = false;  // whether the folder above lets others delete what it holds
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const std::wstring& folder = folders[i];
    FolderSecurity security = files.ReadFolderSecurity(folder);
    bool isRoot = i == 0;
    bool isTarget = i + 1 == folders.size();
    auto refuse = [&](text::Ascii reason) { return std::optional<TargetRefusal>(TargetRefusal{folder, reason}); };
    if (security.result == FolderRead::Missing) {
      // Made protected later, but whoever may delete what its parent
      // holds could rename it away and put their own in its place.
      if (parentLetsOthersDelete) return refuse(texts::kOthersMayDelete);
      parentLetsOthersDelete = false;
      continue;
    }
    if (std::optional<text::Ascii> why = Unjudged(security, isRoot)) return refuse(*why);
    std::uint32_t others = OthersMay(security);
    // Whoever may delete what a folder holds may also rename any folder in it.
    bool parentLetsGo = parentLetsOthersDelete;
    parentLetsOthersDelete = others & kDeleteChild;
    if (isRoot && !isTarget) continue;  // a root's own rights matter only where the installation goes
    if (!Trusted(security.owner)) return refuse(texts::kOwnedByOthers);
    if (isTarget && (others & (kAddFile | kAddSubdirectory))) return refuse(texts::kOthersMayAddFiles);
    if ((others & kDelete && !isRoot) || parentLetsGo) return refuse(texts::kOthersMayDelete);
    if (isTarget && (others & kDeleteChild)) return refuse(texts::kOthersMayDeleteContents);
    if (others & (kWriteDac | kWriteOwner)) return refuse(texts::kOthersMayRepermission);
  }
  if (std::optional<TargetRefusal> others = OthersEntryIn(files, folders.back())) return others;
  // Nor in the product's folders that users may not change.
  for (const ProductFolder& product : kProductFolders) {
    if (product.users != UsersMay::ReadAndExecute) continue;
    std::wstring inside = ProductFolderIn(folders.back(), product);
    if (std::optional<TargetRefusal> others = OthersEntryIn(files, inside, product.name)) return others;
  }
  return std::nullopt;
}

}  // namespace install
