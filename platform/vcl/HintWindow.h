#pragma once
// THintWindow (unit Controls): the small window that shows a control's hint
// while the mouse rests on the control. It is a borderless form in the hint
// colour with a thin frame around the text (drawn by the one control that
// fills it); showing it never takes the
// activation from the form the user works in. The application shows and
// hides it (TApplication::HintMouseMessage, CancelHint).

#include <string>

#include "platform/vcl/Form.h"

class THintWindow : public TCustomForm {
 public:
  explicit THintWindow(TComponent* AOwner);

  // Shows `hint` with the window's top left corner at the screen point `at`,
  // sized to the text (cut with "..." where it would be wider than the work
  // area).
  void ActivateHint(const TPoint& at, const std::string& hint);
  // Hides the window.
  void ReleaseHandle();
  // Showing or hiding the window leaves the active form as it is.
  void SetVisible(bool value) override;
};

// The part of a hint text that a hint window shows: the text before the
// first '|' (the part after it is the long hint of a status line).
std::string GetShortHint(const std::string& hint);
