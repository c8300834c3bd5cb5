// Combo boxes and list boxes: which actions fire which events, the
// dropped-down list, the wheel, owner drawing, multiple selection.

#include "platform/vcl/Button.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ListBox.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/vcl/stdctrls/StdCtrlsTestSupport.h"

namespace {

// A combo box that leaves the wheel alone (as the dialogs' row-count boxes).
class TNoWheelCombo : public TComboBox {
 public:
  using TComboBox::TComboBox;
  void MouseWheelHandler(TMessage& message) override { message.Result = -1; }
};

}  // namespace

class ComboBoxTest : public StdCtrlsTest {
 protected:
  void SetUp() override {
    StdCtrlsTest::SetUp();
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 300, 200);
    combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 120, 21);
    for (const char* s : {"red", "green", "blue"}) combo->Items()->Add(s);
    combo->OnChange = [this](TObject*) { log.Add("change"); };
    combo->OnClick = [this](TObject*) { log.Add("click"); };
    combo->OnDropDown = [this](TObject*) { log.Add("drop"); };
    combo->OnCloseUp = [this](TObject*) { log.Add("close"); };
    form->Show();
  }
  void TearDown() override {
    delete form;
    StdCtrlsTest::TearDown();
  }
  TForm* form = nullptr;
  TComboBox* combo = nullptr;
  EventLog log;
};

TEST_F(ComboBoxTest, ItemIndexAndTextSetInCodeFireNothing) {
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "green");
  combo->SetText("BLUE");
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "BLUE");  // the edit field keeps what was set
  combo->SetText("purple");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "purple");
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_TRUE(log.events.empty());
  // A drop-down list shows only items.
  combo->SetStyle(csDropDownList);
  combo->SetText("purple");
  EXPECT_EQ(combo->Text(), "");
  combo->SetText("Green");
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "green");
  EXPECT_TRUE(log.events.empty());
}

TEST_F(ComboBoxTest, UserChoicesFireClickThenSelectOrChange) {
  combo->SetFocus();
  Driver::PressKey(VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(log.Joined(), "click change");
  log.Clear();
  int selects = 0;
  combo->OnSelect = [&](TObject*) { ++selects; };
  Driver::PressKey(VK_DOWN);
  EXPECT_EQ(log.Joined(), "click");
  EXPECT_EQ(selects, 1);
  combo->OnSelect = nullptr;
  // Past the last item nothing happens.
  Driver::PressKey(VK_DOWN);
  Driver::PressKey(VK_DOWN);
  log.Clear();
  Driver::PressKey(VK_DOWN);
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(combo->Text(), "blue");
}

TEST_F(ComboBoxTest, DroppedDownListTakesEnterAndEscape) {
  int defaults = 0;
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(150, 10, 75, 25);
  button->SetDefault(true);
  button->OnClick = [&](TObject*) { ++defaults; };
  Driver::Click(combo, combo->Width() - 5, 5);  // on the arrow
  EXPECT_TRUE(combo->Focused());
  EXPECT_TRUE(combo->DroppedDown());
  Driver::PressKey(VK_DOWN);
  Driver::PressKey(VK_RETURN);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(defaults, 0);  // the open list took Enter
  EXPECT_EQ(log.Joined(), "drop click change close");
  // Closed, Enter goes to the default button.
  Driver::PressKey(VK_RETURN);
  EXPECT_EQ(defaults, 1);
  // Picking from the list closes it and fires the choice's events.
  log.Clear();
  combo->SetDroppedDown(true);
  combo->SelectFromList(2);
  EXPECT_EQ(log.Joined(), "drop close click change");
  EXPECT_EQ(combo->Text(), "blue");
  // The open list shows below the box in a picture of the form, the chosen
  // item highlighted.
  combo->SetDroppedDown(true);
  TBitmap bmp;
  PaintClientToBitmap(form, bmp);
  const int rowHeight = combo->ItemHeight();
  const int listTop = combo->Top() + combo->Height() + 1;
  EXPECT_EQ(PixelAt(bmp, combo->Left() + combo->Width() - 4, listTop + 2 * rowHeight + rowHeight / 2),
            ColorToRGB(clHighlight));
  EXPECT_EQ(PixelAt(bmp, combo->Left() + combo->Width() - 4, listTop + rowHeight / 2), ColorToRGB(clWindow));
  EXPECT_EQ(PixelAt(bmp, combo->Left(), listTop + rowHeight), ColorToRGB(clWindowFrame));
  ASSERT_TRUE(SaveControlAsPng(form, PicturePath("stdctrls-combo-dropped.png")));
  // Leaving the box closes the list.
  combo->SetDroppedDown(true);
  Driver::PressKey(VK_F4);
  EXPECT_FALSE(combo->DroppedDown());
  Driver::PressKey(VK_DOWN, ssAlt);
  EXPECT_TRUE(combo->DroppedDown());
  button->SetFocus();
  EXPECT_FALSE(combo->DroppedDown());
  // The list stays in the work area: below the box, or above it where more
  // rows fit there, and never more rows than fit.
  const struct {
    int formTop, workBottom, items;
    bool above;
  } places[] = {{0, 1040, 3, false}, {980, 1040, 3, true}, {0, 300, 100, false}, {200, 300, 100, true}};
  for (const auto& p : places) {
    SCOPED_TRACE(p.formTop);
    ASSERT_TRUE(SetMonitorLayout({{{0, 0, 1920, 1080}, {0, 0, 1920, p.workBottom}}}));
    form->SetTop(p.formTop);
    while (combo->Items()->Count() < p.items) combo->Items()->Add("more");
    combo->DropDownCount = p.items;
    const TRect list = combo->DroppedListRect();
    const int top = combo->ClientToScreen({0, 0}).y - 2 + list.Top;
    EXPECT_EQ(list.Top < 0, p.above);
    EXPECT_GE(top, 0);
    EXPECT_LE(top + list.Height(), p.workBottom);
    EXPECT_EQ(list.Height(), combo->DroppedRows() * combo->ItemHeight() + 2);
    EXPECT_EQ(combo->DroppedRows() == p.items, p.items == 3) << "all rows, or as many as fit";
  }
}

TEST_F(ComboBoxTest, TypingIntoTheEditFieldFiresOnChange) {
  combo->SetFocus();
  Driver::TypeText("gr");
  EXPECT_EQ(combo->Text(), "gr");
  EXPECT_EQ(log.Joined(), "change change");
  Driver::PressKey(VK_BACK);
  EXPECT_EQ(combo->Text(), "g");
  combo->MaxLength = 2;
  Driver::TypeText("xyz");
  EXPECT_EQ(combo->Text(), "gx");
  // A drop-down list jumps to the item of the typed letter.
  combo->SetStyle(csDropDownList);
  log.Clear();
  Driver::TypeText("b");
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(log.Joined(), "click change");
}

TEST_F(ComboBoxTest, WheelMovesTheChoiceUnlessTheClassRefusesIt) {
  combo->SetItemIndex(0);
  combo->SetFocus();
  Driver::MouseWheel(combo, 5, 5, -120);
  EXPECT_EQ(combo->ItemIndex(), 1);
  Driver::MouseWheel(combo, 5, 5, 120);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(log.Joined(), "click change click change");
  // The wheel never reaches the form when the box refuses it.
  auto* noWheel = new TNoWheelCombo(form);
  noWheel->SetParent(form);
  noWheel->SetBounds(10, 50, 100, 21);
  noWheel->Items()->Add("10");
  noWheel->Items()->Add("20");
  noWheel->SetItemIndex(0);
  int formWheel = 0;
  form->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& handled) {
    ++formWheel;
    handled = true;
  };
  noWheel->SetFocus();
  Driver::MouseWheel(noWheel, 5, 5, -120);
  EXPECT_EQ(noWheel->ItemIndex(), 0);
  EXPECT_EQ(formWheel, 0);
}

TEST_F(ComboBoxTest, ItemsUpdatesAndClearing) {
  combo->SetItemIndex(2);
  combo->Items()->BeginUpdate();
  combo->Items()->Delete(2);
  combo->Items()->Add("black");
  combo->Items()->EndUpdate();
  EXPECT_EQ(combo->Items()->Count(), 3);
  combo->Items()->Clear();
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_TRUE(log.events.empty());
  // The height follows the font, not SetBounds.
  const int h = combo->Height();
  combo->SetHeight(100);
  EXPECT_EQ(combo->Height(), h);
}

TEST_F(ComboBoxTest, OwnerDrawnStyleDrawsTheChosenItemThroughOnDrawItem) {
  combo->SetStyle(csOwnerDrawFixed);
  combo->SetItemIndex(1);
  std::vector<std::pair<int, TOwnerDrawState>> drawn;
  combo->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState state) {
    drawn.push_back({index, state});
    auto* c = static_cast<TComboBox*>(control);
    c->Canvas()->Brush->Color = clLime;
    c->Canvas()->FillRect(rect);
  };
  TBitmap bmp;
  PaintControlToBitmap(combo, bmp);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].first, 1);
  EXPECT_TRUE(drawn[0].second & odComboBoxEdit);
  EXPECT_EQ(PixelAt(bmp, 10, combo->Height() / 2), clLime);
}

class ListBoxTest : public StdCtrlsTest {
 protected:
  void SetUp() override {
    StdCtrlsTest::SetUp();
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 300, 300);
    list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 150, 100);
    for (int i = 0; i < 20; ++i) list->Items()->Add("item " + std::to_string(i));
    list->OnClick = [this](TObject*) { log.Add("click" + std::to_string(list->ItemIndex())); };
    form->Show();
  }
  void TearDown() override {
    delete form;
    StdCtrlsTest::TearDown();
  }
  // The client point of an item's middle.
  TPoint ItemPoint(int index) {
    const TRect r = list->ItemRect(index);
    const TRect insets = list->BorderInsets();
    return {10 + insets.Left, insets.Top + (r.Top + r.Bottom) / 2};
  }
  TForm* form = nullptr;
  TListBox* list = nullptr;
  EventLog log;
};

TEST_F(ListBoxTest, ClicksAndKeysChooseAndFireOnClickCodeDoesNot) {
  list->SetItemIndex(3);
  EXPECT_TRUE(list->Selected(3));
  EXPECT_TRUE(log.events.empty());
  const TPoint p = ItemPoint(1);
  Driver::Click(list, p.x, p.y);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_FALSE(list->Selected(3));
  EXPECT_TRUE(list->Focused());
  Driver::PressKey(VK_DOWN);
  Driver::PressKey(VK_END);
  EXPECT_EQ(log.Joined(), "click1 click2 click19");
  // The end of the list scrolled into view.
  EXPECT_GT(list->TopIndex(), 0);
  EXPECT_EQ(list->ItemAtPos({5, list->ItemRect(19).Top + 1}, true), 19);
  EXPECT_EQ(list->ItemAtPos({5, 5000}, true), -1);
  EXPECT_EQ(list->ItemAtPos({5, 5000}, false), 20);
  EXPECT_THROW(list->Selected(20), EInvalidOperation);
  // The items do not fit: a scroll bar takes room beside them, and a click
  // on its upper half scrolls up a row without choosing anything.
  EXPECT_EQ(list->ClientWidth(), 150 - 4 - kScrollBarSize);
  const int top = list->TopIndex();
  log.Clear();
  Driver::Click(list, list->Width() - 5, 10);
  EXPECT_EQ(list->TopIndex(), top - 1);
  EXPECT_TRUE(log.events.empty());
  // The wheel scrolls three rows a notch.
  Driver::MouseWheel(list, 20, 20, 120);
  EXPECT_EQ(list->TopIndex(), top - 4);
  list->SetSelected(19, false);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ListBoxTest, ItemChangesKeepTheChosenIndexInRange) {
  list->SetItemIndex(5);
  list->Items()->Exchange(5, 6);
  EXPECT_EQ(list->ItemIndex(), 5);
  EXPECT_EQ(list->Items()->Strings(6), "item 5");
  list->Items()->Move(6, 0);
  EXPECT_EQ(list->Items()->Strings(0), "item 5");
  EXPECT_THROW(list->Items()->Move(0, 20), EStringListError);
  list->Items()->SetSorted(true);
  const int before = list->Count();
  EXPECT_THROW(list->Items()->Move(0, 3), EStringListError);
  EXPECT_EQ(list->Count(), before);
  list->Items()->SetSorted(false);
  for (int i = 0; i < 15; ++i) list->Items()->Delete(0);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_EQ(list->Count(), 5);
  list->SetItemIndex(4);
  list->Items()->Delete(4);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_TRUE(log.events.empty());
}

TEST_F(ListBoxTest, MultiSelectWithShiftAndCtrl) {
  list->SetMultiSelect(true);
  Driver::Click(list, ItemPoint(1).x, ItemPoint(1).y);
  Driver::Click(list, ItemPoint(3).x, ItemPoint(3).y, mbLeft, ssShift);
  EXPECT_EQ(list->SelCount(), 3);
  Driver::Click(list, ItemPoint(2).x, ItemPoint(2).y, mbLeft, ssCtrl);
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_FALSE(list->Selected(2));
  list->SetSelected(10, true);
  EXPECT_EQ(list->SelCount(), 3);
  list->ClearSelection();
  EXPECT_EQ(list->SelCount(), 0);
  list->SelectAll();
  EXPECT_EQ(list->SelCount(), 20);
  // Fewer items: the selection shrinks with them.
  list->Items()->Clear();
  EXPECT_EQ(list->SelCount(), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ListBoxTest, OwnerDrawnItemsAreDrawnByOnDrawItem) {
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(20);
  list->SetItemIndex(1);
  std::vector<int> indexes;
  list->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState state) {
    indexes.push_back(index);
    list->Canvas()->Brush->Color = (state & odSelected) ? clRed : clAqua;
    list->Canvas()->FillRect(rect);
  };
  TBitmap bmp;
  PaintControlToBitmap(list, bmp);
  // Four rows fit (96 / 20), the fifth shows in part.
  EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(PixelAt(bmp, 20, 2 + 10), clAqua);
  EXPECT_EQ(PixelAt(bmp, 20, 2 + 30), clRed);
}
