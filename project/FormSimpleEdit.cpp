#include "project/FormSimpleEdit.h"

#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "project/DialogControls.h"

namespace {

// The smallest client area of the window of 496 x 102.
constexpr int kClientWidth = 488;
constexpr int kClientHeight = 74;
constexpr int kTextOk = 2005;
constexpr int kTextCancel = 2006;

}  // namespace

TFormSimpleEdit::TFormSimpleEdit(TComponent* owner) : TForm(owner) {
  SetName("FormSimpleEdit");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  SetDialogFont(this);
  Edit1 = AddControl<TEdit>(this, this, "Edit1", {8, 8, kClientWidth - 16, 23});
  Edit1->SetAnchors(akLeft | akTop | akRight);
  Button1 = AddControl<TButton>(this, this, "Button1", {kClientWidth - 166, 42, 75, 25});
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button2 = AddControl<TButton>(this, this, "Button2", {kClientWidth - 83, 42, 75, 25});
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  OnActivate = {this, &TFormSimpleEdit::FormActivate};
  FormActivate(this);
  AfterConstruction();
}

void TFormSimpleEdit::FormActivate(TObject*) {
  Button1->SetCaption(GetUiText(kTextOk));
  Button2->SetCaption(GetUiText(kTextCancel));
}
