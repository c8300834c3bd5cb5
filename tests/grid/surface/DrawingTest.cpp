// Pixel probes of page objects: selection marks, the red link frame, the
// pictures of missing and broken pictures, the built-in drop-down arrow, the
// frames of fields and buttons, the text of double-state images, the frame of
// a dynamic bar, the transparency of PNG and GIF pictures, clipping of edit
// texts.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Picture.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

using namespace surfacetest;

using DrawingTest = SurfaceTest;

namespace {

// A bitmap of w x h in one colour.
void Solid(TBitmap& b, int w, int h, TColor colour) {
  b.SetSize(w, h);
  b.Canvas->Brush->Color = colour;
  b.Canvas->FillRect({0, 0, w, h});
}

// Text pixels: dark, whatever the smoothing of the glyph edges.
bool Dark(TColor c) { return c >= 0 && (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 300; }

int CountDark(const TBitmap& b, const TRect& r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (Dark(PixelAt(b, x, y))) ++n;
  return n;
}

// The columns of the dark pixels of a row, as "x..x" runs ("" for none).
std::string DarkRuns(const TBitmap& b, int y, int left, int right) {
  std::string runs;
  for (int x = left; x < right; ++x) {
    if (!Dark(PixelAt(b, x, y)) || (x > left && Dark(PixelAt(b, x - 1, y)))) continue;
    int end = x;
    while (end + 1 < right && Dark(PixelAt(b, end + 1, y))) ++end;
    runs += (runs.empty() ? "" : " ") + std::to_string(x - left) + ".." + std::to_string(end - left);
  }
  return runs;
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
  EXPECT_EQ(PixelAt(b, 16, 16), clRed);
  EXPECT_EQ(PixelAt(b, 8, 8), clRed);
  EXPECT_EQ(PixelAt(b, 24, 8), clRed);
  EXPECT_EQ(PixelAt(b, 16, 0), clBlack);  // the black frame
  EXPECT_EQ(PixelAt(b, 31, 16), clBlack);
  EXPECT_EQ(PixelAt(b, 16, 4), clWhite);
  // A multi-state image without pictures shows the same box in the design
  // view and nothing in the live view.
  auto* m = Make(wkMultiImage);
  m->AddImage("no_such_picture.png", false);
  DrawAlone(m, b, 40, 40);
  EXPECT_EQ(PixelAt(b, 16, 16), clRed);
  designer()->FLiveMode = true;
  DrawAlone(m, b, 40, 40);
  EXPECT_EQ(CountColor(b, {0, 0, 40, 40}, clWhite), 1600);
}

TEST_F(DrawingTest, BrokenPictureImageOfAStringPicture) {
  auto* e = Make(wkStrImg);
  e->SetContentWidth(64);
  e->SetContentHeight(48);
  // A stand-in of 22 x 24, transparent in 0x800080, that the probes can tell
  // from the built-in one.
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
  SetLiveText(e, "STRING", "images/mode_off.png?x=1");
  DrawAlone(e, b, 80, 60, 0, 0, clYellow);
  EXPECT_EQ(e->Width(), 24);
  EXPECT_EQ(e->Height(), 24);
  // An empty value: nothing.
  SetLiveText(e, "STRING", "");
  DrawAlone(e, b, 80, 60, 0, 0, clYellow);
  EXPECT_EQ(e->Width(), 0);
}

// The program's own pictures are part of it: a build without them is broken.
TEST_F(DrawingTest, BuiltInBrokenPictureIsTransparentAndSized) {
  auto* s = Make(wkStrImg);
  ASSERT_NE(s->FBrokenPicture, nullptr);
  ASSERT_NE(s->FBrokenPicture->Graphic(), nullptr) << "the program's BROKEN_BMP picture is missing";
  EXPECT_EQ(s->FBrokenPicture->Width(), 22);
  EXPECT_EQ(s->FBrokenPicture->Height(), 24);
  EXPECT_TRUE(s->FBrokenPicture->Graphic()->Transparent());
  const auto* bitmap = dynamic_cast<const TBitmap*>(s->FBrokenPicture->Graphic());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->TransparentColor(), static_cast<TColor>(0x800080));
}

// The built-in arrow, at (W - 14, floor(H / 2) - 3) of the field: a black
// triangle pointing down (rows of 7, 5, 3 and 1 pixels, centred) whose white
// is left out, in the design view and in the live view alike.
TEST_F(DrawingTest, BuiltInDropDownArrowIsATrianglePointingDown) {
  auto* d = Make(wkDropDown);
  ASSERT_NE(d->FDropDownPicture, nullptr);
  ASSERT_NE(d->FDropDownPicture->Graphic(), nullptr) << "the program's DROPDOWN_BMP picture is missing";
  ASSERT_TRUE(d->FDropDownPicture->Graphic()->Transparent());
  d->FTransparent = true;
  d->FSize = 6;
  for (const bool live : {false, true}) {
    designer()->FLiveMode = live;
    TBitmap b;
    DrawAlone(d, b, 100, 40, 0, 0, clYellow);
    const int ax = d->Width() - 14, ay = d->Height() / 2 - 3;
    const int aw = d->FDropDownPicture->Width(), ah = d->FDropDownPicture->Height();
    std::vector<std::string> rows;
    for (int y = ay; y < ay + ah; ++y) rows.push_back(DarkRuns(b, y, ax, ax + aw));
    EXPECT_EQ(rows, (std::vector<std::string>{"", "", "2..8", "3..7", "4..6", "5..5", ""})) << "live " << live;
    EXPECT_EQ(CountColor(b, {ax, ay, ax + aw, ay + ah}, clWhite), 0) << "live " << live;
  }
}

TEST_F(DrawingTest, DropDownShowsTheOptionTextBeforeItsArrow) {
  auto* e = Make(wkDropDown);
  e->FSize = 10;
  e->FTransparent = true;
  e->FOptions.Add("0", "Off");
  e->FOptions.Add("1", "Manual");
  TBitmap b;
  DrawAlone(e, b, 160, 40, 0, 0, clYellow);
  const int W = e->Width(), H = e->Height();
  // The design view shows the text of the option "0".
  EXPECT_GT(CountDark(b, {3, 2, W - 20, H - 2}), 5);
  TBitmap design;
  design.Assign(&b);
  // In the live view the text of the value's option, clipped before the arrow.
  designer()->FLiveMode = true;
  e->SetVariable("Mode");
  SetLiveValue(e, "DINT", 1);
  DrawAlone(e, b, 160, 40, 0, 0, clYellow);
  SaveCrop(b, {0, 0, 160, 40}, 4, OutputPath("probe_dropdown_live.png"));
  EXPECT_GT(CountDark(b, {3, 2, W - 20, H - 2}), CountDark(design, {3, 2, W - 20, H - 2}));  // "Manual", not "Off"
  EXPECT_EQ(CountDark(b, {W - 20, 2, W - 15, H - 2}), 0);
}

// The sunken frame of fields: a 2-pixel shadow line on the left and at the
// top; on the right and at the bottom a 2-pixel highlight line whose outer
// pixel a 1-pixel line in the face colour covers.
TEST_F(DrawingTest, SunkenFieldFrameOfEditFields) {
  auto* e = Make(wkEdit);
  e->FSize = 8;
  TBitmap b;
  DrawAlone(e, b, 100, 40, 2, 3, clYellow);
  const int X = 2, Y = 3, W = e->Width(), H = e->Height();
  const int midX = X + W / 2, midY = Y + H / 2;
  const TColor shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight), face = ColorToRGB(clBtnFace);
  EXPECT_EQ(PixelAt(b, X, midY), shadow);
  EXPECT_EQ(PixelAt(b, X + 1, midY), shadow);
  EXPECT_EQ(PixelAt(b, midX, Y), shadow);
  EXPECT_EQ(PixelAt(b, midX, Y + 1), shadow);
  EXPECT_EQ(PixelAt(b, X + W - 2, midY), highlight);
  EXPECT_EQ(PixelAt(b, X + W - 1, midY), face);
  EXPECT_EQ(PixelAt(b, midX, Y + H - 2), highlight);
  EXPECT_EQ(PixelAt(b, midX, Y + H - 1), face);
  EXPECT_EQ(PixelAt(b, X + W, midY), clYellow);
  EXPECT_EQ(PixelAt(b, midX, Y + H), clYellow);
  // Transparent: the page shows inside the frame.
  EXPECT_EQ(PixelAt(b, X + 3, Y + 3), clYellow);
  // Without a border no frame at all.
  e->FBorder = false;
  DrawAlone(e, b, 100, 40, 2, 3, clYellow);
  EXPECT_EQ(CountColor(b, {0, 0, 100, 40}, shadow) + CountColor(b, {0, 0, 100, 40}, face), 0);
}

// A submit button is filled only when it is not transparent; its raised frame
// is white above and to the left and grey below and to the right, twice.
TEST_F(DrawingTest, SubmitButtonFrameIsWhiteAboveAndGreyBelow) {
  auto* e = Make(wkSubmit);
  e->SetCaption("");
  e->SetBounds(e->Left(), e->Top(), 60, 30);
  TBitmap b;
  DrawAlone(e, b, 80, 40, 0, 0, clYellow);
  ASSERT_EQ(e->Width(), 60);
  const int l = 1, t = 1, r = e->Width() - 1, bottom = e->Height() - 1, midX = 30, midY = e->Height() / 2;
  for (const int x : {l, l + 1}) EXPECT_EQ(PixelAt(b, x, midY), clWhite) << x;
  for (const int y : {t, t + 1}) EXPECT_EQ(PixelAt(b, midX, y), clWhite) << y;
  for (const int x : {r - 1, r}) EXPECT_EQ(PixelAt(b, x, midY), clGray) << x;
  for (const int y : {bottom - 1, bottom}) EXPECT_EQ(PixelAt(b, midX, y), clGray) << y;
  EXPECT_EQ(PixelAt(b, l + 4, midY), clYellow);  // transparent: not filled
  EXPECT_EQ(PixelAt(b, 0, midY), clYellow);
  e->FTransparent = false;
  e->FBackColor = clAqua;
  DrawAlone(e, b, 80, 40, 0, 0, clYellow);
  EXPECT_EQ(PixelAt(b, l + 4, midY), clAqua);
  EXPECT_EQ(PixelAt(b, l, midY), clWhite);
}

// The caption of a double-state image is centred on its picture and clipped
// to the picture's box: a caption wider than the picture loses both ends.
TEST_F(DrawingTest, DoubleStateCaptionIsClippedToThePicture) {
  auto* e = Make(wkImage);
  TBitmap on;
  Solid(on, 32, 32, clBlue);
  e->OnPicture()->Assign(&on);
  e->SetCaption("Door");
  e->SetOptCaption("Door state");
  e->SetVariable("DoorOpen");
  designer()->FLiveMode = true;
  SetLiveValue(e, "BOOL", 1);
  e->FFrontColor = clWhite;
  TBitmap b;
  DrawAlone(e, b, 120, 40, 20, 0, clYellow);
  EXPECT_EQ(e->Width(), 32);
  EXPECT_EQ(e->Height(), 32);
  SaveCrop(b, {0, 0, 120, 40}, 4, OutputPath("probe_door_caption.png"));
  // Text pixels (anything but the picture's blue) reach both edges of the
  // picture, and nothing lies beside it.
  const int left = 20, right = 20 + 32;
  EXPECT_LT(CountColor(b, {left, 0, left + 2, 32}, clBlue), 2 * 32);
  EXPECT_LT(CountColor(b, {right - 2, 0, right, 32}, clBlue), 2 * 32);
  EXPECT_EQ(CountColor(b, {0, 0, 20, 40}, clYellow), 20 * 40);
  EXPECT_EQ(CountColor(b, {52, 0, 120, 40}, clYellow), 68 * 40);
}

// The live length of a dynamic bar changes, not its look: the double frame of
// a shaded bar lies on the edges of its new box (the right edge kept).
TEST_F(DrawingTest, DynamicBarKeepsItsDoubleFrame) {
  auto* e = Make(wkBlock, 11, 3);  // designed at 80, 16
  e->SetContentWidth(120);
  e->SetContentHeight(16);
  e->FDynamic = true;
  e->FHorz = true;
  e->FGradient = true;
  e->FBackColor = clGreen;
  e->FFrontColor = clRed;
  e->SetVariable("Level");
  for (const bool live : {false, true}) {
    designer()->FLiveMode = live;
    SetLiveValue(e, "SINT", 70);
    TBitmap b;
    PaintSurface(b);
    const int left = live ? 80 + 120 - 70 : 80, right = 80 + 120 - 1, midY = 16 + 8, midX = (left + right) / 2;
    ASSERT_EQ(e->Left(), left) << "live " << live;
    for (const int x : {left, left + 1, right - 1, right}) EXPECT_EQ(PixelAt(b, x, midY), clGreen) << x;
    for (const int y : {16, 17, 30, 31}) EXPECT_EQ(PixelAt(b, midX, y), clGreen) << y;
    EXPECT_EQ(PixelAt(b, left - 1, midY), clWhite);
    EXPECT_EQ(PixelAt(b, right + 1, midY), clWhite);
    EXPECT_EQ(PixelAt(b, midX, 32), clWhite);
  }
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
