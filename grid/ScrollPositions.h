#pragma once
// The scroll positions of the design surface, as page objects read them to
// place themselves: those of a control's parent when it is a scroll box, else 0.

#include "platform/vcl/ScrollBox.h"

inline void ScrollPositionsOf(const TWinControl* parent, int& x, int& y) {
  x = y = 0;
  if (auto* box = dynamic_cast<TScrollingWinControl*>(const_cast<TWinControl*>(parent))) {
    x = box->HorzScrollBar()->Position();
    y = box->VertScrollBar()->Position();
  }
}

inline void ScrollPositionsOf(const TControl* control, int& x, int& y) {
  ScrollPositionsOf(control != nullptr ? control->Parent() : nullptr, x, y);
}
