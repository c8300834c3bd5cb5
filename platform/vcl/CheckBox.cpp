#include "platform/vcl/CheckBox.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/win/VirtualKeys.h"

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == state_) return;
  state_ = value;
  Invalidate();
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(AllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_LBUTTONUP && (ControlState & csClicked)) {
    // The click of the user toggles; the toggle fires OnClick.
    ControlState &= ~static_cast<unsigned>(csClicked);
    if (PtInRect(ClientRect(), {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)})) Toggle();
  }
  TButtonControl::Dispatch(message);
}

void TCustomCheckBox::KeyUp(WORD& key, TShiftState shift) {
  TButtonControl::KeyUp(key, shift);
  if (key == VK_SPACE && shift == 0) Toggle();
}

void TCustomCheckBox::Paint() {
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  constexpr int kGap = 4;  // between the box and the caption
  const bool boxLeft = alignment_ == taRightJustify;
  const int boxX = boxLeft ? 0 : static_cast<int>(r.Width()) - kCheckMarkSize;
  DrawCheckBoxFrame(canvas, boxX, static_cast<int>((r.Height() - kCheckMarkSize) / 2), state_, Enabled());
  canvas->Brush->Color = Color();
  const TRect text =
      boxLeft ? Rect(kCheckMarkSize + kGap, r.Top, r.Right, r.Bottom) : Rect(0, r.Top, boxX - kGap, r.Bottom);
  DrawMarkCaption(canvas, text, Caption(), Enabled(), Focused());
}
