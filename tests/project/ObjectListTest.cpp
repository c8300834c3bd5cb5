// The object list: rows and counts of the shown page, the natural sort,
// selection both ways, the layer menu (an undo step and a modified project),
// pasting a page, copying the rows as text, and pictures.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "project/FormObjectList.h"
#include "tests/project/ProjectDialogTest.h"
#include "tests/support/CutTexts.h"

using namespace projecttest;

namespace {

std::string Edit(int uid, int x, const std::string& variable, const std::string& extra = "") {
  return "<object caption=\"\" hint=\"\" X=\"" + std::to_string(x) + "\" Y=\"2\" level=\"1\" Uid=\"" +
         std::to_string(uid) + "\"" + extra + "><edit variable=\"" + variable +
         "\" type=\"UINT\" width=\"45\" height=\"21\" tabindex=\"" + std::to_string(uid) + "\" /></object>\r\n";
}

std::string ImageButton(int uid, int x, const std::string& variable) {
  return "<object caption=\"B\" hint=\"\" X=\"" + std::to_string(x) + "\" Y=\"30\" Uid=\"" + std::to_string(uid) +
         "\"><imagebtn variable=\"" + variable + "\" type=\"UINT\" value=\"1\" /></object>\r\n";
}

std::string PageProject(const std::string& objects, const std::string& webChildren = "") {
  return "<web version=\"8.1\" MaxUid=\"100\">\r\n<group caption=\"Main\" Uid=\"1\">\r\n"
         "<page caption=\"Start\" name=\"START.XML\" Uid=\"2\">\r\n" +
         objects + "</page>\r\n</group>\r\n" + webChildren + "</web>\r\n";
}

class ObjectList : public ProjectDialogTest {
 protected:
  void TearDown() override {
    dialog.reset();
    Driver::Reset();
    ProjectDialogTest::TearDown();
  }
  void OpenPage(const std::string& objects, const std::string& webChildren = "") {
    PutProject(PageProject(objects, webChildren));
    OpenDesigner();
  }
  TFormObjectList& Loaded() {
    dialog.reset();
    dialog = std::make_unique<TFormObjectList>(designer.get());
    dialog->Designer = designer.get();
    dialog->RefreshObjectList();
    dialog->Show();
    return *dialog;
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> out;
    TListItems& items = *dialog->ObjectListView1->Items();
    for (int i = 0; i < items.Count(); ++i)
      out.push_back(column == 0 ? items.Item(i)->Caption() : items.Item(i)->SubItems()->Strings(column - 1));
    return out;
  }
  std::unique_ptr<TFormObjectList> dialog;
};

TEST(NaturalCompare, OrdersDigitRunsByLengthAndDigitsAfterLetters) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } const cases[] = {
      {"2", "10", -1},   {"10", "2", 1},    {"1", "1", 0},  {"A", "1", -1}, {"a", "A", 0},
      {"ab", "abc", -1}, {"x9", "x10", -1}, {"_", "0", -1}, {"B", "a", 1},  {"Tank2", "tank10", -1},
  };
  for (const Case& c : cases) {
    const int r = NaturalCompare(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
  }
}

TEST_F(ObjectList, AnEmptyPageCountsTheAlarmVariablesOnly) {
  OpenPage("", "<alarms><alarm var=\"Tank.Alarm\" page=\"\" /><alarm var=\"\" page=\"\" /></alarms>\r\n");
  TFormObjectList& form = Loaded();
  EXPECT_EQ(form.ObjectListView1->Items()->Count(), 0);
  EXPECT_EQ(form.lblNumberOfObjects->Caption(), "Number of objects: 0");
  EXPECT_EQ(form.lblNumberOfVariables->Caption(), "Number of variables: 1");
}

TEST_F(ObjectList, RowsShowTheObjectsAndImageButtonsCountOnlyInAllVariables) {
  OpenPage(Edit(11, 5, "Level") + ImageButton(12, 60, "level") + ImageButton(13, 90, "OnlyButton"));
  TFormObjectList& form = Loaded();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Level", "level", "OnlyButton"}));
  // Positions in units counted from 0 (the file's X is in cells of 8 units).
  EXPECT_EQ(Column(6), (std::vector<std::string>{"32", "472", "712"}));
  EXPECT_EQ(Column(11), (std::vector<std::string>{"11", "", ""}));
  EXPECT_EQ(Column(12)[0], "1. " + designer->FLayers[0].Name);
  EXPECT_EQ(form.lblNumberOfObjects->Caption(), "Number of objects: 3");
  // "Level" once (letter case aside); "OnlyButton" only among all variables.
  EXPECT_EQ(form.lblNumberOfVariables->Caption(), "Number of variables: 1 (2)");
}

TEST_F(ObjectList, SortingTheOrderColumnIsNatural) {
  std::string objects;
  for (int i = 1; i <= 11; ++i) objects += Edit(i, i * 10, "V" + std::to_string(i));
  OpenPage(objects);
  TFormObjectList& form = Loaded();
  form.ObjectListView1ColumnClick(nullptr, form.ObjectListView1->Columns()->Items(2));
  EXPECT_EQ(Column(2)[1], "V2");
  form.ObjectListView1ColumnClick(nullptr, form.ObjectListView1->Columns()->Items(0));
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));
}

TEST_F(ObjectList, SelectingRowsSelectsObjectsAndAHiddenLayerDeselects) {
  OpenPage(Edit(11, 5, "A") + Edit(12, 60, "B"));
  TFormObjectList& form = Loaded();
  std::vector<TGridWebElement*> objects = designer->PageObjects();
  form.ObjectListView1->Items()->Item(1)->SetSelected(true);
  EXPECT_TRUE(objects[1]->Selected());
  EXPECT_FALSE(objects[0]->Selected());
  designer->FLayers[3].Visible = false;
  form.PopupMenu1Popup(form.PopupMenu1);
  ASSERT_EQ(form.miLayers->Count(), 16);
  EXPECT_EQ(form.miLayers->Items(3)->ImageIndex, 1);
  designer->Document().SetModified(false);
  form.miLayers->Items(3)->Click();
  EXPECT_EQ(objects[1]->FLayer, 3);
  EXPECT_FALSE(objects[1]->Selected());
  EXPECT_FALSE(form.ObjectListView1->Items()->Item(1)->Selected());
  EXPECT_EQ(form.ObjectListView1->Items()->Item(1)->ImageIndex(), 1);
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_FALSE(designer->tbUndo->Enabled());  // the list's move records no undo step
}

TEST_F(ObjectList, PastingPageTextDoesNothingAndRowsCopyAsText) {
  OpenPage(Edit(11, 5, "A"));
  TFormObjectList& form = Loaded();
  Clipboard()->SetAsText("<page caption=\"X\" />");
  form.Paste1->Click();
  EXPECT_EQ(form.ObjectListView1->Items()->Count(), 1);
  form.Panel1DblClick(nullptr);
  EXPECT_EQ(Clipboard()->AsText(), form.RowsText());
  EXPECT_EQ(form.RowsText().substr(0, 2), "1\t");
  EXPECT_EQ(form.RowsText().substr(form.RowsText().size() - 2), "\r\n");
}

TEST_F(ObjectList, TheDesignersCommandShowsTheList) {
  OpenPage(Edit(11, 5, "A"));
  int rows = -1;
  Driver::OnModal("TFormObjectList", [&rows](TCustomForm& form) {
    rows = dynamic_cast<TFormObjectList&>(form).ObjectListView1->Items()->Count();
    return mrOk;
  });
  ClickButton(designer->tbObjectList);
  EXPECT_EQ(rows, 1);
}

// The last column (the layer) ends inside the list, beside the room of the
// vertical scroll bar that many rows bring.
TEST_F(ObjectList, EveryColumnEndsInsideTheList) {
  OpenPage(Edit(11, 5, "Level"));
  TFormObjectList& form = Loaded();
  form.FormActivate(&form);
  int right = 0;
  for (int c = 0; c < form.ObjectListView1->Columns()->Count(); ++c)
    right += form.ObjectListView1->Columns()->Items(c)->Width();
  EXPECT_LE(right, form.ObjectListView1->ClientWidth() - kScrollBarSize);
}

TEST_F(ObjectList, SizePlaceAndTopRowAreKeptInTheProjectSettingsFile) {
  std::string objects;
  for (int i = 0; i < 40; ++i) objects += Edit(11 + i, 5, "V" + std::to_string(i));
  OpenPage(objects);
  // A stored top beyond the screen is centred again; the left edge stays.
  folder.Write("Tarnwell/Proj.webx",
               "[FormObjectList]\r\nHeight=300\r\nWidth=700\r\nTop=99999\r\nLeft=20\r\nTopItem=12\r\n");
  std::vector<int> shown;
  Driver::OnModal("TFormObjectList", [&shown](TCustomForm& form) {
    auto& list = dynamic_cast<TFormObjectList&>(form);
    shown = {form.Left(), form.Top(), form.Width(), form.Height(), list.ObjectListView1->TopIndex()};
    form.SetLeft(33);
    list.ObjectListView1->SetTopIndex(5);
    Driver::Click(list.Button1);
    return mrNone;
  });
  ClickButton(designer->tbObjectList);
  EXPECT_EQ(shown, (std::vector<int>{20, (Screen->Height() - 300) / 2, 700, 300, 12}));
  const std::string settings = folder.Read("Tarnwell/Proj.webx");
  for (const std::string& line : {std::string("Left=33"), std::string("Width=700"), std::string("TopItem=5")})
    EXPECT_NE(settings.find(line), std::string::npos) << line << "\n" << settings;
}

TEST_F(ObjectList, Pictures) {
  OpenPage(Edit(11, 5, "Level") + ImageButton(12, 60, "Pump") + Edit(13, 120, "Frozen", " layer=\"2\""));
  designer->FLayers[2].Frozen = true;
  InEveryLanguage([this](const std::string& language) {
    TFormObjectList& form = Loaded();
    form.FormActivate(&form);
    EXPECT_FALSE(SavePicture(&form, "object-list-" + language).empty());
    EXPECT_EQ(testsupport::CutTexts(form), std::vector<std::string>{}) << language;
  });
}

}  // namespace

TEST_F(ObjectList, CutAndCopyOfTheMenuRunTheDesignersCommandOnTheSelectedRows) {
  const struct {
    TMenuItem* TFormObjectList::*item;
    std::vector<std::string> rowsAfter;
  } cases[] = {{&TFormObjectList::Copy1, {"A", "B"}}, {&TFormObjectList::Cut1, {"A"}}};
  for (const auto& c : cases) {
    dialog.reset();
    OpenPage(Edit(11, 5, "A") + Edit(12, 60, "B"));
    TFormObjectList& form = Loaded();
    Clipboard()->SetAsText("");
    form.ObjectListView1->Items()->Item(1)->SetSelected(true);
    (form.*c.item)->Click();
    EXPECT_NE(Clipboard()->AsText().find("variable=\"B\""), std::string::npos);
    EXPECT_EQ(Clipboard()->AsText().find("variable=\"A\""), std::string::npos);
    EXPECT_EQ(Column(2), c.rowsAfter);
    EXPECT_EQ(designer->PageObjects().size(), c.rowsAfter.size());
  }
}
