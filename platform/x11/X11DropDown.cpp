#include "platform/x11/X11DropDown.h"

#include <algorithm>
#include <cstdint>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Painting.h"

namespace {

// The rows a notch of the wheel moves the list.
constexpr int kWheelRows = 3;

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
  const TRect list = combo->DroppedListRect();
  if (list.IsEmpty()) {
    Close();
    return;
  }
  const TPoint at = combo->Parent()->ClientToScreen({combo->Left() + list.Left, combo->Top() + list.Top});
  const TRect place = Bounds(at.x, at.y, static_cast<int>(list.Width()), static_cast<int>(list.Height()));
  ::Display* x = display_.X();
  if (window_ == 0) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = ExposureMask | ButtonPressMask;
    window_ = XCreateWindow(x, display_.Root(), place.Left, place.Top, static_cast<unsigned>(place.Width()),
                            static_cast<unsigned>(place.Height()), 0, 24, InputOutput, display_.TheVisual(),
                            CWOverrideRedirect | CWEventMask, &attributes);
    display_.SetClass(window_, "DropDown");
    XMapRaised(x, window_);
  } else if (place != place_) {
    XMoveResizeWindow(x, window_, place.Left, place.Top, static_cast<unsigned>(place.Width()),
                      static_cast<unsigned>(place.Height()));
  }
  place_ = place;
  origin_ = {list.Left, list.Top};
  Paint();
}

void TX11DropDown::Paint() {
  // The box paints its list (its overlay); only a list that looks otherwise
  // than what the window shows goes to the server.
  const int width = static_cast<int>(place_.Width()), height = static_cast<int>(place_.Height());
  list_.SetSize(width, height);
  PaintOverlayTo(combo_, list_, -origin_.x, -origin_.y);
  const auto* pixels = static_cast<const std::uint32_t*>(list_.ScanLine(0));
  const std::size_t n = static_cast<std::size_t>(width) * height;
  if (shown_.size() == n && std::equal(pixels, pixels + n, shown_.begin())) return;
  shown_.assign(pixels, pixels + n);
  Show();
}

void TX11DropDown::Show() {
  display_.PutPixels(window_, shown_.data(), static_cast<int>(place_.Width()) * 4, 0, 0,
                     static_cast<int>(place_.Width()), static_cast<int>(place_.Height()));
  ++sends_;
}

void TX11DropDown::Forget(TCustomForm* form) {
  if (form_ == form) Close();
}

void TX11DropDown::Close() {
  if (window_ != 0) XDestroyWindow(display_.X(), window_);
  window_ = 0;
  form_ = nullptr;
  combo_ = nullptr;
  place_ = TRect{};
  shown_.clear();
}

bool TX11DropDown::Handle(XEvent& event) {
  if (window_ == 0) return false;
  if (event.type == kXExpose && event.xexpose.window == window_) {
    Show();
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
  // The wheel moves the rows; the list shows them when its form is painted.
  if (event.xbutton.button == Button4 || event.xbutton.button == Button5) {
    combo->ScrollList(event.xbutton.button == Button4 ? -kWheelRows : kWheelRows);
    return true;
  }
  if (event.xbutton.button != Button1) return true;
  if (!combo->PressInList(event.xbutton.x, event.xbutton.y)) Close();
  return true;
}
