#include "project/FormVarNameReplace.h"

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "project/DialogControls.h"
#include "project/VariableListDialog.h"
#include "properties/DesignerContext.h"
#include "properties/MyEdit.h"

namespace {

constexpr const char* kSection = "FormVarNameReplace";
constexpr int kMinSize = 386;
constexpr int kInitialWidth = 480;
constexpr int kInitialHeight = 420;
constexpr int kListTop = 116;
constexpr int kButtonsUp = 73;
constexpr int kListShorter = 193;
constexpr int kMarkerWidth = 20;
constexpr int kNameWidth = 200;

constexpr int kCaptionId = 7320;  // "Replace part of variables names"
constexpr int kFindId = 7321;
constexpr int kReplaceId = 7322;
constexpr int kVisibilityId = 7323;
constexpr int kFromBackId = 7324;
constexpr int kOriginalNameId = 7198;
constexpr int kNewNameId = 7199;
constexpr int kOkId = 2005;
constexpr int kCancelId = 2006;

}  // namespace

bool ReplaceOnce(std::string& text, const std::string& find, const std::string& replacement, bool fromBack) {
  if (replacement.empty()) return false;
  if (find.empty()) {
    text = fromBack ? text + replacement : replacement + text;
    return true;
  }
  const std::size_t at = fromBack ? text.rfind(find) : text.find(find);
  if (at == std::string::npos) return false;
  text.replace(at, find.size(), replacement);
  return true;
}

TFormVarNameReplace::TFormVarNameReplace(TComponent* owner) : TForm(owner) {
  SetName(kSection);
  SetBorderStyle(bsSizeable);
  SetPosition(poScreenCenter);
  SetWidth(kInitialWidth);
  SetHeight(kInitialHeight);
  Constraints.MinWidth = kMinSize;
  Constraints.MinHeight = kMinSize;
  // Unlike the other project dialogs, this one keeps the form's own font.
  const int width = ClientWidth() - 16;
  lblToFind = AddControl<TLabel>(this, this, "lblToFind", {8, 8, width, 15});
  edtToFind = AddControl<TmyEdit>(this, this, "edtToFind", {8, 24, width, 23});
  lblReplaceWith = AddControl<TLabel>(this, this, "lblReplaceWith", {8, 50, width, 15});
  edtReplaceWith = AddControl<TmyEdit>(this, this, "edtReplaceWith", {8, 66, width, 23});
  cbVisibility = AddControl<TCheckBox>(this, this, "cbVisibility", {8, 94, 220, 17});
  cbFromBack = AddControl<TCheckBox>(this, this, "cbFromBack", {236, 94, 160, 17});
  for (TControl* control : {static_cast<TControl*>(edtToFind), static_cast<TControl*>(edtReplaceWith)})
    control->SetAnchors(akLeft | akTop | akRight);
  lvVars = AddControl<TListView>(this, this, "lvVars", {8, kListTop, width, 200});
  lvVars->SetViewStyle(vsReport);
  lvVars->ReadOnly = true;
  lvVars->SetRowSelect(true);
  TListColumn* marker = lvVars->Columns()->Add();
  marker->SetCaption("*");
  marker->SetWidth(kMarkerWidth);
  for (int column = 0; column < 2; ++column) lvVars->Columns()->Add()->SetWidth(kNameWidth);
  AddOkCancelButtons(*this, Button1, Button2);
  Button1->OnClick = {this, &TFormVarNameReplace::Button1Click};
  edtToFind->OnChange = {this, &TFormVarNameReplace::edtChange};
  edtReplaceWith->OnChange = {this, &TFormVarNameReplace::edtChange};
  cbVisibility->OnClick = {this, &TFormVarNameReplace::edtChange};
  cbFromBack->OnClick = {this, &TFormVarNameReplace::edtChange};
  OnActivate = {this, &TFormVarNameReplace::FormActivate};
  OnShow = {this, &TFormVarNameReplace::FormShow};
  OnClose = {this, &TFormVarNameReplace::FormClose};
  AfterConstruction();
}

bool TFormVarNameReplace::Replaced(const TGridWebElement& object, std::string& reference) const {
  reference = cbVisibility->Checked() ? object.GetVisVariable() : object.GetVariable();
  return ReplaceOnce(reference, edtToFind->Text(), edtReplaceWith->Text(), cbFromBack->Checked());
}

void TFormVarNameReplace::FillPreview() {
  const int lastVisible = LastVisibleRow(*lvVars);
  lvVars->Items()->BeginUpdate();
  lvVars->Items()->Clear();
  for (const TGridWebElement* object : objects_) {
    std::string reference;
    const bool changed = Replaced(*object, reference);
    TListItem* row = lvVars->Items()->Add();
    row->SetCaption(changed ? "*" : " ");
    row->SubItems()->Add(cbVisibility->Checked() ? object->GetVisVariable() : object->GetVariable());
    row->SubItems()->Add(reference);
  }
  lvVars->Items()->EndUpdate();
  ShowRow(*lvVars, lastVisible);
}

void TFormVarNameReplace::Button1Click(TObject*) {
  if (Designer != nullptr) Designer->PushUndo();
  const bool visibility = cbVisibility->Checked();
  for (TGridWebElement* object : objects_) {
    std::string reference;
    if (!Replaced(*object, reference)) continue;
    SetVariableReference(*object, visibility, reference);
  }
  ModalResult = mrOk;
}

void TFormVarNameReplace::edtChange(TObject*) {
  if (!loading_) FillPreview();
}

void TFormVarNameReplace::FormActivate(TObject*) {
  SetCaption(GetUiText(kCaptionId));
  lblToFind->SetCaption(GetUiText(kFindId));
  lblReplaceWith->SetCaption(GetUiText(kReplaceId));
  cbVisibility->SetCaption(GetUiText(kVisibilityId));
  cbFromBack->SetCaption(GetUiText(kFromBackId));
  lvVars->Columns()->Items(1)->SetCaption(GetUiText(kOriginalNameId));
  lvVars->Columns()->Items(2)->SetCaption(GetUiText(kNewNameId));
  Button1->SetCaption(GetUiText(kOkId));
  Button2->SetCaption(GetUiText(kCancelId));
  FillPreview();
  PlaceVariableDialog(*this, *Button1, *Button2, *lvVars, kButtonsUp, kListTop, kListShorter);
  loading_ = false;
}

void TFormVarNameReplace::FormShow(TObject*) { ReadVariableDialogPlacement(kSection, *this, Designer); }

void TFormVarNameReplace::FormClose(TObject*, TCloseAction&) {
  WriteVariableDialogPlacement(kSection, *this, Designer);
}
