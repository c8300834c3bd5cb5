#pragma once
// TGroupBox: an etched frame with a caption on its top edge that holds other
// controls; aligned children stay inside the frame.

#include "platform/vcl/WinControl.h"

class TCustomGroupBox : public TCustomControl {
 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  void AdjustClientRect(TRect& rect) const override;
  void Paint() override;

 protected:
  // The height of the caption's text.
  int CaptionHeight() const;
};

class TGroupBox : public TCustomGroupBox {
 public:
  using TCustomGroupBox::TCustomGroupBox;
};
