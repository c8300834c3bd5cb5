#pragma once
// Coordinates of the drawing on the design surface. Sizes and positions come
// from project files and live values, so sums of int coordinates are taken in
// 64 bits and cut to what an int holds: the canvas clips what lies beyond it.

#include <algorithm>
#include <climits>

#include "platform/vcl/GraphicsTypes.h"

inline int ClampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

// The rectangle (left, top, right, bottom), each edge cut to an int.
inline TRect ClampedRect(long long left, long long top, long long right, long long bottom) {
  return {ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)};
}

// Half of v rounded down (toward minus infinity), as a centring offset.
inline long long FloorHalf(long long v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
