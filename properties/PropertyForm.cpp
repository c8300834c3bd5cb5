#include "properties/PropertyForm.h"

#include <algorithm>

#include "core/HelpLink.h"
#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "grid/PlaceholderResolver.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Shape.h"
#include "platform/win/WindowMessages.h"
#include "properties/DesignerContext.h"
#include "properties/FormLangTextEdit.h"
#include "properties/MyEdit.h"
#include "properties/TextFit.h"
#include "properties/VariableBrowser.h"

TPropertyForm::TPropertyForm(TDesignerContext& designer, std::span<const TComponentRow> rows, int captionId)
    : TForm(designer.DialogOwner()), rows_(rows), captionId_(captionId), designer_(designer) {
  Font()->Name = "Segoe UI";
  Font()->SetSize(9);
  SetBorderStyle(bsDialog);
  SetPosition(poOwnerFormCenter);
  BuildComponents(*this, rows_);
  SetCaption(GetUiText(captionId_));
  ApplyCaptions(*this, rows_);
  // The background swatch of the layout is hatched (transparent).
  if (auto* back = dynamic_cast<TShape*>(FindComponent("shBack"))) back->SetBrushStyle(bsBDiagonal);
  // The visibility bit's caption is long in some languages: two lines.
  if (auto* label = dynamic_cast<TLabel*>(FindComponent("lblVisibility"))) {
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    const auto* box = dynamic_cast<TControl*>(FindComponent("edtVisVar"));
    label->SetBounds(label->Left(), label->Top(), box != nullptr ? box->Left() - label->Left() - 4 : 140, 32);
  }
}

TLangText* TPropertyForm::FindLangText(const std::string& attr) {
  for (TLangText& text : langTexts)
    if (text.attr == attr) return &text;
  return nullptr;
}

bool TPropertyForm::Flagged(const std::string& name) const {
  const TComponent* c = FindComponent(name);
  return c != nullptr && c->Tag != 0;
}

void TPropertyForm::Flag(const std::string& name) {
  if (!loaded) return;
  TComponent* c = FindComponent(name);
  if (c == nullptr) return;
  mixed_.erase(name);
  c->Tag = 1;
}

void TPropertyForm::MarkMixed(const std::string& name) { mixed_.insert(name); }

bool TPropertyForm::Mixed(const std::string& name) const { return mixed_.count(name) != 0; }

void TPropertyForm::ShowLangButtons(bool visible) {
  for (const TLangText& text : langTexts)
    if (auto* button = dynamic_cast<TControl*>(FindComponent(text.button))) button->SetVisible(visible);
}

void TPropertyForm::SyncEditorSlot() {
  if (editorSlot < 0) return;
  for (TLangText& text : langTexts) {
    auto* edit = dynamic_cast<TEdit*>(FindComponent(text.edit));
    if (edit == nullptr || edit->Text() == text.texts[editorSlot]) continue;
    text.texts[editorSlot] = edit->Text();
    text.changed[editorSlot] = true;
  }
}

void TPropertyForm::OnChange(TObject* sender) {
  if (!loaded) return;
  if (auto* box = dynamic_cast<TmyEdit*>(sender); box != nullptr && box->Normalising()) return;
  auto* component = dynamic_cast<TComponent*>(sender);
  if (component == nullptr) return;
  // Typing sets Modified; the dialog's own rewrite of the text clears it.
  if (auto* edit = dynamic_cast<TCustomEdit*>(sender); edit != nullptr && !edit->Modified && Mixed(edit->Name()))
    return;
  mixed_.erase(component->Name());
  component->Tag = 1;
}

void TPropertyForm::LangEditChange(TObject* sender) {
  auto* edit = dynamic_cast<TEdit*>(sender);
  if (!loaded || edit == nullptr) return;
  for (TLangText& text : langTexts) {
    if (text.edit != edit->Name() || editorSlot < 0) continue;
    text.texts[editorSlot] = edit->Text();
    text.changed[editorSlot] = true;
  }
  OnChange(sender);
}

void TPropertyForm::LangButtonClick(TObject* sender) {
  auto* button = dynamic_cast<TComponent*>(sender);
  if (button == nullptr) return;
  for (TLangText& text : langTexts) {
    if (text.button != button->Name()) continue;
    if (!RunLangTextEditor(this, designer_, editorSlot, text.texts, text.changed) || editorSlot < 0) return;
    auto* edit = dynamic_cast<TEdit*>(FindComponent(text.edit));
    if (edit == nullptr || edit->Text() == text.texts[editorSlot]) return;
    // The editor language's text, chosen in the language editor, is the
    // user's input also where the box showed that the objects differ.
    edit->SetText(text.texts[editorSlot]);
    Flag(text.edit);
    return;
  }
}

bool TPropertyForm::PickColour(TObject* sender) {
  auto* shape = dynamic_cast<TShape*>(sender);
  if (shape == nullptr) return false;
  TColorDialog* dialog = designer_.ColorDialog();
  dialog->Color = shape->Brush->Color;
  if (!dialog->Execute()) return false;
  shape->SetBrushColor(dialog->Color);
  return true;
}

void TPropertyForm::shFrontMouseUp(TObject* sender, TMouseButton, TShiftState, int, int) {
  if (PickColour(sender)) OnChange(sender);
}

void TPropertyForm::shBackMouseUp(TObject* sender, TMouseButton, TShiftState, int, int) {
  if (!PickColour(sender)) return;
  static_cast<TShape*>(sender)->SetBrushStyle(bsSolid);
  if (auto* transparent = dynamic_cast<TCheckBox*>(FindComponent("cbTransparent"))) transparent->SetChecked(false);
  OnChange(sender);
}

void TPropertyForm::cbTransparentClick(TObject* sender) {
  // While the dialog is filled the swatch keeps what the fill gave it (its
  // mixed look among them).
  auto* box = dynamic_cast<TCheckBox*>(sender);
  if (auto* shape = dynamic_cast<TShape*>(FindComponent("shBack")); loaded && shape != nullptr && box != nullptr)
    shape->SetBrushStyle(box->Checked() ? bsBDiagonal : bsSolid);
  OnChange(sender);
}

void TPropertyForm::ceOffExit(TObject* sender) {
  if (auto* box = dynamic_cast<TmyEdit*>(sender)) box->SetValue(std::max(0, box->GetValue()));
}

void TPropertyForm::seSecLevelExit(TObject* sender) {
  if (auto* box = dynamic_cast<TmyEdit*>(sender)) box->SetValue(std::clamp(box->GetValue(), 0, 9));
}

void TPropertyForm::seSizeCharExit(TObject* sender) {
  if (auto* box = dynamic_cast<TmyEdit*>(sender)) box->SetValue(std::max(2, box->GetValue()));
}

void TPropertyForm::NormaliseExit(TObject* sender) {
  if (auto* box = dynamic_cast<TmyEdit*>(sender)) box->GetValue();
}

void TPropertyForm::Button3Click(TObject*) { BrowseVariable(Get<TEdit>("edtVariable")); }
void TPropertyForm::btnVisClick(TObject*) { BrowseVariable(Get<TEdit>("edtVisVar")); }

void TPropertyForm::edtVariableChange(TObject* sender) {
  ShowVariableType(Get<TEdit>("edtVariable"), Get<TLabel>("lblType"));
  OnChange(sender);
}

void TPropertyForm::edtVisVarChange(TObject* sender) {
  ShowVariableType(Get<TEdit>("edtVisVar"), Get<TLabel>("lblVisType"));
  OnChange(sender);
}

void TPropertyForm::SetSecLevelEnabled(bool enabled) {
  if (auto* level = dynamic_cast<TControl*>(FindComponent("seSecLevel"))) level->SetEnabled(enabled);
  if (auto* label = dynamic_cast<TControl*>(FindComponent("Label3"))) label->SetEnabled(enabled);
}

void TPropertyForm::cbReadOnlyClick(TObject* sender) {
  SetSecLevelEnabled(!Get<TCheckBox>("cbReadOnly")->Checked());
  OnChange(sender);
}

void TPropertyForm::BrowseVariable(TEdit* edit) {
  std::string chosen;
  if (edit == nullptr || gVariableBrowser == nullptr || !gVariableBrowser(edit->Text(), chosen)) return;
  edit->SetText(chosen);
  Flag(edit->Name());
}

std::string TPropertyForm::Resolve(const std::string& reference) const {
  return ExpandPlaceholders(designer_.WebNameConvertor(), reference);
}

int TPropertyForm::ShowVariableType(TEdit* edit, TLabel* label) {
  const std::string resolved = Resolve(edit->Text());
  edit->Hint = resolved;
  TPinVariable info;
  LookUpGridVariable(resolved, info);
  if (label != nullptr) label->SetCaption(resolved + " : " + info.typeName);
  return info.typeCode;
}

void TPropertyForm::FormActivate(TObject*) {
  SetCaption(GetUiText(captionId_));
  ApplyCaptions(*this, rows_);
  FitControlsToTexts(*this);
}

void TPropertyForm::DoShow() {
  TForm::DoShow();
  FitControlsToTexts(*this);
}

void TTabOrderedForm::NoteSurfaceObject(TGridWebElement& element, int componentIndex) {
  element.FTabSeq = componentIndex;
  surfaceObjects.push_back(&element);
}

void TTabOrderedForm::AfterWriteBack() { Designer().RenumberTabOrder(surfaceObjects); }

void TPropertyForm::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowHelp(GetUiLanguageIndex(), "Tarnwell", "", "");
    return;
  }
  TForm::Dispatch(message);
}

void TPropertyForm::WireCommonHandlers() {
  for (const TPropertyBinding& b : Bindings()) {
    TComponent* c = FindComponent(b.control);
    if (auto* box = dynamic_cast<TEdit*>(c); box != nullptr && !box->OnChange)
      box->OnChange = {this, &TPropertyForm::OnChange};
    if (auto* check = dynamic_cast<TCheckBox*>(c); check != nullptr && !check->OnClick)
      check->OnClick = {this, &TPropertyForm::OnChange};
    if (auto* control = dynamic_cast<TControl*>(c);
        control != nullptr && (b.kind == TBindKind::RadioIndex) && !control->OnClick)
      control->OnClick = {this, &TPropertyForm::OnChange};
  }
  for (const TLangText& text : langTexts) {
    if (auto* edit = dynamic_cast<TEdit*>(FindComponent(text.edit)))
      edit->OnChange = {this, &TPropertyForm::LangEditChange};
    if (auto* button = dynamic_cast<TButton*>(FindComponent(text.button)))
      button->OnClick = {this, &TPropertyForm::LangButtonClick};
  }
  if (auto* s = dynamic_cast<TShape*>(FindComponent("shFront"))) s->OnMouseUp = {this, &TPropertyForm::shFrontMouseUp};
  if (auto* s = dynamic_cast<TShape*>(FindComponent("shBack"))) s->OnMouseUp = {this, &TPropertyForm::shBackMouseUp};
  if (auto* c = dynamic_cast<TCheckBox*>(FindComponent("cbTransparent")))
    c->OnClick = {this, &TPropertyForm::cbTransparentClick};
  for (const char* name : {"ceOffX", "ceOffY"})
    if (auto* e = dynamic_cast<TmyEdit*>(FindComponent(name))) e->OnExit = {this, &TPropertyForm::ceOffExit};
  if (auto* e = dynamic_cast<TmyEdit*>(FindComponent("seSecLevel"))) e->OnExit = {this, &TPropertyForm::seSecLevelExit};
  if (auto* e = dynamic_cast<TmyEdit*>(FindComponent("seSize"))) e->OnExit = {this, &TPropertyForm::NormaliseExit};
  if (auto* e = dynamic_cast<TmyEdit*>(FindComponent("seSizeChar"))) e->OnExit = {this, &TPropertyForm::seSizeCharExit};
  if (auto* e = dynamic_cast<TEdit*>(FindComponent("edtVariable")))
    e->OnChange = {this, &TPropertyForm::edtVariableChange};
  if (auto* e = dynamic_cast<TEdit*>(FindComponent("edtVisVar"))) e->OnChange = {this, &TPropertyForm::edtVisVarChange};
  if (auto* b = dynamic_cast<TButton*>(FindComponent("Button3"))) b->OnClick = {this, &TPropertyForm::Button3Click};
  if (auto* b = dynamic_cast<TButton*>(FindComponent("btnVis"))) b->OnClick = {this, &TPropertyForm::btnVisClick};
  if (auto* c = dynamic_cast<TCheckBox*>(FindComponent("cbReadOnly")))
    c->OnClick = {this, &TPropertyForm::cbReadOnlyClick};
  if (auto* ok = dynamic_cast<TButton*>(FindComponent("Button1"))) {
    ok->ModalResult = mrOk;
    ok->SetDefault(true);
  }
  if (auto* cancel = dynamic_cast<TButton*>(FindComponent("Button2"))) {
    cancel->ModalResult = mrCancel;
    cancel->Cancel = true;
  }
}

void TPropertyForm::OpenSwatchesOnPress() {
  for (const char* name : {"shFront", "shBack"}) {
    auto* swatch = Get<TShape>(name);
    swatch->OnMouseDown = swatch->OnMouseUp;
    swatch->OnMouseUp = nullptr;
  }
}

void RefreshVariableInfo(TGridWebElement& element) {
  LookUpGridVariable(element.GetResolvedVariable(), element.FVarInfo);
}

void RefreshVisVariableInfo(TGridWebElement& element) {
  LookUpGridVariable(element.GetResolvedVisVariable(), element.FVisInfo);
}
