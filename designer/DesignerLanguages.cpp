// TFormDesign1: the project's languages as the load reads them: the codes of
// the 15 language slots, the editor's language and whether texts are kept per
// language. Without them the page objects would be stored without their
// texts in the other languages. Also the switch of the editor's language and
// the saving of one exported texts file.

#include <algorithm>
#include <iterator>

#include "base/ScopeExit.h"
#include "core/LanguageList.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/Streams.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/SysUtilsFormat.h"
#include "platform/vcl/TreeView.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"

namespace {

// The language a project without any gets: Czech, as the editor's.
constexpr int kDefaultLanguageCode = 5;
// "File '%s' already exists. Do you want to overwrite it?"
constexpr int kFileExistsTextId = 7152;

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

// The surface shows the objects' texts of the new language, the tree the
// captions of its groups and pages (a caption the language lacks is empty).
void TFormDesign1::SetEditorLanguage(int code) {
  FEditorLangCode = code;
  ClearDesignElements();
  if (FCurrentPage != nullptr && FCurrentPage->name == "page") LoadPage(FCurrentPage);
  tvPageList->Items()->BeginUpdate();
  ScopeExit endUpdate([this] { tvPageList->Items()->EndUpdate(); });
  for (TTreeNode* node = tvPageList->Items()->GetFirstNode(); node != nullptr; node = node->GetNext()) {
    auto* element = static_cast<TmyXmlNode*>(node->Data);
    std::string caption;
    if (element == nullptr || !GetLangText(element, "caption", caption, code)) continue;
    element->SetAttr("caption", caption);
    node->SetText(NodeText(element));
  }
  sbDesign1->Repaint();
}

int TFormDesign1::GetLanguageListIndex(int slot) const {
  if (slot < 0 || slot >= kLangSlots || FLangCodes[slot] == 0) return 0;
  return LangIdToLanguageIndex(FLangCodes[slot]);
}

bool TFormDesign1::SaveTextsFileConfirmed(TCustomForm* owner, const std::string& fileName, std::string& listText,
                                          TMemoryStream& stream) {
  if (FileExists(fileName)) {
    const std::string question = Format(GetUiText(kFileExistsTextId), ShownPath(fileName));
    const std::string caption = owner != nullptr ? owner->Caption() : std::string();
    if (MessageBox(owner != nullptr ? owner->Handle() : nullptr, question.c_str(), caption.c_str(),
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;
  }
  stream.SaveToFile(fileName);
  listText += "\r\n" + ShownPath(fileName);
  return true;
}
