#include "grid/StringDualList.h"

#include "core/XmlNode.h"
#include "platform/vcl/ComboBox.h"

TStringDualList::TStringDualList(bool sorted) {
  FKeys.SetSorted(sorted);
  FKeys.SetDuplicates(dupIgnore);
}

TStringDualList::~TStringDualList() {
  for (int i = 0; i < FKeys.Count(); ++i) delete static_cast<std::string*>(FKeys.Objects(i));
  FKeys.Clear();
}

int TStringDualList::AddKey(const std::string& key, void* object, bool& added) {
  added = false;
  const int existing = IndexOf(key);
  if (existing >= 0) return existing;
  added = true;
  return FKeys.AddObject(key, object);
}

int TStringDualList::Add(const std::string& key, const std::string& value) {
  const int existing = IndexOf(key);
  if (existing >= 0) return existing;
  auto* text = new std::string(value);
  bool added = false;
  const int index = AddKey(key, text, added);
  if (!added) delete text;
  return index;
}

void TStringDualList::Clear() {
  for (int i = 0; i < FKeys.Count(); ++i) delete static_cast<std::string*>(FKeys.Objects(i));
  FKeys.Clear();
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
  if (FKeys.Sorted()) {
    int index = -1;
    return FKeys.Find(key, index) ? index : -1;
  }
  return FKeys.IndexOf(key);
}

std::string TStringDualList::Lookup(const std::string& key) const {
  std::string value;
  return Find(key, value) ? value : key;
}

std::string TStringDualList::GetKey(int index) const {
  if (index < 0 || index >= Count()) return {};
  return FKeys.Strings(index);
}

std::string TStringDualList::GetValue(int index) const {
  if (index < 0 || index >= Count()) return {};
  const auto* text = static_cast<const std::string*>(FKeys.Objects(index));
  return text != nullptr ? *text : std::string();
}

void TStringDualList::FillStrings(TComboBox* combo) const {
  if (combo == nullptr) return;
  TStrings* items = combo->Items();
  items->BeginUpdate();
  items->Clear();
  for (int i = 0; i < Count(); ++i) items->Add(GetValue(i));
  items->EndUpdate();
}
