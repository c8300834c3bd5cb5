#include "project/FormSimpleMessage.h"

#include <climits>

#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Label.h"
#include "project/DialogControls.h"

namespace {

constexpr const char* kCaption = "Tarnwell";
// Wider than the smallest window (470 x 140); wider still when the check
// box's text needs it in the UI language.
constexpr int kClientWidth = 540;
constexpr int kCheckTextRoom = 20;  // the box, its gap and the focus frame
constexpr int kClientHeight = 112;
constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonGap = 8;
constexpr int kTextYes = 2003;
constexpr int kTextNo = 2004;
constexpr int kTextAskNextTime = 7127;

}  // namespace

TFormSimpleMessage::TFormSimpleMessage(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormSimpleMessage");
  SetCaption(kCaption);
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  SetDialogFont(this);
  CreateComponents();
  AfterConstruction();
}

void TFormSimpleMessage::CreateComponents() {
  cbAskNextTime = AddControl<TCheckBox>(this, this, "cbAskNextTime", {kMargin, 50, kClientWidth - 2 * kMargin, 17});
  cbAskNextTime->SetCaption(GetUiText(kTextAskNextTime));
  FitWidthToTexts(*cbAskNextTime, {cbAskNextTime->Caption()}, kCheckTextRoom, cbAskNextTime->Width(), INT_MAX);
  const int clientWidth = cbAskNextTime->Width() + 2 * kMargin;
  SetClientWidth(clientWidth);
  Message1 = AddControl<TLabel>(this, this, "Message1", {kMargin, kMargin, clientWidth - 2 * kMargin, 34});
  Message1->SetWordWrap(true);
  const int noLeft = clientWidth - kMargin - kButtonWidth;
  Button1 = AddControl<TButton>(this, this, "Button1", {noLeft - kButtonGap - kButtonWidth, 78, kButtonWidth, 25});
  Button1->SetCaption(GetUiText(kTextYes));
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button2 = AddControl<TButton>(this, this, "Button2", {noLeft, 78, kButtonWidth, 25});
  Button2->SetCaption(GetUiText(kTextNo));
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
}
