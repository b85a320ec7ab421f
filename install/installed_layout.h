// What an installation makes in its target besides the kit's files: the
// product's four folders and its ten empty test files.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/folder_access.h"

namespace install {

struct ProductFolder {
  const wchar_t* name;  // with its trailing backslash
  UsersMay users;       // the product writes its lists, undo data and test files itself
};

// Made along the whole path, in this order, before anything is copied.
inline constexpr std::array<ProductFolder, 4> kProductFolders = {{{L"FileList\\", UsersMay::Modify},
                                                                  {L"Help\\", UsersMay::ReadAndExecute},
                                                                  {L"TestThis\\", UsersMay::Modify},
                                                                  {L"Undo\\", UsersMay::Modify}}};

inline constexpr const wchar_t* kTestFolder = L"TestThis\\";
inline constexpr int kTestFileCount = 10;
// The write name a failure of the test files shows.
inline constexpr const wchar_t* kTestFilesWriteName = L"10x empty test file";

// "01_Artist___CD___Title.tst" to "10_...": two digits always.
inline constexpr std::wstring_view kTestFileNameForm = L"00_Artist___CD___Title.tst";
inline std::wstring TestFileName(int number) {
  std::wstring name(kTestFileNameForm);
  name[0] = static_cast<wchar_t>(L'0' + number / 10);
  name[1] = static_cast<wchar_t>(L'0' + number % 10);
  return name;
}

}  // namespace install
