// TEdit and TMemo: change events, typing, MaxLength, password characters,
// selection, clipboard commands, read-only edits.

#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Memo.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/vcl/stdctrls/StdCtrlsTestSupport.h"

class EditTest : public StdCtrlsTest {
 protected:
  void SetUp() override {
    StdCtrlsTest::SetUp();
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 300, 200);
    edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 21);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(10, 40, 150, 21);
    edit->OnChange = [this](TObject*) { log.Add("change:" + edit->Text()); };
    form->Show();
    edit->SetFocus();
    Clipboard()->Clear();
  }
  void TearDown() override {
    delete form;
    StdCtrlsTest::TearDown();
  }
  TForm* form = nullptr;
  TEdit* edit = nullptr;
  TEdit* other = nullptr;
  EventLog log;
};

TEST_F(EditTest, OnChangeFiresWhenTextSetInCodeDiffers) {
  edit->SetText("abc");
  edit->SetText("abc");  // the same: nothing
  edit->SetText("");
  EXPECT_EQ(log.Joined(), "change:abc change:");
  // Set in code: caret at the start, not modified.
  edit->SetText("hello");
  EXPECT_EQ(edit->SelStart(), 0);
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_FALSE(edit->Modified);
}

TEST_F(EditTest, TypingInsertsAtTheCaretAndFiresOnChangeEachTime) {
  Driver::TypeText("Hi you");
  EXPECT_EQ(edit->Text(), "Hi you");
  EXPECT_TRUE(edit->Modified);
  EXPECT_EQ(log.events.size(), 6u);
  Driver::PressKey(VK_HOME);
  Driver::PressKey(VK_RIGHT);
  Driver::TypeText("!");
  EXPECT_EQ(edit->Text(), "H!i you");
  Driver::PressKey(VK_BACK);
  Driver::PressKey(VK_DELETE);
  EXPECT_EQ(edit->Text(), "H you");
  Driver::PressKey(VK_END);
  Driver::PressKey(VK_LEFT, ssShift);
  Driver::PressKey(VK_LEFT, ssShift);
  EXPECT_EQ(edit->SelText(), "ou");
  Driver::TypeText("es");
  EXPECT_EQ(edit->Text(), "H yes");
  // Ctrl+Left jumps to the start of the word.
  Driver::PressKey(VK_LEFT, ssCtrl);
  EXPECT_EQ(edit->CaretPos(), 2);
}

TEST_F(EditTest, MaxLengthLimitsTypingAndPastingButNotCode) {
  edit->SetMaxLength(4);
  Driver::TypeText("abcdef");
  EXPECT_EQ(edit->Text(), "abcd");
  // Replacing a selection makes room.
  edit->SetSelStart(1);
  edit->SetSelLength(2);
  Clipboard()->SetAsText("XYZW");
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->Text(), "aXYd");
  edit->SetText("longer than four");
  EXPECT_EQ(edit->Text(), "longer than four");
  // A full edit takes nothing more and fires nothing.
  edit->SetText("1234");
  edit->SetSelStart(4);
  log.Clear();
  Driver::TypeText("5");
  EXPECT_EQ(edit->Text(), "1234");
  EXPECT_TRUE(log.events.empty());
}

TEST_F(EditTest, SelectionAndSelText) {
  edit->SetText("one two three");
  edit->SetSelStart(4);
  edit->SetSelLength(3);
  EXPECT_EQ(edit->SelText(), "two");
  edit->SetSelText("2");
  EXPECT_EQ(edit->Text(), "one 2 three");
  EXPECT_EQ(edit->SelStart(), 5);
  edit->SelectAll();
  EXPECT_EQ(edit->SelLength(), 11);
  // Out of range positions are clamped.
  edit->SetSelStart(100);
  EXPECT_EQ(edit->SelStart(), 11);
  edit->SetSelStart(-3);
  EXPECT_EQ(edit->SelStart(), 0);
  edit->SetSelLength(1000);
  EXPECT_EQ(edit->SelLength(), 11);
}

TEST_F(EditTest, ClipboardCommandsAndKeys) {
  edit->SetText("copy me");
  edit->SelectAll();
  edit->CopyToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "copy me");
  edit->SetSelStart(0);
  edit->SetSelLength(4);
  Driver::PressKey('X', ssCtrl);
  EXPECT_EQ(Clipboard()->AsText(), "copy");
  EXPECT_EQ(edit->Text(), " me");
  Driver::PressKey(VK_END);
  Driver::PressKey('V', ssCtrl);
  EXPECT_EQ(edit->Text(), " mecopy");
  // A one-line edit pastes the first line only.
  Clipboard()->SetAsText("first\r\nsecond");
  Driver::PressKey(VK_INSERT, ssShift);
  EXPECT_EQ(edit->Text(), " mecopyfirst");
  edit->SelectAll();
  Driver::PressKey(VK_INSERT, ssCtrl);
  EXPECT_EQ(Clipboard()->AsText(), " mecopyfirst");
}

TEST_F(EditTest, PasswordEditsShowTheCharacterAndRefuseCopying) {
  edit->SetPasswordChar('*');
  Driver::TypeText("secret");
  EXPECT_EQ(edit->Text(), "secret");
  edit->SelectAll();
  Clipboard()->SetAsText("before");
  edit->CopyToClipboard();
  edit->CutToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "before");
  EXPECT_EQ(edit->Text(), "secret");
  // Pasting into it works.
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->Text(), "before");

  // The picture shows stars: the same pixels as an edit holding "******".
  edit->SetSelStart(0);
  TBitmap masked, stars;
  other->SetText("******");
  PaintControlToBitmap(edit, masked);
  edit->SetPasswordChar(0);
  edit->SetText("******");
  PaintControlToBitmap(edit, stars);
  ASSERT_EQ(masked.Width(), stars.Width());
  int differing = 0;
  for (int y = 0; y < masked.Height(); ++y)
    for (int x = 0; x < masked.Width(); ++x) differing += PixelAt(masked, x, y) != PixelAt(stars, x, y);
  EXPECT_EQ(differing, 0);
}

TEST_F(EditTest, ReadOnlyTakesNothingFromTheUserButCopies) {
  edit->SetText("fixed");
  edit->SetReadOnly(true);
  log.Clear();
  edit->SetSelStart(2);
  Driver::TypeText("x");
  Driver::PressKey(VK_BACK);
  Driver::PressKey(VK_DELETE);
  EXPECT_EQ(edit->SelLength(), 0);  // nothing deleted, nothing selected either
  EXPECT_EQ(edit->CaretPos(), 2);
  edit->SelectAll();
  Driver::PressKey('X', ssCtrl);
  Driver::PressKey('V', ssCtrl);
  EXPECT_EQ(edit->Text(), "fixed");
  EXPECT_TRUE(log.events.empty());
  edit->CopyToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "fixed");
}

TEST_F(EditTest, KeyPressHandlerCanConsumeEnterAndCharacters) {
  std::vector<int> keys;
  edit->OnKeyPress = [&](TObject*, char& key) {
    keys.push_back(static_cast<unsigned char>(key));
    if (key == 'q') key = 0;
  };
  Driver::TypeText("aqb");
  Driver::PressKey(VK_RETURN);
  Driver::PressKey(VK_ESCAPE);
  EXPECT_EQ(edit->Text(), "ab");
  EXPECT_EQ(keys, (std::vector<int>{'a', 'q', 'b', 13, 27}));
}

TEST_F(EditTest, FocusFromTheKeyboardSelectsAllFromTheMouseNot) {
  other->SetText("other text");
  Driver::PressKey(VK_TAB);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(other->SelLength(), 10);
  edit->SetText("click here");
  Driver::Click(edit, 3, 10);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->SelLength(), 0);
  // Shift+click selects from the caret.
  const int caret = edit->CaretPos();
  Driver::Click(edit, 140, 10, mbLeft, ssShift);
  EXPECT_EQ(edit->SelStart(), caret);
  EXPECT_EQ(edit->SelStart() + edit->SelLength(), 10);
}

TEST_F(EditTest, DoubleClickSelectsAWord) {
  edit->SetText("alpha beta gamma");
  TCanvas measure;
  measure.Font->Assign(*edit->Font());
  const int x = 1 + measure.TextWidth("alpha be");
  Driver::DoubleClick(edit, x, 8);
  EXPECT_EQ(edit->SelText(), "beta");
}

// A click anywhere on the text puts the caret at the position whose start is
// the nearest in width to the point (the first of two as near), in a field,
// a password field (the starts of its shown characters) and a memo's second
// line.
TEST_F(EditTest, AClickPutsTheCaretAtTheNearestPosition) {
  auto* memo = new TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(10, 70, 200, 100);
  struct Row {
    TCustomEdit* control;
    char passwordChar;
    std::string text;
    std::size_t lineStart;  // the clicked line's first character
  };
  const Row rows[] = {
      {edit, 0, "AVA W.iij fl T\xE9l 1,7", 0},
      {other, '*', "secret", 0},
      {memo, 0, "first\r\nWAVE il.j \xC6!", 7},
  };
  for (const Row& row : rows) {
    if (row.passwordChar != 0) static_cast<TEdit*>(row.control)->SetPasswordChar(row.passwordChar);
    row.control->SetText(row.text);
    const std::string line =
        row.passwordChar != 0 ? std::string(row.text.size(), row.passwordChar) : row.text.substr(row.lineStart);
    TCanvas measure;
    measure.Font->Assign(*row.control->Font());
    const int y = row.lineStart == 0 ? 8 : measure.TextHeight("Wg") + 3;
    for (int x = 0; x < row.control->ClientWidth(); ++x) {
      Driver::Click(row.control, x, y);
      std::size_t nearest = 0;
      for (std::size_t i = 1; i <= line.size() && line[i - 1] != '\r'; ++i)
        if (std::abs(x - 1 - measure.TextWidth(line.substr(0, i))) <
            std::abs(x - 1 - measure.TextWidth(line.substr(0, nearest))))
          nearest = i;
      ASSERT_EQ(row.control->CaretPos(), static_cast<int>(row.lineStart + nearest)) << row.text << " x=" << x;
    }
  }
}

TEST_F(EditTest, AutoSizeFollowsTheFont) {
  const int before = edit->Height();
  edit->Font()->Height = -24;
  edit->SetFont(*edit->Font());
  EXPECT_GT(edit->Height(), before + 8);
}

TEST_F(EditTest, MemoLinesAndTyping) {
  auto* memo = new TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(10, 70, 200, 100);
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  memo->Lines()->Add("first");
  memo->Lines()->Add("second");
  EXPECT_EQ(memo->Text(), "first\r\nsecond");
  EXPECT_EQ(memo->Lines()->Count(), 2);
  EXPECT_EQ(changes, 2);
  memo->Lines()->SetStrings(0, "1st");
  memo->Lines()->Insert(1, "middle");
  memo->Lines()->Delete(2);
  EXPECT_EQ(memo->Lines()->Text(), "1st\r\nmiddle\r\n");
  EXPECT_THROW(memo->Lines()->Strings(5), EStringListError);
  memo->SetFocus();
  memo->SetSelStart(static_cast<int>(memo->Text().size()));
  Driver::TypeText("\nend");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Lines()->Strings(2), "end");
  memo->Lines()->Clear();
  EXPECT_EQ(memo->Lines()->Count(), 0);
}
