#include "platform/vcl/Control.h"

#include "platform/vcl/UiBackend.h"

#include <algorithm>
#include <vector>

#include "base/ScopeExit.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/WinControl.h"
#include "platform/win/VirtualKeys.h"

namespace {

TControl* g_captureControl = nullptr;
TPopupMenuPopupHook g_popupHook = nullptr;
TPopupMenuShortCutHook g_shortCutHook = nullptr;

std::vector<void (*)(TControl*)>& DestroyHooks() {
  static std::vector<void (*)(TControl*)>* hooks = new std::vector<void (*)(TControl*)>;
  return *hooks;
}

bool SameFont(const TFont& a, const TFont& b) {
  return a.Name == b.Name && a.Height == b.Height && a.Style == b.Style && a.Color == b.Color;
}

}  // namespace

// --- free functions ---

TCustomForm* GetParentForm(const TControl* control) {
  if (control == nullptr) return nullptr;
  const TControl* top = control;
  while (top->Parent() != nullptr) top = top->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(top));
}

TCustomForm* ValidParentForm(const TControl* control) {
  TCustomForm* form = GetParentForm(control);
  if (form == nullptr)
    throw EInvalidOperation("Control '" + (control ? control->Name() : std::string()) + "' has no parent form");
  return form;
}

TControl* GetCaptureControl() { return g_captureControl; }
void SetCaptureControl(TControl* control) { g_captureControl = control; }

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

WPARAM ShiftStateToKeys(TShiftState shift) {
  WPARAM keys = 0;
  if (shift & ssShift) keys |= MK_SHIFT;
  if (shift & ssCtrl) keys |= MK_CONTROL;
  if (shift & ssLeft) keys |= MK_LBUTTON;
  if (shift & ssRight) keys |= MK_RBUTTON;
  if (shift & ssMiddle) keys |= MK_MBUTTON;
  return keys;
}

void SetPopupMenuHooks(TPopupMenuPopupHook popup, TPopupMenuShortCutHook shortCut) {
  g_popupHook = popup;
  g_shortCutHook = shortCut;
}
TPopupMenuPopupHook PopupMenuPopupHook() { return g_popupHook; }
TPopupMenuShortCutHook PopupMenuShortCutHook() { return g_shortCutHook; }

void RegisterControlDestroyHook(void (*hook)(TControl* control)) {
  auto& hooks = DestroyHooks();
  if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

// --- TControl ---

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = TWndMethod(this, &TControl::WndProc);
  ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  font_ = std::make_unique<TFont>();
  fontBaseline_ = std::make_unique<TFont>();
  fontBaseline_->Assign(*font_);
}

TControl::~TControl() {
  Destroying();
  for (auto hook : DestroyHooks()) hook(this);
  if (g_captureControl == this) g_captureControl = nullptr;
  if (parent_ != nullptr) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  for (TWinControl* p = parent; p != nullptr; p = p->Parent())
    if (p == this) throw EInvalidOperation("A control cannot have one of its children as its parent");
  if (parent_ != nullptr) parent_->RemoveControl(this);
  if (parent != nullptr) parent->InsertControl(this);
}

// --- bounds ---

void TControl::ApplyConstraints(int& width, int& height) const {
  if (Constraints.MaxWidth > 0 && width > Constraints.MaxWidth) width = Constraints.MaxWidth;
  if (Constraints.MinWidth > 0 && width < Constraints.MinWidth) width = Constraints.MinWidth;
  if (Constraints.MaxHeight > 0 && height > Constraints.MaxHeight) height = Constraints.MaxHeight;
  if (Constraints.MinHeight > 0 && height < Constraints.MinHeight) height = Constraints.MinHeight;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  ApplyConstraints(width, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool sized = width != width_ || height != height_;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (parent_ != nullptr) parent_->ChildChanged(this);
  if (!layingOut_) UpdateAnchorRules();
  Invalidate();
  if (sized) SizeChanged();
  if (!layingOut_) RequestAlign();
  if (sized) Resize();
}

void TControl::SetBoundsRect(const TRect& rect) {
  SetBounds(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
}

void TControl::SetBoundsFromLayout(int left, int top, int width, int height) {
  const bool was = layingOut_;
  layingOut_ = true;
  ScopeExit restore([this, was] { layingOut_ = was; });
  SetBounds(left, top, width, height);
}

TRect TControl::ClientRect() const { return Rect(0, 0, width_, height_); }
int TControl::ClientWidth() const {
  const TRect client = ClientRect();
  return client.Right - client.Left;
}

int TControl::ClientHeight() const {
  const TRect client = ClientRect();
  return client.Bottom - client.Top;
}
void TControl::SetClientWidth(int value) { SetWidth(width_ - ClientWidth() + value); }
void TControl::SetClientHeight(int value) { SetHeight(height_ - ClientHeight() + value); }

TPoint TControl::ClientOrigin() const {
  if (parent_ == nullptr) return {left_, top_};
  const TPoint p = parent_->ClientOrigin();
  return {p.x + left_, p.y + top_};
}

TPoint TControl::ClientToScreen(const TPoint& point) const {
  const TPoint o = ClientOrigin();
  return {point.x + o.x, point.y + o.y};
}

TPoint TControl::ScreenToClient(const TPoint& point) const {
  const TPoint o = ClientOrigin();
  return {point.x - o.x, point.y - o.y};
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  if (parent_ != nullptr) parent_->alignedChildren_ += (value != alNone ? 1 : 0) - (align_ != alNone ? 1 : 0);
  align_ = value;
  if (value == alNone) UpdateAnchorRules();
  if (parent_ != nullptr) parent_->Realign(this);
}

void TControl::SetAnchors(TAnchors value) {
  if (value == anchors_) return;
  anchors_ = value;
  UpdateAnchorRules();
}

void TControl::RequestAlign() {
  if (parent_ != nullptr) parent_->Realign(this);
}

void TControl::UpdateAnchorRules() {
  if (parent_ == nullptr) {
    anchorRulesSet_ = false;
    return;
  }
  anchorRulesSet_ = true;
  // One look at the parent's client area (a scroll box's depends on its bars).
  const TRect client = parent_->ClientRect();
  anchorParentWidth_ = client.Right - client.Left;
  anchorParentHeight_ = client.Bottom - client.Top;
  anchorBounds_ = BoundsRect();
}

void TControl::ApplyAnchors(int parentClientWidth, int parentClientHeight) {
  if (!anchorRulesSet_ || align_ != alNone) return;
  if (anchors_ == (akLeft | akTop)) return;
  const long long dw = static_cast<long long>(parentClientWidth) - anchorParentWidth_;
  const long long dh = static_cast<long long>(parentClientHeight) - anchorParentHeight_;
  long long l = anchorBounds_.Left;
  long long t = anchorBounds_.Top;
  long long w = anchorBounds_.Width();
  long long h = anchorBounds_.Height();
  if (anchors_ & akRight) {
    if (anchors_ & akLeft)
      w += dw;
    else
      l += dw;
  } else if (!(anchors_ & akLeft)) {
    l += dw / 2;  // anchored to neither side: keeps its place relative to the middle
  }
  if (anchors_ & akBottom) {
    if (anchors_ & akTop)
      h += dh;
    else
      t += dh;
  } else if (!(anchors_ & akTop)) {
    t += dh / 2;
  }
  auto clamp = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -0x3FFFFFFF, 0x3FFFFFFF)); };
  SetBoundsFromLayout(clamp(l), clamp(t), clamp(std::max<long long>(w, 0)), clamp(std::max<long long>(h, 0)));
}

// --- visibility, state ---

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  Invalidate();
  visible_ = value;
  if (parent_ != nullptr) parent_->ChildChanged(this);
  Perform(CM_VISIBLECHANGED, value ? 1 : 0, 0);
  RequestAlign();
  Invalidate();
}

void TControl::Show() { SetVisible(true); }
void TControl::Hide() { SetVisible(false); }

bool TControl::Showing() const {
  for (const TControl* c = this; c != nullptr; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

// --- text, looks ---

void TControl::SetText(const std::string& value) {
  if (value == text_) return;
  text_ = value;
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetName(const std::string& name) {
  // A control whose caption is its name keeps showing its name.
  const bool changeText = (ControlStyle & csSetCaption) != 0 && Name() == Text();
  TComponent::SetName(name);
  if (changeText) SetText(name);
}

void TControl::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

TColor TControl::Color() const {
  if (parentColor_ && parent_ != nullptr) return parent_->Color();
  return color_;
}

void TControl::SetColor(TColor value) {
  const TColor before = Color();
  color_ = value;
  parentColor_ = false;
  if (before != value) Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  const TColor before = Color();
  parentColor_ = value;
  if (before != Color()) Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::ParentColorChanged() {
  if (parentColor_) Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SyncParentFont() {
  if (!parentFont_) return;
  if (!SameFont(*font_, *fontBaseline_)) {
    // Changed here since it was last set: it is the control's own now.
    parentFont_ = false;
    return;
  }
  if (parent_ == nullptr) return;
  const TFont* parentFont = parent_->Font();
  if (SameFont(*font_, *parentFont)) return;
  font_->Assign(*parentFont);
  fontBaseline_->Assign(*parentFont);
  FontChanged();
}

TFont* TControl::Font() {
  SyncParentFont();
  return font_.get();
}

void TControl::SetFont(const TFont& font) {
  font_->Assign(font);
  fontBaseline_->Assign(font);
  parentFont_ = false;
  FontChanged();
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value) {
    fontBaseline_->Assign(*font_);
    SyncParentFont();
  }
}

void TControl::ParentFontChanged() { SyncParentFont(); }

void TControl::FontChanged() { Perform(CM_FONTCHANGED, 0, 0); }

void TControl::SetPopupMenuImpl(TPopupMenu* menu, TComponent* asComponent) {
  if (popupMenuComponent_ != nullptr) RemoveFreeNotification(popupMenuComponent_);
  popupMenu_ = menu;
  popupMenuComponent_ = asComponent;
  if (asComponent != nullptr) FreeNotification(asComponent);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == popupMenuComponent_) {
    popupMenu_ = nullptr;
    popupMenuComponent_ = nullptr;
  }
}

// --- painting ---

void TControl::Invalidate() {
  // A graphic control is painted with its parent.
  needsPaint_ = true;
  if (parent_ != nullptr) parent_->SetNeedsPaint(true);
  NotifyUiBackendInvalidated(this);
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (parent_ != nullptr) parent_->Update();
}

void TControl::SetZOrder(bool topMost) {
  if (parent_ != nullptr) parent_->SetChildZOrder(this, topMost);
}

// --- messages ---

LRESULT TControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
  TMessage m;
  m.Msg = message;
  m.WParam = wParam;
  m.LParam = lParam;
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& message) { Dispatch(&message); }

void TControl::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: WMMouseButton(m); return;
    case WM_MOUSEMOVE:
      if (!(ControlStyle & csNoStdEvents))
        MouseMove(KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      return;
    case CM_HITTEST: m.Result = HTCLIENT; return;
    case CM_MOUSEENTER: MouseEnter(); return;
    case CM_MOUSELEAVE: MouseLeave(); return;
    case CM_MOUSEWHEEL: {
      const TShiftState shift = KeysToShiftState(LOWORD(m.WParam));
      const int delta = static_cast<short>(HIWORD(m.WParam));
      const TPoint pos{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      if (DoMouseWheel(shift, delta, pos))
        m.Result = 1;
      else if (parent_ != nullptr)
        m.Result = parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
      return;
    }
    case WM_CONTEXTMENU: WMContextMenu(m); return;
    case WM_HELP:
      // Unanswered help requests go up to the parent, as the system does.
      if (parent_ != nullptr) m.Result = parent_->Perform(WM_HELP, m.WParam, m.LParam);
      return;
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED: Invalidate(); return;
    default: TComponent::Dispatch(message);
  }
}

void TControl::WMMouseButton(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  TShiftState shift = KeysToShiftState(m.WParam);
  const bool stdEvents = !(ControlStyle & csNoStdEvents);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
      if (ControlStyle & csClickEvents) ControlState |= csClicked;
      if (stdEvents) MouseDown(mbLeft, shift, x, y);
      break;
    case WM_RBUTTONDOWN:
      if (stdEvents) MouseDown(mbRight, shift, x, y);
      break;
    case WM_MBUTTONDOWN:
      if (stdEvents) MouseDown(mbMiddle, shift, x, y);
      break;
    case WM_LBUTTONDBLCLK:
      if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
      if (ControlStyle & csClickEvents) DblClick();
      if (stdEvents) MouseDown(mbLeft, shift | ssDouble, x, y);
      break;
    case WM_RBUTTONDBLCLK:
      if (stdEvents) MouseDown(mbRight, shift | ssDouble, x, y);
      break;
    case WM_MBUTTONDBLCLK:
      if (stdEvents) MouseDown(mbMiddle, shift | ssDouble, x, y);
      break;
    case WM_LBUTTONUP:
      if (ControlStyle & csCaptureMouse) SetMouseCapture(false);
      if (ControlState & csClicked) {
        ControlState &= ~static_cast<unsigned>(csClicked);
        if (PtInRect(ClientRect(), {x, y})) Click();
      }
      if (stdEvents) MouseUp(mbLeft, shift, x, y);
      break;
    case WM_RBUTTONUP:
      if (stdEvents) MouseUp(mbRight, shift, x, y);
      break;
    case WM_MBUTTONUP:
      if (stdEvents) MouseUp(mbMiddle, shift, x, y);
      break;
    default: break;
  }
}

void TControl::WMContextMenu(TMessage& m) {
  if (m.Result != 0) return;
  if (popupMenu_ != nullptr && g_popupHook != nullptr) {
    TPoint pos{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    if (m.LParam == -1) pos = ClientToScreen({0, 0});  // from the keyboard: at the control
    if (g_popupHook(popupMenu_, this, pos)) {
      m.Result = 1;
      return;
    }
  }
  if (parent_ != nullptr) m.Result = parent_->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
}

// --- message methods ---

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = false;
  if (OnDragOver) {
    accept = true;
    OnDragOver(this, source, x, y, state, accept);
  }
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, const TPoint& mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  return handled;
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::MouseCapture() const { return g_captureControl == this; }

void TControl::SetMouseCapture(bool value) {
  if (value)
    g_captureControl = this;
  else if (g_captureControl == this)
    g_captureControl = nullptr;
}

// --- TGraphicControl ---

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  return canvas_.get();
}
