#pragma once
// TComponent: the owner tree of the class library.
//
// A component has an owner (or none), a name unique among the components of
// its owner, a Tag, and the list of the components it owns in the order they
// were created. Freeing a component frees what it owns, the last created
// first; before that, every component that asked for a free notification,
// and the owner with everything it owns, are told through Notification.
//
// Destruction: C++ runs a derived class's destructor before the base
// classes', so a handler that belongs to the derived part (a form's
// OnDestroy) must run before it. BeforeDestruction does that: the owner calls
// it on each owned component before deleting it, Release and caFree go
// through it, and a class with such handlers calls it first thing in its own
// destructor when it may be deleted directly.

#include <string>
#include <vector>

#include "platform/vcl/Closure.h"
#include "platform/vcl/Object.h"
#include "platform/vcl/SysUtilsException.h"

class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

// The event of most components: "something happened to Sender".
using TNotifyEvent = Closure<void(TObject* Sender)>;

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
  csLoading = 1,
  csReading = 2,
  csWriting = 4,
  csDestroying = 8,
  csDesigning = 16,
};
using TComponentState = unsigned;

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }

  const std::string& Name() const { return name_; }
  // An empty name or an identifier (a letter or '_', then letters, digits
  // and '_') that no other component of the owner has (letter case aside);
  // otherwise EComponentError.
  virtual void SetName(const std::string& name);

  int Tag = 0;

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // EComponentError for an index outside 0 .. ComponentCount() - 1.
  TComponent* Components(int index) const;
  // The position in the owner's list (-1 without owner).
  int ComponentIndex() const;
  // The owned component of that name (letter case aside); null when none.
  TComponent* FindComponent(const std::string& name) const;

  // Takes `component` over from its owner (appended to the end).
  void InsertComponent(TComponent* component);
  // Lets `component` go: it has no owner afterwards.
  void RemoveComponent(TComponent* component);
  // Frees every owned component, the last one first.
  void DestroyComponents();

  // Both components are told (Notification with opRemove) when the other one
  // is freed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TComponentState ComponentState() const { return state_; }
  // Marks this component and everything it owns as being destroyed.
  void Destroying();

  // Runs while the whole object still stands, before the destructors; runs
  // once. The base marks the component as being destroyed.
  virtual void BeforeDestruction();
  bool BeforeDestructionDone() const { return beforeDestructionDone_; }

  // Told when `component` is inserted into or removed from this component's
  // owned list, or freed after FreeNotification. The base passes the news
  // on to every owned component that did not decline it
  // (DeclineOwnerNotifications).
  virtual void Notification(TComponent* component, TOperation operation);

 protected:
  // From now on this component (and what it owns) is not told of the
  // insertion or removal of its owner's other components; free
  // notifications still come. For components that keep no reference to
  // their siblings and come in large numbers: telling each of n siblings of
  // each insertion costs n squared.
  void DeclineOwnerNotifications();
  // Checks a new name of `component` (one of ours, or this component itself
  // when it has no owner).
  virtual void ValidateRename(TComponent* component, const std::string& currentName, const std::string& newName);
  void SetComponentStateFlag(TComponentStateFlag flag, bool on);

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<TComponent*> components_;
  // The owned components that hear this component's notifications, in the
  // order of components_.
  std::vector<TComponent*> hearers_;
  bool hearsOwner_ = true;
  unsigned long long componentsVersion_ = 0;  // changes with every insert and remove
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_ = 0;
  bool beforeDestructionDone_ = false;
};

// Frees a component as the owner tree does: BeforeDestruction, then the
// destructor (which takes it off its owner and parent). The owner tree (an
// owner freeing what it owns, a parent its children, a menu item its
// subitems, a form released) frees components only through this.
void FreeComponent(TComponent* component);

// Compares two names as component names compare: ASCII letter case aside.
bool SameComponentName(const std::string& a, const std::string& b);
bool IsValidIdent(const std::string& name);
