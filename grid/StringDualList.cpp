#include "grid/StringDualList.h"

#include <iterator>

#include "core/XmlNode.h"
#include "platform/vcl/ComboBox.h"

TStringDualList::TStringDualList(bool sorted) {
  keys_.SetSorted(sorted);
  keys_.SetDuplicates(dupIgnore);
}

int TStringDualList::AddKey(const std::string& key, bool& added) {
  added = false;
  const int existing = IndexOf(key);
  if (existing >= 0) return existing;
  added = true;
  return keys_.Add(key);
}

int TStringDualList::Add(const std::string& key, const std::string& value) {
  bool added = false;
  const int index = AddKey(key, added);
  if (added) values_.insert(std::next(values_.begin(), index), value);
  return index;
}

void TStringDualList::Clear() {
  values_.clear();
  ClearKeys();
}

void TStringDualList::ClearAndLoad(const TmyXmlNode* node) {
  Clear();
  LoadFromXml(node);
}

void TStringDualList::LoadFromXml(const TmyXmlNode* node) {
  if (node == nullptr) return;
  if (node->name == "placeholders") {
    for (const TmyXmlNode* c = node->firstChild; c != nullptr; c = c->next)
      if (c->name == "alias") Add(c->GetAttr("name"), c->value);
  } else if (node->name == "images") {
    for (const TmyXmlNode* c = node->firstChild; c != nullptr; c = c->next)
      if (c->name == "img") Add(c->GetAttr("name"), c->GetAttr("longname") + "." + c->GetAttr("type"));
  } else if (node->name == "dropdown") {
    for (const TmyXmlNode* c = node->firstChild; c != nullptr; c = c->next)
      if (c->name == "option") Add(c->GetAttr("value"), c->value);
  }
}

void TStringDualList::SaveToXml(TmyXmlNode* node) const {
  if (node == nullptr || (node->name != "dropdown" && node->name != "select")) return;
  node->DeleteChildrenByName("option");
  for (int i = 0; i < Count(); ++i) {
    TmyXmlNode* option = node->AddChild("option");
    option->SetAttr("value", GetKey(i));
    option->value = GetValue(i);
  }
}

bool TStringDualList::Find(const std::string& key, std::string& value) const {
  const int index = IndexOf(key);
  if (index < 0) return false;
  value = GetValue(index);
  return true;
}

int TStringDualList::IndexOf(const std::string& key) const {
  if (keys_.Sorted()) {
    int index = -1;
    return keys_.Find(key, index) ? index : -1;
  }
  return keys_.IndexOf(key);
}

std::string TStringDualList::Lookup(const std::string& key) const {
  std::string value;
  return Find(key, value) ? value : key;
}

std::string TStringDualList::GetKey(int index) const {
  if (index < 0 || index >= Count()) return {};
  return keys_.Strings(index);
}

std::string TStringDualList::GetValue(int index) const {
  if (index < 0 || index >= static_cast<int>(values_.size())) return {};
  return values_[static_cast<std::size_t>(index)];
}

void TStringDualList::FillStrings(TComboBox* combo) const {
  if (combo == nullptr) return;
  TStrings* items = combo->Items();
  items->BeginUpdate();
  items->Clear();
  for (int i = 0; i < Count(); ++i) items->Add(GetValue(i));
  items->EndUpdate();
}
