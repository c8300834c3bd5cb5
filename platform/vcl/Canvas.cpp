#include "platform/vcl/Canvas.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/CanvasDevice.h"
#include "platform/vcl/GraphicsGraphic.h"

using namespace CanvasDetail;

namespace {

int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

// The 8 x 8 hatch patterns, one byte a row, the leftmost pixel in the top bit.
constexpr unsigned char kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

// A raster operation of a source and a destination pixel.
std::uint32_t Rop3(std::uint32_t rop, std::uint32_t s, std::uint32_t d) {
  std::uint32_t rgb;
  switch (rop) {
    case cmSrcCopy: return s;
    case cmBlackness: rgb = 0; break;
    case cmWhiteness: rgb = 0xFFFFFF; break;
    case cmDstInvert: rgb = ~d; break;
    case cmNotSrcCopy: rgb = ~s; break;
    case cmSrcAnd: rgb = s & d; break;
    case cmSrcPaint: rgb = s | d; break;
    case cmSrcInvert: rgb = s ^ d; break;
    case cmSrcErase: rgb = s & ~d; break;
    case cmNotSrcErase: rgb = ~(s | d); break;
    case cmMergePaint: rgb = ~s | d; break;
    default: return s;
  }
  return 0xFF000000u | (rgb & 0xFFFFFFu);
}

std::uint32_t Blend(std::uint32_t s, std::uint32_t d) {
  const std::uint32_t a = s >> 24;
  if (a == 255) return s;
  if (a == 0) return d;
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
    out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

namespace CanvasDetail {

std::uint32_t MixPen(TPenMode mode, std::uint32_t pen, std::uint32_t dst) {
  std::uint32_t rgb;
  const std::uint32_t p = pen & 0xFFFFFF, d = dst & 0xFFFFFF;
  switch (mode) {
    case pmBlack: rgb = 0; break;
    case pmWhite: rgb = 0xFFFFFF; break;
    case pmNop: return dst;
    case pmNot: rgb = ~d; break;
    case pmCopy: rgb = p; break;
    case pmNotCopy: rgb = ~p; break;
    case pmMergePenNot: rgb = p | ~d; break;
    case pmMaskPenNot: rgb = p & ~d; break;
    case pmMergeNotPen: rgb = ~p | d; break;
    case pmMaskNotPen: rgb = ~p & d; break;
    case pmMerge: rgb = p | d; break;
    case pmNotMerge: rgb = ~(p | d); break;
    case pmMask: rgb = p & d; break;
    case pmNotMask: rgb = ~(p & d); break;
    case pmXor: rgb = p ^ d; break;
    case pmNotXor: rgb = ~(p ^ d); break;
    default: rgb = p; break;
  }
  return 0xFF000000u | (rgb & 0xFFFFFFu);
}

bool HatchBit(TBrushStyle style, long long x, long long y) {
  if (style < bsHorizontal || style > bsDiagCross) return false;
  const unsigned char row = kHatches[style - bsHorizontal][static_cast<int>(y & 7)];
  return (row & (0x80 >> static_cast<int>(x & 7))) != 0;
}

}  // namespace CanvasDetail

// --- pixels property ---

TCanvasPixel::operator TColor() const { return canvas_->GetPixel(x_, y_); }

TCanvasPixel& TCanvasPixel::operator=(TColor color) {
  canvas_->SetPixel(x_, y_, color);
  return *this;
}

// --- set-up ---

TCanvas::TCanvas(TBitmap* target)
    : pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()),
      font_(std::make_unique<TFont>()),
      Pen(pen_.get()),
      Brush(brush_.get()),
      Font(font_.get()),
      target_(target) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetClipRect(const TRect& bitmapRect) {
  hasClip_ = true;
  clip_ = bitmapRect;
}

void TCanvas::IntersectClipRect(const TRect& rect) {
  TRect device{Saturate(static_cast<long long>(rect.Left) + origin_.x),
               Saturate(static_cast<long long>(rect.Top) + origin_.y),
               Saturate(static_cast<long long>(rect.Right) + origin_.x),
               Saturate(static_cast<long long>(rect.Bottom) + origin_.y)};
  if (hasClip_)
    IntersectRect(clip_, clip_, device);
  else
    clip_ = device.IsEmpty() ? TRect{} : device;
  hasClip_ = true;
}

bool TCanvas::GetDevice(Device& d) const {
  if (target_ == nullptr || target_->Empty()) return false;
  d.pixels = target_->PixelData();
  d.width = target_->Width();
  d.height = target_->Height();
  d.ox = origin_.x;
  d.oy = origin_.y;
  d.clipL = 0;
  d.clipT = 0;
  d.clipR = d.width;
  d.clipB = d.height;
  if (hasClip_) {
    d.clipL = std::max<long long>(d.clipL, clip_.Left);
    d.clipT = std::max<long long>(d.clipT, clip_.Top);
    d.clipR = std::min<long long>(d.clipR, clip_.Right);
    d.clipB = std::min<long long>(d.clipB, clip_.Bottom);
  }
  return d.clipL < d.clipR && d.clipT < d.clipB;
}

TRect TCanvas::ClipRect() const {
  Device d;
  if (!GetDevice(d)) return TRect{};
  return {Saturate(d.clipL - d.ox), Saturate(d.clipT - d.oy), Saturate(d.clipR - d.ox), Saturate(d.clipB - d.oy)};
}

// --- pixel helpers ---

void TCanvas::PenPixel(const Device& d, long long x, long long y, std::uint32_t color) {
  if (!d.Inside(x, y)) return;
  std::uint32_t& p = d.At(x, y);
  p = MixPen(Pen->Mode, color, p);
}

void TCanvas::FillBrushSpan(const Device& d, long long y, long long x0, long long x1) {
  if (Brush->Style == bsClear || y < d.clipT || y >= d.clipB) return;
  x0 = std::max(x0, d.clipL);
  x1 = std::min(x1, d.clipR);
  if (x0 >= x1) return;
  const std::uint32_t color = ToPixel(Brush->Color);
  std::uint32_t* row = &d.At(0, y);
  if (Brush->Style == bsSolid) {
    std::fill(row + x0, row + x1, color);
    return;
  }
  for (long long x = x0; x < x1; ++x)
    if (HatchBit(Brush->Style, x - d.ox, y - d.oy)) row[x] = color;
}

TColor TCanvas::GetPixel(int x, int y) const {
  Device d;
  if (!GetDevice(d)) return -1;
  const long long dx = x + d.ox, dy = y + d.oy;
  if (!d.Inside(dx, dy)) return -1;
  return FromPixel(d.At(dx, dy));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Device d;
  if (!GetDevice(d)) return;
  const long long dx = x + d.ox, dy = y + d.oy;
  if (d.Inside(dx, dy)) d.At(dx, dy) = ToPixel(color);
}

// --- brush rectangles ---

void TCanvas::FillRect(const TRect& rect) {
  Device d;
  if (rect.IsEmpty() || Brush->Style == bsClear || !GetDevice(d)) return;
  const long long top = std::max<long long>(rect.Top + d.oy, d.clipT);
  const long long bottom = std::min<long long>(rect.Bottom + d.oy, d.clipB);
  for (long long y = top; y < bottom; ++y) FillBrushSpan(d, y, rect.Left + d.ox, rect.Right + d.ox);
}

void TCanvas::FrameRect(const TRect& rect) {
  Device d;
  if (rect.IsEmpty() || Brush->Style == bsClear || !GetDevice(d)) return;
  const long long l = rect.Left + d.ox, t = rect.Top + d.oy, r = rect.Right + d.ox, b = rect.Bottom + d.oy;
  FillBrushSpan(d, t, l, r);
  if (b - 1 > t) FillBrushSpan(d, b - 1, l, r);
  const long long y0 = std::max(t + 1, d.clipT), y1 = std::min(b - 1, d.clipB);
  for (long long y = y0; y < y1; ++y) {
    FillBrushSpan(d, y, l, l + 1);
    if (r - 1 > l) FillBrushSpan(d, y, r - 1, r);
  }
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  Device d;
  if (rect.IsEmpty() || !GetDevice(d)) return;
  const long long l = rect.Left + d.ox, t = rect.Top + d.oy, r = rect.Right + d.ox, b = rect.Bottom + d.oy;
  auto invert = [&](long long x, long long y) {
    if (d.Inside(x, y) && ((x - d.ox + y - d.oy) & 1) == 0) d.At(x, y) ^= 0x00FFFFFFu;
  };
  for (long long y : {t, b - 1}) {
    if (y == b - 1 && b - 1 == t) break;
    if (y < d.clipT || y >= d.clipB) continue;
    for (long long x = std::max(l, d.clipL); x < std::min(r, d.clipR); ++x) invert(x, y);
  }
  for (long long y = std::max(t + 1, d.clipT); y < std::min(b - 1, d.clipB); ++y) {
    invert(l, y);
    if (r - 1 > l) invert(r - 1, y);
  }
}

// --- blocks of pixels ---

namespace {

// A rectangle in 64 bits: origin and signed extents (a negative extent
// mirrors).
struct Span2D {
  long long left, top, width, height;
};

void Stretch(const TCanvas::Device& d, const Span2D& dest, const TPixelBlock& source, const Span2D& src, TBlitMode mode,
             TColor keyColor, std::uint32_t rop) {
  if (source.pixels == nullptr || source.width <= 0 || source.height <= 0) return;
  if (dest.width == 0 || dest.height == 0 || src.width == 0 || src.height == 0) return;
  const bool flipX = (dest.width < 0) != (src.width < 0), flipY = (dest.height < 0) != (src.height < 0);
  const long long adw = std::llabs(dest.width), adh = std::llabs(dest.height);
  const long long asw = std::llabs(src.width), ash = std::llabs(src.height);
  const long long dl = std::min(dest.left, dest.left + dest.width) + d.ox;
  const long long dt = std::min(dest.top, dest.top + dest.height) + d.oy;
  const long long sl = std::min(src.left, src.left + src.width), st = std::min(src.top, src.top + src.height);
  const long long x0 = std::max(dl, d.clipL), x1 = std::min(dl + adw, d.clipR);
  const long long y0 = std::max(dt, d.clipT), y1 = std::min(dt + adh, d.clipB);
  if (x0 >= x1 || y0 >= y1) return;

  // Source column of every destination column in the clip (nearest pixel,
  // sampled at the centre); -1 where it falls outside the block.
  std::vector<long long> columns(static_cast<std::size_t>(x1 - x0));
  for (long long x = x0; x < x1; ++x) {
    const __int128 j = x - dl;
    long long sj = static_cast<long long>((2 * j + 1) * asw / (2 * static_cast<__int128>(adw)));
    if (flipX) sj = asw - 1 - sj;
    const long long sx = sl + sj;
    columns[static_cast<std::size_t>(x - x0)] = sx >= 0 && sx < source.width ? sx : -1;
  }
  const std::uint32_t key = ToPixel(keyColor) & 0xFFFFFFu;
  for (long long y = y0; y < y1; ++y) {
    const __int128 j = y - dt;
    long long sj = static_cast<long long>((2 * j + 1) * ash / (2 * static_cast<__int128>(adh)));
    if (flipY) sj = ash - 1 - sj;
    const long long sy = st + sj;
    if (sy < 0 || sy >= source.height) continue;
    const std::uint32_t* srcRow = source.pixels + sy * source.width;
    std::uint32_t* dstRow = &d.At(0, y);
    for (long long x = x0; x < x1; ++x) {
      const long long sx = columns[static_cast<std::size_t>(x - x0)];
      if (sx < 0) continue;
      const std::uint32_t s = srcRow[sx];
      switch (mode) {
        case TBlitMode::Copy: dstRow[x] = Rop3(rop, s, dstRow[x]); break;
        case TBlitMode::TransparentKey:
          if ((s & 0xFFFFFFu) != key) dstRow[x] = s;
          break;
        case TBlitMode::AlphaBlend: dstRow[x] = Blend(s, dstRow[x]); break;
      }
    }
  }
}

Span2D SpanOf(const TRect& r) { return {r.Left, r.Top, r.Width(), r.Height()}; }

}  // namespace

void TCanvas::StretchBlock(const TRect& dest, const TPixelBlock& source, const TRect& sourceRect, TBlitMode mode,
                           TColor keyColor, std::uint32_t rop) {
  Device d;
  if (GetDevice(d)) Stretch(d, SpanOf(dest), source, SpanOf(sourceRect), mode, keyColor, rop);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  Device d;
  if (source == nullptr || source->target_ == nullptr || source->target_->Empty() || !GetDevice(d)) return;
  const TBitmap& bitmap = *source->target_;
  // The source rectangle in its bitmap's coordinates, and the part of it that
  // lies on the bitmap, copied first so that a canvas can copy onto itself.
  Span2D src = SpanOf(sourceRect);
  src.left += source->origin_.x;
  src.top += source->origin_.y;
  const long long l = std::max(0LL, std::min(src.left, src.left + src.width));
  const long long t = std::max(0LL, std::min(src.top, src.top + src.height));
  const long long r = std::min<long long>(bitmap.Width(), std::max(src.left, src.left + src.width));
  const long long b = std::min<long long>(bitmap.Height(), std::max(src.top, src.top + src.height));
  if (l >= r || t >= b) return;
  std::vector<std::uint32_t> copy(static_cast<std::size_t>((r - l) * (b - t)));
  for (long long y = t; y < b; ++y)
    std::copy_n(bitmap.PixelData() + y * bitmap.Width() + l, r - l, copy.begin() + (y - t) * (r - l));
  src.left -= l;
  src.top -= t;
  Stretch(d, SpanOf(dest), {copy.data(), static_cast<int>(r - l), static_cast<int>(b - t)}, src, TBlitMode::Copy,
          clBlack, CopyMode);
}

void TCanvas::Draw(int x, int y, const TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  graphic->Draw(*this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  graphic->Draw(*this, rect);
}
