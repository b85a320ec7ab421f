#include "app/result_texts.h"

#include <cstdint>

#include "app/texts.h"
#include "platform/message_boxes.h"
#include "platform/text.h"

namespace app {
namespace {

using text::Concat;
using text::Part;

constexpr text::Ascii kParagraph = "\r\n\r\n";

constexpr std::size_t kLongestShownPath = 160;

std::wstring Kilobytes(std::uint64_t bytes) { return text::Decimal((bytes + 1023) / 1024); }

}  // namespace

std::wstring ShownPath(const std::wstring& path) {
  std::wstring_view whole = path;
  std::wstring shown = path.size() <= kLongestShownPath
                           ? path
                           : Concat({whole.substr(0, kLongestShownPath / 2 - 2), " ... ",
                                     whole.substr(path.size() - (kLongestShownPath / 2 - 3))});
  for (wchar_t& c : shown) {
    if (c < 0x20 || c == 0x7F) c = L'?';
  }
  return shown;
}

namespace {

// What a refusal's message names.
enum class Named : std::uint8_t { Nothing, Target, Folder, Detail, UnsafeFolder, UnsafeReason, RegisteredCopy };

// A refusal's message: what is wrong, the path it is about, maybe one more
// paragraph, then what to do; for a reinstallation, whose folder cannot be
// changed, that is to uninstall first where reinstallChoosesNoFolder.
struct RefusalMessageRow {
  install::RefusalReason reason;
  Named path;
  Named more;
  bool reinstallChoosesNoFolder;
  text::Ascii what;
  text::Ascii toDo;
};

constexpr RefusalMessageRow kRefusalMessages[] = {
    {install::RefusalReason::NotAFullPath, Named::Target, Named::Nothing, true, texts::kNotFullPath,
     texts::kNotFullPathWhat},
    {install::RefusalReason::InvalidName, Named::Target, Named::Nothing, true, texts::kInvalidTarget,
     texts::kInvalidTargetWhy},
    {install::RefusalReason::NotAFolder, Named::Folder, Named::Nothing, true, texts::kNotAFolder,
     texts::kChooseAnotherTarget},
    {install::RefusalReason::TooLong, Named::Target, Named::Nothing, true, texts::kTargetTooLong,
     texts::kTargetTooLongWhat},
    {install::RefusalReason::NoSuchDrive, Named::Folder, Named::Nothing, true, texts::kNoSuchDrive,
     texts::kNoSuchDriveWhat},
    {install::RefusalReason::DriveNotReady, Named::Folder, Named::Detail, false, texts::kTargetDriveNotReady,
     texts::kTargetDriveNotReadyWhat},
    {install::RefusalReason::NetworkDrive, Named::Folder, Named::Nothing, true, texts::kNetworkTarget,
     texts::kChooseLocalFolder},
    {install::RefusalReason::RemovableDrive, Named::Folder, Named::Nothing, true, texts::kRemovableTarget,
     texts::kChooseLocalFolder},
    {install::RefusalReason::WindowsFolder, Named::Folder, Named::Nothing, true, texts::kWindowsFolderTarget,
     texts::kChooseAnotherTarget},
    {install::RefusalReason::KitFolder, Named::Folder, Named::Nothing, true, texts::kKitFolderTarget,
     texts::kChooseAnotherTarget},
    {install::RefusalReason::ProfilesFolder, Named::Folder, Named::Nothing, true, texts::kProfilesTarget,
     texts::kChooseAnotherTarget},
    {install::RefusalReason::NotRegistered, Named::Folder, Named::RegisteredCopy, false, texts::kNotRegistered,
     texts::kNothingRemoved},
    {install::RefusalReason::OtherCopyRegistered, Named::Folder, Named::RegisteredCopy, false, texts::kNotRegistered,
     texts::kUninstallRegisteredFirst},
    {install::RefusalReason::LinkOnTheWay, Named::Folder, Named::Nothing, false, texts::kRemovalThroughLink,
     texts::kNothingRemoved},
    {install::RefusalReason::Unsafe, Named::UnsafeFolder, Named::UnsafeReason, true, texts::kUnsafeTarget,
     texts::kChooseAnotherFolder},
};

// Every reason has its row, but the two that RefusalMessage words apart:
// a reason added later without one would otherwise show the first prompt.
constexpr bool EveryReasonHasAMessage() {
  for (int reason = 0; reason <= static_cast<int>(install::RefusalReason::LinkOnTheWay); ++reason) {
    auto r = static_cast<install::RefusalReason>(reason);
    bool found = r == install::RefusalReason::ProgramFiles || r == install::RefusalReason::NotEnoughSpace;
    for (const RefusalMessageRow& row : kRefusalMessages) found = found || row.reason == r;
    if (!found) return false;
  }
  return true;
}
static_assert(EveryReasonHasAMessage(), "a message row for each refusal reason");

constexpr bool EveryRowNamesAPath() {
  for (const RefusalMessageRow& row : kRefusalMessages) {
    if (row.path != Named::Target && row.path != Named::Folder && row.path != Named::UnsafeFolder) return false;
  }
  return true;
}
static_assert(EveryRowNamesAPath(), "a message's path is the target, the folder or the unsafe folder");

// The path a message names: the target, the folder or the unsafe folder.
const std::wstring& NamedPath(const install::Refused& refused, Named path) {
  return path == Named::Target ? refused.target : path == Named::Folder ? refused.folder : refused.unsafe.folder;
}

// The paragraph a message adds, if any.
std::wstring NamedText(const install::Refused& refused, Named named) {
  switch (named) {
    case Named::Detail:
      return refused.detail;
    case Named::UnsafeReason:
      return refused.unsafe.reason;
    case Named::RegisteredCopy:
      return refused.detail.empty() ? std::wstring(texts::kNoneRegistered)
                                    : Concat({texts::kRegisteredCopyIn, kParagraph, ShownPath(refused.detail)});
    default:  // Nothing
      break;
  }
  return {};
}

}  // namespace

std::wstring RefusalMessage(const install::Refused& refused, bool reinstalling) {
  using enum install::RefusalReason;
  switch (refused.reason) {
    case ProgramFiles:
      return texts::kProgramFilesRefused;
    case NotAFullPath:
      // Too short to be a path at all: the first prompt again.
      if (refused.target.size() < 3) return texts::kEnterTarget;
      break;
    case NotEnoughSpace:
      return Concat({texts::kNotEnoughSpace, ShownPath(refused.folder), kParagraph, texts::kSpaceNeeded,
                     Kilobytes(refused.bytesNeeded), texts::kSpaceFree, Kilobytes(refused.bytesFree),
                     texts::kNotEnoughSpaceWhat});
    default:
      break;
  }
  for (const RefusalMessageRow& row : kRefusalMessages) {
    if (row.reason != refused.reason) continue;
    std::wstring more = NamedText(refused, row.more);
    return Concat({row.what, kParagraph, ShownPath(NamedPath(refused, row.path)), kParagraph, more,
                   row.more != Named::Nothing ? kParagraph : text::Ascii(),
                   reinstalling && row.reinstallChoosesNoFolder ? Part(texts::kUninstallFirst) : Part(row.toDo)});
  }
  return texts::kEnterTarget;
}

int RefusalFlags(const install::Refused& refused) {
  return refused.reason == install::RefusalReason::ProgramFiles ? mb::kInformation | mb::kOkOnly
                                                                 : mb::kCritical | mb::kOkOnly;
}

std::wstring InUseQuestion(const std::wstring& folder) {
  return Concat({texts::kProductInUse, ShownPath(folder), texts::kProductInUseWhatToDo});
}

}  // namespace app
