// The texts of objects in every project language: the `lang` child of an
// `object` node holds one entry per text name and language code
// (<caption code="7">...</caption>); the plain attributes keep the editor's.

#include <string>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"

namespace {

TmyXmlNode* LangChild(TmyXmlNode* node) { return node != nullptr ? node->FindChild("lang") : nullptr; }

TmyXmlNode* FindEntry(TmyXmlNode* lang, const std::string& attr, int code) {
  const std::string codeText = std::to_string(code);
  for (TmyXmlNode* c = lang->firstChild; c != nullptr; c = c->next)
    if (c->name == attr && c->FindAttr("code") != nullptr && c->GetAttr("code") == codeText) return c;
  return nullptr;
}

TmyXmlNode* FindOrAddEntry(TmyXmlNode* lang, const std::string& attr, int code) {
  if (TmyXmlNode* entry = FindEntry(lang, attr, code)) return entry;
  TmyXmlNode* entry = lang->AddChild(attr);
  entry->SetAttr("code", std::to_string(code));
  return entry;
}

TmyXmlNode* FindOrInsertLang(TmyXmlNode* node) {
  if (TmyXmlNode* lang = LangChild(node)) return lang;
  return node->InsertFirstChild("lang");
}

}  // namespace

bool TFormDesign1::GetLangText(TmyXmlNode* node, const std::string& attr, std::string& text, int code) const {
  if (!FLangMutations) return false;
  TmyXmlNode* lang = LangChild(node);
  if (lang == nullptr) return false;
  const TmyXmlNode* entry = FindEntry(lang, attr, code);
  text = entry != nullptr ? entry->value : std::string();
  return true;
}

bool TFormDesign1::GetLangTextIfAny(TmyXmlNode* node, const std::string& attr, std::string& text, int code) const {
  if (!FLangMutations) return false;
  TmyXmlNode* lang = LangChild(node);
  if (lang == nullptr) return false;
  const TmyXmlNode* entry = FindEntry(lang, attr, code);
  if (entry == nullptr) return false;
  text = entry->value;
  return true;
}

void TFormDesign1::SetLangTextByCode(TmyXmlNode* node, const std::string& attr, const std::string& text, int code) {
  if (!FLangMutations || node == nullptr) return;
  FindOrAddEntry(FindOrInsertLang(node), attr, code)->value = text;
}

void TFormDesign1::SetLangTexts(const std::string& attr, TmyXmlNode* node, const std::string texts[kLangSlots],
                                const bool edited[kLangSlots]) {
  if (!FLangMutations || node == nullptr) return;
  TmyXmlNode* lang = FindOrInsertLang(node);
  for (int i = 0; i < kLangSlots; ++i) {
    if (FLangCodes[i] == 0 || !edited[i]) continue;  // empty slots are skipped, later ones still visited
    FindOrAddEntry(lang, attr, FLangCodes[i])->value = texts[i];
  }
}

void TFormDesign1::SetElementLangTexts(const std::string& attr, TGridWebElement* element,
                                       const std::string texts[kLangSlots], const bool edited[kLangSlots]) {
  if (element != nullptr) SetLangTexts(attr, element->GetXmlNode(), texts, edited);
}

int TFormDesign1::GetLangTexts(const std::string& attr, bool fill, std::string texts[kLangSlots],
                               TmyXmlNode* node) const {
  if (Document().LanguagesElement() == nullptr) return -1;
  int result = -1;
  for (int i = 0; i < kLangSlots && FLangCodes[i] != 0; ++i) {
    const int code = FLangCodes[i];
    if (code == FEditorLangCode) result = i;
    if (fill) {
      GetLangText(node, attr, texts[i], code);
    } else {
      std::string t;
      GetLangText(node, attr, t, code);
      if (texts[i] != t) texts[i].clear();
    }
  }
  return result;
}

bool TFormDesign1::SetLangCaption(TmyXmlNode* node, int code) {
  if (node == nullptr || LangChild(node) != nullptr) return false;
  TmyXmlNode* lang = node->InsertFirstChild("lang");
  FindOrAddEntry(lang, "caption", code)->value = node->GetAttr("caption");
  return true;
}

bool TFormDesign1::CopyLangTexts(TmyXmlNode* node, int code) {
  if (node == nullptr) return false;
  if (node->firstChild != nullptr && node->firstChild->name == "lang") return false;
  TmyXmlNode* kindElement = node->firstChild;
  TmyXmlNode* lang = node->InsertFirstChild("lang");
  if (kindElement == nullptr) return true;
  const std::string& kind = kindElement->name;
  if (kind == "label" || kind == "submit" || kind == "picture" || kind == "image" || kind == "imagebtn")
    FindOrAddEntry(lang, "caption", code)->value = node->GetAttr("caption");
  if (kind == "image") FindOrAddEntry(lang, "optcap", code)->value = kindElement->GetAttr("optcap");
  FindOrAddEntry(lang, "hint", code)->value = node->GetAttr("hint");
  return true;
}
