#include "platform/vcl/RadioButton.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Painting.h"
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
  const bool right = alignment_ == taRightJustify;
  const int boxLeft = right ? 0 : static_cast<int>(r.Width()) - 12;
  DrawRadioButtonFrame(canvas, boxLeft, static_cast<int>((r.Height() - 12) / 2), checked_, Enabled());
  canvas->Brush->Color = Color();
  canvas->Pen->Color = clBlack;
  const int textHeight = canvas->TextHeight("Wg");
  const int textLeft = right ? 17 : 0;
  const int textRight = right ? r.Right : boxLeft - 4;
  const int textTop = static_cast<int>((r.Height() - textHeight) / 2);
  TTextStyle style;
  style.disabled = !Enabled();
  DrawTextInRect(canvas, Rect(textLeft, textTop, textRight, textTop + textHeight), Caption(), style);
  if (Focused() && Enabled() && !Caption().empty()) {
    const int focusRight = std::min(textRight, textLeft + canvas->TextWidth(Caption()) + 1);
    canvas->DrawFocusRect(Rect(textLeft - 1, textTop, focusRight + 1, textTop + textHeight));
  }
}
