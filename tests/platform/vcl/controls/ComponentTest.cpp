#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/WinControl.h"

namespace {

std::vector<std::string>* g_freed = nullptr;

// A component that notes when it is freed and what it was told.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
  ~TProbe() override {
    if (g_freed) g_freed->push_back(Name());
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    told.push_back((op == opInsert ? "+" : "-") + (c ? c->Name() : std::string("?")));
  }
  std::vector<std::string> told;
};

// A probe that declines its owner's notifications of its siblings.
class TQuietProbe : public TProbe {
 public:
  TQuietProbe(TComponent* owner, const std::string& name) : TProbe(owner, name) { DeclineOwnerNotifications(); }
};

class TProbeControl : public TWinControl {
 public:
  TProbeControl(TComponent* owner, const std::string& name) : TWinControl(owner) { SetName(name); }
  ~TProbeControl() override {
    if (g_freed) g_freed->push_back(Name());
  }
};

class TProbeGraphic : public TGraphicControl {
 public:
  TProbeGraphic(TComponent* owner, const std::string& name) : TGraphicControl(owner) { SetName(name); }
  ~TProbeGraphic() override {
    if (g_freed) g_freed->push_back(Name());
  }
};

class ComponentTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    g_freed = &freed;
  }
  void TearDown() override {
    g_freed = nullptr;
    ControlsTest::TearDown();
  }
  std::vector<std::string> freed;
};

TEST_F(ComponentTest, OwnedComponentsInCreationOrderAndFreedLastFirst) {
  auto* owner = new TProbe(nullptr, "Owner");
  auto* a = new TProbe(owner, "A");
  auto* b = new TProbe(owner, "B");
  auto* c = new TProbe(owner, "C");
  ASSERT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(owner->Components(2), c);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(b->Owner(), owner);
  EXPECT_THROW(owner->Components(3), EComponentError);
  EXPECT_THROW(owner->Components(-1), EComponentError);
  delete owner;
  EXPECT_EQ(freed, (std::vector<std::string>{"Owner", "C", "B", "A"}));
}

TEST_F(ComponentTest, FreeingAnOwnedComponentTakesItOutOfTheList) {
  auto* owner = new TProbe(nullptr, "Owner");
  new TProbe(owner, "A");
  auto* b = new TProbe(owner, "B");
  new TProbe(owner, "C");
  owner->told.clear();
  delete b;
  ASSERT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(1)->Name(), "C");
  // The owner and every sibling hear of it.
  EXPECT_EQ(owner->told, std::vector<std::string>{"-B"});
  EXPECT_EQ(static_cast<TProbe*>(owner->Components(0))->told.back(), "-B");
  // A sibling that declined hears of no other, but of what it asked for.
  auto* quiet = new TQuietProbe(owner, "Q");
  auto* d = new TProbe(owner, "D");
  quiet->FreeNotification(d);
  delete owner->Components(1);
  EXPECT_EQ(static_cast<TProbe*>(owner->Components(0))->told.back(), "-C");
  delete d;
  EXPECT_EQ(quiet->told, std::vector<std::string>{"-D"});
  EXPECT_EQ(owner->ComponentCount(), 2);
  delete owner;
}

TEST_F(ComponentTest, NamesAreIdentifiersUniqueInTheOwnerLetterCaseAside) {
  TProbe owner(nullptr, "Owner");
  auto* a = new TProbe(&owner, "btnOk");
  EXPECT_EQ(owner.FindComponent("BTNOK"), a);
  EXPECT_EQ(owner.FindComponent("nothing"), nullptr);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  EXPECT_THROW(new TProbe(&owner, "BtnOK"), EComponentError);
  auto* b = new TProbe(&owner, "");
  EXPECT_THROW(b->SetName("btnok"), EComponentError);
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  b->SetName("_ok2");
  EXPECT_EQ(b->Name(), "_ok2");
  a->SetName("BTNOK");  // its own name in another case
  EXPECT_EQ(a->Name(), "BTNOK");
  // A nameless component may be many times over; the one whose name was
  // refused in its constructor left the list again.
  new TProbe(&owner, "");
  EXPECT_EQ(owner.ComponentCount(), 3);
}

TEST_F(ComponentTest, InsertAndRemoveMoveOwnershipAndNotify) {
  TProbe first(nullptr, "First");
  TProbe second(nullptr, "Second");
  auto* c = new TProbe(&first, "C");
  second.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(first.told.back(), "-C");
  EXPECT_EQ(second.told.back(), "+C");
  // A clash of names is refused before anything moves.
  auto* d = new TProbe(&first, "C");
  EXPECT_THROW(second.InsertComponent(d), EComponentError);
  EXPECT_EQ(d->Owner(), &first);
  second.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  delete c;
}

TEST_F(ComponentTest, FreeNotificationTellsBothSides) {
  auto* menu = new TProbe(nullptr, "Menu");
  auto* user = new TProbe(nullptr, "User");
  user->FreeNotification(menu);
  delete menu;
  EXPECT_EQ(user->told, std::vector<std::string>{"-Menu"});
  auto* other = new TProbe(nullptr, "Other");
  other->FreeNotification(user);
  other->RemoveFreeNotification(user);
  delete user;
  EXPECT_TRUE(other->told.empty());
  delete other;
}

TEST_F(ComponentTest, AParentFreesItsChildrenBeforeTheOwnerFreesTheRest) {
  // The form owns everything; the panel is the parent of two controls.
  auto* form = new TForm(nullptr);
  form->SetName("Form");
  auto* panel = new TProbeControl(form, "Panel");
  panel->SetParent(form);
  auto* label = new TProbeGraphic(form, "Label");
  label->SetParent(panel);
  auto* edit = new TProbeControl(form, "Edit");
  edit->SetParent(panel);
  auto* timer = new TProbe(form, "Timer");
  (void)timer;
  auto* loose = new TProbeControl(form, "Loose");  // owned, no parent
  (void)loose;
  delete form;
  // Children go with their parent (its destructor starts first, then the
  // windowed children before the graphic ones, top first), then the owner
  // frees what remains, the last made first.
  EXPECT_EQ(freed, (std::vector<std::string>{"Panel", "Edit", "Label", "Loose", "Timer"}));
}

TEST_F(ComponentTest, ControlCaptionFollowsItsNameUntilSet) {
  TProbeControl control(nullptr, "");
  control.ControlStyle |= csSetCaption;
  control.SetName("Panel1");
  EXPECT_EQ(control.Caption(), "Panel1");
  control.SetCaption("Other");
  control.SetName("Panel2");
  EXPECT_EQ(control.Caption(), "Other");
}

TEST_F(ComponentTest, ClosuresCompareByObjectAndMethod) {
  struct Receiver {
    void A(TObject*) { ++a; }
    void B(TObject*) { ++b; }
    int a = 0, b = 0;
  } r1, r2;
  TNotifyEvent none;
  EXPECT_TRUE(none == nullptr);
  EXPECT_FALSE(static_cast<bool>(none));
  EXPECT_THROW(none(nullptr), std::bad_function_call);
  TNotifyEvent e1(&r1, &Receiver::A);
  TNotifyEvent e2 = {&r1, &Receiver::A};
  EXPECT_TRUE(e1 == e2);
  EXPECT_FALSE(e1 == TNotifyEvent(&r1, &Receiver::B));
  EXPECT_FALSE(e1 == TNotifyEvent(&r2, &Receiver::A));
  EXPECT_FALSE(e1 == nullptr);
  EXPECT_EQ(e1.Data(), &r1);
  e1(nullptr);
  EXPECT_EQ(r1.a, 1);
  int calls = 0;
  TNotifyEvent lambda = [&calls](TObject*) { ++calls; };
  TNotifyEvent copy = lambda;
  EXPECT_TRUE(copy == lambda);
  EXPECT_FALSE(copy == TNotifyEvent([&calls](TObject*) { ++calls; }));
  copy(nullptr);
  EXPECT_EQ(calls, 1);
  copy = nullptr;
  EXPECT_TRUE(copy == nullptr);
  // A closure with reference parameters hands changes back.
  TKeyPressEvent press = [](TObject*, char& key) { key = 0; };
  char key = 'x';
  press(nullptr, key);
  EXPECT_EQ(key, 0);
}

TEST_F(ComponentTest, ClassNamesAreTheMostDerivedWithoutNamespaces) {
  TProbe probe(nullptr, "");
  EXPECT_EQ(probe.ClassName(), "TProbe");
  TForm form(nullptr);
  EXPECT_EQ(form.ClassName(), "TForm");
}

}  // namespace
