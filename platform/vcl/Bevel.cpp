#include "platform/vcl/Bevel.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Painting.h"

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape value) {
  if (value == shape_) return;
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (value == style_) return;
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = Canvas();
  const TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  const int w = Width(), h = Height();
  canvas->Brush->Style = bsSolid;
  auto line = [&](TColor color, const TRect& r) {
    canvas->Brush->Color = color;
    canvas->FillRect(r);
  };
  switch (shape_) {
    case bsBox: {
      TRect r = Rect(0, 0, w, h);
      Frame3D(canvas, r, first, second, 1);
      break;
    }
    case bsFrame: {
      // Two frames, one pixel apart: a groove (lowered) or a ridge (raised).
      TRect outer = Rect(0, 0, w - 1, h - 1);
      TRect inner = Rect(1, 1, w, h);
      Frame3D(canvas, inner, second, second, 1);
      Frame3D(canvas, outer, first, first, 1);
      break;
    }
    case bsTopLine:
      line(first, Rect(0, 0, w, 1));
      line(second, Rect(0, 1, w, 2));
      break;
    case bsBottomLine:
      line(first, Rect(0, h - 2, w, h - 1));
      line(second, Rect(0, h - 1, w, h));
      break;
    case bsLeftLine:
      line(first, Rect(0, 0, 1, h));
      line(second, Rect(1, 0, 2, h));
      break;
    case bsRightLine:
      line(first, Rect(w - 2, 0, w - 1, h));
      line(second, Rect(w - 1, 0, w, h));
      break;
    case bsSpacer: break;
  }
}
