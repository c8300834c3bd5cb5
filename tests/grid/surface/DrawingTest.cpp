// Pixel probes of page objects: selection marks, the red link frame, the
// pictures of missing and broken pictures, the drop-down arrow, the
// transparency of PNG and GIF pictures, clipping of edit texts.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Picture.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

using namespace surfacetest;

using DrawingTest = SurfaceTest;

namespace {

// A bitmap of w x h in one colour with a transparent colour.
void Solid(TBitmap& b, int w, int h, TColor colour) {
  b.SetSize(w, h);
  b.Canvas->Brush->Color = colour;
  b.Canvas->FillRect({0, 0, w, h});
}

bool IsRed(TColor c) { return c == clRed; }

// Text pixels: dark, whatever the smoothing of the glyph edges.
bool Dark(TColor c) { return c >= 0 && (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 300; }

int CountDark(const TBitmap& b, const TRect& r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (Dark(PixelAt(b, x, y))) ++n;
  return n;
}

}  // namespace

TEST_F(DrawingTest, SelectionMarksOnlyInTheDesignView) {
  auto* e = Make(wkCamera);
  e->SetBounds(0, 0, 60, 40);
  e->Select();
  TBitmap b;
  DrawAlone(e, b, 80, 60, 5, 5, clYellow);
  // The outline: black with white dots over it, all around the element.
  const int black = CountColor(b, {5, 5, 65, 6}, clBlack), white = CountColor(b, {5, 5, 65, 6}, clWhite);
  EXPECT_GT(black, 10);
  EXPECT_GT(white, 10);
  EXPECT_EQ(black + white, 60);
  EXPECT_EQ(CountColor(b, {5, 44, 65, 45}, clBlack) + CountColor(b, {5, 44, 65, 45}, clWhite), 60);
  // Resize handles: black, on the right edge, the bottom edge and the corner.
  EXPECT_EQ(CountColor(b, {5 + 56, 5 + 18, 5 + 59, 5 + 22}, clBlack), 12);
  EXPECT_EQ(CountColor(b, {5 + 28, 5 + 36, 5 + 32, 5 + 39}, clBlack), 12);
  EXPECT_EQ(CountColor(b, {5 + 56, 5 + 36, 5 + 59, 5 + 39}, clBlack), 9);
  // The live view shows neither.
  designer()->FLiveMode = true;
  DrawAlone(e, b, 80, 60, 5, 5, clYellow);
  EXPECT_EQ(CountColor(b, {5, 5, 65, 6}, clBlack), 0);
  EXPECT_EQ(CountColor(b, {5 + 56, 5 + 36, 5 + 59, 5 + 39}, clBlack), 0);
}

TEST_F(DrawingTest, RedLinkFrameOrDash) {
  auto* e = Make(wkEdit);
  e->SetVariable("Missing");
  designer()->FLiveMode = true;
  e->FVarValid = false;
  SetLiveValue(e, "INT", 5);
  TBitmap b;
  DrawAlone(e, b, 40, 30);
  EXPECT_EQ(CountColor(b, {0, 0, 29, 1}, clRed), 29);
  EXPECT_EQ(CountColor(b, {0, 0, 1, 21}, clRed), 21);
  EXPECT_EQ(CountColor(b, {28, 0, 29, 21}, clRed), 21);
  // A variable beginning with "#" shows "-" and no frame.
  e->SetVariable("#const");
  DrawAlone(e, b, 40, 30);
  EXPECT_EQ(CountColor(b, {0, 0, 40, 30}, clRed), 0);
  // A found variable: no frame in the live view either.
  e->SetVariable("Setpoint");
  e->FVarValid = true;
  DrawAlone(e, b, 40, 30);
  EXPECT_EQ(CountColor(b, {0, 0, 40, 30}, clRed), 0);
  // A double-state image without its variable is framed in red on its box.
  auto* img = Make(wkImage);
  img->SetCaption("Door");
  img->FVarValid = false;
  DrawAlone(img, b, 80, 30);
  EXPECT_EQ(CountColor(b, {0, 0, 1, img->Height()}, clRed), img->Height());
}

TEST_F(DrawingTest, RedCrossOfAMissingPicture) {
  auto* e = Make(wkPicture);
  TBitmap b;
  DrawAlone(e, b, 40, 40);
  EXPECT_EQ(e->Width(), 32);
  EXPECT_EQ(e->Height(), 32);
  EXPECT_TRUE(IsRed(PixelAt(b, 16, 16)));
  EXPECT_TRUE(IsRed(PixelAt(b, 8, 8)));
  EXPECT_TRUE(IsRed(PixelAt(b, 24, 8)));
  EXPECT_EQ(PixelAt(b, 16, 0), clBlack);  // the black frame
  EXPECT_EQ(PixelAt(b, 31, 16), clBlack);
  EXPECT_EQ(PixelAt(b, 16, 4), clWhite);
  // A multi-state image without pictures shows the same box in the design
  // view and nothing in the live view.
  auto* m = Make(wkMultiImage);
  m->AddImage("no_such_picture.png", false);
  DrawAlone(m, b, 40, 40);
  EXPECT_TRUE(IsRed(PixelAt(b, 16, 16)));
  designer()->FLiveMode = true;
  DrawAlone(m, b, 40, 40);
  EXPECT_EQ(CountColor(b, {0, 0, 40, 40}, clWhite), 1600);
}

TEST_F(DrawingTest, BrokenPictureImageOfAStringPicture) {
  auto* e = Make(wkStrImg);
  e->SetContentWidth(64);
  e->SetContentHeight(48);
  // The built-in picture, 22 x 24, transparent in 0x800080.
  TBitmap broken;
  Solid(broken, 22, 24, 0x800080);
  broken.Canvas->Brush->Color = clBlue;
  broken.Canvas->FillRect({4, 4, 18, 20});
  broken.SetTransparentColor(0x800080);
  broken.SetTransparent(true);
  e->FBrokenPicture->Assign(&broken);
  TBitmap b;
  DrawAlone(e, b, 80, 60, 0, 0, clYellow);
  EXPECT_EQ(e->Width(), 64);
  EXPECT_EQ(PixelAt(b, 10, 10), clBlue);
  EXPECT_EQ(PixelAt(b, 2, 10), clYellow);  // transparent
  EXPECT_EQ(PixelAt(b, 30, 0), clSilver);  // the silver frame around the element
  EXPECT_EQ(PixelAt(b, 63, 30), clSilver);
  EXPECT_EQ(PixelAt(b, 64, 30), clYellow);

  // In the live view an address with "://" is never fetched: broken picture, 22 x 24.
  designer()->FLiveMode = true;
  e->SetVariable("Title");
  SetLiveText(e, "STRING", "http://host/a.png");
  DrawAlone(e, b, 80, 60, 0, 0, clYellow);
  EXPECT_EQ(e->Width(), 22);
  EXPECT_EQ(e->Height(), 24);
  EXPECT_EQ(PixelAt(b, 10, 10), clBlue);
  // A picture of the project's images folder, with a query, loads without it.
  SetLiveText(e, "STRING", "images/state0.png?x=1");
  DrawAlone(e, b, 80, 60, 0, 0, clYellow);
  EXPECT_EQ(e->Width(), 24);
  EXPECT_EQ(e->Height(), 24);
  // An empty value: nothing.
  SetLiveText(e, "STRING", "");
  DrawAlone(e, b, 80, 60, 0, 0, clYellow);
  EXPECT_EQ(e->Width(), 0);
}

TEST_F(DrawingTest, BuiltInPicturesWhenTheProgramCarriesThem) {
  auto* s = Make(wkStrImg);
  auto* d = Make(wkDropDown);
  ASSERT_NE(s->FBrokenPicture, nullptr);
  ASSERT_NE(d->FDropDownPicture, nullptr);
  if (s->FBrokenPicture->Graphic() == nullptr) GTEST_SKIP() << "no BROKEN_BMP resource in this build";
  EXPECT_EQ(s->FBrokenPicture->Width(), 22);
  EXPECT_EQ(s->FBrokenPicture->Height(), 24);
  EXPECT_TRUE(s->FBrokenPicture->Graphic()->Transparent());
  if (d->FDropDownPicture->Graphic() == nullptr) GTEST_SKIP() << "no DROPDOWN_BMP resource in this build";
  EXPECT_TRUE(d->FDropDownPicture->Graphic()->Transparent());
  // The arrow lies at (W - 14, H / 2 - 3), its white left out.
  d->FTransparent = true;
  TBitmap b;
  DrawAlone(d, b, 80, 40, 0, 0, clYellow);
  const int ax = d->Width() - 14, ay = d->Height() / 2 - 3;
  const TRect arrow{ax, ay, ax + d->FDropDownPicture->Width(), ay + d->FDropDownPicture->Height()};
  EXPECT_GT(CountDark(b, arrow), 3);
  EXPECT_EQ(CountColor(b, arrow, clWhite), 0);
  EXPECT_GT(CountColor(b, arrow, clYellow), 3);
}

TEST_F(DrawingTest, DropDownArrowAndOptionText) {
  auto* e = Make(wkDropDown);
  e->FSize = 10;
  e->FOptions.Add("0", "Off");
  e->FOptions.Add("1", "Manual");
  TBitmap arrow;
  Solid(arrow, 9, 5, clWhite);
  arrow.Canvas->Brush->Color = clBlack;
  arrow.Canvas->FillRect({2, 1, 7, 4});
  arrow.SetTransparentColor(clWhite);
  arrow.SetTransparent(true);
  e->FDropDownPicture->Assign(&arrow);
  TBitmap b;
  DrawAlone(e, b, 160, 40, 0, 0, clYellow);
  e->FTransparent = true;
  const int W = e->Width(), H = e->Height();
  const int ax = W - 14, ay = H / 2 - 3;
  EXPECT_EQ(PixelAt(b, ax + 3, ay + 2), clBlack);
  EXPECT_EQ(PixelAt(b, ax, ay), clYellow);  // white is transparent
  // The design view shows the text of the option "0".
  EXPECT_GT(CountDark(b, {3, 2, W - 20, H - 2}), 5);
  // In the live view the text of the value's option, clipped before the arrow.
  designer()->FLiveMode = true;
  e->SetVariable("Mode");
  SetLiveValue(e, "DINT", 1);
  DrawAlone(e, b, 160, 40, 0, 0, clYellow);
  SaveCrop(b, {0, 0, 160, 40}, 4, OutputPath("probe_dropdown_live.png"));
  EXPECT_GT(CountDark(b, {3, 2, W - 20, H - 2}), 5);
  EXPECT_EQ(CountDark(b, {W - 20, 2, W - 15, H - 2}), 0);
}

TEST_F(DrawingTest, AlphaRuleOfPngAndGifPictures) {
  for (const char* name : {"alpha.png", "alpha.gif"}) {
    auto* e = Make(wkPicture);
    e->SetCaption("");
    e->LoadOffImage(name, SourcePath(std::string("tests/grid/surface/data/") + name).c_str());
    ASSERT_NE(e->OffPicture()->Graphic(), nullptr) << name;
    TBitmap b;
    DrawAlone(e, b, 8, 4, 0, 0, clYellow);
    EXPECT_EQ(e->Width(), 4) << name;
    EXPECT_EQ(e->Height(), 2) << name;
    if (std::string(name) == "alpha.png") {
      // Alpha 128 and more is drawn, below it the background shows.
      EXPECT_EQ(PixelAt(b, 0, 0), clRed);
      EXPECT_EQ(PixelAt(b, 1, 0), clYellow);  // alpha 100
      EXPECT_EQ(PixelAt(b, 2, 0), clYellow);  // alpha 0
      EXPECT_EQ(PixelAt(b, 3, 0), clBlue);
      EXPECT_EQ(PixelAt(b, 0, 1), clWhite);
      EXPECT_NE(PixelAt(b, 1, 1), clYellow);  // black at alpha 128 stays visible
      EXPECT_EQ(PixelAt(b, 2, 1), clYellow);  // alpha 127
      EXPECT_EQ(PixelAt(b, 3, 1), clLime);
    } else {
      // The transparent index shows the background.
      EXPECT_EQ(PixelAt(b, 0, 0), clRed);
      EXPECT_EQ(PixelAt(b, 1, 0), clYellow);
      EXPECT_EQ(PixelAt(b, 2, 0), clBlue);
      EXPECT_NE(PixelAt(b, 3, 0), clYellow);  // black stays
      EXPECT_EQ(PixelAt(b, 1, 1), clYellow);
      EXPECT_EQ(PixelAt(b, 2, 1), clRed);
    }
  }
}

TEST_F(DrawingTest, EditTextIsClippedAndAligned) {
  auto* e = Make(wkEdit);
  e->SetVariable("Setpoint");
  designer()->FLiveMode = true;
  SetLiveText(e, "STRING", "A long text that never fits into the field");
  TBitmap b;
  DrawAlone(e, b, 60, 30, 0, 0, clYellow);
  EXPECT_EQ(e->Width(), 29);
  // Nothing written beyond the field.
  EXPECT_EQ(CountColor(b, {29, 0, 60, 30}, clYellow), 31 * 30);
  // Password fields mask the text; right alignment ends 3 pixels early.
  e->FPassword = true;
  e->FAlignRight = true;
  e->FSize = 10;
  SetLiveText(e, "STRING", "abc");
  DrawAlone(e, b, 120, 30, 0, 0, clYellow);
  const int W = e->Width();
  TCanvas c;
  c.Font->Name = "Verdana";
  c.Font->Height = -13;
  const int textWidth = c.TextWidth("abc");
  int rightmost = -1;
  for (int x = 0; x < W; ++x)
    for (int y = 4; y < 17; ++y)
      if (Dark(PixelAt(b, x, y))) rightmost = x;
  SaveCrop(b, {0, 0, 120, 30}, 4, OutputPath("probe_edit_password.png"));
  // The text "***" starts where "abc" would to end 3 pixels before the edge.
  EXPECT_GE(rightmost, W - 3 - textWidth);
  EXPECT_LT(rightmost, W - 3);
}

TEST_F(DrawingTest, HiddenLayersAndVisibilityVariables) {
  auto* e = Make(wkLabel);
  TBitmap b;
  DrawAlone(e, b, 60, 30, 0, 0, clYellow);
  EXPECT_GT(CountColor(b, {0, 0, 60, 30}, clBlack), 5);
  designer()->FLayers[0].Visible = false;
  DrawAlone(e, b, 60, 30, 0, 0, clYellow);
  EXPECT_EQ(CountColor(b, {0, 0, 60, 30}, clBlack), 0);
  designer()->FLayers[0].Visible = true;
  // Hidden by its visibility variable in the live view.
  designer()->FLiveMode = true;
  e->SetVisVariable("MotorOn");
  e->FVisInfo.typeName = "BOOL";
  e->FVisInfo.typeCode = 0;
  e->ResolveVariables();
  DrawAlone(e, b, 60, 30, 0, 0, clYellow);
  EXPECT_EQ(CountColor(b, {0, 0, 60, 30}, clBlack), 0);
  e->FVisValue[0] = 1;
  DrawAlone(e, b, 60, 30, 0, 0, clYellow);
  EXPECT_GT(CountColor(b, {0, 0, 60, 30}, clBlack), 5);
}
