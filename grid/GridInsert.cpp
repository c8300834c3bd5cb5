#include "grid/GridInsert.h"

#include <algorithm>

#include "grid/DrawingGeometry.h"
#include "grid/ScrollPositions.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/WinControl.h"

namespace {

// The extent of the carried objects starts below every real edge.
constexpr long long kNoEdge = -2147483647LL;
// With several objects the mouse holds the frame this many steps from its
// top left corner.
constexpr long long kHeldSteps = 2;

// A remainder that takes the sign of the dividend (as the truncating
// division leaves it).
long long Rem(long long a, long long b) { return b == 0 ? 0 : a % b; }

}  // namespace

TGridInsert::TGridInsert(TComponent* owner, int unitPixels, int scrollX, int scrollY, int offsetX, int offsetY,
                         const std::vector<TGridGraphic*>& items)
    : TGridGraphic(owner, unitPixels) {
  FOnAfterDrop = nullptr;
  FOnDropped = nullptr;
  FOnBeforeDrop = nullptr;
  FOnCancel = nullptr;
  FStepX = FStepY = nullptr;
  // One frame at a time carries the name; a second frame on the same
  // surface stays unnamed rather than failing.
  if (owner == nullptr || owner->FindComponent("GridInsert") == nullptr) SetName("GridInsert");
  FFinished = false;
  FOffsetX = offsetX;
  FOffsetY = offsetY;
  FItems = items;
  long long right = kNoEdge, bottom = kNoEdge;
  for (TGridGraphic* item : FItems) {
    right = std::max(right, static_cast<long long>(item->Left()) + item->Width());
    bottom = std::max(bottom, static_cast<long long>(item->Top()) + item->Height());
  }
  SetBounds(Left(), Top(), ClampToInt(right + unitPixels + offsetX + scrollX),
            ClampToInt(bottom + unitPixels + offsetY + scrollY));
  FOriginX = scrollX;
  FOriginY = scrollY;
}

void TGridInsert::SetExtent(int* stepX, int* stepY) {
  FStepX = stepX;
  FStepY = stepY;
  if (FStepX != nullptr && FStepY != nullptr)
    SetBounds(Left(), Top(), ClampToInt(Width() + (*FStepX - 1LL) * FUnitPixels),
              ClampToInt(Height() + (*FStepY - 1LL) * FUnitPixels));
}

void TGridInsert::MoveTo(int x, int y) {
  const TPoint p = ClientToParent({x, y});
  const long long stepX = std::max(1LL, (FStepX != nullptr ? *FStepX : 1LL) * FUnitPixels);
  const long long stepY = std::max(1LL, (FStepY != nullptr ? *FStepY : 1LL) * FUnitPixels);
  long long hx, hy;
  if (FItems.size() == 1) {
    hx = (Width() + 1LL) / 2;
    hy = (Height() + 1LL) / 2;
  } else {
    hx = kHeldSteps * stepX;
    hy = kHeldSteps * stepY;
  }
  long long ox = 0, oy = 0;
  if (dynamic_cast<TScrollingWinControl*>(Parent()) != nullptr) {
    int sx = 0, sy = 0;
    ScrollPositionsOf(this, sx, sy);
    ox = Rem(static_cast<long long>(FOriginX) - sx, stepX);
    oy = Rem(static_cast<long long>(FOriginY) - sy, stepY);
  }
  const long long left = ((p.x - hx + stepX / 2) / stepX) * stepX + ox;
  const long long top = ((p.y - hy + stepY / 2) / stepY) * stepY + oy;
  SetBounds(ClampToInt(left), ClampToInt(top), Width(), Height());
}

void TGridInsert::Drop() {
  if (FOnBeforeDrop) FOnBeforeDrop(this);
  long long dx = FOffsetX, dy = FOffsetY;
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  dx += sx;
  dy += sy;
  SetParent(nullptr);
  const int unit = FUnitPixels > 0 ? FUnitPixels : 1;
  const int ux = ClampToInt((Left() + dx) / unit), uy = ClampToInt((Top() + dy) / unit);
  for (TGridGraphic* item : FItems) item->MoveHook(ux, uy);
  for (TGridGraphic* item : FItems) {
    MoveBy(item, ux, uy);
    item->Select();
    item->Show();
  }
  if (FOnDropped) FOnDropped(this);
  if (FOnAfterDrop) FOnAfterDrop(this);
  FItems.clear();
}

void TGridInsert::Cancel() {
  const std::vector<TGridGraphic*> items = FItems;
  FItems.clear();
  for (TGridGraphic* item : items) FreeComponent(item);
  SetParent(nullptr);
  FFinished = true;
  if (FOnCancel) FOnCancel(this);
}

void TGridInsert::WndProc(TMessage& message) {
  TGridGraphic::WndProc(message);
  // A finished frame off the surface reports every message it still gets.
  if (Parent() == nullptr && FFinished && FOnAfterDrop) FOnAfterDrop(this);
}

void TGridInsert::MouseMove(TShiftState shift, int x, int y) {
  TGridGraphic::MouseMove(shift, x, y);
  BringToFront();
  MoveTo(x, y);
}

void TGridInsert::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGridGraphic::MouseUp(button, shift, x, y);
  Drop();
}

void TGridInsert::Paint() {
  TCanvas* c = Canvas();
  c->Brush->Style = bsClear;
  if (FInnerFrame && FStepX != nullptr && FStepY != nullptr) {
    const TRect r{*FStepX + FFrameX, *FStepY + FFrameY, Width() - *FStepX, Height() - *FStepY};
    c->Pen->Style = psSolid;
    c->Pen->Color = clBlack;
    c->Rectangle(r);
    c->Pen->Style = psDot;
    c->Pen->Color = clWhite;
    c->Rectangle(r);
  } else {
    c->Pen->Style = psDot;
    c->Pen->Color = clBlack;
    c->Rectangle(0, 0, Width(), Height());
  }
  c->Pen->Style = psSolid;
  long long ox = FOffsetX, oy = FOffsetY;
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  ox += sx;
  oy += sy;
  for (TGridGraphic* item : FItems) {
    c->Font->Assign(*item->Canvas()->Font);
    item->Draw(ClampToInt(ox + item->Left()), ClampToInt(oy + item->Top()), c);
  }
}
