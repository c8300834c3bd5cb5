#pragma once
// TComboBoxNoWheel: a drop-down list that ignores the mouse wheel: turning it
// changes neither the choice nor the scroll position of the form.

#include "platform/vcl/ComboBox.h"

class TComboBoxNoWheel : public TComboBox {
 public:
  explicit TComboBoxNoWheel(TComponent* owner) : TComboBox(owner) {}
  // The message's result -1, and nothing else: it goes nowhere further.
  void MouseWheelHandler(TMessage& message) override { message.Result = -1; }
};
