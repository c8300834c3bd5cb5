#pragma once
// TSplitter: a bar between an aligned control and the rest of its parent;
// dragging it resizes that control. The control is the visible sibling with
// the same alignment that lies against the splitter's left (alLeft), right
// (alRight), top (alTop) or bottom (alBottom) side. The new size takes
// effect when the mouse button is released, then OnMoved fires. A size
// below MinSize snaps to 0 with AutoSnap (the default), else stops at
// MinSize; the rest of the parent keeps at least MinSize too.

#include "platform/vcl/Control.h"

using TCanResizeEvent = Closure<void(TObject* Sender, int& NewSize, bool& Accept)>;

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

class TSplitter : public TGraphicControl {
 public:
  explicit TSplitter(TComponent* AOwner);

  int MinSize = 30;
  bool AutoSnap = true;
  TResizeStyle ResizeStyle = rsPattern;
  TNotifyEvent OnMoved;
  TCanResizeEvent OnCanResize;

  // The control the splitter resizes (null when none lies against it).
  TControl* FindResizeControl() const;

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Paint() override;
  void Dispatch(void* message) override;

 private:
  bool Horizontal() const { return Align() == alTop || Align() == alBottom; }
  int NewSizeFor(int x, int y);
  TControl* control_ = nullptr;
  TPoint down_{};
  int startSize_ = 0;
  int newSize_ = 0;
  bool dragging_ = false;
};
