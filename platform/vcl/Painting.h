#pragma once
// Painting: how controls and forms show themselves (ClassicLook.h holds
// what they look like). Nothing draws on a
// screen; a window is painted on request into a canvas (normally a TBitmap's)
// and looked at there.
//
// PaintTo(control, canvas, x, y) paints the control with its top-left corner
// at (x, y) of the canvas, children included:
// - a graphic control (TGraphicControl): its Canvas() is pointed at the
//   target bitmap with the origin at the control's top-left corner and the
//   clip limited to the control's rectangle (and to what its parents let
//   through), then its Paint() runs;
// - a windowed control: its non-client part first (a form's frame and
//   caption, or the border and scroll bars of a control that implements
//   TNonClientPainter), then its client area filled with its Color, then
//   Paint() for a TCustomControl (on its Canvas(), set up as above for the
//   client area), then the visible children in z-order (graphic ones below
//   windowed ones), each clipped to its own rectangle and the client area.
// Before Paint the canvas gets the control's Font, a solid brush of its
// Color and a default pen; after painting the canvas has no target again, so
// drawing on a control's canvas outside painting changes nothing.

#include <string>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Control.h"

class TBitmap;
class TWinControl;

// Implemented by windowed controls that draw something outside their client
// area (a border, scroll bars). `canvas` has its origin at the control's
// top-left corner and may draw over the whole window; the client area is
// painted afterwards.
class TNonClientPainter {
 public:
  virtual ~TNonClientPainter() = default;
  virtual void PaintNonClient(TCanvas* canvas) = 0;
};

// Implemented by controls that show something outside their own rectangle
// while a state lasts (the open list of a combo box). After the control
// that PaintTo was asked for is painted, every visible control inside it
// that has an overlay paints it on top of everything, on its canvas (a
// TCustomControl's Canvas(), else one made for it) with (0, 0) at the
// control's top-left corner, clipped only to the painted area.
class TOverlayPainter {
 public:
  virtual ~TOverlayPainter() = default;
  virtual bool HasOverlay() const = 0;
  virtual void PaintOverlay(TCanvas* canvas) = 0;
};

// Paints the control, children included, with its top-left corner at (x, y)
// of the canvas, inside the canvas's clip. An invisible control paints too
// (so that a hidden form can be looked at); its invisible children do not.
void PaintTo(TControl* control, TCanvas* canvas, int x, int y);

// Paints only the control's overlay (when it has one), with the control's
// top-left corner at (x, y) of the bitmap and clipped to the bitmap alone,
// so that what lies outside the control's parents shows too (a screen shows
// an open list in a window of its own).
void PaintOverlayTo(TControl* control, TBitmap& bitmap, int x, int y);

// Sizes the bitmap to the control (a form with its frame and caption) and
// paints the control into it.
void PaintControlToBitmap(TControl* control, TBitmap& bitmap);

// The control's client area alone (a form without frame and caption).
void PaintClientToBitmap(TWinControl* control, TBitmap& bitmap);

// Paints the control into a PNG file (a system path); false when the control
// has no size or the file cannot be written.
bool SaveControlAsPng(TControl* control, const std::string& fileName);
