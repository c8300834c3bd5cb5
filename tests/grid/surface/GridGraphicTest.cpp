// Design-surface items: band selection, group moves, popup positions, unit
// size changes and the drawing helpers.

#include <gtest/gtest.h>

#include <vector>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

using namespace surfacetest;

namespace {

class TClickItem : public TTestItem {
 public:
  using TTestItem::MouseUp;
  using TTestItem::TTestItem;
};

void Scroll(TScrollBox* box, int x, int y) {
  box->AutoScroll = false;
  box->HorzScrollBar()->SetRange(1 << 20);
  box->VertScrollBar()->SetRange(1 << 20);
  box->HorzScrollBar()->SetPosition(x);
  box->VertScrollBar()->SetPosition(y);
}

}  // namespace

using GridGraphicTest = SurfaceTest;

TEST_F(GridGraphicTest, BandSelectsContainedLeftToRightAndTouchedRightToLeft) {
  auto* a = new TTestItem(box(), 8, 3, 3, 32, 16);     // 16,16 .. 48,32
  auto* b = new TTestItem(box(), 8, 13, 13, 40, 24);   // 96,96 .. 136,120
  auto* locked = new TTestItem(box(), 8, 4, 4, 8, 8);  // inside the band, not selectable
  locked->selectable = false;

  auto* band = new TGridSelect(box(), 8, 10, 10);
  band->SetParent(box());
  band->ResizeTo(120, 110);  // holds a whole, b only in part
  band->Select();
  EXPECT_TRUE(a->Selected());
  EXPECT_FALSE(b->Selected());
  EXPECT_FALSE(locked->Selected());
  EXPECT_FALSE(band->Selected());
  delete band;

  a->DeselectInvalidate();
  // From right to left: whatever the band touches, edges included.
  band = new TGridSelect(box(), 8, 96, 10);
  band->SetParent(box());
  band->ResizeTo(48, 96);
  EXPECT_EQ(band->Width(), -48);
  band->Select();
  EXPECT_TRUE(a->Selected());  // right edge 48 touches the band's left
  EXPECT_TRUE(b->Selected());  // top edge 96 touches the band's bottom
  delete band;

  // Nothing is deselected by a band; a band of no size selects nothing.
  a->DeselectInvalidate();
  b->DeselectInvalidate();
  band = new TGridSelect(box(), 8, 300, 300);
  band->SetParent(box());
  band->Select();
  EXPECT_FALSE(a->Selected());
  EXPECT_FALSE(b->Selected());
  delete band;

  // Upwards and to the left from below b: touches b only.
  band = new TGridSelect(box(), 8, 200, 200);
  band->SetParent(box());
  band->ResizeTo(130, 118);
  band->Select();
  EXPECT_TRUE(b->Selected());
  EXPECT_FALSE(a->Selected());
  delete band;
}

TEST_F(GridGraphicTest, GroupMovesAndMoveHooks) {
  auto* a = new TTestItem(box(), 8, 3, 3, 16, 16);
  auto* b = new TTestItem(box(), 8, 10, 4, 16, 16);
  auto* c = new TTestItem(box(), 8, 20, 5, 16, 16);
  c->wantsHook = true;
  a->Select();
  b->Select();
  EXPECT_TRUE(a->MoreThanOneSelected());
  EXPECT_FALSE(a->MoveSelected(0, 0));
  EXPECT_EQ(c->moveHooks, 0);
  EXPECT_TRUE(a->MoveSelected(2, -1));
  EXPECT_EQ(a->GetPosition(), (TPoint{5, 2}));
  EXPECT_EQ(b->GetPosition(), (TPoint{12, 3}));
  EXPECT_EQ(c->GetPosition(), (TPoint{20, 5}));
  EXPECT_EQ(c->moveHooks, 1);
  EXPECT_EQ(a->Left(), 32);
  EXPECT_EQ(a->Top(), 8);

  // A selected item that may not be selected any more is not moved and not counted.
  b->selectable = false;
  EXPECT_FALSE(a->MoreThanOneSelected());
  a->MoveSelected(1, 1);
  EXPECT_EQ(b->GetPosition(), (TPoint{12, 3}));
  EXPECT_EQ(a->GetPosition(), (TPoint{6, 3}));

  // Without a surface nothing moves, and the move still answers true.
  TTestItem loose(nullptr, 8, 1, 1, 8, 8);
  loose.Select();
  EXPECT_TRUE(loose.MoveSelected(1, 1));
  EXPECT_EQ(loose.GetPosition(), (TPoint{1, 1}));
}

TEST_F(GridGraphicTest, ClicksSelectAndShiftClicksToggle) {
  auto* a = new TTestItem(box(), 8, 3, 3, 24, 16);
  auto* b = new TTestItem(box(), 8, 10, 3, 24, 16);
  designer()->Show();
  Driver::Click(box(), 20, 20);
  EXPECT_TRUE(a->Selected());
  Driver::Click(box(), 80, 20, mbLeft, ssShift);
  EXPECT_TRUE(a->Selected());
  EXPECT_TRUE(b->Selected());
  Driver::Click(box(), 20, 20, mbLeft, ssShift);
  EXPECT_FALSE(a->Selected());
  EXPECT_TRUE(b->Selected());
  Driver::Click(box(), 20, 20);
  EXPECT_TRUE(a->Selected());
  EXPECT_FALSE(b->Selected());
  designer()->Hide();
  Driver::Reset();
}

TEST_F(GridGraphicTest, RightClickPositionRoundsHalvesAwayFromZero) {
  TPopupMenu menu(nullptr);
  menu.SetName("ObjectPopup");
  TPopupMenu multi(nullptr);
  multi.SetName("MultiPopup");
  auto* item = new TClickItem(box(), 8, 3, 3, 40, 16);
  item->SetName("Item1");
  auto* other = new TClickItem(box(), 8, 10, 3, 40, 16);
  item->SetPopupMenuItem(&menu);
  item->SetMenus(nullptr, &multi);
  Driver::ResetPopups();

  item->MouseUp(mbRight, 0, 12, 4);
  EXPECT_EQ(item->ClickPos(), (TPoint{2, 1}));  // 12/8 = 1.5 -> 2, 4/8 = 0.5 -> 1
  EXPECT_TRUE(item->Selected());
  item->MouseUp(mbRight, 0, 3, 0);
  EXPECT_EQ(item->ClickPos(), (TPoint{0, 0}));
  item->MouseUp(mbRight, 0, -4, -12);
  EXPECT_EQ(item->ClickPos(), (TPoint{-1, -2}));
  auto log = Driver::PopupLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].menuName, "ObjectPopup");
  EXPECT_EQ(log[0].componentName, "Item1");

  // With two selected the multi-selection menu opens.
  other->Select();
  item->MouseUp(mbRight, ssShift, 8, 8);
  log = Driver::PopupLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[3].menuName, "MultiPopup");

  // In the live view with a live menu set nothing opens.
  bool live = true;
  item->SetLiveModeFlag(&live);
  item->SetMenus(&menu, &multi);
  item->MouseUp(mbRight, 0, 8, 8);
  EXPECT_EQ(Driver::PopupLog().size(), 4u);
  EXPECT_FALSE(item->Hover());
  Driver::ResetPopups();
}

TEST_F(GridGraphicTest, SetUnitPixelsSnapsToWholeUnitsOfTheScrolledSurface) {
  auto* item = new TTestItem(box(), 8, 1, 1, 30, 17);
  item->SetBounds(13, 21, 30, 17);
  item->SetUnitPixels(8);
  EXPECT_EQ(item->BoundsRect(), Bounds(8, 16, 24, 16));
  item->SetUnitPixels(16);
  EXPECT_EQ(item->BoundsRect(), Bounds(16, 32, 48, 32));
  EXPECT_EQ(item->UnitPixels(), 16);

  // Scrolled by (5, 3): the units count from the surface's origin.
  auto* scrolled = new TTestItem(box(), 8, 1, 1, 8, 8);
  Scroll(box(), 5, 3);
  scrolled->SetBounds(20, 30, 9, 9);  // surface 25, 33
  scrolled->SetUnitPixels(8);
  EXPECT_EQ(scrolled->Left(), 24 - 5);
  EXPECT_EQ(scrolled->Top(), 32 - 3);
  EXPECT_EQ(scrolled->Width(), 8);
}

TEST_F(GridGraphicTest, ConversionsWithoutParentKeepThePoint) {
  TTestItem loose(nullptr, 8, 1, 1, 8, 8);
  EXPECT_EQ(loose.ClientToParent({5, 7}), (TPoint{5, 7}));
  EXPECT_EQ(loose.ParentToClient({5, 7}), (TPoint{5, 7}));
  auto* item = new TTestItem(box(), 8, 3, 4, 8, 8);
  EXPECT_EQ(item->ClientToParent({1, 2}), (TPoint{17, 26}));
  EXPECT_EQ(item->ParentToClient({17, 26}), (TPoint{1, 2}));
}

// --- drawing helpers ---------------------------------------------------------------

namespace {

void Blank(TBitmap& b, int w, int h) {
  b.SetSize(w, h);
  b.Canvas->Brush->Color = clWhite;
  b.Canvas->FillRect({0, 0, w, h});
}

int Red(TColor c) { return c & 0xFF; }

}  // namespace

TEST(DrawingHelpers, GradientBands) {
  // Size 10: ten bands of one pixel, from colour1 at the start to colour2.
  TBitmap b;
  Blank(b, 10, 3);
  DrawGradient(b.Canvas, 0, 0, 10, 3, 0x000000, 0x0000FF, true, true);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(Red(PixelAt(b, x, 1)), 255 - 255 * (10 - x) / 10) << x;
  // Not forward: the other way round, bands at size - 1 - i - step, so
  // the first band lies one pixel before the area and the last pixel stays.
  Blank(b, 10, 3);
  DrawGradient(b.Canvas, 1, 0, 10, 3, 0x000000, 0x0000FF, true, false);
  EXPECT_EQ(Red(PixelAt(b, 0, 1)), 255 - 255 * 1 / 10);
  EXPECT_EQ(Red(PixelAt(b, 1, 1)), 255 - 255 * 2 / 10);
  EXPECT_EQ(Red(PixelAt(b, 9, 1)), 0);

  // Size 100: bands of 3 pixels at 97, 94, ... 1 and -2.
  TBitmap g;
  Blank(g, 120, 4);
  DrawGradient(g.Canvas, 10, 0, 100, 4, 0x000000, 0x0000FF, true, true);
  EXPECT_EQ(Red(PixelAt(g, 10 + 97, 2)), 255 - 255 * 3 / 100);
  EXPECT_EQ(PixelAt(g, 10 + 97, 2), PixelAt(g, 10 + 99, 2));
  EXPECT_EQ(Red(PixelAt(g, 10 + 94, 2)), 255 - 255 * 6 / 100);
  EXPECT_EQ(Red(PixelAt(g, 10 + 1, 2)), 255 - 255 * 99 / 100);
  // The last band lies partly before the area; its colour stays colour1.
  EXPECT_EQ(PixelAt(g, 10, 2), 0x000000);
  EXPECT_EQ(PixelAt(g, 8, 2), 0x000000);
  EXPECT_EQ(PixelAt(g, 7, 2), clWhite);
  EXPECT_EQ(PixelAt(g, 110, 2), clWhite);

  // Vertical, and nothing for sizes below 1.
  TBitmap v;
  Blank(v, 4, 12);
  DrawGradient(v.Canvas, 0, 1, 4, 10, 0xFF0000, 0x00FF00, false, true);
  EXPECT_EQ(PixelAt(v, 2, 1), 0xFF0000);
  EXPECT_EQ(PixelAt(v, 2, 0), clWhite);
  DrawGradient(v.Canvas, 0, 0, 4, 0, 0, 0, false, true);
  DrawGradient(v.Canvas, 0, 0, -5, 4, 0, 0, true, true);
  EXPECT_EQ(PixelAt(v, 2, 0), clWhite);
}

TEST(DrawingHelpers, Draw3DBarWithNegativeWidthIsTheSameBar) {
  TBitmap a, b;
  Blank(a, 80, 30);
  Blank(b, 80, 30);
  Draw3DBar(a.Canvas, 60, 2, -30, 20, 0x00FF00, 0x0000FF, false);
  Draw3DBar(b.Canvas, 30, 2, 30, 20, 0x00FF00, 0x0000FF, false);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) ASSERT_EQ(PixelAt(a, x, y), PixelAt(b, x, y)) << x << "," << y;
  // Edges in colour1 (a double frame), colour2 a third of the way in.
  EXPECT_EQ(PixelAt(b, 30, 10), 0x00FF00);
  EXPECT_EQ(PixelAt(b, 31, 10), 0x00FF00);
  EXPECT_EQ(PixelAt(b, 59, 10), 0x00FF00);
  // A standing bar (not horizontal) is shaded along its height: colour2 a
  // third of the way down.
  EXPECT_GT(Red(PixelAt(b, 45, 8)), 200);
  EXPECT_LT((PixelAt(b, 45, 8) >> 8) & 0xFF, 60);
  // Nothing for a zero size; negative heights count upwards.
  TBitmap c, d;
  Blank(c, 80, 30);
  Blank(d, 80, 30);
  Draw3DBar(c.Canvas, 10, 0, 0, 20, 0, 0xFF, true);
  EXPECT_EQ(CountColor(c, {0, 0, 80, 30}, clWhite), 80 * 30);
  Draw3DBar(c.Canvas, 10, 25, 40, -20, 0x00FF00, 0x0000FF, true);
  Draw3DBar(d.Canvas, 10, 5, 40, 20, 0x00FF00, 0x0000FF, true);
  EXPECT_EQ(CountColor(c, {0, 0, 80, 30}, 0x00FF00), CountColor(d, {0, 0, 80, 30}, 0x00FF00));
}

// Sizes far beyond the bitmap draw the part of the shape that lies on it and
// nothing else: each case paints exactly the expected rectangle of a white
// 40 x 20 bitmap (none when the shape lies wholly off the bitmap), with the
// given pixels in the edge colour.
TEST(DrawingHelpers, AbsurdSizesAreClipped) {
  constexpr int kMax = 2147483647, kMin = -2147483647 - 1;
  struct TCase {
    const char* name;
    void (*draw)(TCanvas*);
    TRect painted;
    std::vector<TPoint> edges;  // pixels in green, the colour of every edge
  };
  const TCase cases[] = {
      {"bar to the far right",
       [](TCanvas* c) { Draw3DBar(c, 0, 0, kMax, 10, clGreen, clRed, true); },
       {0, 0, 40, 10},
       {{0, 5}, {1, 5}, {20, 0}, {20, 1}, {20, 8}, {20, 9}}},
      // A negative width counts leftwards from x 0: the bar ends at -1.
      {"bar to the far left",
       [](TCanvas* c) { Draw3DBar(c, 0, 0, kMin, 10, clGreen, clRed, false); },
       {0, 0, 0, 0},
       {}},
      {"bar to the far bottom",
       [](TCanvas* c) { Draw3DBar(c, 20, 0, 10, kMax, clGreen, clRed, false); },
       {20, 0, 30, 20},
       {{25, 0}, {25, 1}, {20, 10}, {21, 10}, {28, 10}, {29, 10}}},
      {"gradient ending at x -1",
       [](TCanvas* c) { DrawGradient(c, -2147483647, 0, 2147483646, 5, clGreen, clRed, true, true); },
       {0, 0, 0, 0},
       {}},
      {"gradient over the whole width",
       [](TCanvas* c) { DrawGradient(c, -1000000000, 3, 2000000000, 4, clGreen, clRed, true, true); },
       {0, 3, 40, 7},
       {}},
      {"fill far beyond the corner",
       [](TCanvas* c) { FillColorRect(c, 2147483600, 2147483600, kMax, kMax, clGreen); },
       {0, 0, 0, 0},
       {}},
      {"fill ending at -1", [](TCanvas* c) { FillColorRect(c, kMin, kMin, kMax, kMax, clGreen); }, {0, 0, 0, 0}, {}},
      {"fill over everything",
       [](TCanvas* c) { FillColorRect(c, -1000000000, -1000000000, 2000000000, 2000000000, clGreen); },
       {0, 0, 40, 20},
       {{0, 0}, {39, 19}}},
      {"fill from far above",
       [](TCanvas* c) { FillColorRect(c, 5, -2000000000, 10, 2000000004, clGreen); },
       {5, 0, 15, 4},
       {{5, 0}, {14, 3}}},
      {"line ending at x -1", [](TCanvas* c) { FrameColorRect(c, kMin, 0, kMax, 1, clGreen); }, {0, 0, 0, 0}, {}},
      {"line crossing the bitmap",
       [](TCanvas* c) { FrameColorRect(c, -100000, 6, 200000, 1, clGreen); },
       {0, 6, 40, 7},
       {{0, 6}, {39, 6}}},
  };
  for (const TCase& test : cases) {
    TBitmap a;
    Blank(a, 40, 20);
    test.draw(a.Canvas);
    const int area = static_cast<int>(test.painted.Width() * test.painted.Height());
    EXPECT_EQ(CountColor(a, test.painted, clWhite), 0) << test.name;
    EXPECT_EQ(CountColor(a, {0, 0, 40, 20}, clWhite), 40 * 20 - area) << test.name;
    for (const TPoint& p : test.edges)
      EXPECT_EQ(PixelAt(a, p.x, p.y), clGreen) << test.name << " " << p.x << "," << p.y;
  }
}

TEST(DrawingHelpers, ColourRectsAndLines) {
  TBitmap b;
  Blank(b, 20, 20);
  b.Canvas->Pen->Color = clBlue;
  b.Canvas->Brush->Color = clYellow;
  FrameColorRect(b.Canvas, 2, 2, 1, 5, clRed);  // a line, end point left out
  EXPECT_EQ(PixelAt(b, 2, 2), clRed);
  EXPECT_EQ(PixelAt(b, 2, 6), clRed);
  EXPECT_EQ(PixelAt(b, 2, 7), clWhite);
  FrameColorRect(b.Canvas, 5, 2, 6, 1, clRed);
  EXPECT_EQ(PixelAt(b, 10, 2), clRed);
  EXPECT_EQ(PixelAt(b, 11, 2), clWhite);
  FrameColorRect(b.Canvas, 5, 5, 6, 6, clGreen);
  EXPECT_EQ(PixelAt(b, 5, 5), clGreen);
  EXPECT_EQ(PixelAt(b, 10, 10), clGreen);
  EXPECT_EQ(PixelAt(b, 7, 7), clWhite);
  FillColorRect(b.Canvas, 12, 12, 4, 4, clGreen);
  EXPECT_EQ(CountColor(b, {12, 12, 16, 16}, clGreen), 16);
  // The tools come back as they were.
  EXPECT_EQ(b.Canvas->Pen->Color, clBlue);
  EXPECT_EQ(b.Canvas->Brush->Color, clYellow);
}
