#include "platform/vcl/CheckBox.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Painting.h"
#include "platform/win/VirtualKeys.h"

namespace {
constexpr int kBoxSize = 13;
}

void DrawCheckBoxFrame(TCanvas* canvas, int x, int y, TCheckBoxState state, bool enabled) {
  TRect r = Bounds(x, y, kBoxSize, kBoxSize);
  DrawEdge(canvas, r, TEdge::Sunken);
  if (state == cbGrayed)
    FillDithered(canvas, r, clBtnFace, clBtnHighlight);
  else {
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = enabled ? clWindow : clBtnFace;
    canvas->FillRect(r);
  }
  if (state == cbUnchecked) return;
  // The tick: seven columns, three pixels high, down then up.
  const TColor mark = (state == cbGrayed || !enabled) ? clBtnShadow : clWindowText;
  canvas->Brush->Color = mark;
  const int left = r.Left + 1, top = r.Top + 1;
  static const int kDrop[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) canvas->FillRect(Bounds(left + i, top + kDrop[i], 1, 3));
}

void DrawRadioButtonFrame(TCanvas* canvas, int x, int y, bool checked, bool enabled) {
  canvas->Pen->Width = 1;
  canvas->Pen->Style = psSolid;
  canvas->Brush->Style = bsSolid;
  // Outer ring: shadow above left, highlight below right; inner ring darker.
  canvas->Pen->Color = clBtnHighlight;
  canvas->Brush->Color = clBtnHighlight;
  canvas->Ellipse(x, y, x + 12, y + 12);
  canvas->Pen->Color = clBtnShadow;
  canvas->Brush->Color = clBtnShadow;
  canvas->Ellipse(x, y, x + 11, y + 11);
  canvas->Pen->Color = cl3DLight;
  canvas->Brush->Color = cl3DLight;
  canvas->Ellipse(x + 1, y + 1, x + 12, y + 12);
  canvas->Pen->Color = cl3DDkShadow;
  canvas->Brush->Color = cl3DDkShadow;
  canvas->Ellipse(x + 1, y + 1, x + 11, y + 11);
  canvas->Pen->Color = enabled ? clWindow : clBtnFace;
  canvas->Brush->Color = enabled ? clWindow : clBtnFace;
  canvas->Ellipse(x + 2, y + 2, x + 10, y + 10);
  if (checked) {
    canvas->Pen->Color = enabled ? clWindowText : clBtnShadow;
    canvas->Brush->Color = canvas->Pen->Color;
    canvas->Ellipse(x + 4, y + 4, x + 8, y + 8);
  }
}

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
  const int boxTop = static_cast<int>((r.Height() - kBoxSize) / 2);
  const bool right = alignment_ == taRightJustify;
  const int boxLeft = right ? 0 : static_cast<int>(r.Width()) - kBoxSize;
  TCheckBoxState shown = state_;
  DrawCheckBoxFrame(canvas, boxLeft, boxTop, shown, Enabled());
  canvas->Brush->Color = Color();
  const int textHeight = canvas->TextHeight("Wg");
  const int textWidth = canvas->TextWidth(Caption());
  const int textLeft = right ? kBoxSize + 4 : 0;
  const int textRight = right ? r.Right : boxLeft - 4;
  const int textTop = static_cast<int>((r.Height() - textHeight) / 2);
  TTextStyle style;
  style.disabled = !Enabled();
  DrawTextInRect(canvas, Rect(textLeft, textTop, textRight, textTop + textHeight), Caption(), style);
  if (Focused() && Enabled() && !Caption().empty()) {
    const int focusRight = std::min(textRight, textLeft + textWidth + 1);
    canvas->DrawFocusRect(Rect(textLeft - 1, textTop, focusRight + 1, textTop + textHeight));
  }
}
