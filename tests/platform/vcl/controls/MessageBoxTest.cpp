#include <gtest/gtest.h>

#include <stdexcept>

#include "TestSupport.h"
#include "platform/vcl/MessageDialog.h"
#include "platform/win/MessageBox.h"

namespace {

class MessageBoxTest : public ControlsTest {};

TEST_F(MessageBoxTest, UnansweredBoxesGiveEscapeOrTheDefaultButton) {
  struct Case {
    UINT flags;
    int answer;
  } cases[] = {
      {MB_OK | MB_ICONERROR | MB_TOPMOST, IDOK},
      {MB_OKCANCEL, IDCANCEL},
      {MB_YESNOCANCEL, IDCANCEL},
      {MB_RETRYCANCEL, IDCANCEL},
      {MB_YESNO | MB_TOPMOST, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON4, IDABORT},  // no fourth button: the first
  };
  for (const Case& c : cases) EXPECT_EQ(MessageBox(nullptr, "text", "Tarnwell", c.flags), c.answer) << c.flags;
  const auto log = MessageBoxLog();
  ASSERT_EQ(log.size(), std::size(cases));
  EXPECT_EQ(log[0].kind, MessageBoxRecord::Box);
  EXPECT_EQ(log[0].text, "text");
  EXPECT_EQ(log[0].caption, "Tarnwell");
  EXPECT_EQ(log[0].flags, MB_OK | MB_ICONERROR | MB_TOPMOST);
  EXPECT_EQ(log[0].answer, IDOK);
  EXPECT_FALSE(log[0].answeredByHandler);
}

TEST_F(MessageBoxTest, HandlersAnswerByAPartOfTheText) {
  int asked = 0;
  Driver::OnMessageBox("compile web pages", [&](const MessageBoxRecord& box) {
    ++asked;
    EXPECT_EQ(box.caption, "Tarnwell");
    EXPECT_EQ(box.flags, MB_YESNO | MB_TOPMOST);
    return IDNO;
  });
  const int later = Driver::AnswerMessageBox("web", IDYES);  // newer and matching: wins
  EXPECT_EQ(MessageBox(nullptr, "Do you want to compile web pages?", "Tarnwell", MB_YESNO | MB_TOPMOST), IDYES);
  Driver::RemoveHandler(later);
  EXPECT_EQ(MessageBox(nullptr, "Do you want to compile web pages?", "Tarnwell", MB_YESNO | MB_TOPMOST), IDNO);
  EXPECT_EQ(asked, 1);
  // A handler answering 0 leaves the box its default answer.
  Driver::OnMessageBox("Error", [](const MessageBoxRecord&) { return 0; });
  EXPECT_EQ(MessageBox(nullptr, "Error ", nullptr, MB_OKCANCEL), IDCANCEL);
  const auto log = Driver::MessageBoxes();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log[0].answeredByHandler);
  EXPECT_EQ(log[1].answer, IDNO);
  EXPECT_EQ(log[2].caption, "Error");  // no caption given
  EXPECT_FALSE(log[2].answeredByHandler);
}

TEST_F(MessageBoxTest, AnAnswerTheBoxDoesNotOfferIsAFaultOfTheHandler) {
  Driver::AnswerMessageBox("", IDYES);
  EXPECT_THROW(MessageBox(nullptr, "Saved.", "Tarnwell", MB_OK), std::invalid_argument);
  EXPECT_THROW(MessageDlg("Saved.", mtInformation, mbOK), std::invalid_argument);
  EXPECT_EQ(MessageBox(nullptr, "Delete?", "Tarnwell", MB_YESNO), IDYES);
}

TEST_F(MessageBoxTest, MessageDialogsAnswerAsEscapeAndAreRecorded) {
  EXPECT_EQ(MessageDlg("a", mtWarning, mbOK), mrOk);
  EXPECT_EQ(MessageDlg("b", mtConfirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(MessageDlg("c", mtConfirmation, mbYesNoCancel), mrCancel);
  EXPECT_EQ(MessageDlg("d", mtError, mbAbortRetryIgnore), mrRetry);
  EXPECT_EQ(MessageDlg("e", mtInformation, mbYes | mbAll), mrYes);
  Driver::AnswerMessageBox("recompile", mrYes);
  EXPECT_EQ(MessageDlg("Web pages were modified, recompile?", mtConfirmation, mbYes | mbNo, 77), mrYes);
  const auto log = MessageBoxLog();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[0].caption, "Warning");
  EXPECT_EQ(log[2].caption, "Confirm");
  EXPECT_EQ(log[3].caption, "Error");
  EXPECT_EQ(log[4].caption, "Information");
  EXPECT_EQ(log[5].kind, MessageBoxRecord::Dialog);
  EXPECT_EQ(log[5].dialogType, mtConfirmation);
  EXPECT_EQ(log[5].dialogButtons, mbYes | mbNo);
  EXPECT_EQ(log[5].helpContext, 77);
  EXPECT_EQ(log[5].answer, mrYes);
  EXPECT_TRUE(log[5].answeredByHandler);
}

TEST_F(MessageBoxTest, ResetForgetsHandlersAndRecords) {
  Driver::AnswerMessageBox("", IDNO);
  MessageBox(nullptr, "x", "y", MB_YESNO);
  Driver::Reset();
  EXPECT_TRUE(Driver::MessageBoxes().empty());
  EXPECT_EQ(MessageBox(nullptr, "x", "y", MB_YESNO), IDYES);
}

}  // namespace
