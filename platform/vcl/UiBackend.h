#pragma once
// The back end that puts the forms on a screen. Headless (the default) there
// is none: forms are painted into bitmaps on request and the driver
// (Driver.h) acts as the user. A back end that shows the windows (the X11
// one in platform/x11) installs itself here; the forms tell it when they are
// shown, hidden, changed or freed, and the modal calls (ShowModal, popup
// menus, message boxes) wait for a person through it instead of answering
// at once.
//
// The driver's handlers still come first: a modal form, popup menu or
// message box that a handler answers never waits for a person.

#include "platform/vcl/GraphicsTypes.h"

class TCustomForm;
class TControl;
class TMenuItem;
class TCommonDialog;

class TUiBackend {
 public:
  virtual ~TUiBackend() = default;

  // A form became visible (after its OnShow), or hidden.
  virtual void FormShown(TCustomForm* form) { (void)form; }
  virtual void FormHidden(TCustomForm* form) { (void)form; }
  // The form is being freed: the back end forgets it.
  virtual void FormDestroyed(TCustomForm* form) { (void)form; }
  // Something in the form waits to be painted (it or one of its controls
  // was invalidated).
  virtual void FormInvalidated(TCustomForm* form) { (void)form; }
  virtual void CaptionChanged(TCustomForm* form) { (void)form; }

  // Whether modal forms, popup menus and message boxes wait for a person;
  // asked again while they wait, so that a back end that stops waiting
  // (its program is being stopped) ends them as dismissed.
  virtual bool Interactive() const { return false; }
  // One round of waiting: the person's input, the due timers and the posted
  // messages are handled, and what changed is shown. Returns after at most a
  // short while even when nothing happened.
  virtual void PumpModal() {}
  // Shows a standard dialog (open, save, ...) for a person to fill: 1 when
  // they pressed OK (the dialog's fields then hold their choice), 0 when
  // they cancelled, -1 when the back end has no window for that kind of
  // dialog (it then ends as cancelled, as headless).
  virtual int ExecuteDialog(TCommonDialog& dialog) {
    (void)dialog;
    return -1;
  }
  // Shows the sub-items of `items` as a menu at a screen point and answers
  // the item the person chose (null: the menu was dismissed). The item is
  // not clicked.
  virtual TMenuItem* TrackMenu(TMenuItem* items, const TPoint& screenPos) {
    (void)items;
    (void)screenPos;
    return nullptr;
  }
  // The clipboard is about to be read (a paste): a back end that shares it
  // with other programs puts what it holds now on the process's clipboard
  // before this returns.
  virtual void ClipboardWillBeRead() {}
};

// The back end in use: the installed one, or the headless default that does
// nothing and waits for no one.
TUiBackend& UiBackend();
// Installs a back end (null: headless again). The caller keeps it alive
// while it is installed.
void SetUiBackend(TUiBackend* backend);
// Whether a back end other than the headless default is installed.
bool UiBackendInstalled();

// For the class library: tells the back end that something of `control`
// waits to be painted (nothing when headless or the control lies in no form).
void NotifyUiBackendInvalidated(TControl* control);
