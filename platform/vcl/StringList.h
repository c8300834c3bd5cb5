#pragma once
// TStringList of the class library (unit Classes): an ordered list of 8-bit
// texts, each with an attached object pointer.
//
// Objects are plain pointers (void*), as the class library's TObject slots
// were used: the list neither owns nor frees them; whoever attaches objects
// frees them (for example FreeListItems for the stamp list's records).
//
// Texts compare without regard to letter case (ASCII letters folded), as the
// class library's AnsiCompareText did for the texts the system keeps here;
// a sorted list keeps that order and finds items by binary search.

#include <string>
#include <string_view>
#include <vector>

#include "platform/vcl/SysUtilsException.h"

// Raised for an index outside the list, an insert into a sorted list and a
// refused duplicate.
class EStringListError : public Exception {
 public:
  using Exception::Exception;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList {
 public:
  TStringList() = default;
  virtual ~TStringList() = default;
  TStringList(const TStringList&) = default;
  TStringList& operator=(const TStringList&) = default;

  int Count() const { return static_cast<int>(FItems.size()); }

  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  // Replaces the text of an item (a sorted list is not re-sorted, as before).
  void SetStrings(int index, const std::string& text);
  void* Objects(int index) const;
  void SetObjects(int index, void* object);

  // Appends, or in a sorted list inserts at its place, and returns the index.
  // In a sorted list a text that is there already (letter case aside) is
  // handled by Duplicates: dupIgnore returns the existing item's index and
  // stores nothing (the object passed to AddObject is not attached: the
  // caller keeps it), dupError raises EStringListError, dupAccept adds it.
  int Add(const std::string& text);
  int AddObject(const std::string& text, void* object);
  // Inserts at an index (0 to Count); refused in a sorted list.
  void Insert(int index, const std::string& text);
  void InsertObject(int index, const std::string& text, void* object);
  void Delete(int index);
  void Clear();

  // In a sorted list: binary search; true and the item's index when found,
  // else false and the index where it would be inserted. In an unsorted list:
  // the first equal item, else false and Count.
  bool Find(const std::string& text, int& index) const;
  // The index of the first item equal to the text (letter case aside), or -1.
  int IndexOf(const std::string& text) const;

  bool Sorted() const { return FSorted; }
  // Turning sorting on sorts the list (duplicates stay).
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates duplicates) { FDuplicates = duplicates; }
  void Sort();

  // Every item followed by CR LF.
  std::string Text() const;
  // Replaces the items by the lines of the text; lines end at CR LF, LF or CR,
  // and a last line without a line end counts when it is not empty.
  void SetText(std::string_view text);

  // -1, 0 or 1 as a sorts before, with or after b (letter case aside).
  static int CompareStrings(std::string_view a, std::string_view b);

 private:
  struct Item {
    std::string text;
    void* object = nullptr;
  };
  void CheckIndex(int index) const;
  int InsertSorted(const std::string& text, void* object);

  std::vector<Item> FItems;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
};
