#include "app/result_texts.h"

#include "app/texts.h"
#include "platform/message_boxes.h"

namespace app {
namespace {

constexpr const wchar_t* kParagraph = L"\r\n\r\n";

constexpr std::size_t kLongestShownPath = 160;

std::wstring Kilobytes(std::uint64_t bytes) { return std::to_wstring((bytes + 1023) / 1024); }

}  // namespace

std::wstring ShownPath(const std::wstring& path) {
  std::wstring shown = path.size() <= kLongestShownPath
                           ? path
                           : path.substr(0, kLongestShownPath / 2 - 2) + L" ... " +
                                 path.substr(path.size() - (kLongestShownPath / 2 - 3));
  for (wchar_t& c : shown) {
    if (c < 0x20 || c == 0x7F) c = L'?';
  }
  return shown;
}

std::wstring RefusalMessage(const install::Refused& refused) {
  using enum install::RefusalReason;
  switch (refused.reason) {
    case ProgramFiles:
      return texts::kProgramFilesRefused;
    case NotAFullPath:
      return texts::kEnterTarget;
    case InvalidName:
      return texts::kInvalidTarget + (kParagraph + ShownPath(refused.target)) + kParagraph + texts::kInvalidTargetWhy;
    case TooLong:
      return texts::kTargetTooLong + (kParagraph + ShownPath(refused.target)) + kParagraph + texts::kTargetTooLongWhat;
    case NoSuchDrive:
      return texts::kNoSuchDrive + (kParagraph + ShownPath(refused.folder)) + kParagraph + texts::kNoSuchDriveWhat;
    case DriveNotReady:
      return texts::kTargetDriveNotReady + (kParagraph + ShownPath(refused.folder)) + kParagraph + refused.detail +
             kParagraph + texts::kTargetDriveNotReadyWhat;
    case NotEnoughSpace:
      return texts::kNotEnoughSpace + ShownPath(refused.folder) + kParagraph + texts::kSpaceNeeded +
             Kilobytes(refused.bytesNeeded) + texts::kSpaceFree + Kilobytes(refused.bytesFree) +
             texts::kNotEnoughSpaceWhat;
    case Unsafe:
      return texts::kUnsafeTarget + (kParagraph + ShownPath(refused.unsafe.folder)) + kParagraph +
             refused.unsafe.reason + kParagraph + texts::kChooseAnotherFolder;
  }
  return texts::kEnterTarget;
}

int RefusalFlags(const install::Refused& refused) {
  return refused.reason == install::RefusalReason::ProgramFiles ? mb::kInformation | mb::kOkOnly
                                                                 : mb::kCritical | mb::kOkOnly;
}

std::wstring InUseQuestion(const std::wstring& folder) {
  return texts::kProductInUse + ShownPath(folder) + texts::kProductInUseWhatToDo;
}

}  // namespace app
