#include "designer/SimpleEditPrompt.h"

#include <memory>

#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"

namespace {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 80;
constexpr int kMargin = 10;
constexpr int kEditHeight = 21;
constexpr int kButtonTop = 44;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kTextOk = 2005;
constexpr int kTextCancel = 2006;

template <typename T>
T* Make(TDesignerSimpleEdit* form, const char* name) {
  auto* control = new T(form);
  control->SetName(name);
  control->SetParent(form);
  return control;
}

}  // namespace

TDesignerSimpleEdit::TDesignerSimpleEdit(TComponent* owner) : TForm(owner) {
  SetName("FormSimpleEdit");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  Edit1 = Make<TEdit>(this, "Edit1");
  Edit1->SetBounds(kMargin, kMargin, kClientWidth - 2 * kMargin, kEditHeight);
  const int cancelLeft = kClientWidth - kMargin - kButtonWidth;
  btnCancel = Make<TButton>(this, "btnCancel");
  btnCancel->SetCaption(GetUiText(kTextCancel));
  btnCancel->ModalResult = mrCancel;
  btnCancel->Cancel = true;
  btnCancel->SetBounds(cancelLeft, kButtonTop, kButtonWidth, kButtonHeight);
  btnOK = Make<TButton>(this, "btnOK");
  btnOK->SetCaption(GetUiText(kTextOk));
  btnOK->ModalResult = mrOk;
  btnOK->SetDefault(true);
  btnOK->SetBounds(cancelLeft - kButtonGap - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
  AfterConstruction();
}

bool RunSimpleEdit(TComponent* owner, const std::string& caption, std::string& text) {
  const auto form = std::make_unique<TDesignerSimpleEdit>(owner);
  form->SetCaption(caption);
  form->Edit1->SetText(text);
  if (form->ShowModal() != mrOk) return false;
  text = form->Edit1->Text();
  return true;
}
