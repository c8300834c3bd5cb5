#include "project/FormLangProperties.h"

#include "core/LanguageList.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/RadioButton.h"
#include "platform/win/MessageBox.h"
#include "project/DialogControls.h"
#include "properties/DesignerContext.h"

namespace {

constexpr int kHeaderTop = 36;
constexpr int kRowsTop = 58;
constexpr int kClientWidth = TLangFrame::kWidth + 16;
constexpr int kClientHeight = kRowsTop + kLanguageRows * TLangFrame::kHeight + 48;

enum TLanguagesTextId : int {
  kFormId = 8007,
  kLanguageId = 8016,
  kActiveId = 8014,
  kEnableId = 7213,
  kSwitchWarningId = 7214,
  kWarningId = 2038,
  kOkId = 2005,
  kCancelId = 2006,
};

}  // namespace

TLangFrame::TLangFrame(TComponent* owner) : TFrame(owner) {
  SetBounds(0, 0, kWidth, kHeight);
  lblPriority = AddControl<TLabel>(this, this, "lblPriority", {8, 5, 30, 15});
  cbLanguage1 = AddControl<TComboBox>(this, this, "cbLanguage1", {40, 1, 200, 23});
  cbLanguage1->SetStyle(csDropDownList);
  cbLanguage1->Items()->Add("");
  for (int i = 1; i <= kLanguageListCount; ++i) cbLanguage1->Items()->Add(LanguageIndexName(i));
  cbLanguage1->OnChange = {this, &TLangFrame::cbLanguage1Change};
  cbActiveInEditor1 = AddControl<TRadioButton>(this, this, "cbActiveInEditor1", {310, 4, 17, 17});
  cbActiveInEditor1->OnClick = {this, &TLangFrame::cbActiveInEditor1Click};
  lblPriority->SetEnabled(false);
  cbLanguage1->SetEnabled(false);
  cbActiveInEditor1->SetEnabled(false);
}

void TLangFrame::Enable() {
  cbLanguage1->SetEnabled(true);
  cbActiveInEditor1->SetEnabled(true);
  lblPriority->SetEnabled(true);
}

void TLangFrame::Disable() {
  cbLanguage1->SetEnabled(false);
  cbActiveInEditor1->SetEnabled(false);
  lblPriority->SetEnabled(false);
  if (cbActiveInEditor1->Checked() && Form != nullptr) Form->MakeRowZeroEditor();
}

bool TLangFrame::IsEnabled() const { return cbLanguage1->Enabled(); }

void TLangFrame::SetSlot(int slot) {
  lblPriority->SetCaption(std::to_string(slot + 1) + ".");
  Slot = slot;
}

void TLangFrame::cbLanguage1Change(TObject*) {
  if (Form == nullptr) return;
  const int index = cbLanguage1->ItemIndex();
  if (index > 0) {
    for (const TLangFrame* other : Form->Rows) {
      if (other == this || !other->IsEnabled() || other->cbLanguage1->ItemIndex() != index) continue;
      // Taken by another row: the choice moves once, to the next language
      // (the previous one at the end of the list). It is not checked again:
      // with the last two entries taken elsewhere it would move back and
      // forth for ever.
      cbLanguage1->SetItemIndex(index < kLanguageListCount ? index + 1 : index - 1);
      return;
    }
    Form->EnableRowsFrom(Slot);
    cbActiveInEditor1->SetEnabled(true);
    return;
  }
  if (Slot == 0) {
    cbLanguage1->SetItemIndex(1);  // the first row always has a language
    cbLanguage1Change(cbLanguage1);
    return;
  }
  Form->DisableRowsAfter(Slot);
  cbActiveInEditor1->SetEnabled(false);
  if (cbActiveInEditor1->Checked()) Form->MakeRowZeroEditor();
}

void TLangFrame::cbActiveInEditor1Click(TObject*) {
  if (cbActiveInEditor1->Checked() && Form != nullptr) Form->UncheckOtherEditors(this);
}

TFormLangProperties::TFormLangProperties(TComponent* owner) : TForm(owner) {
  SetName("FormLangProperties");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  SetDialogFont(this);
  cbEnableLanguageMutations =
      AddControl<TCheckBox>(this, this, "cbEnableLanguageMutations", {16, 10, kClientWidth - 24, 19});
  cbEnableLanguageMutations->OnClick = {this, &TFormLangProperties::cbEnableLanguageMutationsClick};
  lblLanguague1 = AddControl<TLabel>(this, this, "lblLanguague1", {48, kHeaderTop, 200, 15});
  lblShowForEditing1 = AddControl<TLabel>(this, this, "lblShowForEditing1", {270, kHeaderTop, 140, 15});
  for (int i = 0; i < kLanguageRows; ++i) {
    auto* row = new TLangFrame(this);
    row->SetName("LangFrame" + std::to_string(i + 1));
    row->SetParent(this);
    row->SetLeft(8);
    row->SetTop(kRowsTop + i * TLangFrame::kHeight);
  }
  int found = 0;
  for (int i = 0; i < ComponentCount() && found < kLanguageRows; ++i) {
    auto* row = dynamic_cast<TLangFrame*>(Components(i));
    if (row == nullptr) continue;
    row->SetSlot(found);
    row->Form = this;
    Rows[static_cast<std::size_t>(found++)] = row;
  }
  const int bottom = kClientHeight - 36;
  btnClear = AddControl<TButton>(this, this, "btnClear", {8, bottom, 150, 25});
  btnClear->SetCaption("Clear not used languages");
  btnClear->SetVisible(false);
  Button1 = AddControl<TButton>(this, this, "Button1", {kClientWidth - 172, bottom, 75, 25});
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button1->OnClick = {this, &TFormLangProperties::Button1Click};
  Button2 = AddControl<TButton>(this, this, "Button2", {kClientWidth - 89, bottom, 75, 25});
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  SetCaption(GetUiText(kFormId));
  lblLanguague1->SetCaption(GetUiText(kLanguageId));
  lblShowForEditing1->SetCaption(GetUiText(kActiveId));
  cbEnableLanguageMutations->SetCaption(GetUiText(kEnableId));
  Button1->SetCaption(GetUiText(kOkId));
  Button2->SetCaption(GetUiText(kCancelId));
  OnShow = {this, &TFormLangProperties::FormShow};
  OnClose = {this, &TFormLangProperties::FormClose};
  AfterConstruction();
}

void TFormLangProperties::EnableRowsFrom(int first) {
  for (int i = first; i < kLanguageRows; ++i) {
    TLangFrame& row = *Rows[static_cast<std::size_t>(i)];
    row.Enable();
    if (row.cbLanguage1->ItemIndex() <= 0) break;
  }
}

void TFormLangProperties::DisableRowsAfter(int row) {
  for (int i = row + 1; i < kLanguageRows; ++i) Rows[static_cast<std::size_t>(i)]->Disable();
}

void TFormLangProperties::MakeRowZeroEditor() { Rows[0]->cbActiveInEditor1->SetChecked(true); }

void TFormLangProperties::UncheckOtherEditors(TLangFrame* row) {
  for (TLangFrame* other : Rows)
    if (other != row) other->cbActiveInEditor1->SetChecked(false);
}

void TFormLangProperties::LoadFromXml() {
  loading_ = true;
  EnabledAtLoad = LanguagesNode != nullptr && LanguagesNode->GetAttrInt("enabled", 0) != 0;
  cbEnableLanguageMutations->SetChecked(EnabledAtLoad);
  Rows[0]->Enable();
  TmyXmlNode* child = LanguagesNode != nullptr ? LanguagesNode->firstChild : nullptr;
  for (std::size_t i = 0; i < Rows.size(); ++i) {
    while (child != nullptr && child->name != "Language") child = child->next;
    if (child == nullptr) break;
    TLangFrame& row = *Rows[i];
    row.cbLanguage1->SetItemIndex(LangIdToLanguageIndex(child->GetAttrInt("Code", 0)));
    row.cbLanguage1Change(row.cbLanguage1);
    if (child->GetAttrInt("Editor", 0) != 0) row.cbActiveInEditor1->SetChecked(true);
    if (row.cbLanguage1->ItemIndex() > 0 && i + 1 < Rows.size()) Rows[i + 1]->Enable();
    child = child->next;
  }
  loading_ = false;
  cbEnableLanguageMutationsClick(cbEnableLanguageMutations);
}

void TFormLangProperties::cbEnableLanguageMutationsClick(TObject*) {
  if (loading_) return;
  if (!cbEnableLanguageMutations->Checked()) {
    for (TLangFrame* row : Rows) row->Disable();
    return;
  }
  EnableRowsFrom(0);
  if (!EnabledAtLoad && cbEnableLanguageMutations->Enabled()) {
    const std::string text = GetUiText(kSwitchWarningId);
    const std::string caption = GetUiText(kWarningId);
    MessageBox(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING | MB_TOPMOST);
  }
  cbEnableLanguageMutations->SetEnabled(false);
}

int TFormLangProperties::SaveToXml() {
  if (LanguagesNode == nullptr) {
    if (WebNode == nullptr) return 0;
    LanguagesNode = WebNode->AddChild("Languages");
  }
  LanguagesNode->SetAttrIntStr("enabled", cbEnableLanguageMutations->Checked() ? 1 : 0);
  int editorCode = 0;
  bool ended = false;  // rows after the first one without a language are not in use
  TmyXmlNode* child = LanguagesNode->firstChild;
  for (const TLangFrame* row : Rows) {
    while (child != nullptr && child->name != "Language") child = child->next;
    TmyXmlNode* language = child;
    if (language == nullptr) {
      language = LanguagesNode->AddChild("Language");
      language->closed = true;
    } else {
      child = child->next;
    }
    const int index = row->cbLanguage1->ItemIndex();
    if (index <= 0) ended = true;
    const int code = ended ? 0 : LanguageIndexToLangId(index);
    const bool editor = row->cbActiveInEditor1->Checked();
    language->SetAttrIntStr("Code", code);
    language->SetAttrIntStr("Editor", editor ? 1 : 0);
    if (editor) editorCode = code;
  }
  return editorCode;
}

void TFormLangProperties::Button1Click(TObject*) { RemapTexts(SaveToXml()); }

void TFormLangProperties::RemapTexts(int editorCode) {
  if (Designer == nullptr || WebNode == nullptr) return;
  const bool switchedOn = !EnabledAtLoad && cbEnableLanguageMutations->Checked();
  auto remap = [&](TmyXmlNode* node, bool isObject) {
    if (switchedOn) {
      if (isObject)
        Designer->CopyLangTexts(node, editorCode);
      else
        Designer->SetLangCaption(node, editorCode);
      return;
    }
    std::string text;
    if (Designer->GetLangTextIfAny(node, "caption", text, editorCode)) node->SetAttr("caption", text);
    if (!isObject || !Designer->GetLangTextIfAny(node, "optcap", text, editorCode)) return;
    if (TmyXmlNode* image = node->FindChild("image")) image->SetAttr("optcap", text);
  };
  for (TmyXmlNode* group = WebNode->firstChild; group != nullptr; group = group->next) {
    if (group->name != "group") continue;
    remap(group, false);
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page") continue;
      remap(page, false);
      for (TmyXmlNode* object = page->firstChild; object != nullptr; object = object->next)
        if (object->name == "object") remap(object, true);
    }
  }
}

void TFormLangProperties::FormShow(TObject*) {
  TmyXmlNode* placement = PlacementNode != nullptr ? PlacementNode->FindChild("LanguagesProp") : nullptr;
  if (placement == nullptr) return;
  SetBounds(placement->GetAttrInt("Left", Left()), placement->GetAttrInt("Top", Top()),
            placement->GetAttrInt("Width", Width()), placement->GetAttrInt("Height", Height()));
}

void TFormLangProperties::FormClose(TObject*, TCloseAction&) {
  if (PlacementNode == nullptr) return;
  TmyXmlNode* placement = PlacementNode->FindChild("LanguagesProp");
  if (placement == nullptr) {
    placement = PlacementNode->AddChild("LanguagesProp");
    placement->closed = true;
  }
  placement->SetAttrIntStr("Height", Height());
  placement->SetAttrIntStr("Width", Width());
  placement->SetAttrIntStr("Top", Top());
  placement->SetAttrIntStr("Left", Left());
}
