#pragma once
// TButtonControl: the base of buttons, check boxes and radio buttons: takes
// the focus when clicked and knows whether clicks are switched off for a
// moment (ClicksDisabled). TButton: the push button. Default answers Enter
// and Cancel answers Escape anywhere in the form; a click gives the form its
// ModalResult (which closes a modal form). Space clicks the focused button.

#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/WinControl.h"

class TButtonControl : public TCustomControl {
 public:
  explicit TButtonControl(TComponent* AOwner);

  // While set, changes of a check box's or radio button's state fire no
  // OnClick.
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool value) { clicksDisabled_ = value; }

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 protected:
  // True while a mouse press gives the control the focus (OnEnter can tell
  // keyboard from mouse).
  bool FocusingByMouse() const { return focusingByMouse_; }
  // The left button went down on the control and is still held there.
  bool Pressed() const { return press_.Pushed(); }
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  bool clicksDisabled_ = false;
  bool focusingByMouse_ = false;
  TButtonPress press_;
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* AOwner);

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel = false;
  TModalResult ModalResult = mrNone;

  // Sets the form's ModalResult (when not mrNone), then OnClick.
  void Click() override;
  void Paint() override;
  void Dispatch(void* message) override;
  void KeyUp(WORD& key, TShiftState shift) override;

 private:
  // Whether Enter clicks this button: it has the focus, or it is the default
  // button and no other button has the focus.
  bool Active() const;
  bool default_ = false;
};
