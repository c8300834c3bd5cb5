#include "platform/x11/X11EventHandler.h"

#include <X11/cursorfont.h>

#include <cstdlib>

#include "platform/vcl/Control.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Screen.h"
#include "platform/win/WindowMessages.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11FormWindow.h"
#include "platform/x11/X11Keys.h"

namespace {

// A second left press within this time and distance is a double click.
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;

// The cursors of the layer's cursor table, by the name of the cursor, as
// shapes of the X cursor font. Resource cursors of the system (the designer's
// move and sizing cursors) take the nearest shape.
struct CursorFontShape {
  const char* name;
  unsigned shape;
};

constexpr CursorFontShape kCursorFontShapes[] = {
    {"IDC_ARROW", XC_left_ptr},
    {"IDC_IBEAM", XC_xterm},
    {"IDC_WAIT", XC_watch},
    {"IDC_CROSS", XC_crosshair},
    {"IDC_UPARROW", XC_sb_up_arrow},
    {"IDC_SIZENWSE", XC_bottom_right_corner},
    {"IDC_SIZENESW", XC_bottom_left_corner},
    {"IDC_SIZEWE", XC_sb_h_double_arrow},
    {"IDC_SIZENS", XC_sb_v_double_arrow},
    {"IDC_SIZEALL", XC_fleur},
    {"IDC_NO", XC_X_cursor},
    {"IDC_HAND", XC_hand2},
    {"IDC_APPSTARTING", XC_watch},
    {"IDC_HELP", XC_question_arrow},
    {"MOVE", XC_fleur},
    {"HORZ", XC_sb_h_double_arrow},
    {"VERT", XC_sb_v_double_arrow},
    {"VH", XC_fleur},
    {"PREC", XC_crosshair},
};

unsigned ShapeOfCursorName(const std::string& name) {
  for (const CursorFontShape& c : kCursorFontShapes)
    if (name == c.name) return c.shape;
  // Resource cursors are named after their file or resource ("CR_MOVE").
  for (const CursorFontShape& c : kCursorFontShapes)
    if (name.find(c.name) != std::string::npos) return c.shape;
  return XC_left_ptr;
}

TMouseButton ButtonOf(unsigned button) {
  switch (button) {
    case Button2: return mbMiddle;
    case Button3: return mbRight;
    default: return mbLeft;
  }
}

}  // namespace

TShiftState TX11EventHandler::ShiftOf(unsigned state) {
  TShiftState shift = 0;
  if (state & ShiftMask) shift |= ssShift;
  if (state & ControlMask) shift |= ssCtrl;
  if (state & Mod1Mask) shift |= ssAlt;
  return shift;
}

void TX11EventHandler::Forget(TX11FormWindow* window) {
  if (lastPress_ == window) lastPress_ = nullptr;
}

void TX11EventHandler::Handle(XEvent& event) {
  TX11FormWindow* w = backend_.FindWindow(event.xany.window);
  if (w == nullptr) return;
  switch (event.type) {
    case kXExpose: OnExpose(*w, event.xexpose); break;
    case kXButtonPress: OnButtonPress(*w, event.xbutton); break;
    case kXButtonRelease: OnButtonRelease(*w, event.xbutton); break;
    case MotionNotify: {
      // Only the newest of the moves that wait one after the other counts;
      // a move behind a press or a release stays behind it (a busy program
      // that finds a whole drag waiting must still see it as a drag).
      ::Display* x = backend_.Display().X();
      XMotionEvent e = event.xmotion;
      XEvent next;
      while (XEventsQueued(x, QueuedAlready) > 0) {
        XPeekEvent(x, &next);
        if (next.type != MotionNotify || next.xmotion.window != e.window) break;
        XNextEvent(x, &next);
        e = next.xmotion;
      }
      OnMotion(*w, e);
      break;
    }
    case kXKeyPress: OnKey(*w, event.xkey, true); break;
    case kXKeyRelease: OnKey(*w, event.xkey, false); break;
    case FocusIn:
      if (event.xfocus.mode == NotifyNormal && w->form->Visible() && IsWindowEnabled(w->form->Handle()) &&
          Screen->ActiveTopLevel() != w->form)
        w->form->ActivateTopLevel();
      break;
    case ConfigureNotify: OnConfigure(*w, event.xconfigure); break;
    case ClientMessage:
      if (static_cast<Atom>(event.xclient.data.l[0]) == backend_.Display().wmDeleteWindow &&
          IsWindowEnabled(w->form->Handle()))
        w->form->Close();
      break;
    default: break;
  }
}

void TX11EventHandler::OnExpose(TX11FormWindow& w, const XExposeEvent& e) {
  if (w.shown.size() != static_cast<std::size_t>(w.width) * w.height) {
    w.dirty = true;
    return;
  }
  const int x = std::max(0, e.x);
  const int y = std::max(0, e.y);
  const int width = std::min(w.width - x, e.width);
  const int height = std::min(w.height - y, e.height);
  backend_.Display().PutPixels(w.window, w.shown.data(), w.width * 4, x, y, width, height);
}

void TX11EventHandler::OnButtonPress(TX11FormWindow& w, const XButtonEvent& e) {
  TCustomForm* form = w.form;
  const TShiftState shift = ShiftOf(e.state);
  if (e.button == Button4 || e.button == Button5) {
    Driver::MouseWheel(form, e.x, e.y, e.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA, shift);
    return;
  }
  if (e.button > Button3) return;
  const bool isDouble =
      e.button == Button1 && lastPress_ == &w && !lastWasDouble_ && e.time - lastPressTime_ <= kDoubleClickMs &&
      std::abs(e.x - lastPressX_) <= kDoubleClickDistance && std::abs(e.y - lastPressY_) <= kDoubleClickDistance;
  if (e.button == Button1) {
    lastPress_ = &w;
    lastPressTime_ = e.time;
    lastPressX_ = e.x;
    lastPressY_ = e.y;
    lastWasDouble_ = isDouble;
  }
  if (isDouble)
    Driver::MouseDownDouble(form, e.x, e.y, shift);
  else
    Driver::MouseDown(form, e.x, e.y, ButtonOf(e.button), shift);
}

void TX11EventHandler::OnButtonRelease(TX11FormWindow& w, const XButtonEvent& e) {
  if (e.button > Button3) return;
  Driver::MouseUp(w.form, e.x, e.y, ButtonOf(e.button), ShiftOf(e.state));
  // The release may have freed the window (a button that closes its form).
  if (TX11FormWindow* still = backend_.FindWindow(e.window)) UpdateCursor(*still, e.x, e.y);
}

void TX11EventHandler::OnMotion(TX11FormWindow& w, XMotionEvent e) {
  Driver::MouseMove(w.form, e.x, e.y, ShiftOf(e.state));
  if (TX11FormWindow* still = backend_.FindWindow(e.window)) UpdateCursor(*still, e.x, e.y);
}

void TX11EventHandler::UpdateCursor(TX11FormWindow& w, int x, int y) {
  TCursor cursor = Screen->Cursor();
  if (cursor == crDefault) {
    TControl* c = GetCaptureControl();
    if (c == nullptr) c = Driver::ControlAt(w.form, x, y);
    for (; c != nullptr && cursor == crDefault; c = c->Parent()) cursor = c->Cursor();
  }
  HCURSOR handle = Screen->Cursors(cursor == crDefault ? crArrow : cursor);
  const unsigned shape = handle != nullptr ? ShapeOfCursorName(handle->name) : XC_left_ptr;
  ::Cursor xCursor = backend_.Display().FontCursor(shape);
  if (xCursor == w.cursor) return;
  w.cursor = xCursor;
  XDefineCursor(backend_.Display().X(), w.window, xCursor);
}

void TX11EventHandler::OnKey(TX11FormWindow& w, XKeyEvent& e, bool down) {
  (void)w;
  const KeySym plain = XLookupKeysym(&e, 0);
  const WORD key = VirtualKeyOfKeysym(plain);
  const TShiftState shift = ShiftOf(e.state);
  if (!down) {
    if (key != 0) Driver::KeyUp(key, shift);
    return;
  }
  char buffer[16];
  KeySym typed = NoSymbol;
  XLookupString(&e, buffer, sizeof buffer, &typed, nullptr);
  // Control characters (Ctrl+letter, Enter, Backspace, Tab, Escape) as the
  // layer types them; printable ones as the keyboard layout gives them.
  char ch = Driver::KeyToChar(key, shift);
  if ((shift & (ssCtrl | ssAlt)) == 0 && (ch == 0 || static_cast<unsigned char>(ch) >= 0x20)) {
    const char layout = AnsiCharOfKeysym(typed);
    if (layout != 0) ch = layout;
  }
  const bool taken = key != 0 && Driver::KeyDown(key, shift);
  if (!taken && ch != 0) Driver::KeyPress(ch);
}

void TX11EventHandler::OnConfigure(TX11FormWindow& w, const XConfigureEvent& e) {
  ::Display* x = backend_.Display().X();
  int rootX = 0;
  int rootY = 0;
  ::Window child = 0;
  XTranslateCoordinates(x, w.window, backend_.Display().Root(), 0, 0, &rootX, &rootY, &child);
  if (e.width == w.width && e.height == w.height && rootX == w.x && rootY == w.y) return;
  // The window manager moved or sized the window: the form follows.
  TCustomForm* form = w.form;
  const TRect insets = form->BorderInsets();
  w.x = rootX;
  w.y = rootY;
  const bool sized = e.width != w.width || e.height != w.height;
  w.width = e.width;
  w.height = e.height;
  if (sized) w.shown.clear();
  form->SetBounds(rootX - insets.Left, rootY - insets.Top, e.width + insets.Left + insets.Right,
                  e.height + insets.Top + insets.Bottom);
  w.dirty = true;
}
