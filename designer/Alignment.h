#pragma once
// Alignment and distribution of the selected page objects. The menu item's
// Tag names the command; positions are in units (1-based), sizes as shown,
// and both are added as they stand.
//
//   0..5    tops, bottoms, left or right edges to the extreme edge; vertical
//           or horizontal centres to the mean centre
//   6..11   centres (horizontal, vertical), left, top, right or bottom
//           edges evenly spaced between their smallest and largest value,
//           in the order of the objects' centres
//   12, 13  equal horizontal or vertical gaps between neighbours (a span
//           smaller than the objects gives a negative gap: they overlap)
//
// New coordinates are rounded by adding 0.5 and truncating toward zero.

#include <vector>

#include "platform/vcl/Closure.h"
#include "platform/vcl/GraphicsTypes.h"

class TObject;
class TScrollBox;

enum class TAlignCommand {
  Top = 0,
  Bottom,
  Left,
  Right,
  Middle,
  Center,
  DistributeCentreX,
  DistributeCentreY,
  DistributeLeft,
  DistributeTop,
  DistributeRight,
  DistributeBottom,
  SpacingX,
  SpacingY
};
inline constexpr int kAlignCommandCount = 14;

// One object as the commands see it.
struct TAlignBox {
  int column = 0;
  int row = 0;
  int width = 0;
  int height = 0;
};

// Orders two boxes by their horizontal centres, truncated toward zero, then
// by their vertical centres (negative: a first); CompareCentreY the other way
// round.
int CompareCentreX(const TAlignBox& a, const TAlignBox& b);
int CompareCentreY(const TAlignBox& a, const TAlignBox& b);

// The new position of every box, in the order given; fewer than two boxes
// stay where they are.
std::vector<TPoint> AlignBoxes(TAlignCommand command, const std::vector<TAlignBox>& boxes);

// The command of a menu item's Tag on the surface: an undo snapshot (also
// when nothing then moves), then the selected objects that may be selected
// now, in creation order, are measured and moved.
struct TObjectAlignmentContext {
  TScrollBox* surface = nullptr;
  Closure<void()> pushUndo;
};

class TObjectAlignment {
 public:
  explicit TObjectAlignment(TObjectAlignmentContext context);
  // Sender: the menu item; a Tag outside 0..13 only records the snapshot.
  void AlignClick(TObject* sender);
  void Apply(int tag);

 private:
  TObjectAlignmentContext context_;
};
