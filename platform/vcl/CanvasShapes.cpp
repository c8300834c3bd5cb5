// Filled shapes of the canvas: Rectangle, RoundRect, Ellipse and Polygon.
//
// Rectangle outlines (x1, y1) .. (x2 - 1, y2 - 1) with the pen and fills the
// inside with the brush; with a clear pen the fill covers (x1, y1, x2 - 1,
// y2 - 1). Round shapes are computed row by row: a pixel belongs to the shape
// when its centre lies inside it, the outline being the pixels of the shape
// that are not inside the shape shrunk by the pen width (dot and dash
// patterns are not applied to curves). Polygons fill by the even-odd rule,
// sampled at pixel centres, and are then outlined as a closed path.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/CanvasDevice.h"

using namespace CanvasDetail;

namespace {

// A rectangle with elliptic corners (corner width cw, height ch) in bitmap
// coordinates.
struct RoundedBox {
  double l, t, r, b, cw, ch;
  bool empty;
};

// The columns [x0, x1) of the pixels of row y whose centres lie inside.
bool RowSpan(const RoundedBox& box, long long y, long long& x0, long long& x1) {
  if (box.empty) return false;
  const double Y = static_cast<double>(y) + 0.5;
  if (Y < box.t || Y > box.b) return false;
  const double rx = box.cw / 2.0, ry = box.ch / 2.0;
  double inset = 0;
  if (ry > 0) {
    double dy = 0;
    if (Y < box.t + ry)
      dy = (box.t + ry - Y) / ry;
    else if (Y > box.b - ry)
      dy = (Y - (box.b - ry)) / ry;
    if (dy > 1) return false;
    inset = rx * (1.0 - std::sqrt(1.0 - dy * dy));
  }
  const double left = box.l + inset, right = box.r - inset;
  x0 = static_cast<long long>(std::ceil(left - 0.5));
  x1 = static_cast<long long>(std::floor(right - 0.5)) + 1;
  return x0 < x1;
}

void Normalise(long long& a, long long& b) {
  if (a > b) std::swap(a, b);
}

}  // namespace

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Device d;
  if (!GetDevice(d)) return;
  long long l = x1 + d.ox, r = x2 + d.ox, t = y1 + d.oy, b = y2 + d.oy;
  Normalise(l, r);
  Normalise(t, b);
  if (Pen->Style == psClear) {
    for (long long y = std::max(t, d.clipT); y < std::min(b - 1, d.clipB); ++y) FillBrushSpan(d, y, l, r - 1);
    return;
  }
  if (r <= l || b <= t) return;
  for (long long y = std::max(t + 1, d.clipT); y < std::min(b - 1, d.clipB); ++y) FillBrushSpan(d, y, l + 1, r - 1);
  if (r - l == 1) {
    PenSegment(d, l, t, l, b, 0);
  } else if (b - t == 1) {
    PenSegment(d, l, t, r, t, 0);
  } else {
    const long long path[] = {l, t, r - 1, t, r - 1, b - 1, l, b - 1, l, t};
    StrokePath(d, path, 5);
  }
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  RoundShape(x1, y1, x2, y2, std::llabs(static_cast<long long>(x3)), std::llabs(static_cast<long long>(y3)));
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  RoundShape(x1, y1, x2, y2, std::llabs(static_cast<long long>(x2) - x1), std::llabs(static_cast<long long>(y2) - y1));
}

void TCanvas::RoundShape(long long x1, long long y1, long long x2, long long y2, long long cw, long long ch) {
  Device d;
  if (!GetDevice(d)) return;
  long long l = x1 + d.ox, r = x2 + d.ox, t = y1 + d.oy, b = y2 + d.oy;
  Normalise(l, r);
  Normalise(t, b);
  const bool pen = Pen->Style != psClear;
  if (!pen) {
    --r;
    --b;
  }
  if (r <= l || b <= t) return;
  cw = std::min(cw, r - l);
  ch = std::min(ch, b - t);
  const RoundedBox outer{double(l), double(t), double(r), double(b), double(cw), double(ch), false};
  const long long w = pen ? std::clamp(Pen->Width, 1, kMaxPenWidth) : 0;
  RoundedBox inner{double(l + w),
                   double(t + w),
                   double(r - w),
                   double(b - w),
                   double(std::max(0LL, cw - 2 * w)),
                   double(std::max(0LL, ch - 2 * w)),
                   r - l <= 2 * w || b - t <= 2 * w};
  const std::uint32_t penColor = ToPixel(Pen->Color);
  for (long long y = std::max(t, d.clipT); y < std::min(b, d.clipB); ++y) {
    long long o0, o1;
    if (!RowSpan(outer, y, o0, o1)) continue;
    long long i0 = 0, i1 = 0;
    const bool hasInner = pen ? RowSpan(inner, y, i0, i1) : (i0 = o0, i1 = o1, true);
    if (hasInner) FillBrushSpan(d, y, i0, i1);
    if (!pen) continue;
    auto stroke = [&](long long a, long long z) {
      for (long long x = std::max(a, d.clipL); x < std::min(z, d.clipR); ++x) PenPixel(d, x, y, penColor);
    };
    if (hasInner) {
      stroke(o0, std::min(i0, o1));
      stroke(std::max(i1, o0), o1);
    } else {
      stroke(o0, o1);
    }
  }
}

void TCanvas::Polygon(const TPoint* points, int count) {
  Device d;
  if (points == nullptr || count < 2 || !GetDevice(d)) return;
  std::vector<long long> xy(static_cast<std::size_t>(count + 1) * 2);
  long long top = points[0].y + d.oy, bottom = top;
  for (int i = 0; i <= count; ++i) {
    const TPoint& p = points[i % count];
    xy[2 * i] = p.x + d.ox;
    xy[2 * i + 1] = p.y + d.oy;
    top = std::min(top, xy[2 * i + 1]);
    bottom = std::max(bottom, xy[2 * i + 1]);
  }
  if (Brush->Style != bsClear) {
    std::vector<double> crossings;
    for (long long y = std::max(top, d.clipT); y < std::min(bottom, d.clipB); ++y) {
      const double Y = static_cast<double>(y) + 0.5;
      crossings.clear();
      for (int i = 0; i < count; ++i) {
        const double ax = double(xy[2 * i]), ay = double(xy[2 * i + 1]);
        const double bx = double(xy[2 * i + 2]), by = double(xy[2 * i + 3]);
        if (ay == by) continue;
        if (Y < std::min(ay, by) || Y >= std::max(ay, by)) continue;
        crossings.push_back(ax + (Y - ay) * (bx - ax) / (by - ay));
      }
      std::sort(crossings.begin(), crossings.end());
      for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
        const double a = std::ceil(crossings[k] - 0.5), z = std::ceil(crossings[k + 1] - 0.5);
        const double lo = std::max(a, double(d.clipL)), hi = std::min(z, double(d.clipR));
        if (lo < hi) FillBrushSpan(d, y, static_cast<long long>(lo), static_cast<long long>(hi));
      }
    }
  }
  StrokePath(d, xy.data(), count + 1);
}
