// TBitmap: size, scan lines, transparency, drawing onto canvases, Assign.

#include <climits>

#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;
using gfxtest::Count;
using gfxtest::Filled;

TEST(Bitmap, ResizingKeepsThePictureAndAddsWhite) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  b.SetSize(4, 3);
  EXPECT_EQ(Count(b, Rect(0, 0, 4, 3), clWhite), 12);
  b.Canvas->Pixels[3][2] = clRed;
  b.SetWidth(6);
  b.SetHeight(5);
  EXPECT_EQ(At(b, 3, 2), clRed);
  EXPECT_EQ(Count(b, Rect(0, 0, 6, 5), clWhite), 29);
  b.SetSize(2, 2);
  EXPECT_EQ(Count(b, Rect(0, 0, 2, 2), clWhite), 4);
  b.SetSize(-5, 3);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 3);
}

TEST(Bitmap, ScanLinesAreRowsOfFourBytes) {
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(3, 2);
  auto* row = static_cast<std::uint8_t*>(b.ScanLine(1));
  row[4] = 0x10;  // blue of pixel (1, 1)
  row[5] = 0x20;  // green
  row[6] = 0x30;  // red
  EXPECT_EQ(At(b, 1, 1), 0x102030);
  EXPECT_EQ(static_cast<std::uint8_t*>(b.ScanLine(1)) - static_cast<std::uint8_t*>(b.ScanLine(0)), 12);
  EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, TransparentColourModes) {
  auto b = Filled(4, 4, clPurple);
  b->Canvas->Pixels[0][3] = clLime;
  EXPECT_EQ(b->TransparentMode(), tmAuto);
  EXPECT_EQ(b->TransparentColor(), clLime);  // the bottom-left pixel
  b->SetTransparentColor(clPurple);
  EXPECT_EQ(b->TransparentMode(), tmFixed);
  EXPECT_EQ(b->TransparentColor(), clPurple);
  b->SetTransparentMode(tmAuto);
  EXPECT_EQ(b->TransparentColor(), clLime);
  b->SetTransparentMode(tmFixed);  // keeps the colour it had
  b->Canvas->Pixels[0][3] = clRed;
  EXPECT_EQ(b->TransparentColor(), clLime);
  b->SetTransparentColor(clBtnFace);
  EXPECT_EQ(b->TransparentColor(), 0xF0F0F0);
}

TEST(Bitmap, DrawLeavesOutTheTransparentColour) {
  // The broken-picture image: magenta-purple background, a cross inside.
  auto picture = Filled(6, 6, 0x800080);
  picture->Canvas->Pixels[2][2] = clRed;
  picture->Canvas->Pixels[3][3] = clBlue;
  auto target = Filled(10, 10, clGreen);

  target->Canvas->Draw(2, 2, picture.get());  // not transparent: a purple square
  EXPECT_EQ(Count(*target, Rect(0, 0, 10, 10), 0x800080), 34);

  auto second = Filled(10, 10, clGreen);
  picture->SetTransparent(true);
  picture->SetTransparentColor(0x800080);
  second->Canvas->Draw(2, 2, picture.get());
  EXPECT_EQ(Count(*second, Rect(0, 0, 10, 10), clGreen), 98);
  EXPECT_EQ(At(*second, 4, 4), clRed);
  EXPECT_EQ(At(*second, 5, 5), clBlue);

  // Decoded pictures use black; a white drop-down arrow uses white.
  auto arrow = Filled(7, 4, clWhite);
  arrow->Canvas->Pen->Color = clBlack;
  arrow->Canvas->MoveTo(0, 0);
  arrow->Canvas->LineTo(7, 0);
  arrow->SetTransparent(true);
  arrow->SetTransparentColor(clWhite);
  auto field = Filled(10, 10, clYellow);
  field->Canvas->Draw(1, 1, arrow.get());
  EXPECT_EQ(Count(*field, Rect(0, 0, 10, 10), clBlack), 7);
  EXPECT_EQ(Count(*field, Rect(0, 0, 10, 10), clYellow), 93);

  // Drawing nothing and drawing far away.
  field->Canvas->Draw(0, 0, nullptr);
  TBitmap empty;
  field->Canvas->Draw(0, 0, &empty);
  field->Canvas->Draw(INT_MAX, INT_MAX, arrow.get());
  field->Canvas->Draw(INT_MIN, INT_MIN, arrow.get());
  EXPECT_EQ(Count(*field, Rect(0, 0, 10, 10), clYellow), 93);
}

TEST(Bitmap, StretchDrawAndCopyRect) {
  auto quad = Filled(2, 2, clRed);
  quad->Canvas->Pixels[1][0] = clGreen;
  quad->Canvas->Pixels[0][1] = clBlue;
  quad->Canvas->Pixels[1][1] = clYellow;
  auto big = Filled(8, 8, clWhite);
  big->Canvas->StretchDraw(Rect(2, 2, 6, 6), quad.get());
  EXPECT_EQ(Count(*big, Rect(2, 2, 4, 4), clRed), 4);
  EXPECT_EQ(Count(*big, Rect(4, 2, 6, 4), clGreen), 4);
  EXPECT_EQ(Count(*big, Rect(2, 4, 4, 6), clBlue), 4);
  EXPECT_EQ(Count(*big, Rect(4, 4, 6, 6), clYellow), 4);
  EXPECT_EQ(Count(*big, Rect(0, 0, 8, 8), clWhite), 48);

  // Shrinking samples the pixel centres.
  auto stripes = Filled(8, 1, clBlack);
  for (int x = 1; x < 8; x += 2) stripes->Canvas->Pixels[x][0] = clWhite;
  auto half = Filled(4, 1, clRed);
  half->Canvas->StretchDraw(Rect(0, 0, 4, 1), stripes.get());
  EXPECT_EQ(Count(*half, Rect(0, 0, 4, 1), clWhite), 4);

  // A negative width mirrors.
  auto mirror = Filled(2, 2, clWhite);
  mirror->Canvas->CopyRect(Rect(2, 0, 0, 2), quad->Canvas, Rect(0, 0, 2, 2));
  EXPECT_EQ(At(*mirror, 0, 0), clGreen);
  EXPECT_EQ(At(*mirror, 1, 0), clRed);
  EXPECT_EQ(At(*mirror, 0, 1), clYellow);

  // Copying onto itself, overlapping, moves the picture whole.
  auto row = Filled(6, 1, clWhite);
  for (int x = 0; x < 5; ++x) row->Canvas->Pixels[x][0] = static_cast<TColor>(x + 1);
  row->Canvas->CopyRect(Rect(1, 0, 6, 1), row->Canvas, Rect(0, 0, 5, 1));
  for (int x = 1; x < 6; ++x) EXPECT_EQ(At(*row, x, 0), x) << x;

  // CopyMode applies.
  auto inv = Filled(2, 1, clWhite);
  inv->Canvas->CopyMode = cmNotSrcCopy;
  inv->Canvas->CopyRect(Rect(0, 0, 2, 1), quad->Canvas, Rect(0, 0, 2, 1));
  EXPECT_EQ(At(*inv, 0, 0), 0xFFFF00);
  // Source outside its bitmap copies nothing there.
  auto part = Filled(4, 1, clWhite);
  part->Canvas->CopyRect(Rect(0, 0, 4, 1), quad->Canvas, Rect(-2, 0, 2, 1));
  EXPECT_EQ(Count(*part, Rect(0, 0, 2, 1), clWhite), 2);
  EXPECT_EQ(At(*part, 2, 0), clRed);
}

TEST(Bitmap, AssignCopiesAndEmpties) {
  auto source = Filled(3, 2, clTeal);
  source->SetPixelFormat(pf32bit);
  source->SetTransparent(true);
  source->SetTransparentColor(clTeal);
  TBitmap copy;
  copy.Assign(source.get());
  EXPECT_EQ(copy.Width(), 3);
  EXPECT_EQ(copy.PixelFormat(), pf32bit);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentMode(), tmFixed);
  EXPECT_EQ(gfxtest::Colors(copy), gfxtest::Colors(*source));
  source->Canvas->Pixels[0][0] = clRed;  // the copy is independent
  EXPECT_EQ(At(copy, 0, 0), clTeal);

  auto clone = copy.Clone();
  EXPECT_EQ(clone->Width(), 3);
  EXPECT_NE(dynamic_cast<TBitmap*>(clone.get()), nullptr);

  int changes = 0;
  copy.OnChange = [&] { ++changes; };
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(changes, 1);

  // Drawing a bitmap onto itself.
  auto self = Filled(4, 1, clWhite);
  self->Canvas->Pixels[0][0] = clRed;
  self->Canvas->Draw(1, 0, self.get());
  EXPECT_EQ(At(*self, 1, 0), clRed);
  EXPECT_EQ(At(*self, 2, 0), clWhite);
}
