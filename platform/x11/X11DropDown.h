#pragma once
// The open list of a combo box as a window of its own: an override-redirect
// window where the box places its list (below it, or above it when the work
// area has more room there), as wide as the box, showing the list the box
// paints (its overlay), so that it may reach beyond the form. A press in it
// goes to the box (a row chooses that item, the scroll bar moves the rows) and
// the wheel moves the rows; a press anywhere else on the program's windows
// closes the list and goes no further, as the system's list does. The window
// is sent pixels only when the list looks otherwise than it shows. At most
// one list is open.

#include <cstdint>
#include <memory>
#include <vector>

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
  // How often the list's pixels went to the server (tests check that an open
  // list that does not change sends nothing).
  int Sends() const { return sends_; }
  void Close();

 private:
  void Paint();
  void Show();

  TX11Display& display_;
  TCustomForm* form_ = nullptr;
  TCustomComboBox* combo_ = nullptr;
  ::Window window_ = 0;
  TBitmap list_;
  std::vector<std::uint32_t> shown_;  // what the window shows
  TRect place_{};                     // the window on the screen
  TPoint origin_{};                   // the list's top-left corner in the box
  int sends_ = 0;
};
