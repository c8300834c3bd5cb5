#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/WinControl.h"
#include "platform/win/VirtualKeys.h"

namespace {

// A form that counts the help requests its Dispatch sees.
class THelpForm : public TForm {
 public:
  using TForm::TForm;
  int helpRequests = 0;
  void Dispatch(void* message) override {
    if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
      ++helpRequests;
      return;
    }
    TForm::Dispatch(message);
  }
};

class KeyboardFocusTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = new THelpForm(nullptr);
    form->SetName("Form");
    panel = Win<TWinControl>("panel", form);
    panel->SetBounds(0, 0, 200, 100);
    edit1 = Win<TFakeEdit>("edit1", panel);
    edit2 = Win<TFakeEdit>("edit2", panel);
    edit2->SetTop(30);
    edit3 = Win<TFakeEdit>("edit3", form);
    edit3->SetTop(150);
    for (TWinControl* c : {static_cast<TWinControl*>(panel), static_cast<TWinControl*>(edit1),
                           static_cast<TWinControl*>(edit2), static_cast<TWinControl*>(edit3)}) {
      c->OnEnter = [this, c](TObject*) { log.Add(c->Name() + ".Enter"); };
      c->OnExit = [this, c](TObject*) { log.Add(c->Name() + ".Exit"); };
    }
  }
  void TearDown() override {
    delete form;
    ControlsTest::TearDown();
  }
  template <class T>
  T* Win(const std::string& name, TWinControl* parent) {
    auto* c = new T(form);
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }
  THelpForm* form = nullptr;
  TWinControl* panel = nullptr;
  TFakeEdit* edit1 = nullptr;
  TFakeEdit* edit2 = nullptr;
  TFakeEdit* edit3 = nullptr;
  EventLog log;
};

TEST_F(KeyboardFocusTest, ShowingFocusesTheFirstControlInTabOrder) {
  form->OnActivate = [this](TObject*) { log.Add("form.Activate"); };
  form->OnShow = [this](TObject*) { log.Add("form.Show"); };
  form->Show();
  EXPECT_EQ(log.Joined(), "form.Show form.Activate panel.Enter edit1.Enter");
  EXPECT_TRUE(edit1->Focused());
  EXPECT_EQ(Screen->ActiveControl(), edit1);
  EXPECT_EQ(Screen->ActiveForm(), form);
  EXPECT_EQ(form->ActiveControl(), edit1);
}

TEST_F(KeyboardFocusTest, FocusMovesExitInnermostFirstAndEnterOutermostFirst) {
  form->Show();
  log.Clear();
  edit3->SetFocus();
  EXPECT_EQ(log.Joined(), "edit1.Exit panel.Exit edit3.Enter");
  log.Clear();
  edit2->SetFocus();
  EXPECT_EQ(log.Joined(), "edit3.Exit panel.Enter edit2.Enter");
  log.Clear();
  edit1->SetFocus();  // inside the same panel
  EXPECT_EQ(log.Joined(), "edit2.Exit edit1.Enter");
  log.Clear();
  // A click on an edit focuses it.
  Driver::Click(edit3);
  EXPECT_EQ(log.Joined(), "edit1.Exit panel.Exit edit3.Enter");
  EXPECT_TRUE(edit3->Focused());
  EXPECT_FALSE(edit1->Focused());
}

TEST_F(KeyboardFocusTest, TabFollowsTheTabOrderAcrossContainers) {
  form->Show();
  Driver::PressKey(VK_TAB);
  EXPECT_TRUE(edit2->Focused());
  Driver::PressKey(VK_TAB);
  EXPECT_TRUE(edit3->Focused());
  Driver::PressKey(VK_TAB);  // wraps around
  EXPECT_TRUE(edit1->Focused());
  Driver::PressKey(VK_TAB, ssShift);
  EXPECT_TRUE(edit3->Focused());
  // TabOrder reorders; controls without TabStop are skipped by Tab.
  edit2->SetTabOrder(0);
  EXPECT_EQ(edit1->TabOrder(), 1);
  edit1->SetTabStop(false);
  edit1->SetFocus();
  Driver::PressKey(VK_TAB);
  EXPECT_TRUE(edit3->Focused());
  Driver::PressKey(VK_TAB);
  EXPECT_TRUE(edit2->Focused());
  // Tab moved the focus: no character reached the edits.
  EXPECT_EQ(edit1->Text() + edit2->Text() + edit3->Text(), "");
}

TEST_F(KeyboardFocusTest, AnExitHandlerMayKeepTheFocus) {
  form->Show();
  edit1->OnExit = [this](TObject*) {
    log.Add("edit1.Exit");
    edit1->SetFocus();  // the entry is not valid yet
  };
  log.Clear();
  edit3->SetFocus();
  EXPECT_TRUE(edit1->Focused());
  EXPECT_EQ(form->ActiveControl(), edit1);
  EXPECT_EQ(log.Joined(), "edit1.Exit edit1.Enter");
}

TEST_F(KeyboardFocusTest, HidingOrFreeingTheFocusedControl) {
  form->Show();
  log.Clear();
  edit1->Hide();  // its exit fires, the focus goes to the form
  EXPECT_EQ(log.Joined(), "edit1.Exit panel.Exit");
  EXPECT_TRUE(form->Focused());
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_THROW(edit1->SetFocus(), EInvalidOperation);
  edit2->SetFocus();
  log.Clear();
  delete edit2;  // a freed control hears nothing; its container does
  edit2 = nullptr;
  EXPECT_EQ(log.Joined(), "panel.Exit");
  EXPECT_EQ(Screen->ActiveControl(), nullptr);
  edit3->SetFocus();
  edit3->SetEnabled(false);
  EXPECT_TRUE(form->Focused());
}

TEST_F(KeyboardFocusTest, TypingAndKeyEvents) {
  form->Show();
  std::string keys;
  edit1->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
    keys += "D" + std::to_string(key) + ((shift & ssCtrl) ? "c" : "") + ((shift & ssShift) ? "s" : "");
    if (shift & ssCtrl) {
      EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    }
  };
  edit1->OnKeyPress = [&](TObject*, char& key) { keys += "P" + std::to_string(static_cast<unsigned char>(key)); };
  edit1->OnKeyUp = [&](TObject*, WORD& key, TShiftState) { keys += "U" + std::to_string(key); };
  Driver::TypeText("Ab1!");
  EXPECT_EQ(edit1->Text(), "Ab1!");
  EXPECT_EQ(keys, "D65sP65U65D66P98U66D49P49U49D49sP33U49");
  keys.clear();
  Driver::PressKey('D', ssCtrl);  // Ctrl+D types character 4
  EXPECT_EQ(keys, "D68cP4U68");
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);  // released again
  keys.clear();
  Driver::PressKey(VK_LEFT);  // the edit wants the arrows
  EXPECT_EQ(keys, "D37U37");
  EXPECT_TRUE(edit1->Focused());
}

TEST_F(KeyboardFocusTest, DialogKeysTakenBeforeTheControlSeesThem) {
  form->Show();
  bool editSawTab = false;
  edit1->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { editSawTab = editSawTab || key == VK_TAB; };
  EXPECT_TRUE(Driver::KeyDown(VK_TAB));  // the form moved the focus
  Driver::KeyUp(VK_TAB);
  EXPECT_FALSE(editSawTab);
  EXPECT_TRUE(edit2->Focused());
  EXPECT_FALSE(Driver::KeyDown('A'));
  Driver::KeyUp('A');
  // A key sent to a given control goes there, whatever has the focus.
  Driver::PressKey('Z', ssShift, edit3);
  EXPECT_EQ(edit3->Text(), "Z");
  EXPECT_EQ(edit2->Text(), "");
  EXPECT_EQ(Driver::KeyToChar('Q', ssCtrl), 17);
  EXPECT_EQ(Driver::KeyToChar('7', ssShift), '&');
  EXPECT_EQ(Driver::KeyToChar(VK_OEM_PERIOD, 0), '.');
  EXPECT_EQ(Driver::KeyToChar('A', ssAlt), 0);
  EXPECT_EQ(Driver::KeyToChar(VK_F2, 0), 0);
}

TEST_F(KeyboardFocusTest, ConsumedKeysAndKeyPreview) {
  form->Show();
  std::string seen;
  edit1->OnKeyPress = [&](TObject*, char& key) {
    seen += std::string("edit:") + key + " ";
    if (key == 'q') key = 0;  // consumed: no default handling
  };
  Driver::TypeText("qw");
  EXPECT_EQ(edit1->Text(), "w");
  form->KeyPreview = true;
  form->OnKeyPress = [&](TObject*, char& key) {
    seen += std::string("form:") + key + " ";
    if (key == 'x') key = 0;  // the form takes it first
  };
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    if (key == VK_F5) key = 0;
  };
  bool editSawF5 = false;
  edit1->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { editSawF5 = editSawF5 || key == VK_F5; };
  seen.clear();
  Driver::TypeText("xy");
  EXPECT_EQ(seen, "form:x form:y edit:y ");
  EXPECT_EQ(edit1->Text(), "wy");
  Driver::PressKey(VK_F5);
  EXPECT_FALSE(editSawF5);
}

TEST_F(KeyboardFocusTest, EnterAndEscapeGoToTheDefaultAndCancelButtons) {
  std::string pressed;
  auto* ok = Win<TFakeButton>("ok", form);
  ok->Default = true;
  ok->OnClick = [&](TObject*) { pressed += "ok "; };
  auto* cancel = Win<TFakeButton>("cancel", form);
  cancel->Cancel = true;
  cancel->OnClick = [&](TObject*) { pressed += "cancel "; };
  form->Show();
  bool editSawEnter = false;
  edit1->OnKeyPress = [&](TObject*, char& key) { editSawEnter = editSawEnter || key == 13; };
  Driver::PressKey(VK_RETURN);
  Driver::PressKey(VK_ESCAPE);
  EXPECT_EQ(pressed, "ok cancel ");
  EXPECT_FALSE(editSawEnter);
  // Without a default button the edit gets Enter (and may consume it).
  ok->Default = false;
  Driver::PressKey(VK_RETURN);
  EXPECT_TRUE(editSawEnter);
  EXPECT_EQ(pressed, "ok cancel ");
}

TEST_F(KeyboardFocusTest, ArrowsAControlDoesNotWantMoveTheFocusAndKeyUpStillArrives) {
  // A surface with no use for arrows, alone among focusable siblings (as
  // the designer's scroll box): the arrow press keeps the focus where it is
  // and the release reaches it.
  auto* holder = Win<TWinControl>("holder", form);
  holder->SetBounds(200, 0, 100, 100);
  auto* surface = Win<TWinControl>("surface", holder);
  surface->SetTabStop(true);
  surface->SetBounds(0, 0, 100, 100);
  form->Show();
  surface->SetFocus();
  std::string keys;
  surface->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys += "D" + std::to_string(key); };
  surface->OnKeyUp = [&](TObject*, WORD& key, TShiftState) { keys += "U" + std::to_string(key); };
  Driver::PressKey(VK_RIGHT);
  EXPECT_EQ(keys, "U39");
  EXPECT_TRUE(surface->Focused());
}

TEST_F(KeyboardFocusTest, F1AsksTheFormForHelpUnlessConsumed) {
  form->Show();
  Driver::PressKey(VK_F1);
  EXPECT_EQ(form->helpRequests, 1);
  edit1->OnKeyDown = [](TObject*, WORD& key, TShiftState) {
    if (key == VK_F1) key = 0;
  };
  Driver::PressKey(VK_F1);
  EXPECT_EQ(form->helpRequests, 1);
}

TEST_F(KeyboardFocusTest, ActivatingAnotherFormFiresNoExit) {
  form->OnActivate = [this](TObject*) { log.Add("form.Activate"); };
  form->OnDeactivate = [this](TObject*) { log.Add("form.Deactivate"); };
  form->Show();
  auto* other = new TForm(nullptr);
  auto* otherEdit = new TFakeEdit(other);
  otherEdit->SetParent(other);
  other->OnActivate = [this](TObject*) { log.Add("other.Activate"); };
  other->OnDeactivate = [this](TObject*) { log.Add("other.Deactivate"); };
  log.Clear();
  other->Show();
  EXPECT_EQ(log.Joined(), "form.Deactivate other.Activate");
  EXPECT_TRUE(otherEdit->Focused());
  EXPECT_EQ(form->ActiveControl(), edit1);  // remembered
  log.Clear();
  // A click into the first form activates it again; its focus comes back.
  Driver::Click(form, 250, 150);
  EXPECT_EQ(log.Joined(), "other.Deactivate form.Activate");
  EXPECT_TRUE(edit1->Focused());
  log.Clear();
  other->SetFocus();
  other->Hide();  // the previous form takes over
  EXPECT_EQ(log.Joined(), "form.Deactivate other.Activate other.Deactivate form.Activate");
  delete other;
}

TEST_F(KeyboardFocusTest, ActiveControlOfAHiddenFormWaitsForItsShowing) {
  form->SetActiveControl(edit3);
  EXPECT_EQ(log.Joined(), "");
  form->Show();
  EXPECT_EQ(log.Joined(), "edit3.Enter");
  EXPECT_THROW(form->SetActiveControl(form), EInvalidOperation);
  TFakeEdit stranger(nullptr);
  EXPECT_THROW(form->SetActiveControl(&stranger), EInvalidOperation);
}

}  // namespace
