#include "platform/vcl/Shape.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()),
      Pen(pen_.get()),
      Brush(brush_.get()) {
  SetBounds(0, 0, 65, 65);
}

TShape::~TShape() = default;

void TShape::SetShape(TShapeType value) {
  if (value == shape_) return;
  shape_ = value;
  Invalidate();
}

void TShape::SetBrushColor(TColor value) {
  Brush->Color = value;
  Invalidate();
}

void TShape::SetBrushStyle(TBrushStyle value) {
  Brush->Style = value;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Pen->Assign(*Pen);
  canvas->Brush->Assign(*Brush);
  // The pen's middle runs half a pen width inside the control.
  const int pw = std::max(1, Pen->Width);
  int x = pw / 2, y = pw / 2;
  int w = Width() - pw + 1, h = Height() - pw + 1;
  if (w < h && (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle)) {
    y += (h - w) / 2;
    h = w;
  } else if (h < w && (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle)) {
    x += (w - h) / 2;
    w = h;
  }
  switch (shape_) {
    case stRectangle:
    case stSquare: canvas->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: canvas->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse:
    case stCircle: canvas->Ellipse(x, y, x + w, y + h); break;
  }
}
