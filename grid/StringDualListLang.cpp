#include "grid/StringDualListLang.h"

#include "core/XmlNode.h"

void TXmlTagList::Load(const TmyXmlNode* node, const std::string& tag) {
  FTexts.Clear();
  if (node == nullptr) return;
  for (const TmyXmlNode* c = node->firstChild; c != nullptr; c = c->next)
    if (c->name == tag) FTexts.Add(c->value);
}

TStringDualListLang::TStringDualListLang(int editorCode, const int codes[kLangSlots], bool sorted)
    : TStringDualList(sorted), FEditorCode(editorCode), FEditorSlot(0) {
  for (int i = 0; i < kLangSlots; ++i) {
    FCodes[i] = codes != nullptr ? codes[i] : 0;
    if (FCodes[i] == editorCode) FEditorSlot = i;
  }
}

TStringDualListLang::~TStringDualListLang() { Clear(); }

int TStringDualListLang::Add(const std::string& key, const std::string& text) {
  std::array<std::string, kLangSlots> texts;
  texts[FEditorSlot] = text;
  return AddTexts(key, texts);
}

int TStringDualListLang::AddTexts(const std::string& key, const std::array<std::string, kLangSlots>& texts) {
  const int existing = IndexOf(key);
  if (existing >= 0) return existing;
  auto* entry = new TLangArray{texts};
  bool added = false;
  const int index = AddKey(key, entry, added);
  if (!added) delete entry;
  return index;
}

void TStringDualListLang::Clear() {
  for (int i = 0; i < Count(); ++i) delete static_cast<TLangArray*>(EntryObject(i));
  ClearKeys();
}

const TLangArray* TStringDualListLang::GetTexts(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return static_cast<const TLangArray*>(EntryObject(index));
}

std::string TStringDualListLang::GetValue(int index) const {
  const TLangArray* texts = GetTexts(index);
  return texts != nullptr ? texts->texts[FEditorSlot] : std::string();
}

void TStringDualListLang::LoadFromXml(const TmyXmlNode* node) {
  if (node == nullptr || node->name != "object") return;
  TXmlTagList slots[kLangSlots];
  bool useLanguages = false;
  const TmyXmlNode* lang = const_cast<TmyXmlNode*>(node)->FindChild("lang");
  if (lang != nullptr) {
    for (int i = 0; i < kLangSlots; ++i) {
      if (FCodes[i] == 0) continue;
      const std::string code = std::to_string(FCodes[i]);
      const TmyXmlNode* options = nullptr;
      for (const TmyXmlNode* c = lang->firstChild; c != nullptr; c = c->next)
        if (c->name == "options" && c->FindAttr("code") != nullptr && c->GetAttr("code") == code) {
          options = c;
          break;
        }
      if (options != nullptr) slots[i].Load(options, "option");
      if (i == FEditorSlot) useLanguages = options != nullptr;
    }
  }
  const TmyXmlNode* dropdown = const_cast<TmyXmlNode*>(node)->FindChild("dropdown");
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
      if (FCodes[i] == 0) continue;
      TmyXmlNode* options = lang->AddChild("options");
      options->SetAttr("code", std::to_string(FCodes[i]));
      for (int e = 0; e < Count(); ++e) options->AddChild("option")->value = GetTexts(e)->texts[i];
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
  int slot = -1;
  for (int i = 0; i < kLangSlots; ++i)
    if (FCodes[i] == code) {
      slot = i;
      break;
    }
  if (slot < 0) return;
  for (int e = 0; e < Count(); ++e) plain.Add(GetKey(e), GetTexts(e)->texts[slot]);
}
