#include "platform/vcl/RadioButton.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/win/VirtualKeys.h"

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 113, 17);
  SetTabStop(false);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  // Only the checked button of a group is a tab stop.
  SetTabStop(value);
  Invalidate();
  if (!value) return;
  if (TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
      if (sibling != nullptr && sibling != this) sibling->SetChecked(false);
    }
  }
  if (!ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TRadioButton::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_LBUTTONUP && (ControlState & csClicked)) {
    // A click checks the button; checking fires OnClick.
    ControlState &= ~static_cast<unsigned>(csClicked);
    if (PtInRect(ClientRect(), {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)})) SetChecked(true);
  }
  TButtonControl::Dispatch(message);
}

void TRadioButton::DoEnter() {
  TButtonControl::DoEnter();
  // The arrow keys move through a group and check what they reach.
  if (!FocusingByMouse() &&
      (GetKeyState(VK_UP) < 0 || GetKeyState(VK_DOWN) < 0 || GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0))
    SetChecked(true);
}

void TRadioButton::KeyUp(WORD& key, TShiftState shift) {
  TButtonControl::KeyUp(key, shift);
  if (key == VK_SPACE && shift == 0) SetChecked(true);
}

void TRadioButton::Paint() {
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  constexpr int kGap = 5;  // between the mark and the caption
  const bool markLeft = alignment_ == taRightJustify;
  const int markX = markLeft ? 0 : static_cast<int>(r.Width()) - kRadioMarkSize;
  DrawRadioButtonFrame(canvas, markX, static_cast<int>((r.Height() - kRadioMarkSize) / 2), checked_, Enabled());
  canvas->Brush->Color = Color();
  canvas->Pen->Color = clBlack;
  const TRect text =
      markLeft ? Rect(kRadioMarkSize + kGap, r.Top, r.Right, r.Bottom) : Rect(0, r.Top, markX - kGap + 1, r.Bottom);
  DrawMarkCaption(canvas, text, Caption(), Enabled(), Focused());
}
