#include "platform/vcl/StringList.h"

#include <algorithm>
#include <utility>

namespace {

unsigned char Fold(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

}  // namespace

int TStringList::CompareStrings(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int TStringList::Compare(std::string_view a, std::string_view b) const {
  if (!caseSensitive_) return CompareStrings(a, b);
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::SetStrings(int index, const std::string& text) {
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)].text = text;
}

void* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::SetObjects(int index, void* object) {
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)].object = object;
}

int TStringList::InsertSorted(const std::string& text, void* object) {
  int index = 0;
  if (Find(text, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
  }
  items_.insert(items_.begin() + index, Item{text, object});
  return index;
}

int TStringList::Add(const std::string& text) { return AddObject(text, nullptr); }

int TStringList::AddObject(const std::string& text, void* object) {
  if (sorted_) return InsertSorted(text, object);
  items_.push_back(Item{text, object});
  return Count() - 1;
}

void TStringList::Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }

void TStringList::InsertObject(int index, const std::string& text, void* object) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
  if (index < 0 || index > Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  items_.insert(items_.begin() + index, Item{text, object});
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

void TStringList::Clear() {
  items_.clear();
  capacity_ = 0;
}

bool TStringList::Find(const std::string& text, int& index) const {
  if (!sorted_) {
    index = IndexOf(text);
    if (index >= 0) return true;
    index = Count();
    return false;
  }
  // Lower bound; with duplicates accepted the first equal item is found.
  int lo = 0, hi = Count();
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (Compare(items_[static_cast<std::size_t>(mid)].text, text) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  index = lo;
  return lo < Count() && Compare(items_[static_cast<std::size_t>(lo)].text, text) == 0;
}

int TStringList::IndexOf(const std::string& text) const {
  if (sorted_) {
    int index = 0;
    return Find(text, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(items_[static_cast<std::size_t>(i)].text, text) == 0) return i;
  return -1;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) Sort();
  sorted_ = sorted;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return Compare(a.text, b.text) < 0; });
}

std::string TStringList::Text() const {
  std::string out;
  for (const Item& item : items_) {
    out += item.text;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(std::string_view text) {
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      Add(std::string(text.substr(start)));
      break;
    }
    Add(std::string(text.substr(start, end - start)));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
}

void TStringList::Move(int curIndex, int newIndex) {
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  if (curIndex == newIndex) return;
  if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
  Item item = std::move(items_[static_cast<std::size_t>(curIndex)]);
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, std::move(item));
}

int TStringList::Capacity() const { return std::max(capacity_, Count()); }

void TStringList::SetCapacity(int capacity) {
  if (capacity < Count()) throw EStringListError("List capacity out of bounds (" + std::to_string(capacity) + ")");
  capacity_ = capacity;
  items_.reserve(static_cast<std::size_t>(std::min(capacity, Count() + 65536)));
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}
