// What the property dialogs rely on of the standard controls: which changes
// made in code fire events, focus leaving an edit for a button, a modal form
// that an OK handler keeps open, the order of a form's components and the
// grayed state of a check box.

#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/RadioGroup.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/vcl/stdctrls/StdCtrlsTestSupport.h"

namespace {

class TSemanticsForm : public TForm {
 public:
  explicit TSemanticsForm(TComponent* owner) : TForm(owner) {
    SetBounds(0, 0, 320, 200);
    edit = Make<TEdit>("edit", 10, 10);
    check = Make<TCheckBox>("check", 10, 40);
    radio = Make<TRadioButton>("radio", 10, 70);
    combo = Make<TComboBox>("combo", 150, 10);
    combo->Items()->Add("one");
    combo->Items()->Add("two");
    ok = Make<TButton>("ok", 10, 130);
    ok->ModalResult = mrOk;
  }
  std::string ClassName() const override { return "TSemanticsForm"; }

  template <class T>
  T* Make(const std::string& name, int x, int y) {
    T* control = new T(this);
    control->SetName(name);
    control->SetParent(this);
    control->SetBounds(x, y, 120, 24);
    return control;
  }

  TEdit* edit;
  TCheckBox* check;
  TRadioButton* radio;
  TComboBox* combo;
  TButton* ok;
};

}  // namespace

class DialogSemanticsTest : public StdCtrlsTest {};

// One change made in code a row: whether the event the dialogs listen to fires.
TEST_F(DialogSemanticsTest, ChangesMadeInCodeFireTheEventsTheDialogsCountOn) {
  struct Row {
    const char* what;
    std::function<void(TSemanticsForm&)> change;
    const char* expected;
  };
  const Row rows[] = {
      {"edit text", [](TSemanticsForm& f) { f.edit->SetText("12"); }, "edit.Change"},
      {"edit same text", [](TSemanticsForm& f) { f.edit->SetText(""); }, ""},
      {"check box checked", [](TSemanticsForm& f) { f.check->SetChecked(true); }, "check.Click"},
      {"check box grayed", [](TSemanticsForm& f) { f.check->SetState(cbGrayed); }, "check.Click"},
      {"radio checked", [](TSemanticsForm& f) { f.radio->SetChecked(true); }, "radio.Click"},
      {"combo item index", [](TSemanticsForm& f) { f.combo->SetItemIndex(1); }, ""},
  };
  for (const Row& row : rows) {
    TSemanticsForm form(nullptr);
    EventLog log;
    form.edit->OnChange = [&](TObject*) { log.Add("edit.Change"); };
    form.check->OnClick = [&](TObject*) { log.Add("check.Click"); };
    form.radio->OnClick = [&](TObject*) { log.Add("radio.Click"); };
    form.combo->OnChange = [&](TObject*) { log.Add("combo.Change"); };
    form.combo->OnClick = [&](TObject*) { log.Add("combo.Click"); };
    row.change(form);
    EXPECT_EQ(log.Joined(), row.expected) << row.what;
  }
}

TEST_F(DialogSemanticsTest, AGrayedCheckBoxIsNotChecked) {
  TSemanticsForm form(nullptr);
  form.check->AllowGrayed = true;
  form.check->SetState(cbGrayed);
  EXPECT_FALSE(form.check->Checked());
  EXPECT_EQ(form.check->State(), cbGrayed);
}

// Tabbing out of an edit and clicking a button both leave the edit: OnExit
// comes before the button's click, so a value normalised on exit is read.
TEST_F(DialogSemanticsTest, LeavingAnEditByTabOrByAButtonClickFiresOnExitFirst) {
  for (bool byClick : {false, true}) {
    TSemanticsForm form(nullptr);
    EventLog log;
    form.edit->OnExit = [&](TObject*) { log.Add("edit.Exit"); };
    form.ok->OnClick = [&](TObject*) { log.Add("ok.Click"); };
    Driver::OnModal("TSemanticsForm", [&](TCustomForm&) {
      Driver::Focus(form.edit);
      if (byClick)
        Driver::Click(form.ok);
      else
        Driver::PressKey(VK_TAB);
      return mrCancel;
    });
    form.ShowModal();
    EXPECT_EQ(log.Joined(), byClick ? "edit.Exit ok.Click" : "edit.Exit") << byClick;
  }
}

// An OK handler that finds a fault sets ModalResult back to 0: the form stays
// open for the next answer.
TEST_F(DialogSemanticsTest, ModalResultZeroKeepsAModalFormOpen) {
  TSemanticsForm form(nullptr);
  int refusals = 0;
  form.ok->OnClick = [&](TObject*) {
    if (refusals++ == 0) form.ModalResult = mrNone;
  };
  int rounds = 0;
  Driver::OnModal("TSemanticsForm", [&](TCustomForm&) {
    ++rounds;
    Driver::Click(form.ok);
    return mrNone;
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(rounds, 2);
  EXPECT_EQ(refusals, 2);
}

TEST_F(DialogSemanticsTest, ComponentsStandInCreationOrder) {
  TSemanticsForm form(nullptr);
  std::string names;
  for (int i = 0; i < form.ComponentCount(); ++i) names += form.Components(i)->Name() + " ";
  EXPECT_EQ(names, "edit check radio combo ok ");
}
