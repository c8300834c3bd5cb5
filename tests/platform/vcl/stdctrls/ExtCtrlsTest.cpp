// Scroll boxes, splitters, speed buttons, images, shapes, panels and labels.

#include <functional>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "tests/platform/vcl/stdctrls/StdCtrlsTestSupport.h"

class ExtCtrlsTest : public StdCtrlsTest {
 protected:
  void SetUp() override {
    StdCtrlsTest::SetUp();
    form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 300);
    form->Show();
  }
  void TearDown() override {
    delete form;
    StdCtrlsTest::TearDown();
  }
  TForm* form = nullptr;
};

TEST_F(ExtCtrlsTest, ScrollBoxRangeFollowsTheChildrenAndScrollingMovesThem) {
  auto* box = new TScrollBox(form);
  box->SetParent(form);
  box->SetBounds(0, 0, 200, 150);
  box->SetColor(clWhite);
  auto* child = new TShape(form);
  child->SetParent(box);
  child->SetBounds(50, 40, 30, 30);
  child->Brush->Color = clRed;
  // Everything fits: no bars, no scrolling.
  EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(box->ClientWidth(), 196);
  box->HorzScrollBar()->SetPosition(30);
  EXPECT_EQ(box->HorzScrollBar()->Position(), 0);
  // A child far to the right and below: both bars, ranges from the children.
  auto* far = new TShape(form);
  far->SetParent(box);
  far->SetBounds(300, 400, 20, 20);
  EXPECT_EQ(box->HorzScrollBar()->Range(), 320);
  EXPECT_EQ(box->VertScrollBar()->Range(), 420);
  EXPECT_TRUE(box->HorzScrollBar()->IsScrollBarVisible());
  EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(box->ClientWidth(), 196 - TControlScrollBar::Size);
  // Scrolling moves the children; the range stays.
  box->HorzScrollBar()->SetPosition(40);
  box->VertScrollBar()->SetPosition(25);
  EXPECT_EQ(child->Left(), 10);
  EXPECT_EQ(child->Top(), 15);
  EXPECT_EQ(box->HorzScrollBar()->Range(), 320);
  // Positions stay within range.
  box->VertScrollBar()->SetPosition(100000);
  EXPECT_EQ(box->VertScrollBar()->Position(), 420 - box->ClientHeight());
  box->VertScrollBar()->SetPosition(25);
  // The painting shows the child at its scrolled place (inside the 2-pixel border).
  TBitmap bmp;
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(PixelAt(bmp, 2 + 10 + 5, 2 + 15 + 5), clRed);
  EXPECT_EQ(PixelAt(bmp, 2 + 50 + 5, 2 + 40 + 5), clWhite);
  // The scroll bars are painted in the frame.
  EXPECT_EQ(PixelAt(bmp, 200 - 2 - 8, 2 + 2), ColorToRGB(clBtnFace));
  // Back to the start: the child is where it was put.
  box->HorzScrollBar()->SetPosition(0);
  box->VertScrollBar()->SetPosition(0);
  EXPECT_EQ(child->Left(), 50);
  EXPECT_EQ(child->Top(), 40);
  // Presses on the bars scroll (arrows by Increment, the track by a page)
  // and fire no mouse event: the bars are no client area.
  int downs = 0;
  box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  const int cw = box->ClientWidth(), ch = box->ClientHeight();
  Driver::Click(box, cw + 5, ch - 5);  // the down arrow
  EXPECT_EQ(box->VertScrollBar()->Position(), 8);
  Driver::Click(box, cw + 5, ch - 30);  // the track below the thumb
  EXPECT_EQ(box->VertScrollBar()->Position(), 8 + ch);
  Driver::Click(box, 5, ch + 5);  // the left arrow: already at 0
  EXPECT_EQ(box->HorzScrollBar()->Position(), 0);
  Driver::Click(box, cw - 5, ch + 5);  // the right arrow
  EXPECT_EQ(box->HorzScrollBar()->Position(), 8);
  EXPECT_EQ(downs, 0);
  Driver::Click(box, 5, 5);
  EXPECT_EQ(downs, 1);
  // ScrollInView brings a child into view.
  box->ScrollInView(far);
  EXPECT_LE(far->Left() + far->Width(), box->ClientWidth());
  EXPECT_LE(far->Top() + far->Height(), box->ClientHeight());
  EXPECT_GE(far->Left(), 0);
}

// A box of 200 x 150 holding two shapes, near (10,10 30x30) and far
// (300,400 20x20), and a panel (60,100 40x40): ranges 320 and 420 before
// each row's change. Then near stands at (nearX, nearY) in scrolled
// coordinates (its place plus the positions).
struct ScrollRangeRow {
  const char* change;
  std::function<void(TScrollBox& box, TControl& far, TControl& panel)> act;
  int horz;
  int vert;
  int nearX = 10;
  int nearY = 10;
};

const ScrollRangeRow kScrollRangeRows[] = {
    {"a child added beyond the others",
     [](TScrollBox& box, TControl&, TControl&) {
       auto* added = new TShape(&box);
       added->SetBounds(450, 30, 10, 10);
       added->SetParent(&box);
     },
     460, 420},
    {"the farthest child moved in", [](TScrollBox&, TControl& far, TControl&) { far.SetBounds(20, 20, 20, 20); }, 100,
     140},
    {"the farthest child grown", [](TScrollBox&, TControl& far, TControl&) { far.SetWidth(80); }, 380, 420},
    {"the farthest child freed", [](TScrollBox&, TControl& far, TControl&) { delete &far; }, 100, 140},
    {"the farthest child hidden", [](TScrollBox&, TControl& far, TControl&) { far.Hide(); }, 100, 140},
    {"the farthest child hidden and shown again",
     [](TScrollBox&, TControl& far, TControl&) {
       far.Hide();
       far.Show();
     },
     320, 420},
    {"the farthest child given to another parent",
     [](TScrollBox& box, TControl& far, TControl&) { far.SetParent(box.Parent()); }, 100, 140},
    {"the panel moved beyond the others", [](TScrollBox&, TControl&, TControl& panel) { panel.SetLeft(500); }, 540,
     420},
    {"scrolled, then the farthest child moved up to the top of the view",
     [](TScrollBox& box, TControl& far, TControl&) {
       box.VertScrollBar()->SetPosition(100);
       far.SetTop(0);
     },
     320, 140},
    {"scrolled both ways, then a child added at the bottom right of the view",
     [](TScrollBox& box, TControl&, TControl&) {
       box.HorzScrollBar()->SetPosition(50);
       box.VertScrollBar()->SetPosition(100);
       auto* added = new TShape(&box);
       added->SetBounds(300, 400, 100, 100);
       added->SetParent(&box);
     },
     450, 600},
    {"scrolled and back",
     [](TScrollBox& box, TControl&, TControl&) {
       box.VertScrollBar()->SetPosition(100);
       box.HorzScrollBar()->SetPosition(60);
       box.VertScrollBar()->SetPosition(0);
     },
     320, 420},
    {"every child moved by ScrollBy, the positions staying",
     [](TScrollBox& box, TControl&, TControl&) { box.ScrollBy(-100, -50); }, 220, 370, -90, -40},
};

TEST_F(ExtCtrlsTest, ScrollBoxRangeFollowsEveryChangeOfTheChildren) {
  for (const ScrollRangeRow& row : kScrollRangeRows) {
    SCOPED_TRACE(row.change);
    TScrollBox box(nullptr);
    box.SetParent(form);
    box.SetBounds(0, 0, 200, 150);
    auto* near = new TShape(&box);
    near->SetBounds(10, 10, 30, 30);
    near->SetParent(&box);
    auto* far = new TShape(&box);
    far->SetBounds(300, 400, 20, 20);
    far->SetParent(&box);
    auto* panel = new TPanel(&box);
    panel->SetBounds(60, 100, 40, 40);
    panel->SetParent(&box);
    row.act(box, *far, *panel);
    EXPECT_EQ(box.HorzScrollBar()->Range(), row.horz);
    EXPECT_EQ(box.VertScrollBar()->Range(), row.vert);
    EXPECT_EQ(near->Left() + box.HorzScrollBar()->Position(), row.nearX);
    EXPECT_EQ(near->Top() + box.VertScrollBar()->Position(), row.nearY);
  }
}

TEST_F(ExtCtrlsTest, SplitterResizesTheControlBesideItAndSnaps) {
  auto* left = new TPanel(form);
  left->SetParent(form);
  left->SetAlign(alLeft);
  left->SetWidth(120);
  auto* splitter = new TSplitter(form);
  splitter->SetParent(form);
  splitter->SetLeft(200);  // goes to the right of the panel
  auto* rest = new TPanel(form);
  rest->SetParent(form);
  rest->SetAlign(alClient);
  ASSERT_EQ(splitter->Left(), 120);
  EXPECT_EQ(splitter->FindResizeControl(), left);
  int moved = 0;
  splitter->OnMoved = [&](TObject*) { ++moved; };
  Driver::MouseDown(splitter, 1, 50);
  Driver::MouseMove(splitter, 41, 50, ssLeft);
  Driver::MouseUp(splitter, 41, 50);
  EXPECT_EQ(left->Width(), 160);
  EXPECT_EQ(splitter->Left(), 160);
  EXPECT_EQ(rest->Left(), 163);
  EXPECT_EQ(moved, 1);
  // Below MinSize it snaps to nothing.
  Driver::MouseDown(splitter, 1, 50);
  Driver::MouseUp(splitter, -140, 50);
  EXPECT_EQ(left->Width(), 0);
  EXPECT_EQ(moved, 2);
  // Without AutoSnap it stops at MinSize; the rest keeps MinSize too.
  splitter->AutoSnap = false;
  Driver::MouseDown(splitter, 1, 50);
  Driver::MouseUp(splitter, 10, 50);
  EXPECT_EQ(left->Width(), 30);
  Driver::MouseDown(splitter, 1, 50);
  Driver::MouseUp(splitter, 1000, 50);
  EXPECT_EQ(left->Width(), 400 - 3 - 30);
}

TEST_F(ExtCtrlsTest, SpeedButtonGroupsAndDown) {
  TSpeedButton* b[3];
  int clicks = 0;
  for (int i = 0; i < 3; ++i) {
    b[i] = new TSpeedButton(form);
    b[i]->SetParent(form);
    b[i]->SetBounds(10 + 25 * i, 10, 23, 22);
    b[i]->SetGroupIndex(1);
    b[i]->OnClick = [&](TObject*) { ++clicks; };
  }
  auto* plain = new TSpeedButton(form);
  plain->SetParent(form);
  plain->SetBounds(100, 10, 23, 22);
  plain->SetDown(true);  // no group: springs back
  EXPECT_FALSE(plain->Down());
  b[0]->SetDown(true);
  EXPECT_EQ(clicks, 0);  // no click from code
  Driver::Click(b[1]);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(b[1]->Down());
  EXPECT_FALSE(b[0]->Down());
  // Without AllowAllUp the down button stays down.
  Driver::Click(b[1]);
  EXPECT_TRUE(b[1]->Down());
  b[1]->SetDown(false);
  EXPECT_TRUE(b[1]->Down());
  b[2]->SetAllowAllUp(true);
  Driver::Click(b[1]);
  EXPECT_FALSE(b[1]->Down());
  // Speed buttons never take the focus; a disabled one takes no click.
  b[2]->SetEnabled(false);
  Driver::Click(b[2]);
  EXPECT_FALSE(b[2]->Down());
  // A button held down paints its face dithered.
  b[0]->SetDown(true);
  TBitmap down, up;
  PaintControlToBitmap(b[0], down);
  PaintControlToBitmap(b[1], up);
  EXPECT_GT(CountColor(down, Rect(3, 3, 20, 19), clBtnHighlight), 50);
  EXPECT_LT(CountColor(up, Rect(3, 3, 20, 19), clBtnHighlight), 5);
}

TEST_F(ExtCtrlsTest, ImageDrawsItsPictureStretchedCentredOrTransparent) {
  auto* image = new TImage(form);
  image->SetParent(form);
  image->SetBounds(0, 0, 40, 40);
  form->SetColor(clWhite);
  TBitmap* pic = image->Picture()->Bitmap();
  pic->SetSize(10, 10);
  pic->Canvas->Brush->Color = clBlue;
  pic->Canvas->FillRect(Rect(0, 0, 10, 10));
  pic->Canvas->Brush->Color = clLime;
  pic->Canvas->FillRect(Rect(0, 5, 10, 10));  // the bottom half: the bottom-left pixel is lime
  TBitmap bmp;
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(PixelAt(bmp, 2, 2), clBlue);
  EXPECT_EQ(PixelAt(bmp, 2, 7), clLime);
  EXPECT_EQ(PixelAt(bmp, 20, 20), clWhite);
  image->SetStretch(true);
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(PixelAt(bmp, 35, 15), clBlue);
  EXPECT_EQ(PixelAt(bmp, 35, 25), clLime);
  image->SetStretch(false);
  image->SetCenter(true);
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(PixelAt(bmp, 2, 2), clWhite);
  EXPECT_EQ(PixelAt(bmp, 17, 17), clBlue);
  image->SetTransparent(true);  // the bottom-left colour (lime) disappears
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(PixelAt(bmp, 17, 17), clBlue);
  EXPECT_EQ(PixelAt(bmp, 17, 22), clWhite);
  // The image's Canvas draws on the picture.
  image->Canvas()->Pixels[0][0] = clRed;
  EXPECT_EQ(pic->Canvas->GetPixel(0, 0), clRed);
  // An empty picture gets a bitmap of the control's size to draw on.
  auto* empty = new TImage(form);
  empty->SetBounds(0, 0, 33, 22);
  empty->Canvas()->Brush->Color = clRed;
  EXPECT_EQ(empty->Picture()->Width(), 33);
  EXPECT_EQ(empty->Picture()->Height(), 22);
}

TEST_F(ExtCtrlsTest, PanelBevelsKeepAlignedChildrenInside) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 100, 60);
  panel->SetBevelInner(bvLowered);
  panel->SetBorderWidth(3);
  auto* inside = new TPanel(form);
  inside->SetParent(panel);
  inside->SetAlign(alClient);
  EXPECT_EQ(inside->BoundsRect(), Rect(5, 5, 95, 55));
  panel->SetCaption("");
  TBitmap bmp;
  PaintControlToBitmap(panel, bmp);
  EXPECT_EQ(PixelAt(bmp, 0, 30), ColorToRGB(clBtnHighlight));  // raised outer bevel
  EXPECT_EQ(PixelAt(bmp, 99, 30), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(bmp, 4, 30), ColorToRGB(clBtnShadow));  // lowered inner bevel
}

TEST_F(ExtCtrlsTest, ShapesAndBevels) {
  form->SetColor(clWhite);
  auto* shape = new TShape(form);
  shape->SetParent(form);
  shape->SetBounds(0, 0, 40, 20);
  shape->Brush->Color = clYellow;
  shape->SetShape(stCircle);
  TBitmap bmp;
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(PixelAt(bmp, 20, 10), clYellow);
  EXPECT_EQ(PixelAt(bmp, 2, 10), clWhite);   // a circle of 20 in the middle
  EXPECT_EQ(PixelAt(bmp, 10, 10), clBlack);  // its outline
  shape->SetShape(stRectangle);
  shape->SetBrushStyle(bsDiagCross);
  PaintControlToBitmap(form, bmp);
  EXPECT_GT(CountColor(bmp, Rect(1, 1, 39, 19), clWhite), 100);
  EXPECT_GT(CountColor(bmp, Rect(1, 1, 39, 19), clYellow), 50);
  auto* bevel = new TBevel(form);
  bevel->SetParent(form);
  bevel->SetBounds(50, 50, 100, 2);
  bevel->SetShape(bsTopLine);
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(PixelAt(bmp, 60, 50), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(bmp, 60, 51), ColorToRGB(clBtnHighlight));
}

TEST_F(ExtCtrlsTest, LabelsSizeToTheirTextAndGreyWhenDisabled) {
  form->SetColor(clWhite);
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetLeft(10);
  label->SetTop(10);
  label->SetCaption("A caption");
  TCanvas measure;
  measure.Font->Assign(*label->Font());
  EXPECT_EQ(label->Width(), measure.TextWidth("A caption"));
  EXPECT_EQ(label->Height(), measure.TextHeight("A caption"));
  label->SetAutoSize(false);
  label->SetWidth(200);
  label->SetAlignment(taRightJustify);
  TBitmap bmp;
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(CountOther(bmp, Rect(10, 10, 120, 25), clWhite), 0);
  EXPECT_GT(CountColor(bmp, Rect(150, 10, 210, 25), clBlack), 5);
  label->SetEnabled(false);
  PaintControlToBitmap(form, bmp);
  EXPECT_EQ(CountColor(bmp, Rect(150, 10, 210, 25), clBlack), 0);
  EXPECT_GT(CountColor(bmp, Rect(150, 10, 210, 25), clBtnShadow), 5);
  // A word-wrapping label grows downwards.
  label->SetAutoSize(true);
  label->SetWordWrap(true);
  label->SetWidth(60);
  label->SetCaption("several words that do not fit on one line");
  EXPECT_GT(label->Height(), 2 * measure.TextHeight("A"));
  EXPECT_EQ(label->Width(), 60);
}
