// Sizes of page objects, as drawing and AutoSize give them.

#include <gtest/gtest.h>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Picture.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

using namespace surfacetest;

using SizingTest = SurfaceTest;

namespace {

// The element's size after AutoSize, and after drawing it.
TSize AutoSized(TGridWebElement* e) {
  e->AutoSize();
  return {e->Width(), e->Height()};
}

TSize Drawn(TGridWebElement* e) {
  TBitmap b;
  b.SetSize(400, 200);
  e->Draw(0, 0, b.Canvas);
  return {e->Width(), e->Height()};
}

int DigitWidth(const std::string& face, int fontSize) {
  TCanvas c;
  c.Font->Name = face;
  c.Font->Height = -fontSize;
  return c.TextWidth("0");
}

}  // namespace

TEST_F(SizingTest, EditFieldsWithFixedFactor) {
  auto* e = Make(wkEdit);
  EXPECT_EQ(AutoSized(e), (TSize{29, 21}));
  EXPECT_EQ(Drawn(e), (TSize{29, 21}));
  e->FFontSize = 20;
  e->FSize = 10;
  EXPECT_EQ(AutoSized(e), (TSize{128, 28}));
  EXPECT_EQ(Drawn(e), (TSize{128, 28}));
  // The edit with its own button adds the button when drawn, not in AutoSize.
  auto* local = Make(wkEditLocal);
  EXPECT_EQ(AutoSized(local), (TSize{29, 21}));
  EXPECT_EQ(Drawn(local), (TSize{29 + 2 + 13 + 6, 21}));
}

TEST_F(SizingTest, EditFieldsWithMeasuredFonts) {
  designer()->FGlobalWebData.MeasuredFonts = true;
  auto* e = Make(wkEdit);
  e->FSize = 5;
  TCanvas c;
  c.Font->Name = "Verdana";
  c.Font->Height = -13;
  const int digitHeight = c.TextHeight("0");
  EXPECT_EQ(AutoSized(e), (TSize{10 + 5 * DigitWidth("Verdana", 13), digitHeight + 6}));
  EXPECT_EQ(Drawn(e), (TSize{10 + 5 * DigitWidth("Verdana", 13), digitHeight + 6}));
  e->FBorder = false;
  EXPECT_EQ(AutoSized(e).cy, digitHeight + 4);
  // The project's proportional-font option changes the face and so the size.
  box()->Font()->Name = "Courier New";
  EXPECT_EQ(AutoSized(e).cx, 10 + 5 * DigitWidth("Courier New", 13));
  e->FFontSize = 40;
  EXPECT_EQ(AutoSized(e).cx, 10 + 5 * DigitWidth("Courier New", 40));
  box()->Font()->Name = "Verdana";
  EXPECT_EQ(AutoSized(e).cx, 10 + 5 * DigitWidth("Verdana", 40));
  EXPECT_NE(DigitWidth("Courier New", 40), DigitWidth("Verdana", 40));
}

TEST_F(SizingTest, UploadFieldDependsOnFontAndSizeOnly) {
  auto* e = Make(wkPostFile);
  e->FSize = 23;
  EXPECT_EQ(AutoSized(e).cy, 22);
  EXPECT_EQ(Drawn(e), (TSize{6 + 183, 22}));  // 13 x 23 x 0.615 = 183.885
  e->FFontSize = 20;
  EXPECT_EQ(AutoSized(e).cy, 30);
  EXPECT_EQ(Drawn(e).cy, 30);
  designer()->FGlobalWebData.MeasuredFonts = true;
  e->FCaption = "A much longer caption than before";
  EXPECT_EQ(Drawn(e), (TSize{6 + 282, 30}));  // 20 x 23 x 0.615 = 282.9
}

TEST_F(SizingTest, SubmitGrowsToItsCaptionButNeverShrinks) {
  auto* e = Make(wkSubmit);
  TCanvas c;
  c.Font->Name = "Verdana";
  c.Font->Height = -13;
  const TSize caption = c.TextExtent("Submit");
  e->SetBounds(e->Left(), e->Top(), 10, 10);
  EXPECT_EQ(AutoSized(e), (TSize{caption.cx + 24, caption.cy + 12}));
  e->SetBounds(e->Left(), e->Top(), 10, 10);
  EXPECT_EQ(Drawn(e), (TSize{caption.cx + 24, caption.cy + 12}));
  e->SetBounds(e->Left(), e->Top(), 200, 40);
  EXPECT_EQ(AutoSized(e), (TSize{200, 40}));
  EXPECT_EQ(Drawn(e), (TSize{200, 40}));
}

TEST_F(SizingTest, DropDownIsAlwaysMeasured) {
  auto* e = Make(wkDropDown);
  e->FSize = 10;
  TCanvas c;
  c.Font->Name = "Verdana";
  c.Font->Height = -13;
  const TSize digit = c.TextExtent("0");
  EXPECT_EQ(AutoSized(e), (TSize{10 * digit.cx + 10, digit.cy + 6}));
  EXPECT_EQ(Drawn(e), (TSize{10 * digit.cx + 10, digit.cy + 6}));
}

TEST_F(SizingTest, LabelsTakeTheirText) {
  auto* e = Make(wkLabel);
  e->SetCaption("Motor speed");
  e->FStrong = true;
  TCanvas c;
  c.Font->Name = "Verdana";
  c.Font->Height = -13;
  c.Font->Style = fsBold;
  const TSize text = c.TextExtent("Motor speed");
  EXPECT_EQ(AutoSized(e), text);
  EXPECT_EQ(Drawn(e), text);
  e->FHref = "SETTINGS";
  c.Font->Style = fsBold | fsUnderline;
  EXPECT_EQ(AutoSized(e), c.TextExtent("Motor speed"));
  // An empty caption: a square as high as "X".
  e->SetCaption("");
  const int side = c.TextHeight("X");
  EXPECT_EQ(Drawn(e), (TSize{side, side}));
}

namespace {

// The block made into a dynamic bar of "Level" with its designed size.
TGridWebElement* MakeBar(TGridWebElement* e, int w, int h, bool horizontal) {
  e->SetContentWidth(w);
  e->SetContentHeight(h);
  e->FDynamic = true;
  e->FHorz = horizontal;
  e->SetVariable("Level");
  return e;
}

}  // namespace

TEST_F(SizingTest, HorizontalBarKeepsItsFarEdgeAndComesBack) {
  auto* e = MakeBar(Make(wkBlock, 11, 3), 120, 16, true);  // designed at 80, 16
  designer()->FLiveMode = true;
  SetLiveValue(e, "DINT", 50);
  TBitmap b;
  PaintSurface(b);
  // The far edge stays where the designed box ends; the bar grows to the left.
  EXPECT_EQ(e->Width(), 50);
  EXPECT_EQ(e->Left() + e->Width(), 80 + 120);
  // With FNatv the near (left) edge stays.
  e->FNatv = true;
  SetLiveValue(e, "DINT", 70);
  PaintSurface(b);
  EXPECT_EQ(e->Width(), 70);
  EXPECT_EQ(e->Left(), 80 + 120 - 50);
  // AutoSize restores the designed geometry.
  e->AutoSize();
  EXPECT_EQ(e->BoundsRect(), Bounds(80, 16, 120, 16));
  // Value 0 away from the surface's left edge: width 0, the far edge kept.
  e->FNatv = false;
  SetLiveValue(e, "DINT", 0);
  PaintSurface(b);
  EXPECT_EQ(e->Width(), 0);
  EXPECT_EQ(e->Left(), 200);
  // An empty bar is not painted any more: AutoSize (the designer's, before
  // it saves or leaves the live view) brings it back, and so does a paint
  // of the design view.
  e->AutoSize();
  EXPECT_EQ(e->BoundsRect(), Bounds(80, 16, 120, 16));
  SetLiveValue(e, "DINT", 60);
  PaintSurface(b);
  EXPECT_EQ(e->Width(), 60);
  designer()->FLiveMode = false;
  PaintSurface(b);
  EXPECT_EQ(e->BoundsRect(), Bounds(80, 16, 120, 16));
}

TEST_F(SizingTest, BarAtTheSurfaceEdgeKeepsOnePixel) {
  auto* e = MakeBar(Make(wkBlock, 1, 8), 40, 10, true);
  e->FNatv = true;
  designer()->FLiveMode = true;
  SetLiveValue(e, "DINT", 0);
  TBitmap b;
  PaintSurface(b);
  EXPECT_EQ(e->Left(), 0);
  EXPECT_EQ(e->Width(), 1);
}

TEST_F(SizingTest, StandingBarGrowsUpwardAndComesBack) {
  auto* e = MakeBar(Make(wkBlock, 41, 3), 16, 100, false);  // designed at 320, 16
  designer()->FLiveMode = true;
  SetLiveValue(e, "DINT", 30);
  TBitmap b;
  PaintSurface(b);
  EXPECT_EQ(e->Height(), 30);
  EXPECT_EQ(e->Top() + e->Height(), 16 + 100);
  // Back in the design view the bar has its designed size again.
  designer()->FLiveMode = false;
  PaintSurface(b);
  EXPECT_EQ(e->BoundsRect(), Bounds(320, 16, 16, 100));
}

TEST_F(SizingTest, AbsurdBarLengthsAreClippedNotACrash) {
  auto* e = Make(wkBlock, 11, 3);
  e->SetContentWidth(120);
  e->SetContentHeight(16);
  e->FDynamic = true;
  e->FHorz = true;
  e->FGradient = true;
  e->FBackColor = 0x00FF00;
  e->SetVariable("Level");
  designer()->FLiveMode = true;
  SetLiveValue(e, "UDINT", 2147483648LL);  // 2^31
  TBitmap b;
  PaintSurface(b);
  EXPECT_EQ(e->Width(), 2147483647);
  EXPECT_EQ(e->Left() + static_cast<long long>(e->Width()), 80 + 120);
  // What the surface shows of it: the part left of the designed right edge,
  // with its double frame in the back colour on the right, top and bottom.
  for (const int x : {198, 199}) EXPECT_EQ(PixelAt(b, x, 24), 0x00FF00) << x;
  for (const int y : {16, 17, 30, 31}) EXPECT_EQ(PixelAt(b, 100, y), 0x00FF00) << y;
  EXPECT_EQ(CountColor(b, {0, 16, 200, 32}, clWhite), 0);
  const int w = b.Width(), h = b.Height();
  EXPECT_EQ(CountColor(b, {200, 0, w, h}, clWhite), (w - 200) * h);
  EXPECT_EQ(CountColor(b, {0, 32, 200, h}, clWhite), 200 * (h - 32));
  EXPECT_EQ(CountColor(b, {0, 0, 200, 16}, clWhite), 200 * 16);
  auto* standing = Make(wkBlock, 30, 3);
  standing->SetContentWidth(16);
  standing->SetContentHeight(100);
  standing->FDynamic = true;
  standing->FGradient = true;
  standing->SetVariable("Level");
  SetLiveValue(standing, "DINT", -2147483647LL - 1);
  PaintSurface(b);
  EXPECT_EQ(standing->Height(), 0);
  designer()->FLiveMode = false;
  PaintSurface(b);
  EXPECT_EQ(e->Width(), 120);
}

TEST_F(SizingTest, PictureKindsTakeTheirPictures) {
  auto* e = Make(wkImage);
  const char* on = "pump_on.png";
  const char* off = "button_off.bmp";
  e->LoadOnImage(on, (SourcePath("examples/demo/Tarnwell/Images/") + on).c_str());
  e->LoadOffImage(off, (SourcePath("examples/demo/Tarnwell/Images/") + off).c_str());
  ASSERT_NE(e->OnPicture()->Graphic(), nullptr);
  ASSERT_NE(e->OffPicture()->Graphic(), nullptr);
  EXPECT_EQ(AutoSized(e), (TSize{40, 32}));  // the larger of 32 x 32 (pump) and 40 x 20 (button)
  EXPECT_EQ(Drawn(e), (TSize{40, 32}));
  // A static image without picture and caption is a 32 x 32 box.
  auto* p = Make(wkPicture);
  EXPECT_EQ(Drawn(p), (TSize{32, 32}));
  // A multi-state image is as large as its largest loaded picture.
  auto* m = Make(wkMultiImage);
  m->AddImage("mode_off.png", false);
  m->AddImage("logo.bmp", false);
  EXPECT_EQ(AutoSized(m), (TSize{24, 24}));
  designer()->FLiveMode = true;
  SetLiveValue(m, "DINT", 1);
  EXPECT_EQ(Drawn(m), (TSize{48, 24}));
  EXPECT_EQ(AutoSized(m), (TSize{48, 24}));
  // Padding is added to the largest picture, as to every measured size.
  m->FPadX = 2;
  m->FPadY = 1;
  EXPECT_EQ(AutoSized(m), (TSize{50, 25}));
  m->FPadX = m->FPadY = 0;
  EXPECT_EQ(AutoSized(m), (TSize{48, 24}));
  // Out of range in the live view: nothing drawn, the size stays.
  SetLiveValue(m, "DINT", 7);
  EXPECT_EQ(Drawn(m), (TSize{48, 24}));
}
