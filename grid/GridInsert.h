#pragma once
// TGridInsert: the frame that carries a group of page objects across the
// design surface while they are inserted or pasted. It follows the mouse on
// the snap grid and paints the objects inside it; a release drops them at its
// position (they become visible and selected); Cancel deletes them.

#include <vector>

#include "grid/GridGraphic.h"

class TGridInsert : public TGridGraphic {
 public:
  // items: the objects to carry (on the surface, hidden, placed relative to
  // the group); offsetX/offsetY: where the group's origin lies in the frame.
  TGridInsert(TComponent* owner, int unitPixels, int scrollX, int scrollY, int offsetX, int offsetY,
              const std::vector<TGridGraphic*>& items);

  // The snap steps in units (null counts as 1); with both set the frame
  // grows by a step less one unit on each axis.
  void SetExtent(int* stepX, int* stepY);
  // Follows the mouse at (x, y), in the frame's own coordinates.
  void MoveTo(int x, int y);
  void Drop();
  void Cancel();

  bool CanSelect() override { return true; }
  void SetPosition(int, int) override {}

  bool Finished() const { return FFinished; }
  const std::vector<TGridGraphic*>& Items() const { return FItems; }

  TNotifyEvent FOnAfterDrop;
  TNotifyEvent FOnDropped;
  TNotifyEvent FOnBeforeDrop;
  TNotifyEvent FOnCancel;
  // An inner frame inset by the steps plus these, instead of the dotted
  // outline (needs both step pointers).
  bool FInnerFrame = false;
  int FFrameX = 0;
  int FFrameY = 0;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  bool FFinished = false;
  int FOffsetX = 0;
  int FOffsetY = 0;
  std::vector<TGridGraphic*> FItems;
  int* FStepX = nullptr;
  int* FStepY = nullptr;
  int FOriginX = 0;
  int FOriginY = 0;
};
