#pragma once
// TFrame: a container of controls made as a unit and placed at run time into
// another window (a row of a list, a page of settings). A frame class builds
// its controls in its constructor, owned by the frame; whoever places it
// gives it an owner, a parent, a unique name and its bounds.

#include "platform/vcl/WinControl.h"

class TCustomFrame : public TWinControl {
 public:
  explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
 public:
  using TCustomFrame::TCustomFrame;
};
