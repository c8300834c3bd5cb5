// TFormDesign1: the project's languages as the load reads them: the codes of
// the 15 language slots, the editor's language and whether texts are kept per
// language. Without them the page objects would be stored without their
// texts in the other languages.

#include <algorithm>
#include <iterator>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"

namespace {

// The language a project without any gets: Czech, as the editor's.
constexpr int kDefaultLanguageCode = 5;

}  // namespace

void TFormDesign1::LoadLanguages(TmyXmlNode* languages) {
  if (languages == nullptr) {
    TmyXmlNode* web = document_->Web();
    if (web == nullptr) return;
    languages = web->AddChild("Languages");
  }
  std::fill(std::begin(FLangCodes), std::end(FLangCodes), 0);
  int slot = 0;
  int editorSlot = -1;
  TmyXmlNode* editorElement = nullptr;
  TmyXmlNode* first = nullptr;
  for (TmyXmlNode* child = languages->firstChild; child != nullptr && slot < kLangSlots; child = child->next) {
    if (child->name != "Language") continue;
    if (first == nullptr) first = child;
    FLangCodes[slot] = child->GetAttrInt("Code", 0);
    if (child->GetAttrInt("Editor", 0) != 0) {
      editorSlot = slot;
      editorElement = child;
    }
    ++slot;
  }
  if (first == nullptr) {
    first = languages->AddChild("Language");
    first->closed = true;
    first->SetAttrIntStr("Code", kDefaultLanguageCode);
    first->SetAttrIntStr("Editor", 1);
    FLangCodes[0] = kDefaultLanguageCode;
  }
  if (editorElement == nullptr) {
    first->SetAttrIntStr("Editor", 1);
    editorElement = first;
    editorSlot = 0;
  }
  if (editorElement->FindAttr("Code") == nullptr) editorElement->SetAttrIntStr("Code", kDefaultLanguageCode);
  FLangMutations = languages->GetAttrInt("enabled", 0) != 0;
  SetEditorLanguage(FLangCodes[editorSlot]);
}

// The texts of the tree and the surface follow the new language when the
// languages command switches it; at the load the tree is filled afterwards.
void TFormDesign1::SetEditorLanguage(int code) { FEditorLangCode = code; }
