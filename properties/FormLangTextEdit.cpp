#include "properties/FormLangTextEdit.h"

#include <memory>
#include <string>

#include "core/LanguageList.h"
#include "core/UiText.h"
#include "platform/vcl/Bevel.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Panel.h"
#include "properties/DesignerContext.h"

namespace {

constexpr int kRowHeight = 24;
constexpr int kTop = 26;
constexpr int kFormHeight = 462;

}  // namespace

TLangEditFrame::TLangEditFrame(TComponent* owner) : TFrame(owner) {
  SetBounds(0, 0, 300, kRowHeight);
  bvDefault = new TBevel(this);
  bvDefault->SetParent(this);
  bvDefault->SetBounds(0, 0, 300, kRowHeight);
  bvDefault->SetAlign(alClient);
  bvDefault->SetStyle(bsRaised);
  bvDefault->SetVisible(false);
  lblLanguage = new TLabel(this);
  lblLanguage->SetParent(this);
  lblLanguage->SetAutoSize(false);
  lblLanguage->SetAlignment(taRightJustify);
  lblLanguage->SetBounds(4, 5, 90, 16);
  lblLanguage->SetCaption("-");
  edtUserText = new TEdit(this);
  edtUserText->SetParent(this);
  edtUserText->SetBounds(100, 2, 194, 21);
  edtUserText->SetAnchors(akLeft | akTop | akRight);
  edtUserText->SetEnabled(false);
  edtUserText->SetColor(clBtnFace);
}

TFormLangTextEdit::TFormLangTextEdit(TComponent* owner) : TForm(owner) {
  Font()->Name = "Segoe UI";
  Font()->SetSize(9);
  SetPosition(poOwnerFormCenter);
  SetBounds(0, 0, 320, kFormHeight);
  Constraints.MinHeight = kFormHeight;
  Constraints.MaxHeight = kFormHeight;
  Constraints.MinWidth = 240;
  lblLanguague1 = new TLabel(this);
  lblLanguague1->SetParent(this);
  lblLanguague1->SetBounds(8, 6, 90, 16);
  lblText = new TLabel(this);
  lblText->SetParent(this);
  lblText->SetBounds(104, 6, 90, 16);
  for (int i = 0; i < kLangSlots; ++i) {
    auto* frame = new TLangEditFrame(this);
    frame->SetName("LangEditFrame" + std::to_string(i + 1));
    frame->SetParent(this);
    frame->SetBounds(0, kTop + i * kRowHeight, ClientWidth(), kRowHeight);
    frame->SetAnchors(akLeft | akTop | akRight);
    frame->form = this;
    frame->edtUserText->OnChange = {this, &TFormLangTextEdit::edtUserTextChange};
  }
  Panel0 = new TPanel(this);
  Panel0->SetParent(this);
  Panel0->SetAlign(alBottom);
  Panel0->SetHeight(40);
  Panel0->SetBevelOuter(bvNone);
  Button1 = new TButton(this);
  Button1->SetParent(Panel0);
  Button1->SetBounds(ClientWidth() - 170, 8, 75, 25);
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button2 = new TButton(this);
  Button2->SetParent(Panel0);
  Button2->SetBounds(ClientWidth() - 88, 8, 75, 25);
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  // The rows are the frames in creation order.
  int slot = 0;
  for (int i = 0; i < ComponentCount() && slot < kLangSlots; ++i)
    if (auto* frame = dynamic_cast<TLangEditFrame*>(Components(i))) rows[slot++] = frame;
  SetCaption(GetUiText(8007));
  lblLanguague1->SetCaption(GetUiText(8016));
  lblText->SetCaption(GetUiText(7045));
  Button1->SetCaption(GetUiText(2005));
  Button2->SetCaption(GetUiText(2006));
}

void TFormLangTextEdit::LoadTexts(const std::array<std::string, kLangSlots>& texts) {
  for (int slot = 0; slot < kLangSlots; ++slot) {
    TLangEditFrame* row = rows[slot];
    const int index = designer != nullptr ? designer->GetLanguageListIndex(slot) : 0;
    if (index >= 1 && index <= kLanguageListCount) {
      row->lblLanguage->SetCaption(LanguageIndexName(index));
      row->edtUserText->SetEnabled(true);
      row->edtUserText->SetColor(clWindow);
    }
    row->edtUserText->SetText(texts[slot]);
    row->edtUserText->Tag = 0;
    row->bvDefault->SetVisible(slot == editorSlot);
  }
}

void TFormLangTextEdit::GetChangedFlags(std::array<bool, kLangSlots>& flags) const {
  for (int slot = 0; slot < kLangSlots; ++slot) flags[slot] = flags[slot] || rows[slot]->edtUserText->Tag != 0;
}

void TFormLangTextEdit::StoreTexts(std::array<std::string, kLangSlots>& texts) const {
  for (int slot = 0; slot < kLangSlots; ++slot)
    if (rows[slot]->edtUserText->Tag != 0) texts[slot] = rows[slot]->edtUserText->Text();
}

void TFormLangTextEdit::edtUserTextChange(TObject* sender) {
  if (auto* edit = dynamic_cast<TComponent*>(sender)) edit->Tag = 1;
}

bool RunLangTextEditor(TComponent* owner, TDesignerContext& designer, int editorSlot,
                       std::array<std::string, kLangSlots>& texts, std::array<bool, kLangSlots>& changed) {
  auto editor = std::make_unique<TFormLangTextEdit>(owner);
  editor->designer = &designer;
  editor->editorSlot = editorSlot;
  editor->LoadTexts(texts);
  if (editor->ShowModal() != mrOk) return false;
  editor->GetChangedFlags(changed);
  editor->StoreTexts(texts);
  return true;
}
