// The host's scripted answers: "WHAT=REPLY[+CHECKBOX...]" answers a message
// box whose text holds WHAT with the reply's button (or, when the box has no
// such button, the one that declines what it asks, never its default Yes: the
// answers' scope tells it as an answer that answered nothing, and that the
// run is to stop), and a modal form of class WHAT by ticking the
// named check boxes and clicking the button captioned with the reply; every
// question asked is listed with its answer and who gave it.

#include <gtest/gtest.h>

#include <sstream>

#include "host/sim/HostAnswers.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/MessageDialog.h"
#include "platform/win/MessageBox.h"

namespace {

// A question form as a plug-in shows one: Yes gives mrOk, No mrCancel.
class TQuestionForm : public TForm {
 public:
  explicit TQuestionForm(TComponent* owner, TModalResult noResult = mrCancel) : TForm(owner) {
    SetCaption("Question");
    SetBounds(0, 0, 300, 150);
    cbAskNextTime = MakeControl<TCheckBox>("cbAskNextTime", 10);
    btnYes = MakeControl<TButton>("btnYes", 60);
    btnYes->SetCaption("&Yes");
    btnYes->ModalResult = mrOk;
    btnNo = MakeControl<TButton>("btnNo", 100);
    btnNo->SetCaption("&No");
    btnNo->ModalResult = noResult;
    (new TMenuItem(this))->SetName("mnuAskAgain");
  }
  std::string ClassName() const override { return "TQuestionForm"; }
  TCheckBox* cbAskNextTime;
  TButton* btnYes;
  TButton* btnNo;

 private:
  template <class C>
  C* MakeControl(const char* name, int top) {
    auto* control = new C(this);
    control->SetName(name);
    control->SetParent(this);
    control->SetBounds(10, top, 120, 25);
    return control;
  }
};

class HostAnswers : public ::testing::Test {
 protected:
  void SetUp() override { Driver::Reset(); }
  void TearDown() override {
    Application->ProcessMessages();
    Driver::Reset();
  }
  static std::vector<HostAnswer> Parse(const std::vector<std::string>& texts) {
    std::vector<HostAnswer> answers;
    std::ostringstream err;
    EXPECT_TRUE(ParseHostAnswers(texts, answers, err)) << err.str();
    return answers;
  }
};

TEST_F(HostAnswers, TextsAreParsedOrRefusedWithTheirFault) {
  const std::vector<HostAnswer> answers =
      Parse({"compile web pages=YES", "TFormSimpleMessage=no+cbAskNextTime+cbOther"});
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0].what, "compile web pages");
  EXPECT_EQ(answers[0].reply, "yes");
  EXPECT_TRUE(answers[0].checkBoxes.empty());
  EXPECT_EQ(answers[1].reply, "no");
  EXPECT_EQ(answers[1].checkBoxes, (std::vector<std::string>{"cbAskNextTime", "cbOther"}));

  const struct {
    const char* text;
    const char* fault;
  } refused[] = {
      {"yes",
       "--answer takes WHAT=REPLY (a part of the question's text or a form's class, then yes, no, ok or "
       "cancel), not \"yes\"\n"},
      {"=yes", "--answer takes WHAT=REPLY"},
      {"x=", "--answer takes WHAT=REPLY"},
      {"x=maybe", "--answer x=maybe: the reply is yes, no, ok or cancel, not \"maybe\"\n"},
      {"x=yes+a++b", "--answer x=yes+a++b: a check box's name is empty\n"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.text);
    std::vector<HostAnswer> none;
    std::ostringstream err;
    EXPECT_FALSE(ParseHostAnswers({r.text}, none, err));
    EXPECT_EQ(err.str().rfind(r.fault, 0), 0u) << err.str();
  }
}

TEST_F(HostAnswers, MessageBoxesGetTheReplyWhenTheyHaveTheButton) {
  const struct {
    const char* answer;
    UINT type;
    int expected;
    const char* unused = "";           // the scope's line for an answer that answered nothing
    TMsgDlgButtons dialogButtons = 0;  // a message dialog with these buttons instead of a box
  } cases[] = {
      {"compile=no", MB_YESNO | MB_TOPMOST, IDNO},
      {"compile=yes", MB_YESNO | MB_DEFBUTTON2, IDYES},
      {"compile=cancel", MB_OKCANCEL, IDCANCEL},
      {"compile=yes", MB_OK, IDOK,  // no Yes button: the only one
       "--answer \"compile=yes\" answered no question: the message box \"Do you want to compile web pages?\" has "
       "no Yes button"},
      {"something else=no", MB_YESNO, IDYES, "--answer \"something else=no\" answered no question"},
      {"compile=no", 0, mrNo, "", mbYes | mbNo},
      {"compile=cancel+cbAskNextTime", MB_YESNO, IDNO,  // no Cancel button: not the default Yes
       "--answer \"compile=cancel+cbAskNextTime\" answered no question: the message box \"Do you want to compile web "
       "pages?\" has no Cancel button; the message box \"Do you want to compile web pages?\" has no check box "
       "cbAskNextTime"},
      {"compile=yes+cbAskNextTime", MB_YESNO, IDNO,  // a box has no check box: not its Yes either
       "--answer \"compile=yes+cbAskNextTime\" answered no question: the message box \"Do you want to compile web "
       "pages?\" has no check box cbAskNextTime"},
      {"compile=no", MB_ABORTRETRYIGNORE, IDABORT,
       "--answer \"compile=no\" answered no question: the message box \"Do you want to compile web pages?\" "
       "has no No button"},
      {"compile=cancel", 0, mrNo,  // no Cancel button: No
       "--answer \"compile=cancel\" answered no question: the message box \"Do you want to compile web pages?\" "
       "has no Cancel button",
       mbYes | mbNo},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    const std::size_t before = Driver::MessageBoxes().size();
    HostAnswerScope scope(Parse({c.answer}));
    EXPECT_EQ(c.dialogButtons != 0 ? MessageDlg("Do you want to compile web pages?", mtConfirmation, c.dialogButtons, 0)
                                   : MessageBox(nullptr, "Do you want to compile web pages?", "Tarnwell", c.type),
              c.expected);
    EXPECT_EQ(scope.Faults(), *c.unused != 0 ? std::vector<std::string>{c.unused} : std::vector<std::string>{});
    EXPECT_EQ(scope.Failed(), std::string(c.unused).find(" has no ") != std::string::npos);
    const std::vector<std::string> asked = QuestionsAskedSince(before, Driver::ModalLog().size());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find(": \"Do you want to compile web pages?\" answered "), std::string::npos) << asked[0];
  }
  // The scope is over: the handlers are gone.
  EXPECT_EQ(MessageBox(nullptr, "Do you want to compile web pages?", "Tarnwell", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_NE(QuestionsAskedSince(Driver::MessageBoxes().size() - 1, 0).front().find("answered No (default)"),
            std::string::npos);
}

TEST_F(HostAnswers, AModalFormGetsItsCheckBoxesTickedAndTheButtonClickedOrIsDeclined) {
  const struct {
    const char* answer;
    int result;
    bool ticked;
    const char* line;
    const char* fault = nullptr;  // after the scope's line "--answer "ANSWER" answered no question"
    TModalResult noResult = mrCancel;
  } cases[] = {
      {"TQuestionForm=yes+cbAskNextTime", mrOk, true, "closed with result 1 (--answer)"},
      {"TQuestionForm=no", mrCancel, false, "closed with result 2 (--answer)"},
      {"TOtherForm=yes", mrCancel, false, "closed with result 2 (default)", ""},
      // Declined: the result of No (not of the Yes button), nothing ticked.
      {"TQuestionForm=ok", mrNo, false, "closed with result 7 (--answer)", ": the form TQuestionForm has no OK button",
       mrNo},
      {"TQuestionForm=yes+cbAskNextTime+DisableTdi1+mnuAskAgain", mrCancel, false, "closed with result 2 (--answer)",
       ": the form TQuestionForm has no check box DisableTdi1; the form TQuestionForm has no check box mnuAskAgain "
       "(mnuAskAgain is a TMenuItem)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    TQuestionForm form(nullptr, c.noResult);
    const std::size_t modals = Driver::ModalLog().size();
    HostAnswerScope scope(Parse({c.answer}));
    EXPECT_EQ(form.ShowModal(), c.result);
    EXPECT_EQ(form.cbAskNextTime->Checked(), c.ticked);
    const std::vector<std::string> asked = QuestionsAskedSince(Driver::MessageBoxes().size(), modals);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::string("modal form TQuestionForm \"Question\" ") + c.line);
    const std::string line = "--answer \"" + std::string(c.answer) + "\" answered no question";
    EXPECT_EQ(scope.Faults(),
              c.fault != nullptr ? std::vector<std::string>{line + c.fault} : std::vector<std::string>{});
    EXPECT_EQ(scope.Failed(), c.fault != nullptr && *c.fault != 0);
  }
}

}  // namespace
