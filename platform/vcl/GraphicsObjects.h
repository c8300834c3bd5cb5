#pragma once
// The drawing tools of a canvas: pen, brush and font. They are plain records
// here; the canvas reads them each time it draws.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/vcl/Colors.h"

class SizedFont;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// How a pen's colour combines with the pixels below (the Win32 ROP2 codes in
// the class library's order).
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// Font styles as a set of bits.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

class TPen {
 public:
  TColor Color = clBlack;
  // Widths above 1 draw solid lines with round ends, whatever the style.
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;

  void Assign(const TPen& other) { *this = other; }
};

class TBrush {
 public:
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;

  void Assign(const TBrush& other) { *this = other; }
};

class TFont {
 public:
  // Pixels at 96 dots per inch, as the class library's screen.
  static constexpr int PixelsPerInch = 96;

  std::string Name = "MS Sans Serif";
  // Negative: the character height in pixels (internal leading excluded);
  // positive: the cell height. -11 is 8 points.
  int Height = -11;
  TFontStyles Style = 0;
  TColor Color = clWindowText;

  // Size in points: -Height * 72 / 96, rounded (negative for a cell height).
  int Size() const;
  void SetSize(int points);

  bool Bold() const { return (Style & fsBold) != 0; }
  bool Italic() const { return (Style & fsItalic) != 0; }
  bool Underline() const { return (Style & fsUnderline) != 0; }
  bool StrikeOut() const { return (Style & fsStrikeOut) != 0; }

  void Assign(const TFont& other);

  // The FreeType font for the current name, height and style.
  std::shared_ptr<const SizedFont> Realize() const;

 private:
  mutable std::shared_ptr<const SizedFont> realized_;
  mutable std::string realizedName_;
  mutable int realizedHeight_ = 0;
  mutable TFontStyles realizedStyle_ = 0;
};

// (a * b) / c rounded to the nearest integer, halves away from zero, as the
// Win32 MulDiv; -1 when c is 0.
int MulDiv(int a, int b, int c);
