// Buttons (Default, Cancel, ModalResult), check boxes (OnClick from code,
// grayed cycle), radio buttons and radio groups.

#include <algorithm>

#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/RadioGroup.h"
#include "platform/vcl/SpeedButton.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/vcl/stdctrls/StdCtrlsTestSupport.h"

namespace {

class TDialogForm : public TForm {
 public:
  explicit TDialogForm(TComponent* owner) : TForm(owner) {
    SetBounds(0, 0, 300, 150);
    edit = new TEdit(this);
    edit->SetParent(this);
    edit->SetBounds(10, 10, 100, 21);
    ok = new TButton(this);
    ok->SetParent(this);
    ok->SetBounds(10, 60, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->ModalResult = mrOk;
    cancel = new TButton(this);
    cancel->SetParent(this);
    cancel->SetBounds(100, 60, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->Cancel = true;
    cancel->ModalResult = mrCancel;
    other = new TButton(this);
    other->SetParent(this);
    other->SetBounds(190, 60, 75, 25);
    other->SetCaption("Other");
  }
  std::string ClassName() const override { return "TDialogForm"; }
  TEdit* edit;
  TButton* ok;
  TButton* cancel;
  TButton* other;
};

}  // namespace

class ButtonTest : public StdCtrlsTest {};

TEST_F(ButtonTest, EnterAndEscapeClickTheDefaultAndCancelButtons) {
  for (WORD key : {VK_RETURN, VK_ESCAPE}) {
    TDialogForm form(nullptr);
    EventLog log;
    form.ok->OnClick = [&](TObject*) { log.Add("ok"); };
    form.cancel->OnClick = [&](TObject*) { log.Add("cancel"); };
    Driver::OnModal("TDialogForm", [&](TCustomForm&) {
      Driver::Focus(form.edit);
      Driver::TypeText("abc");
      Driver::PressKey(key);
      return mrNone;  // the key decides
    });
    const int result = form.ShowModal();
    EXPECT_EQ(result, key == VK_RETURN ? mrOk : mrCancel);
    EXPECT_EQ(log.Joined(), key == VK_RETURN ? "ok" : "cancel");
    EXPECT_EQ(form.edit->Text(), "abc");
    EXPECT_FALSE(form.Visible());
    Driver::Reset();
  }
}

TEST_F(ButtonTest, EnterClicksTheFocusedButtonInsteadOfTheDefault) {
  TDialogForm form(nullptr);
  EventLog log;
  form.ok->OnClick = [&](TObject*) { log.Add("ok"); };
  form.other->OnClick = [&](TObject*) { log.Add("other"); };
  form.Show();
  form.other->SetFocus();
  Driver::PressKey(VK_RETURN);
  Driver::PressKey(VK_SPACE);
  EXPECT_EQ(log.Joined(), "other other");
  // Enter with a modifier is no dialog key for buttons.
  form.edit->SetFocus();
  Driver::PressKey(VK_RETURN, ssCtrl);
  EXPECT_EQ(log.Joined(), "other other");
  Driver::PressKey(VK_RETURN);
  EXPECT_EQ(log.Joined(), "other other ok");
  EXPECT_EQ(form.ModalResult, mrOk);
  // A disabled default button does not answer.
  form.ModalResult = mrNone;
  form.ok->SetEnabled(false);
  Driver::PressKey(VK_RETURN);
  EXPECT_EQ(log.Joined(), "other other ok");
  EXPECT_EQ(form.ModalResult, mrNone);
}

TEST_F(ButtonTest, ClickingAButtonWithAModalResultClosesTheModalForm) {
  TDialogForm form(nullptr);
  Driver::OnModal("TDialogForm", [&](TCustomForm&) {
    Driver::Click(form.ok);
    return mrNone;
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  // A button without modal result keeps the form open (the handler comes
  // again; the second time it answers Cancel).
  int rounds = 0;
  Driver::Reset();
  Driver::OnModal("TDialogForm", [&](TCustomForm&) {
    if (++rounds == 1) {
      Driver::Click(form.other);
      return mrNone;
    }
    return static_cast<int>(mrCancel);
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(rounds, 2);
}

TEST_F(ButtonTest, MousePressOutsideReleasesWithoutClick) {
  TDialogForm form(nullptr);
  form.Show();
  int clicks = 0;
  form.other->OnClick = [&](TObject*) { ++clicks; };
  Driver::MouseDown(form.other, 5, 5);
  EXPECT_TRUE(form.other->Focused());
  Driver::MouseMove(form.other, 200, 5);
  Driver::MouseUp(form.other, 200, 5);
  EXPECT_EQ(clicks, 0);
  Driver::Click(form.other);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, ButtonsShowPressedOnlyWhileTheMouseHoldsThemInside) {
  TDialogForm form(nullptr);
  auto* speed = new TSpeedButton(&form);
  speed->SetParent(&form);
  speed->SetBounds(10, 100, 23, 22);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  auto* tool = new TToolButton(&form);
  tool->SetParent(bar);
  form.Show();
  // The pixel that tells: a focused push button's frame is dark outside,
  // then a raised edge (highlight) or, pushed, the shadow frame; tool
  // buttons show their raised edge's highlight or a pushed edge's dark shadow.
  struct Row {
    TControl* button;
    TPoint probe;
    TColor up, down;
  };
  const Row rows[] = {
      {form.other, {1, 1}, clBtnHighlight, clBtnShadow},
      {speed, {0, 0}, clBtnHighlight, cl3DDkShadow},
      {tool, {0, 0}, clBtnHighlight, cl3DDkShadow},
  };
  form.other->SetFocus();
  for (const Row& row : rows) {
    auto shown = [&] {
      TBitmap bmp;
      PaintControlToBitmap(row.button, bmp);
      return PixelAt(bmp, row.probe.x, row.probe.y);
    };
    SCOPED_TRACE(row.button->ClassName());
    Driver::ReleaseMouse();
    const int w = row.button->Width();
    EXPECT_EQ(shown(), ColorToRGB(row.up));
    Driver::MouseDown(row.button, 5, 5);
    EXPECT_EQ(shown(), ColorToRGB(row.down));
    Driver::MouseMove(row.button, w + 20, 5, ssLeft);
    EXPECT_EQ(shown(), ColorToRGB(row.up));
    Driver::MouseMove(row.button, 6, 6, ssLeft);
    EXPECT_EQ(shown(), ColorToRGB(row.down));
    Driver::MouseMove(row.button, w + 20, 5, ssLeft);
    Driver::MouseUp(row.button, w + 20, 5);
    EXPECT_EQ(shown(), ColorToRGB(row.up));
  }
}

namespace {

// Where two pictures of one size differ (empty when they do not).
TRect DifferenceBox(TBitmap& a, TBitmap& b) {
  TRect box{b.Width(), b.Height(), 0, 0};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y))
        box = Rect(std::min<int>(box.Left, x), std::min<int>(box.Top, y), std::max<int>(box.Right, x + 1),
                   std::max<int>(box.Bottom, y + 1));
  return box.Right > box.Left ? box : TRect{};
}

// The marked picture differs from the plain one by a line under the marked
// character alone: one or two rows below the text, as wide as the character,
// starting where the text before it ends.
void ExpectUnderlineOnly(TBitmap& marked, TBitmap& plain, int markLeft, int markWidth) {
  const TRect diff = DifferenceBox(marked, plain);
  if (markWidth == 0) {
    EXPECT_EQ(diff, TRect{}) << "differs from " << diff.Left << "," << diff.Top;
    return;
  }
  EXPECT_GE(diff.Bottom - diff.Top, 1);
  EXPECT_LE(diff.Bottom - diff.Top, 2);
  EXPECT_NEAR(diff.Left, markLeft, 1);
  EXPECT_NEAR(diff.Right - diff.Left, markWidth, 1);
  EXPECT_EQ(CountDark(plain, Rect(0, diff.Top, plain.Width(), diff.Bottom)), 0);
}

// A caption with its accelerator marks, the text it shows, and the text
// before the marked character and the marked character ("" none).
struct TCaptionCase {
  const char* caption;
  const char* shown;
  const char* before;
  const char* marked;
};

}  // namespace

TEST_F(ButtonTest, AcceleratorMarksShowAsTheCharacterUnderlined) {
  const TCaptionCase cases[] = {
      {"&OK", "OK", "", "O"},      {"E&xit", "Exit", "E", "x"}, {"Save && &Exit", "Save & Exit", "Save & ", "E"},
      {"A && B", "A & B", "", ""}, {"&&&1", "&1", "&", "1"},    {"Trailing&", "Trailing", "", ""},
  };
  for (const TCaptionCase& c : cases) {
    SCOPED_TRACE(c.caption);
    TBitmap marked, plain;
    for (TBitmap* bmp : {&marked, &plain}) {
      bmp->SetSize(150, 30);
      bmp->Canvas->Brush->Color = clWhite;
      bmp->Canvas->FillRect(Rect(0, 0, 150, 30));
      bmp->Canvas->Font->Name = "Segoe UI";
      bmp->Canvas->Font->SetSize(9);
    }
    TTextStyle style;
    DrawTextInRect(plain.Canvas, Rect(10, 5, 150, 30), c.shown, style);
    style.hotkey = true;
    DrawTextInRect(marked.Canvas, Rect(10, 5, 150, 30), c.caption, style);
    ExpectUnderlineOnly(marked, plain, 10 + plain.Canvas->TextWidth(c.before), plain.Canvas->TextWidth(c.marked));
  }
}

TEST_F(ButtonTest, AButtonCaptionShowsItsAcceleratorUnderlined) {
  TBitmap pictures[2];
  int textWidth = 0, markWidth = 0;
  const char* captions[] = {"&Cancel", "Cancel"};
  for (int i = 0; i < 2; ++i) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 60);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetBounds(0, 0, 150, 30);
    button->SetCaption(captions[i]);
    PaintControlToBitmap(button, pictures[i]);
    pictures[i].Canvas->Font->Assign(*button->Font());
    textWidth = pictures[i].Canvas->TextWidth("Cancel");
    markWidth = pictures[i].Canvas->TextWidth("C");
  }
  ExpectUnderlineOnly(pictures[0], pictures[1], (150 - textWidth) / 2, markWidth);
  // The dialogs' buttons as they look.
  TForm form(nullptr);
  form.SetBounds(0, 0, 330, 80);
  int left = 5;
  for (const char* caption : {"&Yes", "&No", "&Cancel", "Save && &Exit"}) {
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetBounds(left, 10, 75, 25);
    button->SetCaption(caption);
    left += 80;
  }
  EXPECT_TRUE(SaveControlAsPng(&form, PicturePath("button-accelerators.png")));
}

class CheckBoxTest : public StdCtrlsTest {};

TEST_F(CheckBoxTest, SettingCheckedInCodeFiresOnClickWhenItChanges) {
  TForm form(nullptr);
  auto* box = new TCheckBox(&form);
  box->SetParent(&form);
  EventLog log;
  box->OnClick = [&](TObject*) { log.Add(std::to_string(box->State())); };
  box->SetChecked(true);
  box->SetChecked(true);
  box->SetState(cbGrayed);
  box->SetChecked(false);
  EXPECT_EQ(log.Joined(), "1 2 0");
  // Switched off for a moment: no click.
  box->SetClicksDisabled(true);
  box->SetChecked(true);
  box->SetClicksDisabled(false);
  EXPECT_EQ(log.Joined(), "1 2 0");
  EXPECT_TRUE(box->Checked());
}

TEST_F(CheckBoxTest, UserClicksCycleThroughGrayedOnlyWithAllowGrayed) {
  TForm form(nullptr);
  form.Show();
  auto* box = new TCheckBox(&form);
  box->SetParent(&form);
  box->SetBounds(10, 10, 100, 17);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  std::vector<int> states;
  for (int i = 0; i < 3; ++i) {
    Driver::Click(box);
    states.push_back(box->State());
  }
  EXPECT_EQ(states, (std::vector<int>{cbChecked, cbUnchecked, cbChecked}));
  box->AllowGrayed = true;
  box->SetChecked(false);
  states.clear();
  for (int i = 0; i < 3; ++i) {
    Driver::Click(box);
    states.push_back(box->State());
  }
  EXPECT_EQ(states, (std::vector<int>{cbGrayed, cbChecked, cbUnchecked}));
  EXPECT_EQ(clicks, 7);  // one per change, never two
  EXPECT_TRUE(box->Focused());
  // Space toggles the focused box.
  Driver::PressKey(VK_SPACE);
  EXPECT_EQ(box->State(), cbGrayed);
  // A disabled box takes no click.
  box->SetEnabled(false);
  Driver::Click(box);
  EXPECT_EQ(box->State(), cbGrayed);
}

TEST_F(CheckBoxTest, RadioButtonsOfOneParentAreExclusive) {
  TForm form(nullptr);
  form.Show();
  TRadioButton* r[3];
  EventLog log;
  for (int i = 0; i < 3; ++i) {
    r[i] = new TRadioButton(&form);
    r[i]->SetParent(&form);
    r[i]->SetBounds(10, 10 + 20 * i, 100, 17);
    r[i]->OnClick = [&log, i](TObject*) { log.Add("r" + std::to_string(i)); };
  }
  r[1]->SetChecked(true);
  EXPECT_EQ(log.Joined(), "r1");
  Driver::Click(r[2]);
  EXPECT_FALSE(r[1]->Checked());
  EXPECT_TRUE(r[2]->Checked());
  Driver::Click(r[2]);  // already checked: no new click event
  EXPECT_EQ(log.Joined(), "r1 r2");
  // Unchecking fires nothing; only the checked one is a tab stop.
  r[2]->SetChecked(false);
  EXPECT_EQ(log.Joined(), "r1 r2");
  r[0]->SetChecked(true);
  EXPECT_TRUE(r[0]->TabStop());
  EXPECT_FALSE(r[1]->TabStop());
  // The arrows move through the group and check what they reach.
  r[0]->SetFocus();
  Driver::PressKey(VK_DOWN);
  EXPECT_TRUE(r[1]->Focused());
  EXPECT_TRUE(r[1]->Checked());
  EXPECT_FALSE(r[0]->Checked());
  // Radio buttons of another parent are not touched.
  auto* panel = new TCustomControl(&form);
  panel->SetParent(&form);
  auto* elsewhere = new TRadioButton(&form);
  elsewhere->SetParent(panel);
  elsewhere->SetChecked(true);
  EXPECT_TRUE(r[1]->Checked());
}

TEST_F(CheckBoxTest, RadioGroupItemIndexFiresOnClickFromCodeAndFromClicks) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  form.Show();
  auto* group = new TRadioGroup(&form);
  group->SetParent(&form);
  group->SetBounds(10, 10, 200, 120);
  group->SetCaption("Integer format");
  EventLog log;
  group->OnClick = [&](TObject*) { log.Add(std::to_string(group->ItemIndex())); };
  group->Items()->BeginUpdate();
  for (const char* s : {"Default", "Signed", "Unsigned", "Hexadecimal"}) group->Items()->Add(s);
  group->Items()->EndUpdate();
  ASSERT_EQ(group->ButtonCount(), 4);
  EXPECT_EQ(group->ItemIndex(), -1);
  group->SetItemIndex(2);
  group->SetItemIndex(2);
  group->SetItemIndex(-1);  // none: no click
  EXPECT_EQ(log.Joined(), "2");
  group->SetItemIndex(99);  // past the end: the last item
  EXPECT_EQ(group->ItemIndex(), 3);
  group->SetItemIndex(-5);
  EXPECT_EQ(group->ItemIndex(), -1);
  log.Clear();
  // A click on the second button (through the driver's hit test).
  TRadioButton* second = group->Buttons(1);
  const TPoint p = form.ScreenToClient(second->ClientToScreen({5, second->Height() / 2}));
  Driver::Click(&form, p.x, p.y);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(log.Joined(), "1");
  // Exclusive: only one button checked.
  int checked = 0;
  for (int i = 0; i < group->ButtonCount(); ++i) checked += group->Buttons(i)->Checked();
  EXPECT_EQ(checked, 1);
  // Two columns: the items go down the first column, then the second.
  group->SetColumns(2);
  EXPECT_EQ(group->Buttons(0)->Left(), group->Buttons(1)->Left());
  EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left());
  EXPECT_EQ(group->Buttons(2)->Top(), group->Buttons(0)->Top());
  // Fewer items: the index goes when its item goes.
  group->Items()->Delete(3);
  group->Items()->Delete(2);
  EXPECT_EQ(group->ButtonCount(), 2);
  EXPECT_EQ(group->ItemIndex(), 1);
  group->Items()->Clear();
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_EQ(group->ButtonCount(), 0);
}
