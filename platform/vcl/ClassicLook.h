#pragma once
// The classic 3D look of the system's controls, in one place: edges and
// bevels, button faces (push buttons, tool buttons, flat tool buttons, header
// cells), the pressed look while the mouse holds a button, tabs, etched lines,
// the size grip, check and radio marks with their captions, text in a
// rectangle (embossed when disabled, cut with "..." where asked), the colours
// of selected items, drop-down arrows and scroll bars.
//
// Every control paints with these; none draws an edge, a face or a pressed
// state of its own. The colours are the system colours (clBtnFace,
// clBtnHighlight, clBtnShadow, cl3DDkShadow, cl3DLight), so the look follows
// the palette of Colors.cpp.

#include <functional>
#include <string>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/GraphicsTypes.h"
#include "platform/vcl/StdCtrlsTypes.h"

// --- edges ---

// One frame of `width` pixels: top and left in `topColor`, bottom and right
// in `bottomColor`; the rectangle shrinks by the width.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// The edges of the system's controls; the two-pixel ones shrink the
// rectangle by two, the thin ones by one.
enum class TEdge {
  Raised,      // buttons: highlight and light outside, shadows inside
  Sunken,      // edits, list boxes, check boxes: shadow outside, dark shadow inside
  Etched,      // group boxes and bevels: a groove
  Bump,        // a ridge
  RaisedThin,  // one pixel: highlight, shadow (panels, flat buttons)
  SunkenThin,  // one pixel: shadow, highlight
  Pushed,      // a tool button held in: dark shadow outside, shadow inside
};
void DrawEdge(TCanvas* canvas, TRect& rect, TEdge edge);

// A bevel of `width` pixels: lowered (shadow above and left) or raised
// (highlight above and left); the rectangle shrinks by the width.
void DrawBevel(TCanvas* canvas, TRect& rect, bool lowered, int width);

// A two-pixel line from (x, y) along `length` pixels to the right
// (horizontal) or down: lowered is a groove (shadow, then highlight), raised
// a ridge (highlight, then shadow).
void DrawEdgeLine(TCanvas* canvas, int x, int y, int length, bool horizontal, bool lowered);

// The three diagonal ridges of a size grip in the corner that ends at
// (right, bottom), `size` pixels wide and high.
void DrawSizeGrip(TCanvas* canvas, int right, int bottom, int size);

// --- buttons ---

enum class TButtonKind {
  Push,      // push buttons, header cells, drop-down buttons, scroll arrows
  Tool,      // speed and tool buttons with an edge
  FlatTool,  // flat ones: an edge only while hot or pushed
};

struct TButtonState {
  bool pushed = false;   // shown pressed in: held by the mouse, or down
  bool latched = false;  // down by its own state, not held: a dithered face
  bool hot = false;      // the mouse is over it (flat buttons)
  bool enabled = true;
  bool framed = false;  // a push button that Enter clicks: a black frame
};

// Draws the button's face and edge in `rect`, which shrinks to the area
// inside the edge. Answers how far the content moves right and down (1 while
// pushed, else 0).
int DrawButtonFace(TCanvas* canvas, TRect& rect, TButtonKind kind, const TButtonState& state);

// The pushed-in look of a button (or a part of a control, such as a header
// section) while the left mouse button holds it: pushed while the mouse stays
// inside the area and up again when it leaves. Every press-and-release
// control keeps one.
class TButtonPress {
 public:
  // The press starts inside `area` (client coordinates of `control`).
  void Start(TControl& control, const TRect& area);
  void Start(TControl& control) { Start(control, control.ClientRect()); }
  void Move(TControl& control, int x, int y);
  void End(TControl& control);
  // The mouse holds the button and is inside its area.
  bool Pushed() const { return pressing_ && inside_; }
  // The mouse holds the button (inside its area or not).
  bool Pressing() const { return pressing_; }

 private:
  TRect area_{};
  bool pressing_ = false;
  bool inside_ = false;
};

// --- tabs ---

// The outline of a tab on top of a page: light edges left and top with cut
// corners, dark ones right, open at the bottom. A selected tab reaches one
// pixel lower so that it joins its page.
void DrawTabEdge(TCanvas* canvas, const TRect& rect, bool selected);

// --- check and radio marks ---

inline constexpr int kCheckMarkSize = 13;
inline constexpr int kRadioMarkSize = 12;

// The 13 x 13 sunken box of a check box with its tick (greyed: dithered and
// a grey tick).
void DrawCheckBoxFrame(TCanvas* canvas, int x, int y, TCheckBoxState state, bool enabled);

// The 12 x 12 round mark of a radio button.
void DrawRadioButtonFrame(TCanvas* canvas, int x, int y, bool checked, bool enabled);

// The caption beside a check or radio mark, vertically centred in `area`,
// embossed when disabled, with the focus rectangle around the text when
// focused.
void DrawMarkCaption(TCanvas* canvas, const TRect& area, const std::string& caption, bool enabled, bool focused);

// --- text ---

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
  // A line wider than the rectangle ends in "..." where it is cut.
  bool endEllipsis = false;
  // '&' marks the character after it, which shows underlined ("&&" shows
  // one '&'), as captions of buttons mark their keys.
  bool hotkey = false;
};

// Text in a rectangle, clipped to it, in the canvas's font (disabled text in
// clBtnHighlight shifted by one pixel under clBtnShadow). Line ends (CR LF,
// LF) always break. Answers the height the text took.
int DrawTextInRect(TCanvas* canvas, const TRect& rect, const std::string& text, const TTextStyle& style);

// The size the text takes in the canvas's font (lines broken at line ends,
// and at spaces to fit `maxWidth` when it is above 0).
TSize MeasureText(TCanvas* canvas, const std::string& text, int maxWidth = 0);

// The text as it shows in `width` pixels: whole when it fits, else its
// longest start that fits with "..." after it.
std::string EllipsizedText(TCanvas* canvas, const std::string& text, int width);

// --- items ---

// The colours of a selected item of a list or tree: the highlight while the
// view has the focus, the button face when it has not, and grey text on the
// button face when the view is disabled.
struct TItemColors {
  TColor back;
  TColor text;
};
TItemColors SelectedItemColors(bool focusedView, bool enabled);

// --- pictures ---

// The picture of a disabled control: its dark pixels (`isDark(x, y)` for
// 0 <= x < width, 0 <= y < height) embossed at (x, y), in the highlight
// colour shifted by one pixel under the shadow colour.
void DrawEmbossed(TCanvas* canvas, int x, int y, int width, int height, const std::function<bool(int, int)>& isDark);

// Whether a colour counts as dark for embossing (luminance below 3/4).
bool IsDarkForEmboss(TColor color);

// --- small parts ---

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
