#include "platform/vcl/Bevel.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"

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
  const bool lowered = style_ == bsLowered;
  const int w = Width(), h = Height();
  switch (shape_) {
    case bsBox: {
      TRect r = Rect(0, 0, w, h);
      DrawBevel(canvas, r, lowered, 1);
      break;
    }
    case bsFrame: {
      // A groove (lowered) or a ridge (raised) all round.
      TRect r = Rect(0, 0, w, h);
      DrawEdge(canvas, r, lowered ? TEdge::Etched : TEdge::Bump);
      break;
    }
    case bsTopLine: DrawEdgeLine(canvas, 0, 0, w, true, lowered); break;
    case bsBottomLine: DrawEdgeLine(canvas, 0, h - 2, w, true, lowered); break;
    case bsLeftLine: DrawEdgeLine(canvas, 0, 0, h, false, lowered); break;
    case bsRightLine: DrawEdgeLine(canvas, w - 2, 0, h, false, lowered); break;
    case bsSpacer: break;
  }
}
