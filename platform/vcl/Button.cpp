#include "platform/vcl/Button.h"

#include "base/ScopeExit.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Form.h"
#include "platform/win/VirtualKeys.h"

// --- TButtonControl ---

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle |= csSetCaption;
  SetTabStop(true);
}

void TButtonControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) {
      focusingByMouse_ = true;
      ScopeExit focused([this] { focusingByMouse_ = false; });
      SetFocus();
    }
    press_.Start(*this);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TButtonControl::MouseMove(TShiftState shift, int x, int y) {
  press_.Move(*this, x, y);
  TCustomControl::MouseMove(shift, x, y);
}

void TButtonControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) press_.End(*this);
  TCustomControl::MouseUp(button, shift, x, y);
}

// --- TButton ---

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  Invalidate();
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this); form != nullptr && ModalResult != mrNone)
    form->ModalResult = ModalResult;
  TButtonControl::Click();
}

bool TButton::Active() const {
  if (Focused()) return true;
  if (!default_) return false;
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr) return true;
  return dynamic_cast<TButton*>(form->ActiveControl()) == nullptr;
}

void TButton::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == CM_DIALOGKEY) {
    const bool modifiers = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    if (((m.WParam == VK_RETURN && Active()) || (m.WParam == VK_ESCAPE && Cancel)) && !modifiers && CanFocus()) {
      Click();
      m.Result = 1;
      return;
    }
  }
  if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) {
    // The default button's frame moves to the focused button and back.
    if (TCustomForm* form = GetParentForm(this)) form->Invalidate();
  }
  TButtonControl::Dispatch(message);
}

void TButton::KeyUp(WORD& key, TShiftState shift) {
  TButtonControl::KeyUp(key, shift);
  if (key == VK_SPACE && shift == 0) Click();
}

void TButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  TButtonState state;
  state.pushed = Pressed();
  state.enabled = Enabled();
  // The default (or focused) button carries a black frame.
  state.framed = Enabled() && Active();
  const int offset = DrawButtonFace(canvas, r, TButtonKind::Push, state);
  TTextStyle style;
  style.hAlign = THAlign::Center;
  style.vAlign = TVAlign::Center;
  style.disabled = !Enabled();
  style.hotkey = true;
  DrawTextInRect(canvas, Rect(r.Left + offset, r.Top + offset, r.Right + offset, r.Bottom + offset), Caption(), style);
  if (Focused() && Enabled()) canvas->DrawFocusRect(Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2));
}
