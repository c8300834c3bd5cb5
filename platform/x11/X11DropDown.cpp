#include "platform/x11/X11DropDown.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Painting.h"

namespace {

TCustomComboBox* DroppedComboIn(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->Visible()) continue;
    if (auto* combo = dynamic_cast<TCustomComboBox*>(c); combo != nullptr && combo->DroppedDown()) return combo;
    if (auto* win = dynamic_cast<TWinControl*>(c))
      if (TCustomComboBox* inner = DroppedComboIn(win)) return inner;
  }
  return nullptr;
}

// The rows the box shows and the first of them, as its overlay paints them.
int Rows(TCustomComboBox* combo) {
  return std::max(1, std::min(combo->Items()->Count(), std::max(1, combo->DropDownCount)));
}
int FirstRow(TCustomComboBox* combo) {
  return std::clamp(combo->ItemIndex() - Rows(combo) + 1, 0, std::max(0, combo->Items()->Count() - Rows(combo)));
}

}  // namespace

void TX11DropDown::Sync(TCustomForm* form) {
  TCustomComboBox* combo = form->Visible() ? DroppedComboIn(form) : nullptr;
  if (combo == nullptr) {
    if (form_ == form) Close();
    return;
  }
  if (combo != combo_) Close();
  form_ = form;
  combo_ = combo;
  width_ = combo->Width();
  height_ = Rows(combo) * combo->ItemHeight() + 2;
  const TPoint at = combo->Parent()->ClientToScreen({combo->Left(), combo->Top() + combo->Height()});
  ::Display* x = display_.X();
  if (window_ == 0) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = ExposureMask | ButtonPressMask;
    window_ =
        XCreateWindow(x, display_.Root(), at.x, at.y, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                      24, InputOutput, display_.TheVisual(), CWOverrideRedirect | CWEventMask, &attributes);
    display_.SetClass(window_, "DropDown");
    XMapRaised(x, window_);
  } else {
    XMoveResizeWindow(x, window_, at.x, at.y, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
  }
  Paint();
}

void TX11DropDown::Paint() {
  // The box paints its list below itself (its overlay).
  list_.SetSize(width_, height_);
  PaintOverlayTo(combo_, list_, 0, -combo_->Height());
  display_.PutPixels(window_, list_.ScanLine(0), width_ * 4, 0, 0, width_, height_);
}

void TX11DropDown::Forget(TCustomForm* form) {
  if (form_ == form) Close();
}

void TX11DropDown::Close() {
  if (window_ != 0) XDestroyWindow(display_.X(), window_);
  window_ = 0;
  form_ = nullptr;
  combo_ = nullptr;
}

bool TX11DropDown::Handle(XEvent& event) {
  if (window_ == 0) return false;
  if (event.type == kXExpose && event.xexpose.window == window_) {
    display_.PutPixels(window_, list_.ScanLine(0), width_ * 4, 0, 0, width_, height_);
    return true;
  }
  if (event.type != kXButtonPress) return false;
  TCustomComboBox* combo = combo_;
  if (event.xbutton.window != window_) {
    // Elsewhere: the list closes and the press goes no further.
    Close();
    combo->SetDroppedDown(false);
    return true;
  }
  if (event.xbutton.button != Button1) return true;
  const int row = (event.xbutton.y - 1) / std::max(1, combo->ItemHeight());
  const int index = FirstRow(combo) + row;
  Close();
  if (row >= 0 && row < Rows(combo) && index < combo->Items()->Count())
    combo->SelectFromList(index);
  else
    combo->SetDroppedDown(false);
  return true;
}
