#include "platform/vcl/List.h"

#include <algorithm>
#include <string>
#include <utility>

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void* TList::Items(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)];
}

void TList::SetItems(int index, void* item) {
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)] = item;
}

int TList::Add(void* item) {
  items_.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

int TList::Remove(void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

int TList::IndexOf(void* item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)] == item) return i;
  return -1;
}

void TList::Clear() { items_.clear(); }

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
}

void TList::Sort(TListSortCompare compare) {
  if (compare == nullptr || items_.size() < 2) return;
  // Bottom-up merge sort: every index stays inside the runs it merges,
  // whatever the comparison answers.
  std::vector<void*> from = items_;
  std::vector<void*> to(from.size());
  const std::size_t n = from.size();
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      std::size_t a = lo, b = mid, out = lo;
      while (a < mid && b < hi) to[out++] = compare(from[b], from[a]) < 0 ? from[b++] : from[a++];
      while (a < mid) to[out++] = from[a++];
      while (b < hi) to[out++] = from[b++];
    }
    from.swap(to);
  }
  items_ = std::move(from);
}
