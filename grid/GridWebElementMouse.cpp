// TGridWebElement: the mouse in the design view. A press on a selected
// object starts a move, or a resize when it lands on one of the handles of a
// resizable kind; moves step on the designer's grid and fire the
// before-move or before-resize event once per drag, so that the designer
// records one undo snapshot for the whole drag. In the live view a press
// works the object (GridWebElementLive.cpp) and a release follows its link.

#include <algorithm>
#include <array>

#include "core/TraceLog.h"
#include "grid/DrawingGeometry.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/WinControl.h"

namespace {

// The handles are this many pixels deep at the right and bottom edges.
constexpr int kHandle = 8;
// The cursors of the hidden main form: moving, and the right, bottom and
// corner handles.
constexpr TCursor kCursorMove = 4128;
constexpr TCursor kCursorHorz = 4129;
constexpr TCursor kCursorVert = 4130;
constexpr TCursor kCursorBoth = 4134;
// A submit button stays wide and high enough for its caption plus these.
constexpr int kSubmitSpareWidth = 24;
constexpr int kSubmitSpareHeight = 12;

constexpr std::array<int, 6> kResizableKinds = {wkSubmit, wkCamera, wkBlock, wkStrImg, wkCanvas, wkIFrame};

int Step(const int* grid) { return grid != nullptr && *grid > 0 ? *grid : 1; }

// The size in whole grid steps at or above `pixels`.
int RoundUpToSteps(int pixels, int unitPixels, int step) {
  const long long units = pixels / std::max(1, unitPixels);
  return ClampToInt((units + step - 1) / step * step * std::max(1, unitPixels));
}

}  // namespace

bool TGridWebElement::IsResizable() const {
  return std::find(kResizableKinds.begin(), kResizableKinds.end(), FKind) != kResizableKinds.end();
}

TGridWebElement::THandle TGridWebElement::HandleAt(int x, int y) const {
  if (!IsResizable()) return THandle{};
  const int w = Width(), h = Height();
  THandle handle;
  if (y > h - kHandle && (w - kHandle) / 2 < x && x < (w + kHandle) / 2) handle.bottom = true;
  if (x > w - kHandle && (h - kHandle) / 2 < y && y < (h + kHandle) / 2) handle.right = true;
  if (x > w - kHandle && y > h - kHandle) handle.right = handle.bottom = true;
  return handle;
}

void TGridWebElement::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGridGraphic::MouseDown(button, shift, x, y);
  FDownX = x;
  FDownY = y;
  // The press that follows a double click or a properties dialog starts no
  // drag.
  const bool ignored = FDblClicked || FIgnoreMouseDown;
  FIgnoreMouseDown = false;
  if (IsLive()) {
    if (!ignored) LiveMouseDown(button, x);
    // A live edit or list opened by the press takes the keys.
    for (TControl* editor : {FEditor, static_cast<TControl*>(FComboBox)})
      if (auto* control = dynamic_cast<TWinControl*>(editor); control != nullptr && control->Visible())
        control->SetFocus();
    return;
  }
  if (ignored || button != mbLeft || IsGroupLocked()) return;
  const THandle handle = HandleAt(x, y);
  FSizingX = handle.right;
  FSizingY = handle.bottom;
  if (FSizingX || FSizingY) {
    FSizePending = true;
    return;
  }
  Screen->SetCursor(kCursorMove);
  FMovePending = true;
  FMoving = true;
}

void TGridWebElement::MouseMove(TShiftState shift, int x, int y) {
  if (IsLive()) {
    SetCursor(LiveCursor(x));
  } else {
    TakeDroppedVariable(shift);
    if (IsResizable()) ShowHandleCursor(x, y);
    if (FMoving && !(shift & ssShift)) DragMove(x, y);
    if (FSizingX || FSizingY) DragResize(x, y);
  }
  TGridGraphic::MouseMove(shift, x, y);
}

void TGridWebElement::TakeDroppedVariable(TShiftState shift) {
  if (FDroppedVariable.empty()) return;
  const std::string dropped = FDroppedVariable;
  FDroppedVariable.clear();
  if (shift & ssCtrl) {
    SetVisVariable(dropped);
  } else {
    SetVariable(dropped);
  }
  ResolveVariables();
}

void TGridWebElement::ShowHandleCursor(int x, int y) {
  const THandle handle = HandleAt(x, y);
  TCursor cursor = crArrow;
  if (handle.right && handle.bottom) {
    cursor = kCursorBoth;
  } else if (handle.right) {
    cursor = kCursorHorz;
  } else if (handle.bottom) {
    cursor = kCursorVert;
  }
  SetCursor(cursor);
}

void TGridWebElement::DragMove(int x, int y) {
  const int unit = std::max(1, FUnitPixels);
  const int gx = Step(FGridX), gy = Step(FGridY);
  long long dx = ((static_cast<long long>(x) - FDownX) / unit) / gx;
  long long dy = ((static_cast<long long>(y) - FDownY) / unit) / gy;
  if (dx == 0 && dy == 0) return;
  if (FMovePending) {
    FMovePending = false;
    if (FOnBeforeMove) FOnBeforeMove(this);
  }
  // A step that would take the object above or left of the page is dropped
  // on that axis.
  if (FPosX + dx * gx < 0) dx = 0;
  if (FPosY + dy * gy < 0) dy = 0;
  const int mx = ClampToInt(dx * gx), my = ClampToInt(dy * gy);
  if (MoreThanOneSelected()) {
    MoveSelected(mx, my);
  } else {
    SetPosition(ClampToInt(static_cast<long long>(FPosX) + mx), ClampToInt(static_cast<long long>(FPosY) + my));
  }
}

void TGridWebElement::DragResize(int x, int y) {
  int width = Width(), height = Height();
  const bool submit = FKind == wkSubmit;
  if (FSizingX) {
    const int least = (submit ? Canvas()->TextWidth(FCaption) + kSubmitSpareWidth : 1) + FPadX;
    width = RoundUpToSteps(std::max(x, least), FUnitPixels, Step(FGridX));
  }
  if (FSizingY) {
    const int least = (submit ? Canvas()->TextHeight(FCaption) + kSubmitSpareHeight : 1) + FPadY;
    height = RoundUpToSteps(std::max(y, least), FUnitPixels, Step(FGridY));
  }
  if (width == Width() && height == Height()) return;
  if (FSizePending) {
    FSizePending = false;
    if (FOnBeforeResize) FOnBeforeResize(this);
  }
  SetBounds(Left(), Top(), width, height);
  FContentWidth = width;
  FContentHeight = height;
}

// The drag ends before the inherited release, whose popup menu may run a
// command that frees this element (Delete, Cut).
void TGridWebElement::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const bool resized = FSizingX || FSizingY;
  FSizingX = FSizingY = FSizePending = false;
  if (IsLive()) {
    // In the live view a release on a linked object follows its link; the
    // link may show another page and free this element.
    TGridGraphic::MouseUp(button, shift, x, y);
    if (!FHref.empty() && FKind != wkIFrame && FOnHyperLink) {
      WriteTraceLog("mHyperLink - " + GetKindCaption());
      FOnHyperLink(this, FHref);
      return;
    }
    FDblClicked = false;
    return;
  }
  // A resize ends as a move does: FOnMoved lets the designer's scroll range
  // cover the new size.
  if (FMoving || resized) {
    EndMove();
  } else if (FEditor != nullptr && FEditor->Visible()) {
    if (auto* editor = dynamic_cast<TWinControl*>(FEditor)) editor->SetFocus();
  }
  FDblClicked = false;
  TGridGraphic::MouseUp(button, shift, x, y);
}

void TGridWebElement::EndMove() {
  FMovePending = false;
  FMoving = false;
  Screen->SetCursor(crDefault);
  if (FOnMoved) FOnMoved(this);
}

void TGridWebElement::DblClick() {
  if (IsLive() || IsGroupLocked()) return;
  TGridGraphic::DblClick();
}
