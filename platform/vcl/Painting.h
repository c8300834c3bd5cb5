#pragma once
// Painting: how controls and forms show themselves. Nothing draws on a
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

// Sizes the bitmap to the control (a form with its frame and caption) and
// paints the control into it.
void PaintControlToBitmap(TControl* control, TBitmap& bitmap);

// The control's client area alone (a form without frame and caption).
void PaintClientToBitmap(TWinControl* control, TBitmap& bitmap);

// Paints the control into a PNG file (a system path); false when the control
// has no size or the file cannot be written.
bool SaveControlAsPng(TControl* control, const std::string& fileName);

// --- drawing helpers of the classic look ---

// One frame of `width` pixels: top and left in `topColor`, bottom and right
// in `bottomColor`; the rectangle shrinks by the width.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// The edges of the system's controls; each takes two pixels and shrinks the
// rectangle by them.
enum class TEdge {
  Raised,      // buttons: highlight and light outside, shadows inside
  Sunken,      // edits, list boxes, check boxes: shadow outside, dark shadow inside
  Etched,      // group boxes and bevels: a groove
  Bump,        // a ridge
  RaisedThin,  // one pixel: highlight, shadow (panels, flat buttons)
  SunkenThin,  // one pixel: shadow, highlight
};
void DrawEdge(TCanvas* canvas, TRect& rect, TEdge edge);

// Horizontal and vertical text alignment inside a rectangle.
enum class THAlign { Left, Center, Right };
enum class TVAlign { Top, Center, Bottom };

struct TTextStyle {
  THAlign hAlign = THAlign::Left;
  TVAlign vAlign = TVAlign::Top;
  bool wordWrap = false;  // breaks lines at spaces to fit the width
  bool disabled = false;  // embossed grey text of disabled controls
  // A solid brush fills the text cells; false leaves the background.
  bool opaque = false;
};

// Text in a rectangle, clipped to it, in the canvas's font (disabled text in
// clBtnHighlight shifted by one pixel under clBtnShadow). Line ends (CR LF,
// LF) always break. Answers the height the text took.
int DrawTextInRect(TCanvas* canvas, const TRect& rect, const std::string& text, const TTextStyle& style);

// The size the text takes in the canvas's font (lines broken at line ends,
// and at spaces to fit `maxWidth` when it is above 0).
TSize MeasureText(TCanvas* canvas, const std::string& text, int maxWidth = 0);

// The down-pointing arrow of drop-down buttons, centred in the rectangle.
void DrawDropDownArrow(TCanvas* canvas, const TRect& rect, TColor color);

// A 50% checkerboard of two colours (pushed-in speed buttons, grayed
// check boxes).
void FillDithered(TCanvas* canvas, const TRect& rect, TColor a, TColor b);

// The thickness of scroll bars.
inline constexpr int kScrollBarSize = 17;

// A scroll bar in the rectangle: arrow buttons at both ends, the dithered
// track and a thumb sized by page / range at `position` (0 .. range - page).
void DrawScrollBar(TCanvas* canvas, const TRect& rect, bool horizontal, int position, int range, int page);
