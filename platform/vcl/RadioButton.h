#pragma once
// TRadioButton: one choice of a group (the radio buttons of one parent).
// Checking one unchecks the others of its parent; becoming checked fires
// OnClick (also from code), becoming unchecked does not. A click of the user
// checks it; moving the focus onto it with the arrow keys checks it too.

#include "platform/vcl/Button.h"
#include "platform/vcl/StdCtrlsTypes.h"

class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* AOwner);

  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

  void Paint() override;
  void Dispatch(void* message) override;
  void DoEnter() override;
  void KeyUp(WORD& key, TShiftState shift) override;

 private:
  bool checked_ = false;
  TAlignment alignment_ = taRightJustify;
};
