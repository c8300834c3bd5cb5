#pragma once
// Inside the canvas: the pixels it draws into and the pixel-level helpers its
// operations share. Positions here are bitmap coordinates in 64 bits, so that
// absurd canvas coordinates plus the origin cannot overflow.

#include <cstdint>

#include "platform/vcl/Canvas.h"

struct TCanvas::Device {
  std::uint32_t* pixels = nullptr;
  long long width = 0;
  long long height = 0;
  long long ox = 0, oy = 0;  // bitmap position of the canvas's (0, 0)
  // Clip in bitmap coordinates, right and bottom excluded, inside the bitmap.
  long long clipL = 0, clipT = 0, clipR = 0, clipB = 0;

  bool Inside(long long x, long long y) const { return x >= clipL && x < clipR && y >= clipT && y < clipB; }
  std::uint32_t& At(long long x, long long y) const { return pixels[y * width + x]; }
};

namespace CanvasDetail {

// Widest pen drawn; wider pens are drawn this wide (a width that came from a
// project file must not make every line cost millions of pixels).
inline constexpr int kMaxPenWidth = 64;

// A colour as a pixel: 0x00BBGGRR to blue, green, red, alpha in memory
// (0xAARRGGBB as a little-endian word), opaque.
inline std::uint32_t ToPixel(TColor color) {
  const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// The colour of a pixel, alpha ignored.
inline TColor FromPixel(std::uint32_t p) {
  return static_cast<TColor>(((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16));
}

// The pixel a pen of `pen` colour leaves on `dst` in a mix mode.
std::uint32_t MixPen(TPenMode mode, std::uint32_t pen, std::uint32_t dst);

// True where an 8 x 8 hatch pattern has a line; (x, y) in canvas coordinates.
bool HatchBit(TBrushStyle style, long long x, long long y);

// floor(a / b) for b > 0.
inline long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace CanvasDetail
