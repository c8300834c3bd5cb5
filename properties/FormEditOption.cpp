#include "properties/FormEditOption.h"

#include <algorithm>

#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/SysUtils.h"
#include "properties/FormLangTextEdit.h"

namespace {

constexpr TColor kLightRed = 0x8080FF;
constexpr int kBoxLeft = 120;
constexpr int kBoxRight = 320;
constexpr int kLabelGap = 8;

template <class T>
T* Place(TForm* form, int left, int top, int width, int height) {
  T* control = new T(form);
  control->SetParent(form);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

TFormEditOption::TFormEditOption(TComponent* owner) : TForm(owner) {
  Font()->Name = "Segoe UI";
  Font()->SetSize(9);
  SetBorderStyle(bsToolWindow);
  SetPosition(poOwnerFormCenter);
  SetClientWidth(360);
  SetClientHeight(150);
  lblCaption = Place<TLabel>(this, 8, 11, 110, 16);
  edtCaption = Place<TEdit>(this, kBoxLeft, 8, kBoxRight - kBoxLeft, 23);
  btLang1 = Place<TButton>(this, 324, 8, 26, 23);
  btLang1->SetCaption("...");
  btLang1->SetVisible(false);
  lblValue = Place<TLabel>(this, 8, 43, 110, 16);
  edtValue = Place<TEdit>(this, kBoxLeft, 40, kBoxRight - kBoxLeft, 23);
  lblDuplicate = Place<TLabel>(this, 8, 70, 344, 32);
  lblDuplicate->SetAutoSize(false);
  lblDuplicate->SetWordWrap(true);
  lblDuplicate->SetVisible(false);
  Button1 = Place<TButton>(this, 184, 115, 80, 25);
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button2 = Place<TButton>(this, 270, 115, 80, 25);
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  SetCaption(GetUiText(7317));
  lblCaption->SetCaption(GetUiText(2056));
  lblValue->SetCaption(GetUiText(7239));
  lblDuplicate->SetCaption(GetUiText(7325));
  Button1->SetCaption(GetUiText(2005));
  Button2->SetCaption(GetUiText(2006));
  AlignBoxesAfterLabels();
  edtValue->OnChange = {this, &TFormEditOption::edtValueChange};
  edtCaption->OnChange = {this, &TFormEditOption::edtCaptionChange};
  btLang1->OnClick = {this, &TFormEditOption::btLang1Click};
  OnActivate = {this, &TFormEditOption::edtValueChange};
}

void TFormEditOption::AlignBoxesAfterLabels() {
  // Both boxes start after the longer label (longer in some languages) and
  // keep their right edge.
  const int left = std::max({kBoxLeft, lblCaption->Left() + lblCaption->Width() + kLabelGap,
                             lblValue->Left() + lblValue->Width() + kLabelGap});
  for (TEdit* box : {edtCaption, edtValue}) box->SetBounds(left, box->Top(), kBoxRight - left, box->Height());
}

bool TFormEditOption::IsDuplicate() const {
  if (listView == nullptr) return false;
  const std::string value = AnsiUpperCase(edtValue->Text());
  TListItems* rows = listView->Items();
  for (int i = 0; i < rows->Count(); ++i) {
    if (Tag == 0 && i == editedRow) continue;
    TStrings* sub = rows->Item(i)->SubItems();
    if (sub->Count() > 0 && AnsiUpperCase(sub->Strings(0)) == value) return true;
  }
  return false;
}

void TFormEditOption::edtValueChange(TObject*) {
  const bool duplicate = IsDuplicate();
  edtValue->SetColor(duplicate ? kLightRed : clWindow);
  lblDuplicate->SetVisible(duplicate);
  Button1->SetEnabled(!duplicate);
}

void TFormEditOption::edtCaptionChange(TObject* sender) {
  if (auto* edit = dynamic_cast<TComponent*>(sender)) edit->Tag = 1;
  if (editorSlot < 0) return;
  texts[editorSlot] = edtCaption->Text();
  changed[editorSlot] = true;
}

void TFormEditOption::btLang1Click(TObject*) {
  if (designer == nullptr || !RunLangTextEditor(this, *designer, editorSlot, texts, changed) || editorSlot < 0) return;
  edtCaption->SetText(texts[editorSlot]);
}
