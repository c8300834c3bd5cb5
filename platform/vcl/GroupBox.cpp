#include "platform/vcl/GroupBox.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Painting.h"

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle |= csAcceptsControls | csSetCaption;
  SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight() const {
  TCanvas measure;
  measure.Font->Assign(*const_cast<TCustomGroupBox*>(this)->Font());
  return measure.TextHeight("0");
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) const {
  const int h = CaptionHeight();
  rect = Rect(rect.Left + 2, rect.Top + h, rect.Right - 2, rect.Bottom - 2);
  if (rect.Right < rect.Left) rect.Right = rect.Left;
  if (rect.Bottom < rect.Top) rect.Bottom = rect.Top;
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  const int h = canvas->TextHeight("0");
  TRect frame = Rect(0, h / 2 - 1, Width(), Height());
  DrawEdge(canvas, frame, TEdge::Etched);
  if (!Caption().empty()) {
    const int w = canvas->TextWidth(Caption());
    const TRect text = Rect(8, 0, 8 + w + 2, h);
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = Color();
    canvas->FillRect(text);
    TTextStyle style;
    style.disabled = !Enabled();
    DrawTextInRect(canvas, Rect(9, 0, text.Right, h), Caption(), style);
  }
}
