// The driver's mouse, keyboard and drag and drop (Driver.h).

#include <cctype>

#include "platform/vcl/Application.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/DriverState.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/WinControl.h"
#include "platform/win/Cursors.h"
#include "platform/win/VirtualKeys.h"

namespace Driver {

using detail::GetState;
using detail::Watch;

namespace {

// --- hit testing ---

struct Hit {
  TControl* control = nullptr;  // null: nothing takes the mouse there
};

bool WindowEnabled(TWinControl* c) { return c->Enabled() && (!c->HandleAllocated() || IsWindowEnabled(c->Handle())); }

bool Answers(TControl* c, const TPoint& screen) {
  const TPoint local = c->ScreenToClient(screen);
  return c->Perform(CM_HITTEST, 0, MAKELPARAM(local.x, local.y)) != HTNOWHERE;
}

Hit HitTest(TControl* anyControl, const TPoint& screen) {
  TControl* root = anyControl;
  while (root->Parent() != nullptr) root = root->Parent();
  if (!root->Visible()) return {};
  // The root's own area (its bounds are screen coordinates).
  if (!PtInRect(root->BoundsRect(), screen) || !Answers(root, screen)) return {};
  auto* current = dynamic_cast<TWinControl*>(root);
  if (current == nullptr) return {root->Enabled() ? root : nullptr};
  if (!WindowEnabled(current)) return {};
  // A top-level window's caption and border are no client area.
  if (!PtInRect(current->ClientRect(), current->ScreenToClient(screen))) return {};
  for (;;) {
    const TPoint p = current->ScreenToClient(screen);
    TWinControl* descend = nullptr;
    TControl* graphic = nullptr;
    for (int i = current->ControlCount() - 1; i >= 0; --i) {
      TControl* child = current->Controls(i);
      if (!child->Visible() || !PtInRect(child->BoundsRect(), p)) continue;
      if (!Answers(child, screen)) continue;  // no hit: what lies below gets it
      if (auto* win = dynamic_cast<TWinControl*>(child)) {
        if (!WindowEnabled(win)) return {};  // a disabled window swallows the mouse
        descend = win;
        break;
      }
      if (!child->Enabled()) continue;  // a disabled graphic control lets it through
      graphic = child;
      break;
    }
    if (graphic != nullptr) return {graphic};
    if (descend == nullptr) return {current};
    current = descend;
  }
}

TControl* TargetAt(TControl* control, const TPoint& screen) {
  if (TControl* capture = GetCaptureControl()) return capture;
  return HitTest(control, screen).control;
}

// Holds the modifier keys of a shift state down while it lives.
class ModifierHold {
 public:
  explicit ModifierHold(TShiftState shift) {
    Hold(VK_SHIFT, (shift & ssShift) != 0);
    Hold(VK_CONTROL, (shift & ssCtrl) != 0);
    Hold(VK_MENU, (shift & ssAlt) != 0);
  }
  ~ModifierHold() {
    for (int i = 0; i < count_; ++i) SetKeyboardKeyDown(held_[i], false);
  }
  ModifierHold(const ModifierHold&) = delete;
  ModifierHold& operator=(const ModifierHold&) = delete;

 private:
  void Hold(int key, bool wanted) {
    if (!wanted || GetKeyState(key) < 0) return;
    SetKeyboardKeyDown(key, true);
    held_[count_++] = key;
  }
  int held_[3] = {};
  int count_ = 0;
};

WPARAM ButtonFlag(TMouseButton button) {
  switch (button) {
    case mbRight: return MK_RBUTTON;
    case mbMiddle: return MK_MBUTTON;
    default: return MK_LBUTTON;
  }
}

// Keys of a mouse message: the shift state's, and the buttons held.
WPARAM MouseKeys(TShiftState shift) { return ShiftStateToKeys(shift) | GetState().buttons; }

LPARAM LocalPoint(TControl* target, const TPoint& screen) {
  const TPoint local = target->ScreenToClient(screen);
  return MAKELPARAM(local.x, local.y);
}

void SetHover(TControl* control) {
  detail::State& s = GetState();
  if (s.hover == control) return;
  TControl* old = s.hover;
  s.hover = control;
  if (old != nullptr) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (control != nullptr && s.hover == control) control->Perform(CM_MOUSEENTER, 0, 0);
  Application->HintMouseMessage(s.hover);
}

// A press activates the top-level window it lands in.
void ActivateWindowOf(TControl* target) {
  TWinControl* top = dynamic_cast<TWinControl*>(target);
  if (top == nullptr) top = target->Parent();
  if (top == nullptr) return;
  top = top->TopLevel();
  if (Screen->ActiveTopLevel() != top) top->ActivateTopLevel();
}

TPoint Middle(TControl* control) { return {control->ClientWidth() / 2, control->ClientHeight() / 2}; }

}  // namespace

// --- mouse ---

TControl* ControlAt(TControl* control, int x, int y) {
  if (control == nullptr) return nullptr;
  return HitTest(control, control->ClientToScreen({x, y})).control;
}

TControl* MouseMove(TControl* control, int x, int y, TShiftState shift) {
  if (control == nullptr) return nullptr;
  const TPoint screen = control->ClientToScreen({x, y});
  SetCursorPos(screen.x, screen.y);
  ModifierHold hold(shift);
  TControl* target = TargetAt(control, screen);
  Watch watch(target);
  SetHover(target);
  if (target == nullptr) return nullptr;
  target->Perform(WM_MOUSEMOVE, MouseKeys(shift), LocalPoint(target, screen));
  return target;
}

namespace {

// A press on the control under the point: its window is activated, the
// button held, and the target gets the message `pick` chooses for it.
template <class Pick>
TControl* Press(TControl* control, int x, int y, TMouseButton button, TShiftState shift, Pick pick) {
  if (control == nullptr) return nullptr;
  const TPoint screen = control->ClientToScreen({x, y});
  SetCursorPos(screen.x, screen.y);
  ModifierHold hold(shift);
  TControl* target = TargetAt(control, screen);
  Watch watch(target);
  // A press ends the hint of the control under the mouse.
  Application->CancelHint();
  if (target == nullptr) return nullptr;
  ActivateWindowOf(target);
  if (target == nullptr) return nullptr;
  GetState().buttons |= ButtonFlag(button);
  target->Perform(pick(target), MouseKeys(shift), LocalPoint(target, screen));
  return target;
}

}  // namespace

TControl* MouseDown(TControl* control, int x, int y, TMouseButton button, TShiftState shift) {
  const UINT message = button == mbRight ? WM_RBUTTONDOWN : button == mbMiddle ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
  return Press(control, x, y, button, shift, [message](TControl*) { return message; });
}

TControl* MouseUp(TControl* control, int x, int y, TMouseButton button, TShiftState shift) {
  if (control == nullptr) return nullptr;
  const TPoint screen = control->ClientToScreen({x, y});
  SetCursorPos(screen.x, screen.y);
  ModifierHold hold(shift);
  GetState().buttons &= ~ButtonFlag(button);
  TControl* target = TargetAt(control, screen);
  Watch watch(target);
  if (target == nullptr) return nullptr;
  // The release may free the control (a menu command it pops up); the
  // context menu is then asked of what lies under the mouse in its window.
  TControl* root = control;
  while (root->Parent() != nullptr) root = root->Parent();
  Watch rootWatch(root);
  const UINT message = button == mbRight ? WM_RBUTTONUP : button == mbMiddle ? WM_MBUTTONUP : WM_LBUTTONUP;
  target->Perform(message, MouseKeys(shift), LocalPoint(target, screen));
  if (button == mbRight && root != nullptr) {
    // The system asks the control under the mouse for its context menu.
    TControl* menuTarget = HitTest(root, screen).control;
    Watch menuWatch(menuTarget);
    if (menuTarget != nullptr) menuTarget->Perform(WM_CONTEXTMENU, 0, MAKELPARAM(screen.x, screen.y));
  }
  return target;
}

TControl* Click(TControl* control, int x, int y, TMouseButton button, TShiftState shift) {
  Watch watchControl(control);
  MouseMove(control, x, y, shift);
  TControl* target = MouseDown(control, x, y, button, shift);
  if (control == nullptr) {
    GetState().buttons &= ~ButtonFlag(button);
    return target;
  }
  Watch watch(target);
  MouseUp(control, x, y, button, shift);
  return target;
}

TControl* Click(TControl* control) {
  if (control == nullptr) return nullptr;
  const TPoint m = Middle(control);
  return Click(control, m.x, m.y);
}

TControl* DoubleClick(TControl* control, int x, int y, TShiftState shift) {
  Watch watchControl(control);
  TControl* target = Click(control, x, y, mbLeft, shift);
  if (control == nullptr || target == nullptr) return target;
  const TPoint screen = control->ClientToScreen({x, y});
  ModifierHold hold(shift);
  TControl* second = TargetAt(control, screen);
  Watch watch(second);
  if (second == nullptr) return target;
  GetState().buttons |= MK_LBUTTON;
  const UINT message = (second->ControlStyle & csDoubleClicks) ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
  second->Perform(message, MouseKeys(shift), LocalPoint(second, screen));
  if (control == nullptr) {
    GetState().buttons &= ~MK_LBUTTON;
    return second;
  }
  MouseUp(control, x, y, mbLeft, shift);
  return second;
}

TControl* MouseDownDouble(TControl* control, int x, int y, TShiftState shift) {
  return Press(control, x, y, mbLeft, shift, [](TControl* target) {
    return (target->ControlStyle & csDoubleClicks) ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
  });
}

TControl* DoubleClick(TControl* control) {
  if (control == nullptr) return nullptr;
  const TPoint m = Middle(control);
  return DoubleClick(control, m.x, m.y);
}

TControl* MouseWheel(TControl* control, int x, int y, int delta, TShiftState shift) {
  if (control == nullptr) return nullptr;
  const TPoint screen = control->ClientToScreen({x, y});
  SetCursorPos(screen.x, screen.y);
  ModifierHold hold(shift);
  const WPARAM wParam = (MouseKeys(shift) & 0xFFFF) | (static_cast<WPARAM>(static_cast<WORD>(delta)) << 16);
  const LPARAM lParam = MAKELPARAM(screen.x, screen.y);
  TControl* target = Screen->ActiveControl();
  if (target == nullptr) target = Screen->ActiveTopLevel();
  if (target == nullptr) target = HitTest(control, screen).control;
  Watch watch(target);
  if (target == nullptr) return nullptr;
  if (dynamic_cast<TWinControl*>(target) != nullptr)
    target->Perform(WM_MOUSEWHEEL, wParam, lParam);
  else
    target->Perform(CM_MOUSEWHEEL, wParam, lParam);
  return target;
}

void ReleaseMouse() {
  detail::State& s = GetState();
  s.buttons = 0;
  s.hover = nullptr;
  SetCaptureControl(nullptr);
  Application->CancelHint();
}

// --- keys ---

TWinControl* KeyTarget() {
  if (TWinControl* focused = Screen->ActiveControl()) return focused;
  return Screen->ActiveTopLevel();
}

namespace {

struct Punctuation {
  WORD key;
  char plain;
  char shifted;
};

constexpr Punctuation kPunctuation[] = {
    {'0', '0', ')'},          {'1', '1', '!'},          {'2', '2', '@'},           {'3', '3', '#'},
    {'4', '4', '$'},          {'5', '5', '%'},          {'6', '6', '^'},           {'7', '7', '&'},
    {'8', '8', '*'},          {'9', '9', '('},          {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'},
    {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},     {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},
    {VK_OEM_7, '\'', '"'},
};

// The key and shift state that type a character (key 0: none does).
void CharToKey(char ch, WORD& key, TShiftState& shift) {
  const auto c = static_cast<unsigned char>(ch);
  shift = 0;
  key = 0;
  if (c >= 'a' && c <= 'z') {
    key = static_cast<WORD>(c - 'a' + 'A');
  } else if (c >= 'A' && c <= 'Z') {
    key = c;
    shift = ssShift;
  } else if (c == ' ') {
    key = VK_SPACE;
  } else if (c == '\r' || c == '\n') {
    key = VK_RETURN;
  } else if (c == '\t') {
    key = VK_TAB;
  } else if (c == '\b') {
    key = VK_BACK;
  } else if (c == 27) {
    key = VK_ESCAPE;
  } else {
    for (const Punctuation& p : kPunctuation) {
      if (p.plain == ch) {
        key = p.key;
        return;
      }
      if (p.shifted == ch) {
        key = p.key;
        shift = ssShift;
        return;
      }
    }
  }
}

bool IsDialogKey(WORD key, LRESULT& mask) {
  switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; return true;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; return true;
    default: return false;
  }
}

LPARAM KeyData(TShiftState shift, bool up) {
  std::uint32_t data = 1;  // repeat count
  if (shift & ssAlt) data |= 1u << 29;
  if (up) data |= (1u << 30) | (1u << 31);
  return static_cast<LPARAM>(data);
}

// The key-down stage; true when a menu shortcut or the dialog handling took
// the key (no character follows).
bool KeyDownStage(WORD key, TShiftState shift, TWinControl* target) {
  TControl* t = target;
  Watch watch(t);
  SetKeyboardKeyDown(key, true);
  // A shortcut of a popup menu of the control or of a parent.
  if (TPopupMenuShortCutHook shortCut = PopupMenuShortCutHook()) {
    for (TControl* c = t; c != nullptr; c = c->Parent())
      if (c->PopupMenu() != nullptr && shortCut(c->PopupMenu(), key, shift)) return true;
  }
  if (t == nullptr) return true;
  // Tab, arrows, Enter and Escape that the control does not want itself.
  LRESULT mask = 0;
  if (IsDialogKey(key, mask) && t->Perform(CM_WANTSPECIALKEY, key, 0) == 0 &&
      (t->Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
    TWinControl* top = static_cast<TWinControl*>(t)->TopLevel();
    if (top->Perform(CM_DIALOGKEY, key, KeyData(shift, false)) != 0) return true;
    if (t == nullptr) return true;
  }
  const UINT message = (shift & ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN;
  const bool consumed = t->Perform(message, key, KeyData(shift, false)) != 0;
  if (key == VK_F1 && !consumed && t != nullptr) {
    HELPINFO info;
    info.hItemHandle = static_cast<TWinControl*>(t)->Handle();
    POINT cursor;
    GetCursorPos(&cursor);
    info.MousePos = cursor;
    t->Perform(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  }
  return false;
}

}  // namespace

char KeyToChar(WORD key, TShiftState shift) {
  if (shift & ssAlt) return 0;
  const bool ctrl = (shift & ssCtrl) != 0;
  const bool shifted = (shift & ssShift) != 0;
  if (key >= 'A' && key <= 'Z') {
    if (ctrl) return static_cast<char>(key - 'A' + 1);
    return static_cast<char>(shifted ? key : key - 'A' + 'a');
  }
  switch (key) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return ctrl ? '\n' : '\r';
    case VK_ESCAPE: return 27;
    case VK_BACK: return ctrl ? 127 : '\b';
    case VK_TAB: return ctrl ? 0 : '\t';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: break;
  }
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) return static_cast<char>('0' + (key - VK_NUMPAD0));
  if (ctrl) return 0;
  for (const Punctuation& p : kPunctuation)
    if (p.key == key) return shifted ? p.shifted : p.plain;
  return 0;
}

bool KeyDown(WORD key, TShiftState shift, TWinControl* target) {
  if (target == nullptr) target = KeyTarget();
  ModifierHold hold(shift);
  Application->CancelHint();
  return KeyDownStage(key, shift, target);
}

void KeyUp(WORD key, TShiftState shift, TWinControl* target) {
  if (target == nullptr) target = KeyTarget();
  ModifierHold hold(shift);
  if (target != nullptr) target->Perform((shift & ssAlt) ? WM_SYSKEYUP : WM_KEYUP, key, KeyData(shift, true));
  SetKeyboardKeyDown(key, false);
}

void KeyPress(char ch, TWinControl* target) {
  if (target == nullptr) target = KeyTarget();
  if (target != nullptr) target->Perform(WM_CHAR, static_cast<unsigned char>(ch), 1);
}

namespace {

void PressKeyTyping(WORD key, TShiftState shift, char ch, TWinControl* target) {
  const bool explicitTarget = target != nullptr;
  if (target == nullptr) target = KeyTarget();
  ModifierHold hold(shift);
  TControl* t = target;
  Watch watch(t);
  const bool taken = key != 0 && KeyDownStage(key, shift, target);
  // The character goes where the key went down, as the system queues it;
  // the release goes to the control that has the focus by then (a key may
  // move the focus).
  if (!taken && ch != 0 && t != nullptr) t->Perform(WM_CHAR, static_cast<unsigned char>(ch), 1);
  if (key != 0) {
    TControl* up = explicitTarget ? t : KeyTarget();
    if (up != nullptr) up->Perform((shift & ssAlt) ? WM_SYSKEYUP : WM_KEYUP, key, KeyData(shift, true));
    SetKeyboardKeyDown(key, false);
  }
}

}  // namespace

void PressKey(WORD key, TShiftState shift, TWinControl* target) {
  PressKeyTyping(key, shift, KeyToChar(key, shift), target);
}

void TypeText(const std::string& text, TWinControl* target) {
  for (char ch : text) {
    WORD key = 0;
    TShiftState shift = 0;
    CharToKey(ch, key, shift);
    if (ch == '\n') ch = '\r';
    PressKeyTyping(key, shift, ch, target);
  }
}

// --- drag and drop ---

namespace {

bool Drag(TObject* source, TControl* control, int x, int y, bool drop) {
  if (control == nullptr) return false;
  const TPoint screen = control->ClientToScreen({x, y});
  SetCursorPos(screen.x, screen.y);
  TControl* target = HitTest(control, screen).control;
  Watch watch(target);
  if (target == nullptr) return false;
  auto* dragControl = dynamic_cast<TDragControlObject*>(source);
  TControl* sourceControl = dragControl != nullptr ? dragControl->Control : nullptr;
  Watch watchSource(sourceControl);
  TObject* seen = dragControl != nullptr && dragControl->InternalObject ? static_cast<TObject*>(sourceControl) : source;
  const TPoint local = target->ScreenToClient(screen);
  bool accept = false;
  target->DragOver(seen, local.x, local.y, dsDragEnter, accept);
  if (target != nullptr) target->DragOver(seen, local.x, local.y, dsDragMove, accept);
  const bool wanted = accept;
  if (target != nullptr) target->DragOver(seen, local.x, local.y, dsDragLeave, accept);
  if (!drop) return target != nullptr && wanted;
  const bool dropped = target != nullptr && accept;
  if (dropped) {
    if (auto* dragObject = dynamic_cast<TDragObject*>(source)) {
      dragObject->DragTarget = target;
      dragObject->DragPos = screen;
    }
    target->DragDrop(seen, local.x, local.y);
  }
  if (sourceControl != nullptr) sourceControl->DoEndDrag(dropped ? target : nullptr, local.x, local.y);
  return dropped;
}

}  // namespace

bool DragAndDrop(TObject* source, TControl* target, int x, int y) { return Drag(source, target, x, y, true); }

bool DragOver(TObject* source, TControl* target, int x, int y) { return Drag(source, target, x, y, false); }

}  // namespace Driver
