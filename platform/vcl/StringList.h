#pragma once
// TStringList of the class library (unit Classes): an ordered list of 8-bit
// texts, each with an attached object pointer.
//
// Objects are plain pointers (void*), as the class library's TObject slots
// were used: the list neither owns nor frees them; whoever attaches objects
// frees them (for example FreeListItems for the stamp list's records).
//
// Texts compare without regard to letter case (ASCII letters folded), as the
// class library's AnsiCompareText did for the texts the system keeps here,
// or byte by byte with CaseSensitive; a sorted list keeps that order and
// finds items by binary search.

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

  int Count() const { return static_cast<int>(items_.size()); }

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
  // Removes every item; the capacity goes back to 0.
  void Clear();
  // Swaps two items (texts and objects), also in a sorted list.
  void Exchange(int index1, int index2);
  // Moves an item (text and object) to another index (both 0 to Count - 1);
  // refused in a sorted list. The list is unchanged when it is refused.
  void Move(int curIndex, int newIndex);

  // The number of items the list has room for without growing (at least
  // Count). Setting it below Count raises EStringListError; it is a hint,
  // and room is reserved for at most 65536 items at once.
  int Capacity() const;
  void SetCapacity(int capacity);

  // In a sorted list: binary search; true and the item's index when found,
  // else false and the index where it would be inserted. In an unsorted list:
  // the first equal item, else false and Count.
  bool Find(const std::string& text, int& index) const;
  // The index of the first item equal to the text (letter case aside), or -1.
  int IndexOf(const std::string& text) const;

  bool Sorted() const { return sorted_; }
  // Turning sorting on sorts the list (duplicates stay).
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  void Sort();
  // Whether texts compare with regard to letter case (Find, IndexOf,
  // IndexOfName, sorting); false by default. A sorted list is sorted again
  // when it changes.
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);

  // Every item followed by CR LF.
  std::string Text() const;
  // Replaces the items by the lines of the text; lines end at CR LF, LF or CR,
  // and a last line without a line end counts when it is not empty.
  void SetText(std::string_view text);

  // Reads the file's lines (as SetText) in place of the items; raises
  // EFOpenError "Cannot open file <name>" when it cannot be read (the list is
  // then unchanged).
  void LoadFromFile(const std::string& fileName);
  // Writes Text (every item followed by CR LF) as the file's new content,
  // through a temporary file, so a failed write leaves the old file whole;
  // raises EFCreateError "Cannot create file <name>" when it fails.
  void SaveToFile(const std::string& fileName) const;

  // The items as one line: items separated by Delimiter; an item that is
  // empty-but-alone, or holds a blank, a control character, the Delimiter or
  // the QuoteChar, is put in QuoteChar quotes (quotes inside doubled).
  std::string DelimitedText() const;
  // Replaces the items by those of such a line: items end at the Delimiter
  // or at a blank or control character (blanks around items are skipped); an
  // item that starts with QuoteChar runs to the matching quote (a doubled
  // quote stands for one; without a closing quote, to the end). Two
  // delimiters in a row give an empty item, and so does a delimiter at the
  // very end. The line ends at a NUL byte.
  void SetDelimitedText(std::string_view text);
  char Delimiter = ',';
  char QuoteChar = '"';
  // DelimitedText with ',' and '"', whatever Delimiter and QuoteChar are.
  std::string CommaText() const;
  void SetCommaText(std::string_view text);

  // Items of the form "name=value": the name of an item (the text before its
  // first '=', "" when it has none); the index of the first item with that
  // name (compared as the texts are), or -1; the value of the first item with
  // that name ("" when there is none). Setting a value replaces the first
  // such item's text, or adds "name=value"; setting "" deletes that item.
  std::string Names(int index) const;
  int IndexOfName(std::string_view name) const;
  std::string Values(std::string_view name) const;
  void SetValues(std::string_view name, std::string_view value);

  // -1, 0 or 1 as a sorts before, with or after b (letter case aside).
  static int CompareStrings(std::string_view a, std::string_view b);

 private:
  struct Item {
    std::string text;
    void* object = nullptr;
  };
  void CheckIndex(int index) const;
  int InsertSorted(const std::string& text, void* object);
  // CompareStrings, or a comparison of the bytes with CaseSensitive.
  int Compare(std::string_view a, std::string_view b) const;

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  int capacity_ = 0;
  TDuplicates duplicates_ = dupIgnore;
};
