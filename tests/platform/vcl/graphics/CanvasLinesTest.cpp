// Lines: the end point is left out, dots and dashes follow Windows' cosmetic
// patterns, wide pens draw round-ended solid lines, mix modes combine.

#include <climits>

#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;
using gfxtest::Count;
using gfxtest::Filled;

namespace {

// The x of the black pixels of a row.
std::vector<int> BlackColumns(const TBitmap& b, int y) {
  std::vector<int> xs;
  for (int x = 0; x < b.Width(); ++x)
    if (At(b, x, y) == clBlack) xs.push_back(x);
  return xs;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i < to; ++i) v.push_back(i);
  return v;
}

}  // namespace

TEST(CanvasLines, EndPointIsNotDrawnInAnyDirection) {
  auto b = Filled(12, 12, clWhite);
  TCanvas& c = *b->Canvas;
  c.MoveTo(2, 5);
  c.LineTo(8, 5);
  EXPECT_EQ(BlackColumns(*b, 5), Range(2, 8));
  EXPECT_EQ(c.PenPos(), Point(8, 5));

  auto r = Filled(12, 12, clWhite);
  r->Canvas->MoveTo(8, 5);
  r->Canvas->LineTo(2, 5);
  EXPECT_EQ(BlackColumns(*r, 5), Range(3, 9));

  auto d = Filled(12, 12, clWhite);
  d->Canvas->MoveTo(0, 0);
  d->Canvas->LineTo(5, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(At(*d, i, i), clBlack) << i;
  EXPECT_EQ(At(*d, 5, 5), clWhite);
  EXPECT_EQ(Count(*d, Rect(0, 0, 12, 12), clBlack), 5);

  // A zero-length line draws nothing.
  auto z = Filled(4, 4, clWhite);
  z->Canvas->MoveTo(1, 1);
  z->Canvas->LineTo(1, 1);
  EXPECT_EQ(Count(*z, Rect(0, 0, 4, 4), clBlack), 0);
}

TEST(CanvasLines, SlopedLinesPutOnePixelPerStep) {
  auto b = Filled(10, 10, clWhite);
  b->Canvas->MoveTo(0, 0);
  b->Canvas->LineTo(4, 1);
  // i / 4 rounded; the half at x = 2 goes to the start's row.
  EXPECT_EQ(At(*b, 0, 0), clBlack);
  EXPECT_EQ(At(*b, 1, 0), clBlack);
  EXPECT_EQ(At(*b, 2, 0), clBlack);
  EXPECT_EQ(At(*b, 3, 1), clBlack);
  EXPECT_EQ(Count(*b, Rect(0, 0, 10, 10), clBlack), 4);

  // Drawn the other way, the half goes away from the start: the same pixels
  // but for the two end points.
  auto r = Filled(10, 10, clWhite);
  r->Canvas->MoveTo(4, 1);
  r->Canvas->LineTo(0, 0);
  EXPECT_EQ(At(*r, 4, 1), clBlack);
  EXPECT_EQ(At(*r, 3, 1), clBlack);
  EXPECT_EQ(At(*r, 2, 0), clBlack);
  EXPECT_EQ(At(*r, 1, 0), clBlack);
  EXPECT_EQ(Count(*r, Rect(0, 0, 10, 10), clBlack), 4);

  // Every direction with halves: a line and its reverse agree between their
  // end points.
  for (auto [dx, dy] : std::vector<std::pair<int, int>>{{6, 1},
                                                        {6, -1},
                                                        {-6, 1},
                                                        {-6, -1},
                                                        {1, 6},
                                                        {-1, 6},
                                                        {1, -6},
                                                        {-1, -6},
                                                        {6, 3},
                                                        {-6, 3},
                                                        {3, -6},
                                                        {-3, -6}}) {
    auto f = Filled(20, 20, clWhite), g = Filled(20, 20, clWhite);
    f->Canvas->MoveTo(10, 10);
    f->Canvas->LineTo(10 + dx, 10 + dy);
    f->Canvas->Pixels[10][10] = clWhite;
    g->Canvas->MoveTo(10 + dx, 10 + dy);
    g->Canvas->LineTo(10, 10);
    g->Canvas->Pixels[10 + dx][10 + dy] = clWhite;
    EXPECT_EQ(gfxtest::Colors(*f), gfxtest::Colors(*g)) << dx << "," << dy;
  }

  auto s = Filled(10, 10, clWhite);
  s->Canvas->MoveTo(1, 9);
  s->Canvas->LineTo(3, 0);  // steep, upwards
  EXPECT_EQ(Count(*s, Rect(0, 0, 10, 10), clBlack), 9);
  for (int y = 1; y <= 9; ++y) EXPECT_EQ(Count(*s, Rect(0, y, 10, y + 1), clBlack), 1) << y;
}

TEST(CanvasLines, DotAndDashPatterns) {
  auto dot = Filled(30, 3, clWhite);
  dot->Canvas->Brush->Style = bsClear;
  dot->Canvas->Pen->Style = psDot;
  dot->Canvas->MoveTo(0, 1);
  dot->Canvas->LineTo(20, 1);
  EXPECT_EQ(BlackColumns(*dot, 1), (std::vector<int>{0, 1, 2, 6, 7, 8, 12, 13, 14, 18, 19}));

  auto dash = Filled(50, 3, clWhite);
  dash->Canvas->Brush->Style = bsClear;
  dash->Canvas->Pen->Style = psDash;
  dash->Canvas->MoveTo(0, 1);
  dash->Canvas->LineTo(40, 1);
  std::vector<int> expected = Range(0, 18);
  for (int x : Range(24, 40)) expected.push_back(x);
  EXPECT_EQ(BlackColumns(*dash, 1), expected);

  // With a solid brush the gaps take the brush colour.
  auto opaque = Filled(12, 3, clWhite);
  opaque->Canvas->Brush->Color = clRed;
  opaque->Canvas->Pen->Style = psDot;
  opaque->Canvas->MoveTo(0, 1);
  opaque->Canvas->LineTo(12, 1);
  EXPECT_EQ(At(*opaque, 2, 1), clBlack);
  EXPECT_EQ(At(*opaque, 3, 1), clRed);
  EXPECT_EQ(At(*opaque, 5, 1), clRed);
  EXPECT_EQ(At(*opaque, 6, 1), clBlack);
}

TEST(CanvasLines, PatternRunsOnOverLineToAndRestartsAtMoveTo) {
  auto b = Filled(20, 3, clWhite);
  TCanvas& c = *b->Canvas;
  c.Brush->Style = bsClear;
  c.Pen->Style = psDot;
  c.MoveTo(0, 1);
  c.LineTo(2, 1);
  c.LineTo(10, 1);
  EXPECT_EQ(BlackColumns(*b, 1), (std::vector<int>{0, 1, 2, 6, 7, 8}));

  auto m = Filled(20, 3, clWhite);
  m->Canvas->Brush->Style = bsClear;
  m->Canvas->Pen->Style = psDot;
  m->Canvas->MoveTo(0, 1);
  m->Canvas->LineTo(2, 1);
  m->Canvas->MoveTo(2, 1);
  m->Canvas->LineTo(10, 1);
  EXPECT_EQ(BlackColumns(*m, 1), (std::vector<int>{0, 1, 2, 3, 4, 8, 9}));
}

TEST(CanvasLines, WidePenIsSolidWithRoundEnds) {
  auto b = Filled(12, 14, clWhite);
  TCanvas& c = *b->Canvas;
  c.Pen->Width = 2;
  c.Pen->Style = psDot;  // ignored for wide pens
  c.MoveTo(5, 2);
  c.LineTo(5, 10);
  for (int y = 2; y <= 10; ++y) {
    EXPECT_EQ(At(*b, 4, y), clBlack) << y;
    EXPECT_EQ(At(*b, 5, y), clBlack) << y;
    EXPECT_EQ(At(*b, 3, y), clWhite) << y;
    EXPECT_EQ(At(*b, 6, y), clWhite) << y;
  }
  EXPECT_EQ(At(*b, 5, 12), clWhite);
}

TEST(CanvasLines, MixModesAndClearPen) {
  auto b = Filled(10, 3, clSilver);
  TCanvas& c = *b->Canvas;
  c.Pen->Mode = pmXor;
  c.Pen->Color = clRed;
  c.MoveTo(0, 1);
  c.LineTo(10, 1);
  EXPECT_EQ(At(*b, 4, 1), 0xC0C0C0 ^ 0x0000FF);
  c.MoveTo(0, 1);
  c.LineTo(10, 1);
  EXPECT_EQ(Count(*b, Rect(0, 0, 10, 3), clSilver), 30);

  c.Pen->Mode = pmNot;
  c.MoveTo(0, 0);
  c.LineTo(10, 0);
  EXPECT_EQ(At(*b, 3, 0), 0x3F3F3F);

  c.Pen->Mode = pmCopy;
  c.Pen->Style = psClear;
  c.MoveTo(0, 2);
  c.LineTo(10, 2);
  EXPECT_EQ(Count(*b, Rect(0, 2, 10, 3), clSilver), 10);
  EXPECT_EQ(c.PenPos(), Point(10, 2));
}

TEST(CanvasLines, AbsurdCoordinatesAreClipped) {
  auto b = Filled(20, 20, clWhite);
  TCanvas& c = *b->Canvas;
  c.MoveTo(INT_MIN, 3);
  c.LineTo(INT_MAX, 3);
  EXPECT_EQ(Count(*b, Rect(0, 3, 20, 4), clBlack), 20);

  // A diagonal through the bitmap from far outside: exactly its pixels.
  auto d = Filled(20, 20, clWhite);
  d->Canvas->MoveTo(-(1 << 30), -(1 << 30));
  d->Canvas->LineTo(1 << 30, 1 << 30);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(At(*d, i, i), clBlack) << i;
  EXPECT_EQ(Count(*d, Rect(0, 0, 20, 20), clBlack), 20);

  // Steep and wide lines of absurd length.
  auto s = Filled(20, 20, clWhite);
  s->Canvas->MoveTo(INT_MIN, INT_MIN);
  s->Canvas->LineTo(INT_MAX, INT_MAX - 7);
  s->Canvas->Pen->Width = 3;
  s->Canvas->MoveTo(10, INT_MIN);
  s->Canvas->LineTo(10, INT_MAX);
  EXPECT_EQ(At(*s, 10, 0), clBlack);
  EXPECT_EQ(At(*s, 9, 19), clBlack);
  // An absurd pen width is drawn at the widest width the canvas draws.
  s->Canvas->Pen->Width = INT_MAX;
  s->Canvas->Pen->Color = clRed;
  s->Canvas->MoveTo(INT_MIN, 10);
  s->Canvas->LineTo(INT_MAX, 10);
  EXPECT_EQ(Count(*s, Rect(0, 0, 20, 20), clRed), 400);

  c.Polyline({Point(INT_MIN, INT_MIN), Point(INT_MAX, INT_MIN), Point(INT_MAX, INT_MAX), Point(5, 5)});
  EXPECT_EQ(At(*b, 6, 6), clBlack);
  EXPECT_EQ(At(*b, 5, 5), clWhite);  // the last point
}

TEST(CanvasLines, PolylineLeavesOutItsLastPoint) {
  auto b = Filled(10, 10, clWhite);
  b->Canvas->Polyline({Point(1, 1), Point(6, 1), Point(6, 6)});
  EXPECT_EQ(Count(*b, Rect(0, 0, 10, 10), clBlack), 10);
  EXPECT_EQ(At(*b, 6, 1), clBlack);
  EXPECT_EQ(At(*b, 6, 6), clWhite);
  EXPECT_EQ(b->Canvas->PenPos(), Point(0, 0));  // the pen does not move
}
