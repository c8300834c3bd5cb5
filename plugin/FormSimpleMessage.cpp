#include "plugin/FormSimpleMessage.h"

#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Label.h"

namespace {

constexpr const char* kCaption = "Tarnwell";
constexpr int kClientWidth = 400;
constexpr int kClientHeight = 130;
constexpr int kMargin = 12;
constexpr int kMessageHeight = 40;
constexpr int kCheckBoxTop = 60;
constexpr int kCheckBoxHeight = 17;
constexpr int kButtonTop = 92;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kTextYes = 2003;
constexpr int kTextNo = 2004;
constexpr int kTextAskNextTime = 7127;

}  // namespace

TFormSimpleMessage::TFormSimpleMessage(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormSimpleMessage");
  SetCaption(kCaption);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  CreateComponents();
  AfterConstruction();
}

void TFormSimpleMessage::CreateComponents() {
  Message1 = new TLabel(this);
  Message1->SetName("Message1");
  Message1->SetParent(this);
  Message1->SetWordWrap(true);
  Message1->SetBounds(kMargin, kMargin, kClientWidth - 2 * kMargin, kMessageHeight);

  cbAskNextTime = new TCheckBox(this);
  cbAskNextTime->SetName("cbAskNextTime");
  cbAskNextTime->SetParent(this);
  cbAskNextTime->SetCaption(GetUiText(kTextAskNextTime));
  cbAskNextTime->SetBounds(kMargin, kCheckBoxTop, kClientWidth - 2 * kMargin, kCheckBoxHeight);

  const int noLeft = kClientWidth - kMargin - kButtonWidth;
  btnNo = new TButton(this);
  btnNo->SetName("btnNo");
  btnNo->SetParent(this);
  btnNo->SetCaption(GetUiText(kTextNo));
  btnNo->ModalResult = mrCancel;
  btnNo->Cancel = true;
  btnNo->SetBounds(noLeft, kButtonTop, kButtonWidth, kButtonHeight);

  btnYes = new TButton(this);
  btnYes->SetName("btnYes");
  btnYes->SetParent(this);
  btnYes->SetCaption(GetUiText(kTextYes));
  btnYes->ModalResult = mrOk;
  btnYes->SetDefault(true);
  btnYes->SetBounds(noLeft - kButtonGap - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
}
