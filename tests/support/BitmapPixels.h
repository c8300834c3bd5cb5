#pragma once
// Pixel look-ups on a bitmap for the control painting tests.

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"

// The colour of a pixel of a bitmap (0x00BBGGRR).
inline TColor PixelAt(TBitmap& bitmap, int x, int y) { return bitmap.Canvas->GetPixel(x, y); }

// Counts the pixels of a colour inside a rectangle.
inline int CountColor(TBitmap& bitmap, const TRect& r, TColor color) {
  int n = 0;
  const TColor rgb = ColorToRGB(color);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (bitmap.Canvas->GetPixel(x, y) == rgb) ++n;
  return n;
}
