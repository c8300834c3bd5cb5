// TListView: items with sub-items, the events of the system's list view,
// selection by code and by the mouse, sorting and custom drawing.

#include "platform/vcl/ImageList.h"
#include "platform/vcl/ListView.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/vcl/comctrls/ComCtrlsTestSupport.h"

namespace {

class ListViewTest : public ComCtrlsTest {
 protected:
  void SetUp() override {
    ComCtrlsTest::SetUp();
    form = new TForm(nullptr);
    PrepareForm(*form, 320, 200);
    lv = new TListView(form);
    lv->SetParent(form);
    lv->SetBounds(0, 0, 300, 180);
    lv->SetViewStyle(vsReport);
    for (const char* title : {"Name", "Value"}) lv->Columns()->Add()->SetCaption(title);
    lv->Columns()->Items(0)->SetWidth(100);
    lv->Columns()->Items(1)->SetWidth(70);
    lv->Columns()->Items(1)->SetAlignment(taRightJustify);
  }
  TListItem* AddRow(const std::string& caption, const std::string& value) {
    TListItem* item = lv->Items()->Add();
    item->SetCaption(caption);
    item->SubItems()->Add(value);
    return item;
  }
  // The middle of a row's caption cell.
  TPoint RowPoint(int index, int x = 20) {
    const TRect r = lv->ItemRect(lv->Items()->Item(index));
    return {x, r.Top + static_cast<int>(r.Height()) / 2};
  }
  void TearDown() override {
    delete form;
    ComCtrlsTest::TearDown();
  }
  TForm* form = nullptr;
  TListView* lv = nullptr;
};

}  // namespace

TEST_F(ListViewTest, ItemsHoldCaptionSubItemsAndDataAndFireTheirEvents) {
  EventLog log;
  lv->OnInsert = [&](TObject*, TListItem*) { log.Add("insert"); };
  lv->OnChanging = [&](TObject*, TListItem* item, TItemChange change, bool&) {
    log.Add("changing" + std::to_string(change) + ":" + item->Caption());
  };
  lv->OnChange = [&](TObject*, TListItem* item, TItemChange change) {
    log.Add("change" + std::to_string(change) + ":" + item->Caption());
  };
  lv->OnDeletion = [&](TObject*, TListItem* item) { log.Add("delete:" + item->Caption()); };
  int data = 7;
  TListItem* a = AddRow("a", "1");
  a->Data = &data;
  AddRow("b", "2");
  EXPECT_EQ(log.Joined(), "insert changing0: change0:a insert changing0: change0:b");
  ASSERT_EQ(lv->Items()->Count(), 2);
  EXPECT_EQ(lv->Items()->Item(0)->SubItems()->Strings(0), "1");
  EXPECT_EQ(lv->Items()->Item(0)->Data, &data);
  EXPECT_EQ(lv->Items()->Item(1)->Index(), 1);
  EXPECT_THROW(lv->Items()->Item(2), EInvalidOperation);

  // A refused change keeps the caption.
  log.Clear();
  lv->OnChanging = [&](TObject*, TListItem*, TItemChange, bool& allow) { allow = false; };
  a->SetCaption("x");
  EXPECT_EQ(a->Caption(), "a");
  lv->OnChanging = nullptr;

  log.Clear();
  lv->Items()->BeginUpdate();
  lv->Items()->Delete(0);
  lv->Items()->Clear();
  lv->Items()->EndUpdate();
  EXPECT_EQ(log.Joined(), "delete:a delete:b");
  EXPECT_EQ(lv->Items()->Count(), 0);
}

TEST_F(ListViewTest, SelectionFromCodeFiresChangeAndSelectItemAndGivesItemIndex) {
  for (int i = 0; i < 4; ++i) AddRow("r" + std::to_string(i), "");
  EventLog log;
  lv->OnChange = [&](TObject*, TListItem* item, TItemChange change) {
    if (change == ctState) log.Add("change:" + item->Caption());
  };
  lv->OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
    log.Add(std::string(selected ? "sel:" : "unsel:") + item->Caption());
  };
  EXPECT_EQ(lv->Selected(), nullptr);
  EXPECT_EQ(lv->ItemIndex(), -1);
  lv->Items()->Item(2)->SetSelected(true);
  lv->SetItemIndex(1);  // a single-choice list: the old one goes first
  EXPECT_EQ(log.Joined(), "change:r2 sel:r2 change:r2 unsel:r2 change:r1 sel:r1");
  EXPECT_EQ(lv->ItemIndex(), 1);
  EXPECT_EQ(lv->SelCount(), 1);

  lv->SetMultiSelect(true);
  lv->Items()->Item(3)->SetSelected(true);
  EXPECT_EQ(lv->SelCount(), 2);
  EXPECT_EQ(lv->Selected(), lv->Items()->Item(1));  // the first selected
  log.Clear();
  lv->SetSelected(nullptr);
  EXPECT_EQ(lv->SelCount(), 0);
  EXPECT_EQ(log.Joined(), "change:r1 unsel:r1 change:r3 unsel:r3");
  lv->SetItemIndex(99);  // ignored
  EXPECT_EQ(lv->ItemIndex(), -1);
}

TEST_F(ListViewTest, MouseSelectsRowsTogglesCheckBoxesAndClicksColumns) {
  form->Show();
  for (int i = 0; i < 5; ++i) AddRow("row" + std::to_string(i), std::to_string(i));
  lv->SetMultiSelect(true);
  EventLog log;
  lv->OnColumnClick = [&](TObject*, TListColumn* column) { log.Add("column:" + column->Caption()); };
  lv->OnDblClick = [&](TObject*) { log.Add("dbl:" + std::to_string(lv->ItemIndex())); };

  Driver::Click(lv, RowPoint(1).x, RowPoint(1).y);
  EXPECT_TRUE(lv->Focused());
  EXPECT_EQ(lv->ItemIndex(), 1);
  Driver::Click(lv, RowPoint(3).x, RowPoint(3).y, mbLeft, ssShift);
  EXPECT_EQ(lv->SelCount(), 3);
  Driver::Click(lv, RowPoint(2).x, RowPoint(2).y, mbLeft, ssCtrl);
  EXPECT_EQ(lv->SelCount(), 2);
  EXPECT_FALSE(lv->Items()->Item(2)->Selected());
  Driver::Click(lv, 20, 170);  // below the rows: nothing selected
  EXPECT_EQ(lv->SelCount(), 0);
  Driver::DoubleClick(lv, RowPoint(4).x, RowPoint(4).y);
  Driver::Click(lv, 150, lv->HeaderHeight() / 2);
  EXPECT_EQ(log.Joined(), "dbl:4 column:Value");
  Driver::PressKey(VK_UP);
  EXPECT_EQ(lv->ItemIndex(), 3);

  // Check boxes: a click on the box toggles it without selecting.
  lv->SetCheckboxes(true);
  lv->SetSelected(nullptr);
  Driver::Click(lv, 8, RowPoint(0).y);
  EXPECT_TRUE(lv->Items()->Item(0)->Checked());
  EXPECT_EQ(lv->SelCount(), 0);
  lv->Items()->Item(0)->SetFocused(true);
  Driver::PressKey(VK_SPACE);
  EXPECT_FALSE(lv->Items()->Item(0)->Checked());
}

TEST_F(ListViewTest, SortTypeSortsByCaptionAndOnCompareOrCustomSortDecide) {
  for (const char* c : {"pear", "Apple", "fig", "apple"}) AddRow(c, "");
  int d1 = 0, d2 = 0;
  lv->Items()->Item(0)->Data = &d2;
  lv->Items()->Item(1)->Data = &d1;
  auto captions = [&] {
    std::string all;
    for (int i = 0; i < lv->Items()->Count(); ++i) all += lv->Items()->Item(i)->Caption() + " ";
    return all;
  };
  lv->Items()->Item(0)->SetSelected(true);
  lv->SetSortType(stText);
  EXPECT_EQ(captions(), "Apple apple fig pear ");
  EXPECT_EQ(lv->Selected()->Caption(), "pear");  // the selection stays with its item
  // A new caption re-sorts, after the update when one runs.
  lv->Items()->BeginUpdate();
  lv->Items()->Item(0)->SetCaption("zebra");
  EXPECT_EQ(captions(), "zebra apple fig pear ");
  lv->Items()->EndUpdate();
  EXPECT_EQ(captions(), "apple fig pear zebra ");

  // OnCompare (a numeric order by the second column), then CustomSort.
  for (int i = 0; i < 4; ++i) lv->Items()->Item(i)->SubItems()->Add(std::to_string(10 - 3 * i));
  lv->OnCompare = [](TObject*, TListItem* a, TListItem* b, int, int& compare) {
    compare = std::stoi(a->SubItems()->Strings(1)) - std::stoi(b->SubItems()->Strings(1));
  };
  lv->AlphaSort();
  EXPECT_EQ(captions(), "zebra pear fig apple ");
  lv->CustomSort([](TListItem* a, TListItem* b, int data) { return data * a->Caption().compare(b->Caption()); }, -1);
  EXPECT_EQ(captions(), "zebra pear fig apple ");
  lv->CustomSort([](TListItem* a, TListItem* b, int data) { return data * a->Caption().compare(b->Caption()); }, 1);
  EXPECT_EQ(captions(), "apple fig pear zebra ");
}

TEST_F(ListViewTest, CustomDrawColoursRowsButTheSelectionWinsAndSubItemsCanBeDrawnByTheHandler) {
  AddRow("plain", "1");
  AddRow("frozen", "2");
  AddRow("hidden", "3");
  AddRow("selected", "4");
  lv->SetRowSelect(true);
  lv->SetHideSelection(false);
  lv->Items()->Item(3)->SetSelected(true);
  std::vector<int> subItems;
  lv->OnCustomDrawItem = [&](TListView* sender, TListItem* item, TCustomDrawState, bool& defaultDraw) {
    EXPECT_TRUE(defaultDraw);
    if (item->Caption() == "frozen" || item->Caption() == "selected") {
      sender->Canvas()->Brush->Color = static_cast<TColor>(0xFFF0D1);
      sender->Canvas()->Font->Color = static_cast<TColor>(0xFF6600);
    }
    if (item->Caption() == "hidden") defaultDraw = false;  // drawn by nobody
  };
  lv->OnCustomDrawSubItem = [&](TListView* sender, TListItem* item, int subItem, TCustomDrawState, bool& defaultDraw) {
    if (item->Caption() != "plain") return;
    subItems.push_back(subItem);
    if (subItem == 1) {
      sender->Canvas()->Brush->Color = clRed;
      sender->Canvas()->FillRect(
          Rect(lv->ColumnRect(1).Left, lv->ItemRect(item).Top, lv->ColumnRect(1).Right, lv->ItemRect(item).Bottom));
      defaultDraw = false;
    }
  };
  TBitmap bmp;
  PaintClientToBitmap(lv, bmp);
  EXPECT_EQ(subItems, (std::vector<int>{0, 1}));
  auto rowY = [&](int i) { return lv->ItemRect(lv->Items()->Item(i)).Top + 1; };
  const int bx = 0;
  EXPECT_EQ(PixelAt(bmp, bx + 90, rowY(1)), static_cast<TColor>(0xFFF0D1));
  EXPECT_EQ(PixelAt(bmp, bx + 90, rowY(3)), ColorToRGB(clBtnFace));  // unfocused selection
  EXPECT_EQ(PixelAt(bmp, bx + 150, rowY(0)), clRed);
  EXPECT_EQ(CountColor(bmp, Rect(bx, rowY(2) - 1, bx + 170, rowY(2) + 10), clWindowText), 0);
}

TEST_F(ListViewTest, EditingACaptionGoesThroughOnEditingAndOnEdited) {
  TListItem* item = AddRow("old", "1");
  bool allow = true;
  lv->OnEditing = [&](TObject*, TListItem*, bool& allowEdit) { allowEdit = allow; };
  lv->OnEdited = [&](TObject*, TListItem*, std::string& s) { s += "!"; };
  ASSERT_TRUE(item->EditCaption());
  EXPECT_EQ(lv->EditingItem(), item);
  lv->EndEditing("new");
  EXPECT_EQ(item->Caption(), "new!");
  EXPECT_EQ(lv->EditingItem(), nullptr);
  ASSERT_TRUE(item->EditCaption());
  lv->EndEditing("dropped", true);
  EXPECT_EQ(item->Caption(), "new!");
  allow = false;
  EXPECT_FALSE(item->EditCaption());
  allow = true;
  lv->ReadOnly = true;
  EXPECT_FALSE(item->EditCaption());
}

TEST_F(ListViewTest, AnItemDeletedAgainFromItsOwnOnDeletionGoesOnce) {
  AddRow("a", "");
  AddRow("b", "");
  int deletions = 0;
  lv->OnDeletion = [&](TObject*, TListItem* item) {
    ++deletions;
    item->Delete();  // ignored: it is on its way out
  };
  lv->Items()->Item(0)->Delete();
  EXPECT_EQ(deletions, 1);
  EXPECT_EQ(lv->Items()->Count(), 1);
  EXPECT_EQ(lv->Items()->Item(0)->Caption(), "b");
}

TEST_F(ListViewTest, AdvancedCustomDrawRunsBeforeAndAfterEachRowAndCanSkipIt) {
  AddRow("a", "1");
  AddRow("b", "2");
  EventLog log;
  lv->OnAdvancedCustomDrawItem = [&](TListView*, TListItem* item, TCustomDrawState, TCustomDrawStage stage,
                                     bool& defaultDraw) {
    log.Add(item->Caption() + (stage == cdPrePaint ? ":pre" : stage == cdPostPaint ? ":post" : ":other"));
    if (item->Caption() == "b") defaultDraw = false;
  };
  TBitmap bmp;
  PaintClientToBitmap(lv, bmp);
  EXPECT_EQ(log.Joined(), "a:pre a:post b:pre");
}
