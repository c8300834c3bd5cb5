#include "platform/vcl/Splitter.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/WinControl.h"

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetAlign(alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
}

void TSplitter::Dispatch(void* message) {
  TGraphicControl::Dispatch(message);
  // The cursor follows the direction.
  const TCursor wanted = Horizontal() ? crVSplit : crHSplit;
  if (Cursor() != wanted && (Cursor() == crHSplit || Cursor() == crVSplit)) SetCursor(wanted);
}

TControl* TSplitter::FindResizeControl() const {
  TWinControl* parent = Parent();
  if (parent == nullptr) return nullptr;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    switch (Align()) {
      case alLeft:
        if (c->Left() + c->Width() == Left()) return c;
        break;
      case alRight:
        if (c->Left() == Left() + Width()) return c;
        break;
      case alTop:
        if (c->Top() + c->Height() == Top()) return c;
        break;
      case alBottom:
        if (c->Top() == Top() + Height()) return c;
        break;
      default: break;
    }
  }
  return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  control_ = FindResizeControl();
  if (control_ == nullptr) return;
  dragging_ = true;
  down_ = {x, y};
  startSize_ = newSize_ = Horizontal() ? control_->Height() : control_->Width();
}

int TSplitter::NewSizeFor(int x, int y) {
  int delta = Horizontal() ? y - down_.y : x - down_.x;
  if (Align() == alRight || Align() == alBottom) delta = -delta;
  int size = startSize_ + delta;
  // What the parent has beside the other aligned controls.
  TWinControl* parent = Parent();
  const int total = parent == nullptr ? 0 : (Horizontal() ? parent->ClientHeight() : parent->ClientWidth());
  int others = 0;
  if (parent != nullptr) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* c = parent->Controls(i);
      if (c == control_ || !c->Visible()) continue;
      const bool sameAxis = Horizontal() ? (c->Align() == alTop || c->Align() == alBottom)
                                         : (c->Align() == alLeft || c->Align() == alRight);
      if (sameAxis) others += Horizontal() ? c->Height() : c->Width();
    }
  }
  const int maxSize = std::max(0, total - others - MinSize);
  size = std::min(size, maxSize);
  if (size < MinSize) size = AutoSnap ? 0 : std::min(MinSize, maxSize);
  return std::max(0, size);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_ || control_ == nullptr) return;
  int size = NewSizeFor(x, y);
  bool accept = true;
  if (OnCanResize) OnCanResize(this, size, accept);
  if (!accept) return;
  newSize_ = size;
  if (ResizeStyle == rsUpdate) {
    if (Horizontal())
      control_->SetHeight(newSize_);
    else
      control_->SetWidth(newSize_);
  }
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && dragging_ && control_ != nullptr) {
    MouseMove(shift | ssLeft, x, y);
    dragging_ = false;
    TControl* c = control_;
    control_ = nullptr;
    if (Horizontal())
      c->SetHeight(newSize_);
    else
      c->SetWidth(newSize_);
    if (OnMoved) OnMoved(this);
  }
  dragging_ = false;
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSplitter::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush->Color = Color();
  canvas->FillRect(ClientRect());
}
