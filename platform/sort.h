// The one sort of the program's lists (the kit files a message names, a
// directory's folders): Shell's method, gaps shrinking by 2.2 to 1. Small in
// code wherever it is used, and quick enough for the ten thousand folders a
// directory may hold.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

template <typename T, typename Less>
void SortBy(std::vector<T>& items, Less less) {
  const std::size_t count = items.size();
  for (std::size_t gap = count / 2; gap > 0; gap = gap == 2 ? 1 : gap * 5 / 11) {
    for (std::size_t i = gap; i < count; ++i) {
      T item = std::move(items[i]);
      std::size_t j = i;
      for (; j >= gap && less(item, items[j - gap]); j -= gap) items[j] = std::move(items[j - gap]);
      items[j] = std::move(item);
    }
  }
}
