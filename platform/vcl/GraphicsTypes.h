#pragma once
// Points, sizes and rectangles as the class library passes them. Rectangles
// run from (Left, Top) to (Right, Bottom) with the right column and the bottom
// row excluded, as Windows takes them.

struct TPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  // Widths in 64 bits: a rectangle may span more than an int can hold.
  long long Width() const { return static_cast<long long>(Right) - Left; }
  long long Height() const { return static_cast<long long>(Bottom) - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  // True when the rectangle holds no pixel (right not beyond left, or bottom
  // not below top).
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
// The rectangle of a width and height placed at (left, top); the far edges
// saturate instead of wrapping when the sum leaves the range of an int.
TRect Bounds(int left, int top, int width, int height);

// The common part of two rectangles; false (and an empty result) when they do
// not overlap.
bool IntersectRect(TRect& result, const TRect& a, const TRect& b);
// True when the point lies inside, right column and bottom row excluded.
bool PtInRect(const TRect& rect, const TPoint& point);
