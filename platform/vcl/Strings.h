#pragma once
// TStrings: the string list that controls hold (the items of list boxes,
// combo boxes and radio groups, the lines of memos). It is a TStringList
// that tells its owner about every change made through it, so that the
// control can repaint and rebuild what it shows; BeginUpdate and EndUpdate
// bundle many changes into one notice.

#include <functional>
#include <string>
#include <string_view>

#include "platform/vcl/StringList.h"

class TStrings : public TStringList {
 public:
  TStrings() = default;

  int Add(const std::string& text) { return Notify(TStringList::Add(text)); }
  int AddObject(const std::string& text, void* object) { return Notify(TStringList::AddObject(text, object)); }
  void Insert(int index, const std::string& text) { TStringList::Insert(index, text), Changed(); }
  void InsertObject(int index, const std::string& text, void* object) {
    TStringList::InsertObject(index, text, object), Changed();
  }
  void Delete(int index) { TStringList::Delete(index), Changed(); }
  void Clear() {
    if (Count() == 0) return;
    TStringList::Clear();
    Changed();
  }
  void SetStrings(int index, const std::string& text) { TStringList::SetStrings(index, text), Changed(); }
  void SetObjects(int index, void* object) { TStringList::SetObjects(index, object); }
  void SetText(std::string_view text) { TStringList::SetText(text), Changed(); }
  void SetSorted(bool sorted) { TStringList::SetSorted(sorted), Changed(); }
  void SetCaseSensitive(bool value) { TStringList::SetCaseSensitive(value), Changed(); }
  void SetDelimitedText(std::string_view text) { TStringList::SetDelimitedText(text), Changed(); }
  void SetCommaText(std::string_view text) { TStringList::SetCommaText(text), Changed(); }
  void SetValues(std::string_view name, std::string_view value) { TStringList::SetValues(name, value), Changed(); }
  void LoadFromFile(const std::string& fileName) { TStringList::LoadFromFile(fileName), Changed(); }
  void Sort() { TStringList::Sort(), Changed(); }
  // Replaces the items by those of another list (texts and objects).
  void Assign(const TStringList& source) {
    TStringList::Clear();
    for (int i = 0; i < source.Count(); ++i) TStringList::AddObject(source.Strings(i), source.Objects(i));
    Changed();
  }
  void AddStrings(const TStringList& source) {
    for (int i = 0; i < source.Count(); ++i) TStringList::AddObject(source.Strings(i), source.Objects(i));
    Changed();
  }
  // Moves an item (text and object) to another index; refused (with
  // EStringListError, the list unchanged) in a sorted list.
  void Move(int from, int to) {
    const std::string text = Strings(from);
    void* object = Objects(from);
    CheckMove(to);
    if (Sorted()) throw EStringListError("Operation not allowed on sorted list");
    TStringList::Delete(from);
    TStringList::InsertObject(to, text, object);
    Changed();
  }
  void Exchange(int a, int b) {
    const std::string ta = Strings(a), tb = Strings(b);
    void *oa = Objects(a), *ob = Objects(b);
    TStringList::SetStrings(a, tb), TStringList::SetObjects(a, ob);
    TStringList::SetStrings(b, ta), TStringList::SetObjects(b, oa);
    Changed();
  }

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && pending_) {
      pending_ = false;
      if (OnChange) OnChange();
    }
  }
  int UpdateCount() const { return updateCount_; }

  // Runs after every change (after the last EndUpdate for changes made in
  // between).
  std::function<void()> OnChange;

 private:
  int Notify(int index) {
    Changed();
    return index;
  }
  void CheckMove(int to) const {
    if (to < 0 || to >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(to) + ")");
  }
  void Changed() {
    if (updateCount_ > 0) {
      pending_ = true;
      return;
    }
    if (OnChange) OnChange();
  }

  int updateCount_ = 0;
  bool pending_ = false;
};
