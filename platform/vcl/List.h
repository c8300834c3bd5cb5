#pragma once
// TList of the class library (unit Classes): an ordered list of untyped
// pointers. The list never owns what its items point at.

#include <vector>

#include "platform/vcl/SysUtilsException.h"

// Raised for an index outside the list ("List index out of bounds (<i>)").
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// < 0, 0 or > 0 as item1 sorts before, with or after item2.
using TListSortCompare = int (*)(void* item1, void* item2);

class TList {
 public:
  TList() = default;
  virtual ~TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  void* Items(int index) const;
  void SetItems(int index, void* item);
  void* operator[](int index) const { return Items(index); }

  // Appends and answers the new item's index.
  int Add(void* item);
  // Inserts at an index from 0 to Count.
  void Insert(int index, void* item);
  void Delete(int index);
  // Deletes the first item equal to `item` and answers its index, or -1.
  int Remove(void* item);
  // The index of the first item equal to `item`, or -1.
  int IndexOf(void* item) const;
  void Clear();
  void Exchange(int index1, int index2);
  // Sorts by `compare`, keeping equal items in their order. A comparison
  // that contradicts itself gives some order, never a fault.
  void Sort(TListSortCompare compare);

 private:
  void CheckIndex(int index) const;

  std::vector<void*> items_;
};
