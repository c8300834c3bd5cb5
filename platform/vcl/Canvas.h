#pragma once
// TCanvas: drawing into the 32-bit pixels of a TBitmap, with the class
// library's pen, brush and font and Windows' pixel rules:
// - rectangles exclude their right column and bottom row; a line leaves out
//   its end point; with a clear pen, Rectangle and Ellipse fill one pixel less
//   to the right and below;
// - a solid brush makes text cells and the gaps of dotted and dashed lines
//   opaque in the brush colour; any other brush style leaves them
//   transparent, and hatch brushes paint only their lines;
// - hatch patterns are 8 x 8 and anchored at the canvas's (0, 0).
//
// A canvas may draw into a part of a larger bitmap: SetOrigin moves its (0, 0)
// to a point of the bitmap and SetClipRect limits it to a rectangle of the
// bitmap, so a control can paint into its area of its parent's bitmap.
// Coordinates may be absurd (a rectangle of width 2^31): every operation is
// clipped first and only touches pixels inside the clip.
//
// Without a bitmap the canvas measures text and draws nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vcl/Colors.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/GraphicsTypes.h"

class TBitmap;
class TGraphic;
class TCanvas;

// Raster operations of CopyRect (the Win32 ROP3 codes the class library
// names). Codes not listed here copy.
inline constexpr std::uint32_t cmBlackness = 0x00000042;
inline constexpr std::uint32_t cmDstInvert = 0x00550009;
inline constexpr std::uint32_t cmMergePaint = 0x00BB0226;
inline constexpr std::uint32_t cmNotSrcCopy = 0x00330008;
inline constexpr std::uint32_t cmNotSrcErase = 0x001100A6;
inline constexpr std::uint32_t cmSrcAnd = 0x008800C6;
inline constexpr std::uint32_t cmSrcCopy = 0x00CC0020;
inline constexpr std::uint32_t cmSrcErase = 0x00440328;
inline constexpr std::uint32_t cmSrcInvert = 0x00660046;
inline constexpr std::uint32_t cmSrcPaint = 0x00EE0086;
inline constexpr std::uint32_t cmWhiteness = 0x00FF0062;

// A block of 32-bit pixels (blue, green, red, alpha in memory order), rows
// from the top, `width` pixels a row.
struct TPixelBlock {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

// How StretchBlock puts source pixels down.
enum class TBlitMode {
  Copy,            // replace
  TransparentKey,  // skip source pixels whose colour is the key colour
  AlphaBlend,      // blend by the source alpha (icons)
};

// Canvas->Pixels[x][y], readable and writable.
class TCanvasPixel {
 public:
  TCanvasPixel(TCanvas* canvas, int x, int y) : canvas_(canvas), x_(x), y_(y) {}
  operator TColor() const;
  TCanvasPixel& operator=(TColor color);
  TCanvasPixel& operator=(const TCanvasPixel& other) { return *this = static_cast<TColor>(other); }

 private:
  TCanvas* canvas_;
  int x_, y_;
};

class TCanvasPixelColumn {
 public:
  TCanvasPixelColumn(TCanvas* canvas, int x) : canvas_(canvas), x_(x) {}
  TCanvasPixel operator[](int y) const { return {canvas_, x_, y}; }

 private:
  TCanvas* canvas_;
  int x_;
};

class TCanvasPixels {
 public:
  explicit TCanvasPixels(TCanvas* canvas) : canvas_(canvas) {}
  TCanvasPixelColumn operator[](int x) const { return {canvas_, x}; }

 private:
  TCanvas* canvas_;
};

class TCanvas {
 public:
  explicit TCanvas(TBitmap* target = nullptr);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

 private:
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  std::unique_ptr<TFont> font_;

 public:
  TPen* const Pen;
  TBrush* const Brush;
  TFont* const Font;
  std::uint32_t CopyMode = cmSrcCopy;
  TCanvasPixels Pixels{this};

  // --- where the canvas draws ---
  void SetTarget(TBitmap* target) { target_ = target; }
  TBitmap* Target() const { return target_; }
  // The bitmap point that is the canvas's (0, 0).
  void SetOrigin(int x, int y) { origin_ = {x, y}; }
  TPoint Origin() const { return origin_; }
  // Limits drawing to a rectangle in bitmap coordinates (the bitmap's own
  // bounds always limit it too).
  void SetClipRect(const TRect& bitmapRect);
  void ResetClipRect() { hasClip_ = false; }
  // Narrows the clip to a rectangle in canvas coordinates.
  void IntersectClipRect(const TRect& rect);
  // The rectangle drawing reaches, in canvas coordinates; empty without a
  // bitmap.
  TRect ClipRect() const;

  // --- lines ---
  TPoint PenPos() const { return penPos_; }
  void SetPenPos(const TPoint& p) { MoveTo(p.x, p.y); }
  void MoveTo(int x, int y);
  // A line from the pen position to (x, y) without its end point; the pen
  // moves there. Dot and dash patterns continue over consecutive LineTo calls.
  void LineTo(int x, int y);
  // Lines through the points; the last point is left out.
  void Polyline(const TPoint* points, int count);
  void Polyline(const std::vector<TPoint>& points) { Polyline(points.data(), static_cast<int>(points.size())); }

  // --- shapes: outline with the pen, inside with the brush ---
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  // Corners are quarters of an ellipse of width x3 and height y3.
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  // Filled with the alternate (even-odd) rule, then outlined and closed.
  void Polygon(const TPoint* points, int count);
  void Polygon(const std::vector<TPoint>& points) { Polygon(points.data(), static_cast<int>(points.size())); }

  // --- brush only ---
  // Nothing is filled when Right <= Left or Bottom <= Top.
  void FillRect(const TRect& rect);
  // A one-pixel frame just inside the rectangle, in the brush.
  void FrameRect(const TRect& rect);
  // Inverts every other pixel of the rectangle's one-pixel frame (drawn
  // twice, it disappears).
  void DrawFocusRect(const TRect& rect);

  // --- text (8-bit text in the ANSI code page) ---
  // The text cell's top-left corner at (x, y); the pen moves to the cell's
  // top-right corner.
  void TextOut(int x, int y, const std::string& text);
  // As TextOut, clipped to the rectangle; a solid brush fills the whole
  // rectangle.
  void TextRect(const TRect& rect, int x, int y, const std::string& text);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);
  TSize TextExtent(const std::string& text);
  // The width of every start of the text: element i is
  // TextWidth(text.substr(0, i)), for i from 0 to the text's length (bytes),
  // measured in one pass over the text.
  std::vector<int> TextPrefixWidths(std::string_view text);
  // The position in the text (a byte count, 0 to its length) whose start is
  // the nearest to `x` pixels wide: the first i with the least
  // |x - TextWidth(text.substr(0, i))|, found in one pass over the text.
  int TextPositionAt(std::string_view text, int x);

  // --- pictures ---
  // The graphic at its own size; a transparent bitmap leaves its transparent
  // colour out; icons blend by their alpha.
  void Draw(int x, int y, const TGraphic* graphic);
  // The graphic stretched (nearest pixel) onto the rectangle.
  void StretchDraw(const TRect& rect, const TGraphic* graphic);
  // Copies (stretching, mirroring for negative sizes) a rectangle of another
  // canvas (or this one) with CopyMode.
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

  // --- pixels ---
  // CLR_INVALID (-1) outside the clip or without a bitmap.
  TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  // For graphics drawing themselves: puts the source rectangle of a pixel
  // block onto the destination rectangle (canvas coordinates), stretched to
  // its size. `keyColor` (0x00BBGGRR) is the colour left out in
  // TransparentKey mode.
  void StretchBlock(const TRect& dest, const TPixelBlock& source, const TRect& sourceRect, TBlitMode mode,
                    TColor keyColor = clBlack, std::uint32_t rop = cmSrcCopy);

  // The pixels under the canvas (see CanvasDevice.h; internal to the canvas).
  struct Device;

 private:
  bool GetDevice(Device& device) const;
  // One line without its end point in bitmap coordinates; `phase` is the
  // position inside the dot and dash pattern at its start.
  void PenSegment(const Device& d, long long x0, long long y0, long long x1, long long y1, long long phase);
  void CosmeticLine(const Device& d, long long x0, long long y0, long long x1, long long y1, long long phase);
  void WideLine(const Device& d, long long x0, long long y0, long long x1, long long y1);
  // Lines through `count` points given as x, y pairs in bitmap coordinates,
  // one pattern running along all of them.
  void StrokePath(const Device& d, const long long* xy, int count);
  void FillBrushSpan(const Device& d, long long y, long long x0, long long x1);
  void PenPixel(const Device& d, long long x, long long y, std::uint32_t color);
  void RoundShape(long long x1, long long y1, long long x2, long long y2, long long cw, long long ch);
  void DrawText(const TRect* clip, int x, int y, const std::string& text, bool opaqueCell);

  TBitmap* target_ = nullptr;
  TPoint origin_{};
  bool hasClip_ = false;
  TRect clip_{};  // bitmap coordinates
  TPoint penPos_{};
  long long dashPos_ = 0;  // position inside the pen's dot and dash pattern
};
