#include "designer/Alignment.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "designer/SurfaceObjects.h"
#include "grid/DrawingGeometry.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/ScrollBox.h"

namespace {

double CentreX(const TAlignBox& b) { return b.column + 0.5 * b.width; }
double CentreY(const TAlignBox& b) { return b.row + 0.5 * b.height; }
double Right(const TAlignBox& b) { return static_cast<double>(b.column) + b.width; }
double Bottom(const TAlignBox& b) { return static_cast<double>(b.row) + b.height; }

int Truncate(double value) {
  if (std::isnan(value)) return 0;
  return ClampToInt(static_cast<long long>(std::clamp(value, -9.2e18, 9.2e18)));
}

int CompareBy(double (*first)(const TAlignBox&), double (*second)(const TAlignBox&), const TAlignBox& a,
              const TAlignBox& b) {
  const double da = first(a), db = first(b);
  const int d = Truncate(da - db);
  if (d != 0) return d;
  const double sa = second(a), sb = second(b);
  return Truncate(sa - sb);
}

// The smallest and largest values and the means over the boxes.
struct TExtent {
  double minLeft, maxLeft, minRight, maxRight, minTop, maxTop, minBottom, maxBottom;
  double minCentreX, maxCentreX, minCentreY, maxCentreY, meanCentreX, meanCentreY;
  double sumWidth, sumHeight;
};

TExtent Measure(const std::vector<TAlignBox>& boxes) {
  const TAlignBox& f = boxes.front();
  const double left = f.column, top = f.row;
  TExtent e{left,       left,       Right(f),   Right(f),   top,        top,        Bottom(f),       Bottom(f),
            CentreX(f), CentreX(f), CentreY(f), CentreY(f), CentreX(f), CentreY(f), double(f.width), double(f.height)};
  for (std::size_t n = 1; n < boxes.size(); ++n) {
    const TAlignBox& b = boxes[n];
    auto widen = [](double& lo, double& hi, double v) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    };
    widen(e.minLeft, e.maxLeft, b.column);
    widen(e.minRight, e.maxRight, Right(b));
    widen(e.minTop, e.maxTop, b.row);
    widen(e.minBottom, e.maxBottom, Bottom(b));
    widen(e.minCentreX, e.maxCentreX, CentreX(b));
    widen(e.minCentreY, e.maxCentreY, CentreY(b));
    // The running means, as the objects come.
    e.meanCentreY = (CentreY(b) + n * e.meanCentreY) / (n + 1);
    e.meanCentreX = (CentreX(b) + n * e.meanCentreX) / (n + 1);
    e.sumWidth += b.width;
    e.sumHeight += b.height;
  }
  return e;
}

bool IsHorizontal(TAlignCommand c) {
  return c == TAlignCommand::DistributeCentreX || c == TAlignCommand::DistributeLeft ||
         c == TAlignCommand::DistributeRight || c == TAlignCommand::SpacingX;
}

// The indices of the boxes in the order of the command: by the other axis's
// centres first, then by its own. An insertion sort: the comparators are not
// transitive (centres less than a unit apart count as equal), which a
// library sort may not be given.
std::vector<std::size_t> SortedOrder(TAlignCommand command, const std::vector<TAlignBox>& boxes) {
  std::vector<std::size_t> order(boxes.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  using TCompare = int (*)(const TAlignBox&, const TAlignBox&);
  const TCompare own = IsHorizontal(command) ? &CompareCentreX : &CompareCentreY;
  const TCompare other = IsHorizontal(command) ? &CompareCentreY : &CompareCentreX;
  for (TCompare compare : {other, own}) {
    for (std::size_t i = 1; i < order.size(); ++i)
      for (std::size_t j = i; j > 0 && compare(boxes[order[j]], boxes[order[j - 1]]) < 0; --j)
        std::swap(order[j], order[j - 1]);
  }
  return order;
}

double Step(TAlignCommand command, const TExtent& e, std::size_t count) {
  const double gaps = static_cast<double>(count - 1);
  switch (command) {
    case TAlignCommand::DistributeCentreX: return (e.maxCentreX - e.minCentreX) / gaps;
    case TAlignCommand::DistributeCentreY: return (e.maxCentreY - e.minCentreY) / gaps;
    case TAlignCommand::DistributeLeft: return (e.maxLeft - e.minLeft) / gaps;
    case TAlignCommand::DistributeTop: return (e.maxTop - e.minTop) / gaps;
    case TAlignCommand::DistributeRight: return (e.maxRight - e.minRight) / gaps;
    case TAlignCommand::DistributeBottom: return (e.maxBottom - e.minBottom) / gaps;
    case TAlignCommand::SpacingX: return (e.maxRight - e.minLeft - e.sumWidth) / gaps;
    case TAlignCommand::SpacingY: return (e.maxBottom - e.minTop - e.sumHeight) / gaps;
    default: return 0;
  }
}

// The new position of the i-th box in command order; cursor: the running
// coordinate of the spacing commands.
TPoint Place(TAlignCommand command, const TExtent& e, const TAlignBox& b, std::size_t i, double step, double& cursor) {
  double x = b.column, y = b.row;
  const double at = static_cast<double>(i) * step;
  switch (command) {
    case TAlignCommand::Top: y = e.minTop + 0.5; break;
    case TAlignCommand::Bottom: y = e.maxBottom + 0.5 - b.height; break;
    case TAlignCommand::Left: x = e.minLeft + 0.5; break;
    case TAlignCommand::Right: x = e.maxRight + 0.5 - b.width; break;
    case TAlignCommand::Middle: y = e.meanCentreY - 0.5 * b.height + 0.5; break;
    case TAlignCommand::Center: x = e.meanCentreX - 0.5 * b.width + 0.5; break;
    case TAlignCommand::DistributeCentreX: x = at + e.minCentreX - 0.5 * b.width + 0.5; break;
    case TAlignCommand::DistributeCentreY: y = at + e.minCentreY - 0.5 * b.height + 0.5; break;
    case TAlignCommand::DistributeLeft: x = at + e.minLeft + 0.5; break;
    case TAlignCommand::DistributeTop: y = at + e.minTop + 0.5; break;
    case TAlignCommand::DistributeRight: x = at + e.minRight - b.width + 0.5; break;
    case TAlignCommand::DistributeBottom: y = at + e.minBottom - b.height + 0.5; break;
    case TAlignCommand::SpacingX:
      x = cursor + 0.5;
      cursor += b.width + step;
      break;
    case TAlignCommand::SpacingY:
      y = cursor + 0.5;
      cursor += b.height + step;
      break;
  }
  return {Truncate(x), Truncate(y)};
}

}  // namespace

int CompareCentreX(const TAlignBox& a, const TAlignBox& b) { return CompareBy(&CentreX, &CentreY, a, b); }
int CompareCentreY(const TAlignBox& a, const TAlignBox& b) { return CompareBy(&CentreY, &CentreX, a, b); }

std::vector<TPoint> AlignBoxes(TAlignCommand command, const std::vector<TAlignBox>& boxes) {
  std::vector<TPoint> result;
  for (const TAlignBox& b : boxes) result.push_back({b.column, b.row});
  if (boxes.size() < 2) return result;
  const TExtent e = Measure(boxes);
  const bool distribute = static_cast<int>(command) >= static_cast<int>(TAlignCommand::DistributeCentreX);
  std::vector<std::size_t> order(boxes.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (distribute) order = SortedOrder(command, boxes);
  const double step = Step(command, e, boxes.size());
  double cursor = command == TAlignCommand::SpacingX ? e.minLeft : e.minTop;
  for (std::size_t i = 0; i < order.size(); ++i) result[order[i]] = Place(command, e, boxes[order[i]], i, step, cursor);
  return result;
}

TObjectAlignment::TObjectAlignment(TObjectAlignmentContext context) : context_(std::move(context)) {}

void TObjectAlignment::AlignClick(TObject* sender) {
  auto* item = dynamic_cast<TComponent*>(sender);
  Apply(item != nullptr ? item->Tag : -1);
}

void TObjectAlignment::Apply(int tag) {
  if (context_.pushUndo) context_.pushUndo();
  if (tag < 0 || tag >= kAlignCommandCount) return;
  std::vector<TGridWebElement*> objects;
  std::vector<TAlignBox> boxes;
  for (TGridWebElement* object : OwnedPageObjects(*context_.surface)) {
    if (!object->Selected() || !object->CanSelect()) continue;
    const TPoint p = object->GetPosition();
    objects.push_back(object);
    boxes.push_back({p.x, p.y, object->Width(), object->Height()});
  }
  const std::vector<TPoint> placed = AlignBoxes(static_cast<TAlignCommand>(tag), boxes);
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const TPoint old = objects[i]->GetPosition();
    if (placed[i].x != old.x || placed[i].y != old.y) objects[i]->SetPosition(placed[i].x, placed[i].y);
  }
}
