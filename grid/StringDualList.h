#pragma once
// TStringDualList: an ordered map of key texts to value texts (placeholders,
// the project's picture list, drop-down options), with its XML forms. Keys
// compare without regard to letter case; a sorted list keeps them in the
// string list's order, an unsorted one in insertion order.

#include <string>
#include <vector>

#include "platform/vcl/StringList.h"

class TComboBox;
class TmyXmlNode;

class TStringDualList {
 public:
  explicit TStringDualList(bool sorted);
  virtual ~TStringDualList() = default;
  TStringDualList(const TStringDualList&) = delete;
  TStringDualList& operator=(const TStringDualList&) = delete;

  // A new key is added with its value and its index returned; an existing key
  // keeps its value and answers its index.
  virtual int Add(const std::string& key, const std::string& value);
  virtual void Clear();
  // Adds the entries of a `placeholders`, `images` or `dropdown` element;
  // other names and a null node add nothing. Nothing is cleared first.
  virtual void LoadFromXml(const TmyXmlNode* node);
  // Only for `dropdown` and `select`: the `option` children are replaced by one
  // per entry (attribute `value` = key, text = value).
  virtual void SaveToXml(TmyXmlNode* node) const;

  void ClearAndLoad(const TmyXmlNode* node);

  int Count() const { return keys_.Count(); }
  bool Find(const std::string& key, std::string& value) const;
  int IndexOf(const std::string& key) const;
  // The value of the key, or the key itself when it is absent.
  std::string Lookup(const std::string& key) const;
  // The combo box's items := the value texts in list order (one update).
  void FillStrings(TComboBox* combo) const;
  // Empty for an index out of range.
  std::string GetKey(int index) const;
  // The value text of an entry (the editor language's text in a language list).
  virtual std::string GetValue(int index) const;

 protected:
  // Appends or inserts the key (sorted lists keep their order) and answers
  // its index; `added` is false when the key was there already (its index is
  // answered and nothing changes). The caller keeps its values in step: a
  // value for an added key goes to the same index.
  int AddKey(const std::string& key, bool& added);
  void ClearKeys() { keys_.Clear(); }

 private:
  // The keys in list order; values_ holds the value of keys_[i] at i.
  TStringList keys_;
  std::vector<std::string> values_;
};
