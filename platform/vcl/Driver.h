#pragma once
// The driver: a test API that acts as the user of the windows, and the
// answers to modal forms, message boxes, message dialogs and the standard
// dialogs.
//
// Mouse: the functions take a control and a point in its client
// coordinates. The point becomes a screen point, and the control under it is
// found from the top-level window of the given control down through the
// z-order: the top-most visible child that contains the point and answers
// the hit test (CM_HITTEST) takes it; a child answering "no hit" lets it fall
// through to what lies below. Disabled graphic controls let the mouse
// through to their parent; a disabled windowed control, or a window disabled
// by a modal form, swallows it (nothing receives it). While a button is held
// after a left press on a control that captures the mouse, moves and the
// release go to that control. The functions answer the control that got the
// input, or null.
//
// Keys go to the control that has the focus (or to the active form when no
// control has it), unless a target is given. A key press runs as the system
// and the class library run it: a shortcut of a popup menu of the control or
// one of its parents takes the key; Tab, the arrows, Enter and Escape that
// the control does not want go to the form's dialog handling (focus moves,
// default and cancel buttons), which may take them; otherwise KeyDown (the
// form first when its KeyPreview is set), the character (KeyPress) and
// KeyUp. A handler consumes a key by setting it to 0. F1 not consumed asks
// for help (WM_HELP).

#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/ControlTypes.h"
#include "platform/vcl/GraphicsTypes.h"
#include "platform/win/MessageBox.h"

class TObject;
class TControl;
class TWinControl;
class TCustomForm;
class TCommonDialog;

namespace Driver {

// --- mouse ---
TControl* ControlAt(TControl* control, int x, int y);
TControl* MouseMove(TControl* control, int x, int y, TShiftState shift = 0);
TControl* MouseDown(TControl* control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
TControl* MouseUp(TControl* control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
// Move, press and release at the point (the middle of the control when no
// point is given). A right click is followed by the context menu request
// (WM_CONTEXTMENU), which pops up the control's PopupMenu.
TControl* Click(TControl* control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
TControl* Click(TControl* control);
// Press, release, the double click's press (WM_LBUTTONDBLCLK) and release:
// MouseDown, Click, MouseUp, DblClick, MouseDown with ssDouble, MouseUp.
// A control without csDoubleClicks gets two plain clicks.
TControl* DoubleClick(TControl* control, int x, int y, TShiftState shift = 0);
TControl* DoubleClick(TControl* control);
// The second left press of a double click alone, as a screen back end sees
// it: WM_LBUTTONDBLCLK for a control with csDoubleClicks, else a plain press.
TControl* MouseDownDouble(TControl* control, int x, int y, TShiftState shift = 0);
// Turns the wheel over the point (WHEEL_DELTA, 120, per notch; positive:
// away from the user); the control that has the focus gets it.
TControl* MouseWheel(TControl* control, int x, int y, int delta, TShiftState shift = 0);
// Lets every button go and forgets the mouse capture and the control under
// the mouse.
void ReleaseMouse();

// --- keys ---
// The control that gets the keys: the focused control, or the active form.
TWinControl* KeyTarget();
// Answers true when the key was consumed before the character stage.
bool KeyDown(WORD key, TShiftState shift = 0, TWinControl* target = nullptr);
void KeyUp(WORD key, TShiftState shift = 0, TWinControl* target = nullptr);
// The character alone (WM_CHAR).
void KeyPress(char ch, TWinControl* target = nullptr);
// Down, the character it types (if any), up.
void PressKey(WORD key, TShiftState shift = 0, TWinControl* target = nullptr);
// Each character as its key press (upper case letters with Shift).
void TypeText(const std::string& text, TWinControl* target = nullptr);
// The character a key types with a shift state (US layout; Ctrl+letter
// gives the control characters 1 to 26), or 0.
char KeyToChar(WORD key, TShiftState shift);

// --- focus ---
// Gives the focus as a click on a focusable control would.
void Focus(TWinControl* control);

// --- drag and drop ---
// Drags `source` (a TDragObject, a control, or any object) to the point of
// `target` and drops it: the control under the point gets DragOver with
// dsDragEnter, dsDragMove and dsDragLeave, and DragDrop when the last
// DragOver accepted. A TDragControlObject reaches the targets as its
// control (unless it is not an InternalObject), and its control gets
// DoEndDrag. Answers whether the drop was accepted.
bool DragAndDrop(TObject* source, TControl* target, int x, int y);
// Only asks (dsDragEnter, dsDragMove, dsDragLeave) whether the control under
// the point would accept the drop.
bool DragOver(TObject* source, TControl* target, int x, int y);

// --- answers ---
// Runs when a form of that class (ClassName) is shown modally; acts on it as
// the user and answers the modal result (mrNone: keep what the actions set).
using ModalHandler = std::function<int(TCustomForm& form)>;
int OnModal(const std::string& formClassName, ModalHandler handler);
// Runs when a standard dialog of that class executes; fills it and answers
// whether the user pressed OK.
using DialogHandler = std::function<bool(TCommonDialog& dialog)>;
int OnDialog(const std::string& dialogClassName, DialogHandler handler);
// A message box or message dialog whose text contains `textPart`.
int OnMessageBox(const std::string& textPart, MessageBoxHandler handler);
// Shorthand: such boxes answer `answer` (IDYES, mrOk, ...).
int AnswerMessageBox(const std::string& textPart, int answer);
void RemoveHandler(int id);

struct ModalRecord {
  std::string className;
  std::string name;
  std::string caption;
  int result = 0;
  bool answeredByHandler = false;
  // A person closed it on the screen with that result.
  bool answeredByPerson = false;
  // When it was shown, among the boxes and the modal forms (NextShownOrder).
  unsigned long long shownOrder = 0;
  // The form would not close (its handler left it open, or OnCloseQuery
  // refused) and was hidden after many rounds.
  bool forced = false;
};
struct DialogRecord {
  std::string className;
  bool result = false;
  bool answeredByHandler = false;
};
std::vector<ModalRecord> ModalLog();
std::vector<DialogRecord> DialogLog();
// Every message box and message dialog (platform/win/MessageBox.h).
std::vector<MessageBoxRecord> MessageBoxes();

// Forgets every handler and record, releases the mouse and the keys.
void Reset();

// --- for the class library ---
namespace detail {
struct ModalAnswer {
  bool handled = false;
  int result = 0;
};
ModalAnswer AnswerModal(TCustomForm& form);
void RecordModal(const ModalRecord& record);
bool AnswerDialog(TCommonDialog& dialog);
}  // namespace detail

}  // namespace Driver
