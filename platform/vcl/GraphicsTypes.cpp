#include "platform/vcl/GraphicsTypes.h"

#include <algorithm>
#include <climits>

namespace {

int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

}  // namespace

TRect Bounds(int left, int top, int width, int height) {
  return {left, top, Saturate(static_cast<long long>(left) + width), Saturate(static_cast<long long>(top) + height)};
}

bool IntersectRect(TRect& result, const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty()) {
    result = TRect{};
    return false;
  }
  result = r;
  return true;
}

bool PtInRect(const TRect& rect, const TPoint& point) {
  return point.x >= rect.Left && point.x < rect.Right && point.y >= rect.Top && point.y < rect.Bottom;
}
