#include "platform/vcl/Menus.h"

#include <algorithm>

#include "platform/vcl/Control.h"
#include "platform/vcl/ImageList.h"

THotkeyText SplitHotkey(const std::string& caption) {
  THotkeyText out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out.text += caption[i];
      continue;
    }
    if (i + 1 >= caption.size()) break;  // a '&' at the end marks nothing
    if (caption[i + 1] != '&' && out.hotkey == std::string::npos) out.hotkey = out.text.size();
    out.text += caption[++i];
  }
  return out;
}

std::string StripHotkey(const std::string& caption) { return SplitHotkey(caption).text; }

// --- TMenuItem ---

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  Destroying();
  if (parent_ != nullptr) parent_->Remove(this);
  Clear();
}

void TMenuItem::SetCaption(const std::string& value) { caption_ = value; }

void TMenuItem::SetChecked(bool value) {
  if (checked_ == value) return;
  checked_ = value;
  if (value && radioItem_) TurnSiblingsOff();
}

void TMenuItem::TurnSiblingsOff() {
  if (parent_ == nullptr) return;
  for (TMenuItem* sibling : parent_->items_)
    if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->checked_ = false;
}

void TMenuItem::SetRadioItem(bool value) {
  radioItem_ = value;
  if (value && checked_) TurnSiblingsOff();
}

void TMenuItem::SetGroupIndex(int value) {
  groupIndex_ = value;
  if (radioItem_ && checked_) TurnSiblingsOff();
}

void TMenuItem::SetEnabled(bool value) { enabled_ = value; }
void TMenuItem::SetVisible(bool value) { visible_ = value; }
void TMenuItem::SetShortCut(TShortCut value) { shortCut_ = value; }

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range (" + std::to_string(index) + ")");
  return items_[static_cast<std::size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Add(const std::vector<TMenuItem*>& items) {
  for (TMenuItem* item : items) Add(item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr) throw EMenuError("No menu item to insert");
  if (item->parent_ != nullptr || item->menu_ != nullptr) throw EMenuError("Menu inserted twice");
  if (index < 0 || index > Count()) throw EMenuError("Menu index out of range (" + std::to_string(index) + ")");
  for (const TMenuItem* p = this; p != nullptr; p = p->parent_)
    if (p == item) throw EMenuError("A menu item cannot hold itself");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  if (item->radioItem_ && item->checked_) item->TurnSiblingsOff();
}

void TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index < 0) throw EMenuError("Sub-menu is not in menu");
  Delete(index);
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
}

void TMenuItem::Clear() {
  while (!items_.empty()) {
    TMenuItem* child = items_.back();
    Remove(child);
    FreeComponent(child);
  }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  const auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TMenuItem::MenuIndex() const { return parent_ == nullptr ? -1 : parent_->IndexOf(this); }

void TMenuItem::SetMenuIndex(int value) {
  if (parent_ == nullptr) return;
  TMenuItem* parent = parent_;
  const int count = parent->Count();
  value = std::clamp(value, 0, count - 1);
  parent->Remove(this);
  parent->Insert(value, this);
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  const std::string wanted = StripHotkey(caption);
  for (TMenuItem* item : items_)
    if (SameComponentName(StripHotkey(item->caption_), wanted)) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_ != nullptr) root = root->parent_;
  return root->menu_;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (AutoCheck) SetChecked(radioItem_ ? true : !checked_);
  if (OnClick) OnClick(this);
}

// --- TMenu ---

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  Destroying();
  items_->Clear();
}

namespace {
TMenuItem* FindShortCutIn(const TMenuItem* root, TShortCut shortCut) {
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (item->ShortCut() == shortCut) return item;
    if (TMenuItem* found = FindShortCutIn(item, shortCut)) return found;
  }
  return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindShortCut(TShortCut shortCut) const {
  if (shortCut == scNone) return nullptr;
  return FindShortCutIn(items_.get(), shortCut);
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  TMenuItem* item = FindShortCut(::ShortCut(key, shift));
  if (item == nullptr) return false;
  for (const TMenuItem* p = item; p != nullptr && p != items_.get(); p = p->Parent())
    if (!p->Enabled()) return false;
  item->Click();
  return true;
}

void TMenu::SetImages(TCustomImageList* value) { SetImageListLink(this, images_, value); }

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && images_ != nullptr && component == images_) images_ = nullptr;
}

// --- TPopupMenu ---

namespace {

bool PopupHook(TPopupMenu* menu, TControl* component, const TPoint& screenPos) {
  if (menu == nullptr || !menu->AutoPopup) return false;
  menu->PopupComponent = component;
  if (component != nullptr) menu->FreeNotification(component);
  menu->Popup(screenPos.x, screenPos.y);
  return true;
}

bool ShortCutHook(TPopupMenu* menu, WORD key, TShiftState shift) {
  return menu != nullptr && menu->IsShortCut(key, shift);
}

}  // namespace

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) { SetPopupMenuHooks(&PopupHook, &ShortCutHook); }

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::DoPopup() {
  if (OnPopup) OnPopup(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == PopupComponent) PopupComponent = nullptr;
}
