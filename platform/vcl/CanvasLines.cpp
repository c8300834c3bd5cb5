// Lines of the canvas: MoveTo, LineTo, Polyline and the pen strokes that the
// shapes share.
//
// A one-pixel pen steps along the major axis and puts one pixel per step,
// the minor coordinate rounded to the nearest pixel; the end point is left
// out. Exact halves are broken as Windows' Bresenham lines break them: toward
// the start point's row or column in four of the eight octants, away from it
// in the others, so that a line and its reverse put their pixels in the same
// places. Dotted and dashed pens
// follow the patterns of Windows' cosmetic pens (dash 18 on 6 off, dot 3 on 3
// off, dash-dot 9-6-3-6, dash-dot-dot 9-3-3-3-3-3); with a solid brush the
// gaps take the brush colour. Pens wider than one pixel draw solid lines with
// round ends, as Windows' wide pens do, so their end points are covered.
//
// Only the steps whose pixels can fall inside the clip are visited, so a line
// of any length costs at most the size of the clip.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/CanvasDevice.h"

using namespace CanvasDetail;

namespace {

struct DashPattern {
  int count;
  int lengths[6];
  int total;
};

const DashPattern* PatternOf(TPenStyle style) {
  static const DashPattern dash{2, {18, 6}, 24};
  static const DashPattern dot{2, {3, 3}, 6};
  static const DashPattern dashDot{4, {9, 6, 3, 6}, 24};
  static const DashPattern dashDotDot{6, {9, 3, 3, 3, 3, 3}, 24};
  switch (style) {
    case psDash: return &dash;
    case psDot: return &dot;
    case psDashDot: return &dashDot;
    case psDashDotDot: return &dashDotDot;
    default: return nullptr;
  }
}

// True when the pattern is "on" at a position along the line.
bool PatternOn(const DashPattern& pattern, long long position) {
  long long p = position % pattern.total;
  if (p < 0) p += pattern.total;
  for (int i = 0; i < pattern.count; ++i) {
    if (p < pattern.lengths[i]) return i % 2 == 0;
    p -= pattern.lengths[i];
  }
  return true;
}

// The steps i in [0, n) whose major coordinate start + dir * i lies in
// [lo, hi).
void StepRange(long long start, int dir, long long lo, long long hi, long long n, long long& first, long long& last) {
  if (dir >= 0) {
    first = lo - start;
    last = hi - start;
  } else {
    first = start - hi + 1;
    last = start - lo + 1;
  }
  first = std::max(first, 0LL);
  last = std::min(last, n);
}

// Minor offset of step i: i * minor / major rounded; an exact half rounds
// up when `bias` is 1, down when it is 0.
long long MinorOffset(long long i, long long aminor, long long amajor, int bias) {
  const __int128 num = static_cast<__int128>(2) * i * aminor + amajor - 1 + bias;
  return static_cast<long long>(num / (2 * static_cast<__int128>(amajor)));
}

// 1 for the octants whose halves round away from the start: x falling with
// y not falling faster (y-major), both falling, or x rising while y falls
// more slowly (x-major).
int OctantBias(long long dx, long long dy, bool xMajor) {
  if (dx >= 0 && dy >= 0) return 0;
  if (dx >= 0) return xMajor ? 1 : 0;
  if (dy >= 0) return xMajor ? 0 : 1;
  return 1;
}

}  // namespace

void TCanvas::MoveTo(int x, int y) {
  penPos_ = {x, y};
  dashPos_ = 0;
}

void TCanvas::LineTo(int x, int y) {
  Device d;
  if (GetDevice(d)) PenSegment(d, penPos_.x + d.ox, penPos_.y + d.oy, x + d.ox, y + d.oy, dashPos_);
  dashPos_ +=
      std::max(std::llabs(static_cast<long long>(x) - penPos_.x), std::llabs(static_cast<long long>(y) - penPos_.y));
  penPos_ = {x, y};
}

void TCanvas::Polyline(const TPoint* points, int count) {
  Device d;
  if (points == nullptr || count < 2 || !GetDevice(d)) return;
  std::vector<long long> xy(static_cast<std::size_t>(count) * 2);
  for (int i = 0; i < count; ++i) {
    xy[2 * i] = points[i].x + d.ox;
    xy[2 * i + 1] = points[i].y + d.oy;
  }
  StrokePath(d, xy.data(), count);
}

void TCanvas::StrokePath(const Device& d, const long long* xy, int count) {
  long long phase = 0;
  for (int i = 0; i + 1 < count; ++i) {
    const long long x0 = xy[2 * i], y0 = xy[2 * i + 1], x1 = xy[2 * i + 2], y1 = xy[2 * i + 3];
    PenSegment(d, x0, y0, x1, y1, phase);
    phase += std::max(std::llabs(x1 - x0), std::llabs(y1 - y0));
  }
}

void TCanvas::PenSegment(const Device& d, long long x0, long long y0, long long x1, long long y1, long long phase) {
  if (Pen->Style == psClear) return;
  if (Pen->Width > 1)
    WideLine(d, x0, y0, x1, y1);
  else
    CosmeticLine(d, x0, y0, x1, y1, phase);
}

void TCanvas::CosmeticLine(const Device& d, long long x0, long long y0, long long x1, long long y1, long long phase) {
  const long long dx = x1 - x0, dy = y1 - y0;
  const long long adx = std::llabs(dx), ady = std::llabs(dy);
  const long long n = std::max(adx, ady);
  if (n == 0) return;
  const bool xMajor = adx >= ady;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const DashPattern* pattern = PatternOf(Pen->Style);
  const bool opaqueGaps = Brush->Style == bsSolid;
  const std::uint32_t penColor = ToPixel(Pen->Color), gapColor = ToPixel(Brush->Color);

  const int bias = OctantBias(dx, dy, xMajor);
  long long first, last;
  if (xMajor)
    StepRange(x0, sx, d.clipL, d.clipR, n, first, last);
  else
    StepRange(y0, sy, d.clipT, d.clipB, n, first, last);
  for (long long i = first; i < last; ++i) {
    long long x, y;
    if (xMajor) {
      x = x0 + sx * i;
      y = y0 + sy * MinorOffset(i, ady, adx, bias);
    } else {
      y = y0 + sy * i;
      x = x0 + sx * MinorOffset(i, adx, ady, bias);
    }
    if (!d.Inside(x, y)) continue;
    if (pattern == nullptr || PatternOn(*pattern, phase + i))
      PenPixel(d, x, y, penColor);
    else if (opaqueGaps)
      PenPixel(d, x, y, gapColor);
  }
}

void TCanvas::WideLine(const Device& d, long long x0, long long y0, long long x1, long long y1) {
  const long long dx = x1 - x0, dy = y1 - y0;
  const long long adx = std::llabs(dx), ady = std::llabs(dy);
  const long long n = std::max(adx, ady);
  if (n == 0) return;
  const int w = std::min(Pen->Width, kMaxPenWidth);
  // The round pen tip: rows from lo to lo + w - 1 around the point, each a
  // span of columns.
  const int lo = -(w / 2);
  const double centre = lo + (w - 1) / 2.0, radius2 = (w / 2.0) * (w / 2.0);
  std::vector<std::pair<int, int>> tip(static_cast<std::size_t>(w), {1, 0});
  for (int b = 0; b < w; ++b) {
    const double rest = radius2 - (lo + b - centre) * (lo + b - centre);
    if (rest < 0) continue;
    const double half = std::sqrt(rest);
    int a0 = static_cast<int>(std::ceil(centre - half)), a1 = static_cast<int>(std::floor(centre + half));
    tip[static_cast<std::size_t>(b)] = {std::max(a0, lo), std::min(a1, lo + w - 1)};
  }
  const bool xMajor = adx >= ady;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const std::uint32_t color = ToPixel(Pen->Color);
  const int bias = OctantBias(dx, dy, xMajor);
  long long first, last;
  // Steps 0..n inclusive: the round end covers the end point.
  if (xMajor)
    StepRange(x0, sx, d.clipL - w, d.clipR + w, n + 1, first, last);
  else
    StepRange(y0, sy, d.clipT - w, d.clipB + w, n + 1, first, last);
  for (long long i = first; i < last; ++i) {
    long long x, y;
    if (xMajor) {
      x = x0 + sx * i;
      y = y0 + sy * MinorOffset(i, ady, adx, bias);
    } else {
      y = y0 + sy * i;
      x = x0 + sx * MinorOffset(i, adx, ady, bias);
    }
    if (x + lo + w <= d.clipL || x + lo >= d.clipR || y + lo + w <= d.clipT || y + lo >= d.clipB) continue;
    for (int b = 0; b < w; ++b) {
      const long long py = y + lo + b;
      if (py < d.clipT || py >= d.clipB) continue;
      const auto [a0, a1] = tip[static_cast<std::size_t>(b)];
      for (long long px = std::max(x + a0, d.clipL); px <= std::min<long long>(x + a1, d.clipR - 1); ++px)
        PenPixel(d, px, py, color);
    }
  }
}
