#include "platform/vcl/Component.h"

#include <algorithm>
#include <iterator>

#include "platform/vcl/SysUtils.h"

namespace {

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsAlnum(char c) { return IsAlpha(c) || (c >= '0' && c <= '9'); }

}  // namespace

bool SameComponentName(const std::string& a, const std::string& b) { return SameText(a, b); }

bool IsValidIdent(const std::string& name) {
  if (name.empty() || !IsAlpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), IsAlnum);
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked; they forget this component.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& theirs = other->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EComponentError("List index out of bounds (" + std::to_string(index) + ")");
  return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (owner_ == nullptr) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameComponentName(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError("'" + name + "' is not a valid component name");
  if (owner_ != nullptr)
    owner_->ValidateRename(this, name_, name);
  else
    ValidateRename(nullptr, name_, name);
  name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const std::string& currentName, const std::string& newName) {
  if (component == nullptr || newName.empty() || SameComponentName(currentName, newName)) return;
  TComponent* other = FindComponent(newName);
  if (other != nullptr && other != component) throw EComponentError("A component named " + newName + " already exists");
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr || component->owner_ == this) return;
  if (!component->name_.empty()) ValidateRename(component, std::string(), component->name_);
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  Insert(component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->owner_ != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  if (component->hearsOwner_) hearers_.push_back(component);
  ++componentsVersion_;
  component->owner_ = this;
}

namespace {

// Takes the item out of the list, searching from the end: the owner tree
// frees the last created first.
void EraseFromBack(std::vector<TComponent*>& list, TComponent* item) {
  auto it = std::find(list.rbegin(), list.rend(), item);
  if (it != list.rend()) list.erase(std::next(it).base());
}

}  // namespace

void TComponent::Remove(TComponent* component) {
  EraseFromBack(components_, component);
  if (component->hearsOwner_) EraseFromBack(hearers_, component);
  ++componentsVersion_;
  component->owner_ = nullptr;
}

void TComponent::DeclineOwnerNotifications() {
  if (!hearsOwner_) return;
  hearsOwner_ = false;
  if (owner_ != nullptr) EraseFromBack(owner_->hearers_, this);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* component = components_.back();
    Remove(component);
    FreeComponent(component);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) != freeNotifies_.end()) return;
  freeNotifies_.push_back(component);
  component->FreeNotification(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
  if (it == freeNotifies_.end()) return;
  freeNotifies_.erase(it);
  component->RemoveFreeNotification(this);
}

void TComponent::Destroying() {
  if ((state_ & csDestroying) != 0) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::BeforeDestruction() {
  if (beforeDestructionDone_) return;
  beforeDestructionDone_ = true;
  Destroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component != nullptr) {
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
    if (it != freeNotifies_.end()) freeNotifies_.erase(it);
  }
  // A handler may free or add components: walk a copy, skipping the ones
  // that left meanwhile.
  const std::vector<TComponent*> owned = hearers_;
  const unsigned long long version = componentsVersion_;
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
    if (componentsVersion_ != version && std::find(hearers_.begin(), hearers_.end(), *it) == hearers_.end()) continue;
    (*it)->Notification(component, operation);
  }
}

void TComponent::SetComponentStateFlag(TComponentStateFlag flag, bool on) {
  if (on)
    state_ |= flag;
  else
    state_ &= ~static_cast<unsigned>(flag);
}

void FreeComponent(TComponent* component) {
  if (component == nullptr) return;
  component->BeforeDestruction();
  delete component;
}
