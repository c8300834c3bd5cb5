#pragma once
// The open list of a combo box as a window of its own: an override-redirect
// window right below the box, as wide as the box, showing the list the box
// paints (its overlay), so that it may reach beyond the form. A press on a
// row chooses that item (as a click in the list does); a press anywhere else
// on the program's windows closes the list and goes no further, as the
// system's list does. At most one list is open.

#include <memory>

#include "platform/vcl/Bitmap.h"
#include "platform/x11/X11Display.h"

class TCustomForm;
class TCustomComboBox;

class TX11DropDown {
 public:
  explicit TX11DropDown(TX11Display& display) : display_(display) {}
  ~TX11DropDown() { Close(); }
  TX11DropDown(const TX11DropDown&) = delete;
  TX11DropDown& operator=(const TX11DropDown&) = delete;

  // After `form` was painted: opens, repaints or closes the list window as
  // the form's dropped-down combo box (if any) wants.
  void Sync(TCustomForm* form);
  // The form goes or hides: its list closes.
  void Forget(TCustomForm* form);
  // Handles a press or expose that concerns the open list; false for the
  // events it leaves to the forms.
  bool Handle(XEvent& event);
  bool IsOpen() const { return window_ != 0; }
  unsigned long Window() const { return window_; }
  void Close();

 private:
  void Paint();

  TX11Display& display_;
  TCustomForm* form_ = nullptr;
  TCustomComboBox* combo_ = nullptr;
  ::Window window_ = 0;
  TBitmap list_;
  int width_ = 0;
  int height_ = 0;
};
