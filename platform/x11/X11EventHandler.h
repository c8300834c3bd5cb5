#pragma once
// Turns the X events of the back end's windows into the driver's input
// (X11Backend.h says what goes where).

#include "platform/vcl/ControlTypes.h"
#include "platform/x11/X11Display.h"

class TX11Backend;
struct TX11FormWindow;

class TX11EventHandler {
 public:
  explicit TX11EventHandler(TX11Backend& backend) : backend_(backend) {}
  void Handle(XEvent& event);
  // The window is going: nothing of it is kept.
  void Forget(TX11FormWindow* window);
  // The shift state of an X event's modifier mask (Shift, Ctrl, Alt).
  static TShiftState ShiftOf(unsigned state);

 private:
  void OnButtonPress(TX11FormWindow& w, const XButtonEvent& e);
  void OnButtonRelease(TX11FormWindow& w, const XButtonEvent& e);
  void OnMotion(TX11FormWindow& w, XMotionEvent e);
  void OnKey(TX11FormWindow& w, XKeyEvent& e, bool down);
  void OnConfigure(TX11FormWindow& w, const XConfigureEvent& e);
  void OnExpose(TX11FormWindow& w, const XExposeEvent& e);
  void UpdateCursor(TX11FormWindow& w, int x, int y);

  TX11Backend& backend_;
  // The last left press, for double clicks.
  TX11FormWindow* lastPress_ = nullptr;
  Time lastPressTime_ = 0;
  int lastPressX_ = 0;
  int lastPressY_ = 0;
  bool lastWasDouble_ = false;
};
