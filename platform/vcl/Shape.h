#pragma once
// TShape: a rectangle, square, rounded rectangle or ellipse drawn with its
// own Pen and Brush (colour swatches of the property dialogs). Change the
// pen or brush and call Invalidate, or use SetBrushColor / SetBrushStyle.

#include <memory>

#include "platform/vcl/Control.h"

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* AOwner);
  ~TShape() override;

 private:
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;

 public:
  TPen* const Pen;
  TBrush* const Brush;

  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType value);
  void SetBrushColor(TColor value);
  void SetBrushStyle(TBrushStyle value);
  void Paint() override;

 private:
  TShapeType shape_ = stRectangle;
};
