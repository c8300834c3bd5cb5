#pragma once
// Small painting aids shared by the common controls (list and tree views,
// status and tool bars): narrowing a canvas's clip for a while, and the
// text style of a cell.

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/StdCtrlsTypes.h"

// Narrows the canvas's clip to a rectangle (canvas coordinates) and puts the
// old clip back when it goes out of scope.
class TClipScope {
 public:
  TClipScope(TCanvas* canvas, const TRect& rect) : canvas_(canvas), saved_(canvas->ClipRect()) {
    canvas_->IntersectClipRect(rect);
  }
  ~TClipScope() {
    const TPoint o = canvas_->Origin();
    canvas_->SetClipRect(Rect(saved_.Left + o.x, saved_.Top + o.y, saved_.Right + o.x, saved_.Bottom + o.y));
  }
  TClipScope(const TClipScope&) = delete;
  TClipScope& operator=(const TClipScope&) = delete;

 private:
  TCanvas* canvas_;
  TRect saved_;
};

// A one-line cell text: vertically centred, aligned as the column says.
inline TTextStyle CellTextStyle(TAlignment alignment) {
  TTextStyle style;
  style.vAlign = TVAlign::Center;
  style.hAlign = alignment == taCenter ? THAlign::Center : alignment == taRightJustify ? THAlign::Right : THAlign::Left;
  return style;
}
