#pragma once
// TCheckBox: a box with a check mark and a caption. Setting State (or
// Checked) to a new value fires OnClick, also from code, as the class
// library does; a click of the user (mouse, or Space when focused) toggles
// the state: unchecked, grayed (only with AllowGrayed), checked, unchecked.

#include "platform/vcl/Button.h"
#include "platform/vcl/StdCtrlsTypes.h"

class TCustomCheckBox : public TButtonControl {
 public:
  explicit TCustomCheckBox(TComponent* AOwner);

  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState value);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  bool AllowGrayed = false;
  // taRightJustify: the caption right of the box (the default).
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

  // The user's click: the next state.
  virtual void Toggle();

  void Paint() override;
  void Dispatch(void* message) override;
  void KeyUp(WORD& key, TShiftState shift) override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
 public:
  using TCustomCheckBox::TCustomCheckBox;
};
