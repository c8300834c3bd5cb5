// The input focus and the tab order of the windowed controls.

#include <algorithm>

#include "platform/vcl/Form.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/WinControl.h"

TWinControl* TWinControl::TopLevel() {
  TWinControl* top = this;
  while (top->Parent() != nullptr) top = top->Parent();
  return top;
}

bool TWinControl::CanFocus() const {
  for (const TWinControl* c = this; c != nullptr; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const {
  TWinControl* top = const_cast<TWinControl*>(this)->TopLevel();
  if (Screen->ActiveTopLevel() != top) return false;
  const TWinControl* focused = top->focusedControl_ != nullptr ? top->focusedControl_ : top;
  return focused == this;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  TWinControl* top = TopLevel();
  if (auto* form = dynamic_cast<TCustomForm*>(top)) {
    form->FocusControl(this);
    return;
  }
  top->activeControl_ = this == top ? nullptr : this;
  if (Screen->ActiveTopLevel() == top)
    top->SetFocusedControl(top->activeControl_);
  else
    top->ActivateTopLevel();
}

void TWinControl::ActivateTopLevel() {
  if (Parent() != nullptr) {
    TopLevel()->ActivateTopLevel();
    return;
  }
  if (!Showing() || !Enabled()) return;
  if (HandleAllocated() && !IsWindowEnabled(Handle())) return;
  if (activeControl_ != nullptr && (!ContainsControl(activeControl_) || !activeControl_->CanFocus()))
    activeControl_ = nullptr;
  if (activeControl_ == nullptr && ChoosesFirstControl()) activeControl_ = FindNextControl(nullptr, true, true, false);
  SetFocusedControl(activeControl_);
}

void TWinControl::SetFocusedControl(TWinControl* control) {
  if (Parent() != nullptr) {
    TopLevel()->SetFocusedControl(control);
    return;
  }
  TWinControl* const top = this;
  if (control == nullptr || !ContainsControl(control)) control = top;
  const unsigned count = ++focusCount_;
  activeControl_ = control == top ? nullptr : control;

  // Another top-level control loses the activation first.
  TWinControl* previousTop = Screen->ActiveTopLevel();
  if (previousTop != top) {
    Screen->SetActiveTopLevel(top);
    if (previousTop != nullptr) {
      TWinControl* lost = previousTop->focusedControl_ != nullptr ? previousTop->focusedControl_ : previousTop;
      lost->Perform(WM_KILLFOCUS, 0, 0);
      previousTop->TopLevelDeactivated();
      if (count != focusCount_) return;
    }
    TopLevelActivated();
    if (count != focusCount_) return;
  }

  if (focusedControl_ == nullptr || !ContainsControl(focusedControl_)) focusedControl_ = top;
  TWinControl* const old = focusedControl_;
  if (old == control) {
    control->Perform(WM_SETFOCUS, 0, 0);
    return;
  }
  old->Perform(WM_KILLFOCUS, 0, 0);
  // Leave the controls that do not hold the new one, innermost first ...
  while (focusedControl_ != nullptr && !focusedControl_->ContainsControl(control)) {
    TWinControl* leaving = focusedControl_;
    focusedControl_ = leaving->Parent() != nullptr ? leaving->Parent() : top;
    leaving->Perform(CM_EXIT, 0, 0);
    if (count != focusCount_) return;
    if (!ContainsControl(control)) return;  // the control left the window meanwhile
  }
  if (focusedControl_ == nullptr) focusedControl_ = top;
  // ... then enter the ones down to it, outermost first.
  while (focusedControl_ != control) {
    TWinControl* next = control;
    while (next->Parent() != nullptr && next->Parent() != focusedControl_) next = next->Parent();
    if (next->Parent() != focusedControl_) return;  // the tree changed meanwhile
    focusedControl_ = next;
    next->Perform(CM_ENTER, 0, 0);
    if (count != focusCount_) return;
  }
  control->Perform(WM_SETFOCUS, 0, 0);
}

void TWinControl::DefocusControl(TWinControl* control, bool removing) {
  if (Parent() != nullptr) {
    TopLevel()->DefocusControl(control, removing);
    return;
  }
  if (control == nullptr || control == this) return;
  // While the window itself is being destroyed nothing fires.
  const bool quiet = (ComponentState() & csDestroying) != 0;
  if (focusedControl_ != nullptr && control->ContainsControl(focusedControl_)) {
    if (removing || quiet) focusedControl_ = control->Parent() != nullptr ? control->Parent() : this;
  }
  if (activeControl_ != nullptr && control->ContainsControl(activeControl_)) {
    activeControl_ = nullptr;
    if (!quiet && Screen->ActiveTopLevel() == this) SetFocusedControl(nullptr);
  }
}

// --- tab order ---

int TWinControl::TabOrder() const {
  if (Parent() == nullptr) return -1;
  const auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (Parent() == nullptr) return;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  const int at = std::clamp(value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + at, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int count = static_cast<int>(list.size());
  auto found = std::find(list.begin(), list.end(), current);
  int start = found == list.end() ? (goForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
  int i = start;
  do {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TWinControl* c = list[static_cast<std::size_t>(i)];
    if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop);
  if (next != nullptr) next->SetFocus();
}

void TWinControl::SelectFirst() {
  TWinControl* first = FindNextControl(nullptr, true, true, false);
  if (first != nullptr) first->SetFocus();
}
