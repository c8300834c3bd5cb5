#include "grid/StringDualListLang.h"

#include <iterator>

#include "core/XmlNode.h"

namespace {

// The first direct child of that name, or null.
const TmyXmlNode* ChildNamed(const TmyXmlNode& node, const std::string& name) {
  for (const TmyXmlNode* c = node.firstChild; c != nullptr; c = c->next)
    if (c->name == name) return c;
  return nullptr;
}

}  // namespace

void TXmlTagList::Load(const TmyXmlNode* node, const std::string& tag) {
  texts_.clear();
  if (node == nullptr) return;
  for (const TmyXmlNode* c = node->firstChild; c != nullptr; c = c->next)
    if (c->name == tag) texts_.push_back(c->value);
}

std::string TXmlTagList::Text(int index) const {
  return index >= 0 && index < Count() ? texts_[static_cast<std::size_t>(index)] : std::string();
}

TStringDualListLang::TStringDualListLang(int editorCode, const int codes[kLangSlots], bool sorted)
    : TStringDualList(sorted) {
  for (int i = 0; i < kLangSlots; ++i) {
    codes_[i] = codes != nullptr ? codes[i] : 0;
    if (codes_[i] == editorCode) editorSlot_ = i;
  }
}

int TStringDualListLang::SlotOfCode(int code) const {
  for (int i = 0; i < kLangSlots; ++i)
    if (codes_[i] == code) return i;
  return -1;
}

int TStringDualListLang::Add(const std::string& key, const std::string& text) {
  std::array<std::string, kLangSlots> texts;
  texts[editorSlot_] = text;
  return AddTexts(key, texts);
}

int TStringDualListLang::AddTexts(const std::string& key, const std::array<std::string, kLangSlots>& texts) {
  bool added = false;
  const int index = AddKey(key, added);
  if (added) texts_.insert(std::next(texts_.begin(), index), TLangArray{texts});
  return index;
}

void TStringDualListLang::Clear() {
  texts_.clear();
  ClearKeys();
}

const TLangArray* TStringDualListLang::GetTexts(int index) const {
  if (index < 0 || index >= static_cast<int>(texts_.size())) return nullptr;
  return &texts_[static_cast<std::size_t>(index)];
}

std::string TStringDualListLang::GetValue(int index) const {
  const TLangArray* texts = GetTexts(index);
  return texts != nullptr ? texts->texts[editorSlot_] : std::string();
}

void TStringDualListLang::LoadFromXml(const TmyXmlNode* node) {
  if (node == nullptr || node->name != "object") return;
  std::array<TXmlTagList, kLangSlots> slots;
  bool useLanguages = false;
  if (const TmyXmlNode* lang = ChildNamed(*node, "lang")) {
    for (int i = 0; i < kLangSlots; ++i) {
      if (codes_[i] == 0) continue;
      const std::string code = std::to_string(codes_[i]);
      const TmyXmlNode* options = nullptr;
      for (const TmyXmlNode* c = lang->firstChild; c != nullptr && options == nullptr; c = c->next)
        if (c->name == "options" && c->FindAttr("code") != nullptr && c->GetAttr("code") == code) options = c;
      if (options != nullptr) slots[i].Load(options, "option");
      if (i == editorSlot_) useLanguages = options != nullptr;
    }
  }
  const TmyXmlNode* dropdown = ChildNamed(*node, "dropdown");
  if (dropdown == nullptr) return;
  int k = 0;
  for (const TmyXmlNode* c = dropdown->firstChild; c != nullptr; c = c->next) {
    if (c->name != "option") continue;
    if (useLanguages) {
      std::array<std::string, kLangSlots> texts;
      for (int i = 0; i < kLangSlots; ++i) texts[i] = slots[i].Text(k);
      AddTexts(c->GetAttr("value"), texts);
    } else {
      Add(c->GetAttr("value"), c->value);
    }
    ++k;
  }
}

void TStringDualListLang::SaveToXml(TmyXmlNode* node) const {
  if (node == nullptr || node->name != "object") return;
  if (TmyXmlNode* lang = node->FindChild("lang")) {
    lang->DeleteChildrenByName("options");
    for (int i = 0; i < kLangSlots; ++i) {
      if (codes_[i] == 0) continue;
      TmyXmlNode* options = lang->AddChild("options");
      options->SetAttr("code", std::to_string(codes_[i]));
      for (const TLangArray& entry : texts_) options->AddChild("option")->value = entry.texts[i];
    }
  }
  if (TmyXmlNode* dropdown = node->FindChild("dropdown")) {
    dropdown->DeleteChildrenByName("option");
    for (int e = 0; e < Count(); ++e) {
      TmyXmlNode* option = dropdown->AddChild("option");
      option->SetAttr("value", GetKey(e));
      option->value = GetValue(e);
    }
  }
}

void TStringDualListLang::CopyEditorTexts(TStringDualList& plain) const {
  plain.Clear();
  for (int e = 0; e < Count(); ++e) plain.Add(GetKey(e), GetValue(e));
}

void TStringDualListLang::CopyLanguageTexts(int code, TStringDualList& plain) const {
  plain.Clear();
  const int slot = SlotOfCode(code);
  if (slot < 0) return;
  for (int e = 0; e < Count(); ++e) plain.Add(GetKey(e), texts_[static_cast<std::size_t>(e)].texts[slot]);
}
