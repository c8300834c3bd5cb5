// Shapes, brushes, clipping and colours of the canvas.

#include <climits>

#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;
using gfxtest::Count;
using gfxtest::Filled;

TEST(CanvasShapes, RectangleExcludesRightAndBottom) {
  auto b = Filled(12, 10, clGray);
  TCanvas& c = *b->Canvas;
  c.Brush->Color = clWhite;
  c.Rectangle(2, 2, 8, 6);
  for (int x = 2; x < 8; ++x) {
    EXPECT_EQ(At(*b, x, 2), clBlack) << x;
    EXPECT_EQ(At(*b, x, 5), clBlack) << x;
    EXPECT_EQ(At(*b, x, 6), clGray) << x;
  }
  for (int y = 2; y < 6; ++y) {
    EXPECT_EQ(At(*b, 2, y), clBlack) << y;
    EXPECT_EQ(At(*b, 7, y), clBlack) << y;
    EXPECT_EQ(At(*b, 8, y), clGray) << y;
  }
  EXPECT_EQ(Count(*b, Rect(3, 3, 7, 5), clWhite), 8);

  // Reversed corners give the same rectangle.
  auto r = Filled(12, 10, clGray);
  r->Canvas->Brush->Color = clWhite;
  r->Canvas->Rectangle(8, 6, 2, 2);
  EXPECT_EQ(gfxtest::Colors(*r), gfxtest::Colors(*b));

  // Without a pen the fill stops one pixel short on the right and below.
  auto n = Filled(12, 10, clGray);
  n->Canvas->Pen->Style = psClear;
  n->Canvas->Brush->Color = clRed;
  n->Canvas->Rectangle(2, 2, 8, 6);
  EXPECT_EQ(Count(*n, Rect(0, 0, 12, 10), clRed), 5 * 3);
  EXPECT_EQ(At(*n, 6, 4), clRed);
  EXPECT_EQ(At(*n, 7, 4), clGray);

  // A one-pixel-wide rectangle is a line.
  auto l = Filled(12, 10, clGray);
  l->Canvas->Rectangle(3, 1, 4, 7);
  EXPECT_EQ(Count(*l, Rect(0, 0, 12, 10), clBlack), 6);
}

TEST(CanvasShapes, DottedFrameOverSolidFrameAsTheSelectionMark) {
  auto b = Filled(20, 12, clSilver);
  TCanvas& c = *b->Canvas;
  c.Brush->Style = bsClear;
  c.Rectangle(0, 0, 20, 12);
  c.Pen->Style = psDot;
  c.Pen->Color = clWhite;
  c.Rectangle(0, 0, 20, 12);
  EXPECT_EQ(At(*b, 0, 0), clWhite);
  EXPECT_EQ(At(*b, 3, 0), clBlack);  // a gap shows the black frame below
  EXPECT_EQ(Count(*b, Rect(1, 1, 19, 11), clSilver), 18 * 10);
  // Every frame pixel is black or white.
  const int frame = 2 * 20 + 2 * 10;
  EXPECT_EQ(Count(*b, Rect(0, 0, 20, 12), clBlack) + Count(*b, Rect(0, 0, 20, 12), clWhite), frame);
}

TEST(CanvasShapes, FillRectAndFrameRect) {
  auto b = Filled(10, 10, clWhite);
  TCanvas& c = *b->Canvas;
  c.Brush->Color = clBlue;
  c.FillRect(Rect(1, 2, 4, 6));
  EXPECT_EQ(Count(*b, Rect(0, 0, 10, 10), clBlue), 12);
  EXPECT_EQ(At(*b, 4, 3), clWhite);
  EXPECT_EQ(At(*b, 2, 6), clWhite);

  // Reversed rectangles are not filled.
  c.Brush->Color = clRed;
  c.FillRect(Rect(6, 6, 2, 2));
  EXPECT_EQ(Count(*b, Rect(0, 0, 10, 10), clRed), 0);

  auto f = Filled(10, 10, clWhite);
  f->Canvas->Brush->Color = clGreen;
  f->Canvas->FrameRect(Rect(2, 2, 7, 6));
  EXPECT_EQ(Count(*f, Rect(0, 0, 10, 10), clGreen), 2 * 5 + 2 * 2);
  EXPECT_EQ(At(*f, 6, 5), clGreen);
  EXPECT_EQ(At(*f, 7, 5), clWhite);
  EXPECT_EQ(At(*f, 3, 3), clWhite);

  // A clear brush fills nothing.
  f->Canvas->Brush->Style = bsClear;
  f->Canvas->FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(Count(*f, Rect(0, 0, 10, 10), clWhite), 100 - 14);
}

TEST(CanvasShapes, HatchBrushesPaintOnlyTheirLines) {
  auto b = Filled(16, 16, clYellow);
  TCanvas& c = *b->Canvas;
  c.Brush->Color = clBlack;
  c.Brush->Style = bsDiagCross;
  c.FillRect(Rect(0, 0, 16, 16));
  EXPECT_EQ(Count(*b, Rect(0, 0, 16, 16), clBlack), 4 * 16);
  EXPECT_EQ(At(*b, 0, 0), clBlack);
  EXPECT_EQ(At(*b, 7, 0), clBlack);
  EXPECT_EQ(At(*b, 1, 0), clYellow);
  EXPECT_EQ(At(*b, 3, 3), clBlack);
  EXPECT_EQ(At(*b, 4, 3), clBlack);
  EXPECT_EQ(At(*b, 11, 11), clBlack);

  auto h = Filled(8, 8, clWhite);
  h->Canvas->Brush->Color = clRed;
  h->Canvas->Brush->Style = bsHorizontal;
  h->Canvas->FillRect(Rect(0, 0, 8, 8));
  EXPECT_EQ(Count(*h, Rect(0, 7, 8, 8), clRed), 8);
  EXPECT_EQ(Count(*h, Rect(0, 0, 8, 7), clRed), 0);

  // The pattern is anchored at the canvas origin.
  auto o = Filled(16, 16, clWhite);
  o->Canvas->SetOrigin(3, 0);
  o->Canvas->Brush->Color = clBlack;
  o->Canvas->Brush->Style = bsVertical;
  o->Canvas->FillRect(Rect(-3, 0, 13, 1));
  EXPECT_EQ(At(*o, 3 + 4, 0), clBlack);
  EXPECT_EQ(At(*o, 3 + 12, 0), clBlack);
  EXPECT_EQ(Count(*o, Rect(0, 0, 16, 1), clBlack), 2);
}

TEST(CanvasShapes, EllipseIsSymmetricAndInsideItsBox) {
  auto b = Filled(14, 14, clWhite);
  TCanvas& c = *b->Canvas;
  c.Brush->Color = clRed;
  c.Ellipse(2, 2, 12, 12);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 14; ++x) {
      const TColor p = At(*b, x, y);
      EXPECT_EQ(p, At(*b, 13 - x, y)) << x << "," << y;
      EXPECT_EQ(p, At(*b, x, 13 - y)) << x << "," << y;
      EXPECT_EQ(p, At(*b, y, x)) << x << "," << y;
      if (x < 2 || y < 2 || x >= 12 || y >= 12) {
        EXPECT_EQ(p, clWhite) << x << "," << y;
      }
    }
  EXPECT_EQ(At(*b, 2, 7), clBlack);
  EXPECT_EQ(At(*b, 7, 7), clRed);
  EXPECT_EQ(At(*b, 2, 2), clWhite);
  EXPECT_GT(Count(*b, Rect(0, 0, 14, 14), clRed), 40);

  auto r = Filled(20, 12, clWhite);
  r->Canvas->RoundRect(0, 0, 20, 12, 6, 6);
  EXPECT_EQ(At(*r, 0, 0), clWhite);
  EXPECT_EQ(At(*r, 10, 0), clBlack);
  EXPECT_EQ(At(*r, 0, 6), clBlack);
  EXPECT_EQ(At(*r, 19, 6), clBlack);
  EXPECT_EQ(At(*r, 10, 11), clBlack);
  EXPECT_EQ(At(*r, 10, 6), clWhite);
}

TEST(CanvasShapes, PolygonFillsEvenOddAndClosesItsOutline) {
  auto b = Filled(14, 14, clWhite);
  TCanvas& c = *b->Canvas;
  c.Brush->Color = clBlue;
  c.Polygon({Point(1, 1), Point(11, 1), Point(11, 11), Point(1, 11)});
  EXPECT_EQ(Count(*b, Rect(2, 2, 11, 11), clBlue), 81);
  for (int i = 1; i <= 11; ++i) {
    EXPECT_EQ(At(*b, 1, i), clBlack) << i;
    EXPECT_EQ(At(*b, 11, i), clBlack) << i;
    EXPECT_EQ(At(*b, i, 11), clBlack) << i;
  }
  EXPECT_EQ(At(*b, 12, 5), clWhite);

  // A self-crossing star leaves its centre empty under the even-odd rule.
  auto s = Filled(41, 41, clWhite);
  s->Canvas->Pen->Style = psClear;
  s->Canvas->Brush->Color = clRed;
  s->Canvas->Polygon({Point(20, 0), Point(32, 40), Point(0, 14), Point(40, 14), Point(8, 40)});
  EXPECT_EQ(At(*s, 20, 22), clWhite);
  EXPECT_EQ(At(*s, 20, 5), clRed);
}

TEST(CanvasShapes, AbsurdSizesAreClippedNotWalked) {
  auto b = Filled(20, 20, clWhite);
  TCanvas& c = *b->Canvas;
  c.Brush->Color = clRed;
  c.FillRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_EQ(Count(*b, Rect(0, 0, 20, 20), clRed), 400);
  c.Brush->Color = clWhite;
  c.Rectangle(-5, 2, INT_MAX, 10);  // a bar whose length came from a PLC value
  EXPECT_EQ(At(*b, 0, 2), clBlack);
  EXPECT_EQ(At(*b, 19, 9), clBlack);
  EXPECT_EQ(At(*b, 10, 5), clWhite);
  c.Rectangle(Bounds(3, 3, INT_MAX, INT_MAX));
  c.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  c.RoundRect(INT_MIN, 0, INT_MAX, 5, INT_MAX, INT_MAX);
  c.Polygon({Point(INT_MIN, INT_MIN), Point(INT_MAX, INT_MIN), Point(0, INT_MAX)});
  c.FrameRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  c.DrawFocusRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  c.TextOut(INT_MAX - 3, INT_MAX - 3, "far away");
  c.TextOut(INT_MIN, 0, std::string(5000, 'W'));
  auto small = Filled(4, 4, clBlue);
  c.StretchDraw(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), small.get());
  EXPECT_EQ(Count(*b, Rect(0, 0, 20, 20), clBlue), 400);
  EXPECT_THROW(b->SetSize(INT_MAX, INT_MAX), EOutOfResources);
  EXPECT_EQ(b->Width(), 20);
}

TEST(CanvasShapes, OriginAndClipLetAControlPaintItsArea) {
  auto form = Filled(40, 30, clWhite);
  TCanvas control(form.get());
  control.SetOrigin(10, 5);
  control.SetClipRect(Rect(10, 5, 20, 15));
  EXPECT_EQ(control.ClipRect(), Rect(0, 0, 10, 10));
  control.Brush->Color = clRed;
  control.FillRect(Rect(-100, -100, 100, 100));
  EXPECT_EQ(Count(*form, Rect(0, 0, 40, 30), clRed), 100);
  EXPECT_EQ(At(*form, 10, 5), clRed);
  EXPECT_EQ(At(*form, 19, 14), clRed);
  EXPECT_EQ(At(*form, 20, 14), clWhite);
  control.Pixels[0][0] = clBlue;
  EXPECT_EQ(At(*form, 10, 5), clBlue);
  EXPECT_EQ(static_cast<TColor>(control.Pixels[0][0]), clBlue);
  EXPECT_EQ(static_cast<TColor>(control.Pixels[10][0]), -1);  // outside the clip

  control.IntersectClipRect(Rect(5, 5, 50, 50));
  EXPECT_EQ(control.ClipRect(), Rect(5, 5, 10, 10));
  control.Brush->Color = clGreen;
  control.FillRect(Rect(0, 0, 100, 100));
  EXPECT_EQ(Count(*form, Rect(0, 0, 40, 30), clGreen), 25);
  control.ResetClipRect();
  EXPECT_EQ(control.ClipRect(), Rect(-10, -5, 30, 25));

  // Without a bitmap a canvas draws nothing and reports an empty clip.
  TCanvas none;
  none.FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(none.ClipRect(), TRect{});
  EXPECT_EQ(none.GetPixel(0, 0), -1);
}

TEST(CanvasShapes, PixelsAndFocusRect) {
  auto b = Filled(10, 10, clWhite);
  TCanvas& c = *b->Canvas;
  c.Pixels[3][4] = clRed;
  EXPECT_EQ(At(*b, 3, 4), clRed);
  EXPECT_EQ(static_cast<TColor>(c.Pixels[3][4]), clRed);
  EXPECT_EQ(c.GetPixel(-1, 0), -1);
  EXPECT_EQ(c.GetPixel(10, 0), -1);
  c.Pixels[-1][0] = clRed;  // ignored

  const auto before = gfxtest::Colors(*b);
  c.DrawFocusRect(Rect(1, 1, 9, 9));
  EXPECT_EQ(At(*b, 1, 1), clBlack);
  EXPECT_EQ(At(*b, 2, 1), clWhite);
  EXPECT_EQ(At(*b, 5, 5), clWhite);
  c.DrawFocusRect(Rect(1, 1, 9, 9));
  EXPECT_EQ(gfxtest::Colors(*b), before);
}

TEST(CanvasShapes, SystemAndNamedColours) {
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xF0F0F0);
  EXPECT_EQ(ColorToRGB(clBtnShadow), 0xA0A0A0);
  EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
  EXPECT_EQ(ColorToRGB(clWindowText), 0x000000);
  EXPECT_EQ(ColorToRGB(clHighlight), 0xFF9933);
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x8000000F)), 0xF0F0F0);
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(ColorToRGB(clDefault), clDefault);
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x8000001F)), 0);  // no such system colour
  for (int i = 0; i <= 30; ++i) EXPECT_LE(GetSysColor(i), 0xFFFFFFu) << i;

  auto b = Filled(2, 2, clBtnFace);
  EXPECT_EQ(At(*b, 0, 0), 0xF0F0F0);
  b->Canvas->Pixels[1][1] = clBtnShadow;
  EXPECT_EQ(At(*b, 1, 1), 0xA0A0A0);
}
