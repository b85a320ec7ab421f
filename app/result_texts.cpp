#include "app/result_texts.h"

#include "app/texts.h"
#include "platform/message_boxes.h"
#include "platform/text.h"

namespace app {
namespace {

using text::Concat;
using text::Part;

constexpr text::Ascii kParagraph = "\r\n\r\n";

constexpr std::size_t kLongestShownPath = 160;

std::wstring Kilobytes(std::uint64_t bytes) { return std::to_wstring((bytes + 1023) / 1024); }

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

std::wstring RefusalMessage(const install::Refused& refused, bool reinstalling) {
  using enum install::RefusalReason;
  // What is wrong, with the path it is about, then what to do.
  auto told = [&](Part what, const std::wstring& path, Part toDo) {
    return Concat({what, kParagraph, ShownPath(path), kParagraph, reinstalling ? Part(texts::kUninstallFirst) : toDo});
  };
  switch (refused.reason) {
    case ProgramFiles:
      return texts::kProgramFilesRefused;
    case NotAFullPath:
      // Too short to be a path at all: the first prompt again.
      if (refused.target.size() < 3) return texts::kEnterTarget;
      return told(texts::kNotFullPath, refused.target, texts::kNotFullPathWhat);
    case InvalidName:
      return told(texts::kInvalidTarget, refused.target, texts::kInvalidTargetWhy);
    case NotAFolder:
      return told(texts::kNotAFolder, refused.folder, texts::kChooseAnotherTarget);
    case TooLong:
      return told(texts::kTargetTooLong, refused.target, texts::kTargetTooLongWhat);
    case NoSuchDrive:
      return told(texts::kNoSuchDrive, refused.folder, texts::kNoSuchDriveWhat);
    case DriveNotReady:
      return Concat({texts::kTargetDriveNotReady, kParagraph, ShownPath(refused.folder), kParagraph, refused.detail,
                     kParagraph, texts::kTargetDriveNotReadyWhat});
    case NotEnoughSpace:
      return Concat({texts::kNotEnoughSpace, ShownPath(refused.folder), kParagraph, texts::kSpaceNeeded,
                     Kilobytes(refused.bytesNeeded), texts::kSpaceFree, Kilobytes(refused.bytesFree),
                     texts::kNotEnoughSpaceWhat});
    case NetworkDrive:
      return told(texts::kNetworkTarget, refused.folder, texts::kChooseLocalFolder);
    case RemovableDrive:
      return told(texts::kRemovableTarget, refused.folder, texts::kChooseLocalFolder);
    case WindowsFolder:
      return told(texts::kWindowsFolderTarget, refused.folder, texts::kChooseAnotherTarget);
    case KitFolder:
      return told(texts::kKitFolderTarget, refused.folder, texts::kChooseAnotherTarget);
    case ProfilesFolder:
      return told(texts::kProfilesTarget, refused.folder, texts::kChooseAnotherTarget);
    case NotRegistered:
    case OtherCopyRegistered: {
      std::wstring registered = refused.detail.empty()
                                    ? std::wstring(texts::kNoneRegistered)
                                    : Concat({texts::kRegisteredCopyIn, kParagraph, ShownPath(refused.detail)});
      return Concat({texts::kNotRegistered, kParagraph, ShownPath(refused.folder), kParagraph, registered, kParagraph,
                     refused.reason == OtherCopyRegistered ? Part(texts::kUninstallRegisteredFirst)
                                                           : Part(texts::kNothingRemoved)});
    }
    case LinkOnTheWay:
      return Concat(
          {texts::kRemovalThroughLink, kParagraph, ShownPath(refused.folder), kParagraph, texts::kNothingRemoved});
    case Unsafe:
      return Concat({texts::kUnsafeTarget, kParagraph, ShownPath(refused.unsafe.folder), kParagraph,
                     refused.unsafe.reason, kParagraph,
                     reinstalling ? Part(texts::kUninstallFirst) : Part(texts::kChooseAnotherFolder)});
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
