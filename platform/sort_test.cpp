#include "platform/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

// Short lists and long ones (every gap of the sequence in use), with
// repeated keys, end in order and keep every item.
TEST(SortBy, AnyLengthEndsInOrderWithEveryItemKept) {
  for (std::size_t count : {0u, 1u, 2u, 3u, 10u, 97u, 10000u}) {
    std::vector<unsigned> items;
    unsigned state = 12345;
    for (std::size_t i = 0; i < count; ++i) items.push_back((state = state * 1103515245u + 12345u) >> 20);
    std::vector<unsigned> expected = items;
    std::sort(expected.begin(), expected.end());
    SortBy(items, std::less<>());
    EXPECT_EQ(items, expected) << count << " items";
  }
  std::vector<std::wstring> names{L"setup.exe", L"morvane.8", L"setup.dll", L"morvane.1"};
  SortBy(names, std::less<>());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"morvane.1", L"morvane.8", L"setup.dll", L"setup.exe"}));
}

}  // namespace
