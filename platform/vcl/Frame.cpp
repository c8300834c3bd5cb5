#include "platform/vcl/Frame.h"

TCustomFrame::TCustomFrame(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 320, 240);
}
