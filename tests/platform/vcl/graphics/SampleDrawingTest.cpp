// Sample drawings written as PNG files into the build folder's "pictures"
// folder, for people to look at: every primitive, every mapped font at
// several sizes and styles, transparency, and page-object-like drawings made
// the way the designer draws them. The tests also check a few pixels of each.

#include <png.h>

#include <cstring>

#include "platform/vcl/PngWriter.h"
#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;
using gfxtest::Count;
using gfxtest::Filled;

namespace {

void Caption(TCanvas& c, int x, int y, const std::string& text) {
  c.Font->Name = "Segoe UI";
  c.Font->Height = -11;
  c.Font->Style = 0;
  c.Font->Color = clBlack;
  c.Brush->Style = bsClear;
  c.TextOut(x, y, text);
}

// The raised button frame of the page objects.
void RaisedFrame(TCanvas& c, int l, int t, int r, int b) {
  c.Pen->Width = 1;
  c.MoveTo(l, b);
  c.Pen->Color = clWhite;
  c.LineTo(l, t);
  c.LineTo(r, t);
  c.Pen->Color = clGray;
  c.LineTo(r, b);
  c.LineTo(l, b);
  c.MoveTo(l + 1, b - 1);
  c.Pen->Color = clWhite;
  c.LineTo(l + 1, t + 1);
  c.LineTo(r - 1, t + 1);
  c.Pen->Color = clGray;
  c.LineTo(r - 1, b - 1);
  c.LineTo(l + 1, b - 1);
}

// The sunken field frame of edit fields.
void SunkenFrame(TCanvas& c, int x, int y, int w, int h) {
  c.Pen->Width = 2;
  c.Pen->Color = clBtnShadow;
  c.MoveTo(x + 1, y + h - 1);
  c.LineTo(x + 1, y + 1);
  c.LineTo(x + w - 1, y + 1);
  c.Pen->Color = clBtnHighlight;
  c.LineTo(x + w - 1, y + h - 1);
  c.LineTo(x + 1, y + h - 1);
  c.Pen->Width = 1;
  c.Pen->Color = clBtnFace;
  c.MoveTo(x + w - 1, y + 1);
  c.LineTo(x + w - 1, y + h - 1);
  c.LineTo(x + 1, y + h - 1);
}

void Gradient(TCanvas& c, int x, int y, int w, int h, TColor c1, TColor c2) {
  for (int i = 0; i < w; ++i) {
    auto mix = [&](int shift) { return (((c1 >> shift) & 0xFF) * (w - i) + ((c2 >> shift) & 0xFF) * i) / w; };
    c.Brush->Color = static_cast<TColor>(mix(0) | mix(8) << 8 | mix(16) << 16);
    c.Brush->Style = bsSolid;
    c.FillRect(Rect(x + i, y, x + i + 1, y + h));
  }
}

void SelectionMarks(TCanvas& c, int x, int y, int w, int h) {
  c.Brush->Style = bsClear;
  c.Pen->Color = clBlack;
  c.Pen->Style = psSolid;
  c.Rectangle(x, y, x + w, y + h);
  c.Pen->Style = psDot;
  c.Pen->Color = clWhite;
  c.Rectangle(x, y, x + w, y + h);
  c.Pen->Style = psSolid;
  c.Pen->Color = clBlack;
}

}  // namespace

TEST(SampleDrawing, Primitives) {
  auto b = Filled(640, 420, clBtnFace);
  TCanvas& c = *b->Canvas;
  Caption(c, 10, 4, "Pen styles (width 1) and widths 2, 3, 5; XOR over a red bar");
  int y = 24;
  for (TPenStyle style : {psSolid, psDash, psDot, psDashDot, psDashDotDot}) {
    c.Pen->Style = style;
    c.Pen->Color = clNavy;
    c.Brush->Style = bsClear;
    c.MoveTo(10, y);
    c.LineTo(300, y);
    c.Brush->Style = bsSolid;  // gaps take the brush colour
    c.Brush->Color = clYellow;
    c.MoveTo(320, y);
    c.LineTo(610, y);
    y += 8;
  }
  c.Pen->Style = psSolid;
  for (int w : {2, 3, 5}) {
    c.Pen->Width = w;
    c.MoveTo(10, y + 4);
    c.LineTo(300, y + 12);
    y += 12;
  }
  c.Pen->Width = 1;
  c.Brush->Color = clRed;
  c.FillRect(Rect(320, 70, 610, 100));
  c.Pen->Mode = pmXor;
  c.Pen->Color = clWhite;
  for (int i = 0; i < 30; i += 3) {
    c.MoveTo(320, 70 + i);
    c.LineTo(610, 100 - i);
  }
  c.Pen->Mode = pmCopy;

  Caption(c, 10, 112, "Brushes: solid, clear, horizontal, vertical, fdiagonal, bdiagonal, cross, diagcross");
  int x = 10;
  for (TBrushStyle style :
       {bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross}) {
    c.Pen->Color = clBlack;
    c.Brush->Color = clBlue;
    c.Brush->Style = style;
    c.Rectangle(x, 130, x + 60, 180);
    x += 76;
  }

  Caption(c, 10, 192, "Ellipses, round rectangles, polygons, frames, focus rectangle, clear pen");
  c.Pen->Color = clBlack;
  c.Brush->Style = bsSolid;
  c.Brush->Color = clLime;
  c.Ellipse(10, 210, 90, 270);
  c.Ellipse(100, 210, 140, 250);
  c.Pen->Width = 3;
  c.Brush->Color = clAqua;
  c.Ellipse(150, 210, 230, 290);
  c.Pen->Width = 1;
  c.Brush->Color = clWhite;
  c.RoundRect(240, 210, 340, 270, 20, 20);
  c.Brush->Color = clFuchsia;
  c.Polygon({Point(400, 210), Point(424, 290), Point(360, 238), Point(440, 238), Point(376, 290)});
  c.Brush->Color = clTeal;
  c.Polygon({Point(460, 290), Point(500, 210), Point(540, 290)});
  c.Brush->Color = clMaroon;
  c.FrameRect(Rect(560, 210, 620, 270));
  c.DrawFocusRect(Rect(565, 215, 615, 265));
  c.Pen->Style = psClear;
  c.Brush->Color = clOlive;
  c.Rectangle(10, 300, 110, 340);
  c.Ellipse(120, 300, 220, 340);
  c.Pen->Style = psSolid;

  Caption(c, 240, 300, "Pixels grid (every 5th pixel)");
  for (int gy = 320; gy < 410; gy += 5)
    for (int gx = 240; gx < 630; gx += 5) c.Pixels[gx][gy] = clBlack;

  // A clipped child area: the canvas of a "control" placed at (10, 350).
  TCanvas child(b.get());
  child.SetOrigin(10, 350);
  child.SetClipRect(Rect(10, 350, 210, 410));
  child.Brush->Color = clWhite;
  child.FillRect(Rect(-1000, -1000, 1000000, 1000000));
  child.Pen->Color = clRed;
  child.MoveTo(-100000, -50000);
  child.LineTo(100000, 50000);
  child.Font->Name = "Verdana";
  child.Font->Height = -13;
  child.Brush->Style = bsClear;
  child.TextOut(150, 20, "clipped text runs out of the control");

  ASSERT_TRUE(SaveBitmapAsPng(*b, gfxtest::PicturesDir() + "canvas-primitives.png"));
  EXPECT_EQ(At(*b, 11, 131), clBlue);                 // solid brush inside the first rectangle
  EXPECT_EQ(At(*b, 87, 131), ColorToRGB(clBtnFace));  // clear brush
  EXPECT_EQ(At(*b, 209, 409), clWhite);               // the child's clip ends at 210 x 410
  EXPECT_EQ(At(*b, 210, 380), ColorToRGB(clBtnFace));
}

TEST(SampleDrawing, Fonts) {
  auto b = Filled(900, 700, clWhite);
  TCanvas& c = *b->Canvas;
  int y = 6;
  for (const char* name :
       {"Arial", "Courier New", "Times New Roman", "Verdana", "Tahoma", "Segoe UI", "MS Sans Serif"}) {
    int x = 8;
    for (int height : {-11, -13, -20}) {
      for (TFontStyles style :
           {0u, unsigned(fsBold), unsigned(fsItalic), unsigned(fsUnderline), unsigned(fsBold | fsItalic)}) {
        c.Font->Name = name;
        c.Font->Height = height;
        c.Font->Style = style;
        c.Font->Color = style == fsUnderline ? clBlue : clBlack;
        c.Brush->Style = bsClear;
        const std::string text = height == -20 ? "Ag\xE9" : "Abc";
        c.TextOut(x, y, text);
        x += c.TextWidth(text) + 6;
      }
      x += 10;
    }
    c.Font->Height = -13;
    c.Font->Style = 0;
    c.Font->Color = clGray;
    c.TextOut(x, y + 4, name);
    y += 34;
  }
  // Cells: a solid brush fills the text cell; TextRect clips and fills.
  c.Font->Name = "Verdana";
  c.Font->Height = -13;
  c.Font->Color = clBlack;
  c.Brush->Style = bsSolid;
  c.Brush->Color = clYellow;
  c.TextOut(8, y + 10, "Opaque cell: TextOut with a solid brush");
  c.Brush->Color = clAqua;
  c.TextRect(Rect(8, y + 40, 160, y + 60), 12, y + 42, "TextRect clips a long value that does not fit");
  c.Font->Style = fsStrikeOut;
  c.Brush->Style = bsClear;
  c.TextOut(200, y + 42, "Struck out");
  c.Font->Style = 0;
  c.Font->Height = -40;
  c.Font->Name = "Times New Roman";
  c.TextOut(400, y + 10, "Large Serif 40px");
  c.Font->Height = -8;
  c.Font->Name = "Tahoma";
  c.TextOut(400, y + 60, "Tiny 8 pixel Tahoma text, and punctuation: ()[]{}<>?!.,;:'\"");
  // Measured boxes: the cell of each text framed in red.
  int x = 8;
  c.Font->Height = -13;
  for (const char* name : {"Verdana", "Courier New", "Segoe UI"}) {
    c.Font->Name = name;
    const TSize extent = c.TextExtent("0123456789");
    c.TextOut(x, y + 90, "0123456789");
    c.Brush->Color = clRed;
    c.Brush->Style = bsSolid;
    c.FrameRect(Bounds(x, y + 90, extent.cx, extent.cy));
    c.Brush->Style = bsClear;
    x += extent.cx + 20;
  }
  ASSERT_TRUE(SaveBitmapAsPng(*b, gfxtest::PicturesDir() + "canvas-fonts.png"));
  EXPECT_GT(Count(*b, Rect(0, 0, 900, 40), clBlack), 50);
  EXPECT_EQ(At(*b, 9, y + 41), clAqua);
}

TEST(SampleDrawing, TransparencyAndPictures) {
  auto b = Filled(520, 260, clBtnFace);
  TCanvas& c = *b->Canvas;
  Caption(c, 10, 4, "Broken-picture style bitmap: opaque, transparent 0x800080, stretched x3");
  // A 22 x 24 picture on a 0x800080 background with a red cross and a frame.
  auto broken = Filled(22, 24, 0x800080);
  broken->Canvas->Pen->Color = clRed;
  broken->Canvas->Pen->Width = 2;
  broken->Canvas->MoveTo(4, 4);
  broken->Canvas->LineTo(17, 19);
  broken->Canvas->MoveTo(17, 4);
  broken->Canvas->LineTo(4, 19);
  broken->Canvas->Pen->Width = 1;
  broken->Canvas->Pen->Color = clGray;
  broken->Canvas->Brush->Style = bsClear;
  broken->Canvas->Rectangle(1, 1, 21, 23);
  // Background stripes to show what shows through.
  c.Brush->Style = bsSolid;
  for (int i = 0; i < 520; i += 8) {
    c.Brush->Color = (i / 8) % 2 ? clSilver : clWhite;
    c.FillRect(Rect(i, 24, i + 8, 130));
  }
  c.Draw(10, 30, broken.get());
  broken->SetTransparent(true);
  broken->SetTransparentColor(0x800080);
  c.Draw(50, 30, broken.get());
  c.StretchDraw(Rect(90, 30, 90 + 66, 30 + 72), broken.get());
  broken->SetTransparent(false);
  c.StretchDraw(Rect(170, 30, 170 + 66, 30 + 72), broken.get());
  // A white-backed drop-down arrow drawn with white as its transparent colour.
  auto arrow = Filled(9, 5, clWhite);
  arrow->Canvas->Brush->Color = clBlack;
  arrow->Canvas->Pen->Color = clBlack;
  arrow->Canvas->Polygon({Point(0, 0), Point(8, 0), Point(4, 4)});
  arrow->SetTransparent(true);
  arrow->SetTransparentColor(clWhite);
  c.Brush->Color = clWhite;
  c.Rectangle(260, 40, 380, 60);
  c.Draw(380 - 14, 48, arrow.get());
  c.Brush->Color = clYellow;
  c.FillRect(Rect(296, 96, 316, 110));
  c.Draw(300, 100, arrow.get());
  // A mirrored copy of part of the picture.
  c.CopyRect(Rect(460, 30, 400, 90), &c, Rect(90, 30, 150, 90));

  Caption(c, 10, 134, "Page-object look: sunken field, raised button, gradient bar, selection marks, label frame");
  c.Brush->Style = bsSolid;
  c.Brush->Color = clWhite;
  c.FillRect(Rect(11, 155, 11 + 88, 155 + 20));
  SunkenFrame(c, 10, 154, 90, 22);
  c.Font->Name = "Courier New";
  c.Font->Height = -13;
  c.Brush->Style = bsClear;
  c.TextRect(Rect(11, 155, 99, 175), 13, 158, "0.");
  c.Brush->Style = bsSolid;
  c.Brush->Color = clBtnFace;
  c.FillRect(Rect(121, 155, 209, 177));
  RaisedFrame(c, 121, 155, 209, 177);
  c.Font->Name = "Verdana";
  c.Font->Style = fsBold;
  c.Brush->Style = bsClear;
  const int tw = c.TextWidth("Submit");
  c.TextOut(121 + (88 - tw) / 2, 155 + (22 - c.TextHeight("Submit")) / 2, "Submit");
  c.Font->Style = 0;
  Gradient(c, 230, 150, 90, 30, clNavy, clAqua);
  c.Brush->Color = clNavy;
  c.FrameRect(Rect(230, 150, 320, 180));
  SelectionMarks(c, 228, 148, 94, 34);
  c.Pen->Style = psDash;
  c.Brush->Style = bsClear;
  c.Rectangle(340, 150, 355, 165);
  c.Pen->Style = psSolid;
  c.Pen->Color = clRed;
  c.Pen->Width = 2;
  c.MoveTo(380, 150);
  c.LineTo(412, 182);
  c.MoveTo(412, 150);
  c.LineTo(380, 182);
  c.Pen->Width = 1;
  c.Pen->Color = clBlack;
  c.Rectangle(380, 150, 412, 182);
  // A rubber band: dotted pen and cross-hatched brush.
  c.Pen->Style = psDot;
  c.Brush->Style = bsDiagCross;
  c.Brush->Color = clBlack;
  c.Rectangle(430, 150, 510, 250);
  c.Pen->Style = psSolid;

  ASSERT_TRUE(SaveBitmapAsPng(*b, gfxtest::PicturesDir() + "canvas-transparency.png"));
  EXPECT_EQ(At(*b, 10, 30), 0x800080);    // opaque: the purple corner
  EXPECT_NE(At(*b, 50, 30), 0x800080);    // transparent: the stripes show
  EXPECT_EQ(At(*b, 300, 104), clYellow);  // the arrow's white corner is left out
  EXPECT_EQ(At(*b, 302, 100), clBlack);
  EXPECT_EQ(At(*b, 460 - 1, 30), At(*b, 90, 30));  // the mirrored copy
}
