#pragma once
// The pushed-in look of a button while the left mouse button holds it: it
// shows pushed while the mouse stays inside and up again when it leaves.
// Shared by speed buttons and tool buttons.

#include "platform/vcl/Control.h"
#include "platform/vcl/GraphicsTypes.h"

class TButtonPress {
 public:
  void Start(TControl& button) {
    pressing_ = true;
    inside_ = true;
    button.Invalidate();
  }
  void Move(TControl& button, int x, int y) {
    if (!pressing_) return;
    const bool inside = PtInRect(button.ClientRect(), {x, y});
    if (inside != inside_) {
      inside_ = inside;
      button.Invalidate();
    }
  }
  void End(TControl& button) {
    pressing_ = false;
    button.Invalidate();
  }
  bool Pushed() const { return pressing_ && inside_; }

 private:
  bool pressing_ = false;
  bool inside_ = false;
};
