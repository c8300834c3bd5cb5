#include "platform/vcl/WinControl.h"

#include "platform/vcl/UiBackend.h"

#include <algorithm>
#include <iterator>

#include "base/ScopeExit.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Screen.h"
#include "platform/win/VirtualKeys.h"

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  Destroying();
  if (Parent() != nullptr) TopLevel()->DefocusControl(this, true);
  if (Screen != nullptr) Screen->TopLevelGone(this);
  // The children go first, the top-most first.
  while (!winControls_.empty() || !graphicControls_.empty()) {
    TControl* child = !winControls_.empty() ? static_cast<TControl*>(winControls_.back()) : graphicControls_.back();
    RemoveControl(child);
    FreeComponent(child);
  }
  activeControl_ = nullptr;
  focusedControl_ = nullptr;
  DestroyHandle();
  if (Parent() != nullptr) Parent()->RemoveControl(this);
}

// --- handle ---

HWND TWinControl::Handle() {
  if (handle_ != nullptr && IsWindow(handle_)) return handle_;
  handle_ = CreateWindowHandle([this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (destroyingHandle_) return 0;
    if (message == WM_DESTROY && hwnd == handle_) handle_ = nullptr;  // destroyed from outside
    return Perform(message, wParam, lParam);
  });
  return handle_;
}

bool TWinControl::HandleAllocated() const { return handle_ != nullptr && IsWindow(handle_); }

void TWinControl::DestroyHandle() {
  if (handle_ == nullptr) return;
  destroyingHandle_ = true;
  DestroyWindow(handle_);
  handle_ = nullptr;
  destroyingHandle_ = false;
}

// --- children ---

TControl* TWinControl::Controls(int index) const {
  const int graphic = static_cast<int>(graphicControls_.size());
  if (index < 0 || index >= ControlCount())
    throw EInvalidOperation("Control index out of bounds (" + std::to_string(index) + ")");
  if (index < graphic) return graphicControls_[static_cast<std::size_t>(index)];
  return winControls_[static_cast<std::size_t>(index - graphic)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c != nullptr; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->Visible() || (!allowDisabled && !c->Enabled())) return false;
    if (!PtInRect(c->BoundsRect(), pos)) return false;
    return c->Perform(CM_HITTEST, 0, MAKELPARAM(pos.x - c->Left(), pos.y - c->Top())) != HTNOWHERE;
  };
  if (allowWinControls)
    for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = graphicControls_.rbegin(); it != graphicControls_.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  if (control == nullptr || control->Parent() == this) return;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    winControls_.push_back(win);
    tabList_.push_back(win);
  } else {
    graphicControls_.push_back(control);
  }
  control->SetParentField(this);
  if (control->Align() != alNone) ++alignedChildren_;
  ChildChanged(control);
  control->UpdateAnchorRules();
  if (control->Align() != alNone) Realign();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  if (control == nullptr || control->Parent() != this) return;
  // Found by address (the control may be in the middle of its destruction),
  // from the end: children are freed the last first.
  auto eraseFromBack = [control](auto& list) {
    auto it = std::find_if(list.rbegin(), list.rend(), [control](TControl* c) { return c == control; });
    if (it != list.rend()) list.erase(std::next(it).base());
  };
  eraseFromBack(graphicControls_);
  eraseFromBack(winControls_);
  eraseFromBack(tabList_);
  control->SetParentField(nullptr);
  if (control->Align() != alNone) --alignedChildren_;
  ChildChanged(control);
  if (control->Align() != alNone) Realign();
  Invalidate();
}

void TWinControl::Broadcast(TMessage& message) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->WindowProc)
      c->WindowProc(message);
    else
      c->WndProc(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::SetChildZOrder(TControl* control, bool topMost) {
  auto move = [&](auto& list, auto* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    if (topMost)
      list.push_back(item);
    else
      list.insert(list.begin(), item);
    return true;
  };
  bool moved = false;
  for (TWinControl* w : winControls_) {
    if (static_cast<TControl*>(w) == control) {
      moved = move(winControls_, w);
      break;
    }
  }
  if (!moved) moved = move(graphicControls_, control);
  if (!moved) return;
  if (control->Align() != alNone) Realign();
  control->Invalidate();
  Invalidate();
}

// --- layout ---

TRect TWinControl::ClientRect() const {
  const TRect b = BorderInsets();
  const long long w = static_cast<long long>(Width()) - b.Left - b.Right;
  const long long h = static_cast<long long>(Height()) - b.Top - b.Bottom;
  return Rect(0, 0, static_cast<int>(std::max<long long>(w, 0)), static_cast<int>(std::max<long long>(h, 0)));
}

TPoint TWinControl::ClientOrigin() const {
  const TRect b = BorderInsets();
  if (Parent() == nullptr) return {Left() + b.Left, Top() + b.Top};
  const TPoint p = Parent()->ClientOrigin();
  return {p.x + Left() + b.Left, p.y + Top() + b.Top};
}

void TWinControl::DisableAlign() { ++alignDisabled_; }

void TWinControl::ResumeAlignLater() {
  if (alignDisabled_ > 0) --alignDisabled_;
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) {
    alignPending_ = false;
    Realign();
  }
}

void TWinControl::Realign(TControl* changed) {
  if (alignDisabled_ > 0) {
    alignPending_ = true;
    return;
  }
  if (aligning_ || alignedChildren_ == 0) return;
  aligning_ = true;
  ScopeExit aligned([this] { aligning_ = false; });
  TRect rect = ClientRect();
  AdjustClientRect(rect);
  AlignControls(changed, rect);
}

void TWinControl::AlignControls(TControl* changed, TRect& rect) {
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (c->Align() == align && c->Visible()) list.push_back(c);
    }
    // By position from the edge they stick to; at the same position the
    // control that was just changed goes first.
    auto key = [align](TControl* c) -> long long {
      switch (align) {
        case alTop: return c->Top();
        case alBottom: return -(static_cast<long long>(c->Top()) + c->Height());
        case alLeft: return c->Left();
        case alRight: return -(static_cast<long long>(c->Left()) + c->Width());
        default: return 0;
      }
    };
    std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
      const long long ka = key(a), kb = key(b);
      if (ka != kb) return ka < kb;
      return a == changed && b != changed;
    });
    for (TControl* c : list) {
      const int w = std::max(0, rect.Right - rect.Left);
      const int h = std::max(0, rect.Bottom - rect.Top);
      switch (align) {
        case alTop:
          c->SetBoundsFromLayout(rect.Left, rect.Top, w, c->Height());
          rect.Top = std::min(rect.Bottom, rect.Top + std::max(0, c->Height()));
          break;
        case alBottom:
          c->SetBoundsFromLayout(rect.Left, rect.Bottom - c->Height(), w, c->Height());
          rect.Bottom = std::max(rect.Top, rect.Bottom - std::max(0, c->Height()));
          break;
        case alLeft:
          c->SetBoundsFromLayout(rect.Left, rect.Top, c->Width(), h);
          rect.Left = std::min(rect.Right, rect.Left + std::max(0, c->Width()));
          break;
        case alRight:
          c->SetBoundsFromLayout(rect.Right - c->Width(), rect.Top, c->Width(), h);
          rect.Right = std::max(rect.Left, rect.Right - std::max(0, c->Width()));
          break;
        case alClient: c->SetBoundsFromLayout(rect.Left, rect.Top, w, h); break;
        default: break;
      }
    }
  }
}

namespace {

// A place moved by a scroll, held within the limit of a control's place.
int ScrolledPlace(int place, int delta) {
  constexpr long long kLimit = 0x3FFFFFFF;
  return static_cast<int>(std::clamp(static_cast<long long>(place) + delta, -kLimit, kLimit));
}

}  // namespace

std::vector<TControl*> TWinControl::ScrollChildren(int dx, int dy) {
  std::vector<TControl*> limited;
  // The anchor rules as SetBounds would take them: the client area now.
  const TRect client = ClientRect();
  // Only fields change here: no handler runs, so the list stays as it is.
  for (TControl* c : graphicControls_) {
    const int left = ScrolledPlace(c->left_, dx), top = ScrolledPlace(c->top_, dy);
    if (static_cast<long long>(left) - c->left_ != dx || static_cast<long long>(top) - c->top_ != dy)
      limited.push_back(c);
    c->left_ = left;
    c->top_ = top;
    // Anchored to the left and top (most children), the rules are not read
    // before new anchors take them anew.
    if (!c->layingOut_ && c->anchors_ != (akLeft | akTop)) {
      c->anchorRulesSet_ = true;
      c->anchorParentWidth_ = client.Right - client.Left;
      c->anchorParentHeight_ = client.Bottom - client.Top;
      c->anchorBounds_ = c->BoundsRect();
    }
    c->needsPaint_ = true;
  }
  for (std::size_t i = 0; i < winControls_.size(); ++i) {
    TWinControl* w = winControls_[i];
    w->SetBounds(ScrolledPlace(w->Left(), dx), ScrolledPlace(w->Top(), dy), w->Width(), w->Height());
  }
  Invalidate();
  return limited;
}

void TWinControl::SizeChanged() {
  const int w = ClientWidth();
  const int h = ClientHeight();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->ApplyAnchors(w, h);
  Realign();
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->ParentFontChanged();
}

// --- state ---

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (Parent() != nullptr) TopLevel()->DefocusControl(this, true);
  const bool wasTopLevel = Parent() == nullptr;
  TControl::SetParent(parent);
  if (wasTopLevel && parent != nullptr) {
    // No longer a top-level control: it keeps no focus of its own.
    if (Screen != nullptr) Screen->TopLevelGone(this);
    activeControl_ = nullptr;
    focusedControl_ = nullptr;
  }
}

void TWinControl::SetVisible(bool value) {
  if (value == Visible()) return;
  TControl::SetVisible(value);
  if (!value && Parent() != nullptr) TopLevel()->DefocusControl(this, false);
}

void TWinControl::SetEnabled(bool value) {
  if (value == Enabled()) return;
  TControl::SetEnabled(value);
  if (!value && Parent() != nullptr) TopLevel()->DefocusControl(this, false);
}

void TWinControl::Invalidate() {
  SetNeedsPaint(true);
  NotifyUiBackendInvalidated(this);
}

void TWinControl::Update() {
  bool dirty = NeedsPaint();
  for (TControl* c : graphicControls_) dirty = dirty || c->NeedsPaint();
  if (dirty) Perform(WM_PAINT, 0, 0);
}

// --- keys ---

TShiftState TWinControl::KeyboardShiftState() {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

bool TWinControl::DoKeyDown(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview && form->DoKeyDown(message)) return true;
  if (!(ControlStyle & csNoStdEvents)) {
    WORD key = static_cast<WORD>(message.WParam);
    KeyDown(key, KeyboardShiftState());
    message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview && form->DoKeyPress(message)) return true;
  if (!(ControlStyle & csNoStdEvents)) {
    char key = static_cast<char>(static_cast<unsigned char>(message.WParam));
    KeyPress(key);
    message.WParam = static_cast<unsigned char>(key);
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview && form->DoKeyUp(message)) return true;
  if (!(ControlStyle & csNoStdEvents)) {
    WORD key = static_cast<WORD>(message.WParam);
    KeyUp(key, KeyboardShiftState());
    message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// --- messages ---

void TWinControl::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: m.Result = DoKeyDown(m) ? 1 : 0; return;
    case WM_CHAR: m.Result = DoKeyPress(m) ? 1 : 0; return;
    case WM_KEYUP:
    case WM_SYSKEYUP: m.Result = DoKeyUp(m) ? 1 : 0; return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_DIALOGKEY: Broadcast(m); return;
    case CM_WANTSPECIALKEY:
    case WM_GETDLGCODE: m.Result = 0; return;
    case WM_MOUSEWHEEL: {
      // The wheel turns what has the focus; unhandled, it goes up the parents.
      TWinControl* top = TopLevel();
      TWinControl* target = top->FocusedControl() != nullptr ? top->FocusedControl() : this;
      m.Result = target->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); return;
    case WM_PAINT:
      // The canvas layer paints; here the control and its graphic children
      // stop waiting.
      SetNeedsPaint(false);
      for (TControl* c : graphicControls_) c->SetNeedsPaint(false);
      return;
    case CM_COLORCHANGED:
      TControl::Dispatch(message);
      for (int i = 0; i < ControlCount(); ++i) Controls(i)->ParentColorChanged();
      return;
    default: TControl::Dispatch(message);
  }
}

// --- TCustomControl ---

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  return canvas_.get();
}
