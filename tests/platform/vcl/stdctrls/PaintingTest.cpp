// The painting framework: z-order, clipping, canvases set up for each
// control, forms with and without their frame.

#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Painting.h"
#include "tests/platform/vcl/stdctrls/StdCtrlsTestSupport.h"

namespace {

// A graphic control that fills its canvas's clip and records what it saw.
class TFiller : public TGraphicControl {
 public:
  explicit TFiller(TComponent* owner, TColor color) : TGraphicControl(owner), color_(color) {}
  void Paint() override {
    ++paints;
    seenClip = Canvas()->ClipRect();
    Canvas()->Brush->Color = color_;
    // Far beyond the control: the clip keeps it inside.
    Canvas()->FillRect(Rect(-1000, -1000, 1000, 1000));
  }
  int paints = 0;
  TRect seenClip{};

 private:
  TColor color_;
};

class TBox : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void Paint() override {
    Canvas()->Brush->Color = clRed;
    Canvas()->FillRect(Rect(0, 0, 4, 4));
  }
};

}  // namespace

class PaintingTest : public StdCtrlsTest {};

TEST_F(PaintingTest, ChildrenPaintInZOrderClippedToThemselvesAndTheirParent) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 100, 80);
  form.SetColor(clWhite);
  auto* below = new TFiller(&form, clBlue);
  below->SetParent(&form);
  below->SetBounds(10, 10, 30, 30);
  auto* above = new TFiller(&form, clLime);
  above->SetParent(&form);
  above->SetBounds(20, 20, 30, 30);
  auto* box = new TBox(&form);
  box->SetParent(&form);
  box->SetBounds(60, 60, 50, 50);  // reaches out of the form
  box->SetColor(clYellow);
  auto* inner = new TFiller(&form, clFuchsia);
  inner->SetParent(box);
  inner->SetBounds(10, 10, 100, 5);  // wider than its parent

  TBitmap bmp;
  PaintControlToBitmap(&form, bmp);
  ASSERT_EQ(bmp.Width(), 100);
  EXPECT_EQ(PixelAt(bmp, 5, 5), clWhite);
  EXPECT_EQ(PixelAt(bmp, 12, 12), clBlue);
  EXPECT_EQ(PixelAt(bmp, 25, 25), clLime);  // the later one lies above
  EXPECT_EQ(PixelAt(bmp, 45, 45), clLime);
  EXPECT_EQ(PixelAt(bmp, 55, 55), clWhite);
  EXPECT_EQ(PixelAt(bmp, 61, 61), clRed);     // the box's own paint
  EXPECT_EQ(PixelAt(bmp, 66, 66), clYellow);  // its background
  EXPECT_EQ(PixelAt(bmp, 75, 72), clFuchsia);
  EXPECT_EQ(PixelAt(bmp, 75, 76), clYellow);
  // The graphic control saw its own rectangle as its canvas's clip.
  EXPECT_EQ(below->seenClip, Rect(0, 0, 30, 30));
  EXPECT_EQ(inner->seenClip, Rect(0, 0, 30, 5));  // the form ends at 100
  // After painting the canvases draw nowhere.
  EXPECT_EQ(below->Canvas()->Target(), nullptr);
  EXPECT_EQ(box->Canvas()->Target(), nullptr);

  // Invisible children are left out; moving one to the back changes the order.
  above->SendToBack();
  inner->Hide();
  PaintControlToBitmap(&form, bmp);
  EXPECT_EQ(PixelAt(bmp, 25, 25), clBlue);
  EXPECT_EQ(PixelAt(bmp, 75, 72), clYellow);
}

TEST_F(PaintingTest, PaintToDrawsAtAnOffsetInsideTheCanvasClip) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 20, 20);
  form.SetColor(clNavy);
  TBitmap bmp;
  bmp.SetSize(50, 50);
  bmp.Canvas->Brush->Color = clWhite;
  bmp.Canvas->FillRect(Rect(0, 0, 50, 50));
  bmp.Canvas->SetClipRect(Rect(0, 0, 40, 40));
  PaintTo(&form, bmp.Canvas, 30, 5);
  bmp.Canvas->ResetClipRect();
  EXPECT_EQ(PixelAt(bmp, 29, 10), clWhite);
  EXPECT_EQ(PixelAt(bmp, 30, 10), clNavy);
  EXPECT_EQ(PixelAt(bmp, 39, 24), clNavy);
  EXPECT_EQ(PixelAt(bmp, 40, 10), clWhite);  // outside the canvas's clip
  EXPECT_EQ(PixelAt(bmp, 35, 25), clWhite);
}

TEST_F(PaintingTest, FormFrameAndClientArea) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 120);
  form.SetCaption("Settings");
  form.SetColor(clWhite);
  const TRect insets = form.BorderInsets();
  TBitmap whole;
  PaintControlToBitmap(&form, whole);
  EXPECT_EQ(whole.Width(), 200);
  EXPECT_EQ(whole.Height(), 120);
  // The caption bar, then the white client area below.
  EXPECT_EQ(PixelAt(whole, 100, insets.Left + 2), ColorToRGB(clInactiveCaption));
  EXPECT_EQ(PixelAt(whole, 100, insets.Top + 5), clWhite);
  EXPECT_EQ(PixelAt(whole, 0, 60), ColorToRGB(clBtnHighlight));
  TBitmap client;
  PaintClientToBitmap(&form, client);
  EXPECT_EQ(client.Width(), form.ClientWidth());
  EXPECT_EQ(client.Height(), form.ClientHeight());
  EXPECT_EQ(CountOther(client, Rect(0, 0, client.Width(), client.Height()), clWhite), 0);
}

TEST_F(PaintingTest, TextHelpersAlignAndWrap) {
  TBitmap bmp;
  bmp.SetSize(100, 60);
  TCanvas* c = bmp.Canvas;
  c->Brush->Color = clWhite;
  c->FillRect(Rect(0, 0, 100, 60));
  const TSize one = MeasureText(c, "word");
  const TSize wrapped = MeasureText(c, "word word word word", one.cx * 2 + 4);
  EXPECT_EQ(wrapped.cy, one.cy * 2);
  EXPECT_EQ(MeasureText(c, "a\r\nb\nc").cy, one.cy * 3);
  TTextStyle style;
  style.hAlign = THAlign::Right;
  DrawTextInRect(c, Rect(0, 0, 100, 20), "x", style);
  EXPECT_EQ(CountOther(bmp, Rect(0, 0, 80, 20), clWhite), 0);
  EXPECT_GT(CountOther(bmp, Rect(80, 0, 100, 20), clWhite), 0);
}

// A text too wide for its width keeps its longest start that fits with
// "..." after it, measured whole, at every width.
TEST_F(PaintingTest, AnEllipsisKeepsTheLongestStartThatFits) {
  TCanvas c;
  c.Font->Name = "Times New Roman";
  c.Font->Height = -15;
  for (const std::string text : {"AVA WWW iii.lj, T\xE9l\xE9phone fi", "WMWMW", "iiiiiiii i"}) {
    const int whole = c.TextWidth(text);
    for (int width = 0; width <= whole + 2; ++width) {
      std::string expected = text;
      if (whole > width) {
        std::size_t keep = 0;
        while (keep < text.size() && c.TextWidth(text.substr(0, keep + 1) + "...") <= width) ++keep;
        expected = text.substr(0, keep) + "...";
      }
      ASSERT_EQ(EllipsizedText(&c, text, width), expected) << text << " width " << width;
    }
  }
}

TEST_F(PaintingTest, AbsurdBoundsAreClippedWithoutHarm) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 60, 40);
  form.SetColor(clWhite);
  auto* wide = new TFiller(&form, clRed);
  wide->SetParent(&form);
  wide->SetBounds(-2000000000, 10, 2147483647, 10);
  auto* far = new TFiller(&form, clBlue);
  far->SetParent(&form);
  far->SetBounds(2147483600, 2147483600, 2147483647, 2147483647);
  auto* box = new TBox(&form);
  box->SetParent(&form);
  box->SetBounds(30, 25, 1000000000, 1000000000);
  TBitmap bmp;
  PaintControlToBitmap(&form, bmp);
  // The wide control paints with its visible part as the clip (far from its
  // own origin).
  EXPECT_EQ(wide->paints, 1);
  EXPECT_EQ(wide->seenClip, Rect(2000000000, 0, 2000000060, 10));
  EXPECT_EQ(PixelAt(bmp, 31, 26), clRed);  // the box's own paint at its corner
  EXPECT_EQ(far->paints, 0);
  EXPECT_EQ(PixelAt(bmp, 5, 5), clWhite);
  // A control without size gives an empty picture and no file.
  TForm empty(nullptr);
  empty.SetBounds(0, 0, 0, 0);
  PaintControlToBitmap(&empty, bmp);
  EXPECT_TRUE(bmp.Empty());
  EXPECT_FALSE(SaveControlAsPng(&empty, PicturePath("stdctrls-never-written.png")));
  EXPECT_FALSE(std::filesystem::exists(PicturePath("stdctrls-never-written.png")));
}
