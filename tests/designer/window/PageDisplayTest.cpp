// Showing and storing pages through the page tree: the page left is stored
// and the next one built, groups show their first page, the enabled state of
// every command for each kind of node, read-only projects, the stored size of
// a page, and the background: page frame, alternative group size, tiling and
// grid dots.

#include <gtest/gtest.h>

#include "core/XmlNode.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

std::string Project(const std::string& webAttributes, const std::string& grid = "Enable=\"1\" X=\"5\" Y=\"5\"") {
  return "<web version=\"8.1\" MaxUid=\"100\" " + webAttributes +
         ">\r\n"
         "<Grid " +
         grid +
         " />\r\n"
         "<group caption=\"Plain\" Uid=\"1\">\r\n"
         "<placeholders><alias name=\"g\">GroupVar</alias></placeholders>\r\n"
         "<page caption=\"One\" name=\"ONE.XML\" ucid=\"1234\" Uid=\"2\">\r\n"
         "<placeholders><alias name=\"p\">PageVar</alias></placeholders>\r\n"
         "<object caption=\"Hello\" X=\"2\" Y=\"3\" Uid=\"10\"><label /></object>\r\n"
         "</page>\r\n"
         "<page caption=\"Two\" name=\"TWO.XML\" Uid=\"3\">\r\n"
         "<object caption=\"World\" X=\"5\" Y=\"2\" Uid=\"11\"><label /></object>\r\n"
         "<object caption=\"Again\" X=\"5\" Y=\"6\" Uid=\"12\"><label /></object>\r\n"
         "</page>\r\n"
         "<page caption=\"Blank\" name=\"BLANK.XML\" Uid=\"4\" width=\"77\" />\r\n"
         "</group>\r\n"
         "<group caption=\"Alt\" altdim=\"true\" width=\"300\" height=\"200\" Uid=\"5\">\r\n"
         "<page caption=\"Small\" name=\"SMALL.XML\" Uid=\"6\" />\r\n"
         "</group>\r\n"
         "<group caption=\"Locked\" locked=\"1\" Uid=\"7\">\r\n"
         "<page caption=\"L1\" name=\"L1.XML\" Uid=\"8\" />\r\n"
         "<page caption=\"L2\" name=\"L2.XML\" Uid=\"9\" />\r\n"
         "</group>\r\n"
         "<group caption=\"Empty\" Uid=\"13\" />\r\n"
         "</web>";
}

class PageDisplay : public WindowTest {
 protected:
  TFormDesign1& Open(const std::string& text) {
    PutProject(text);
    return OpenDesigner();
  }
  TmyXmlNode* Page(const std::string& name) const {
    TmyXmlNode* web = designer->Document().Web();
    for (TmyXmlNode* page = web->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
      if (page->GetAttr("name") == name) return page;
    return nullptr;
  }
  TBitmap& Background() const { return *designer->imgBg->Picture()->Bitmap(); }
  // The right-most and bottom-most pixel of the colour on the bitmap, or -1.
  TPoint FarthestPixel(TColor color) const {
    TPoint far{-1, -1};
    TBitmap& b = Background();
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (b.Canvas->GetPixel(x, y) == color) far = {std::max(far.x, x), std::max(far.y, y)};
    return far;
  }
};

}  // namespace

TEST_F(PageDisplay, LeavingAPageStoresItAndTheNextPageIsBuilt) {
  TFormDesign1& d = Open(Project(""));
  ASSERT_EQ(d.CurrentPage(), Page("ONE.XML"));
  EXPECT_EQ(d.FCurrentUcid, 1234);
  EXPECT_EQ(d.FGlobalWebData.GroupPlaceHolders.Lookup("g"), "GroupVar");
  EXPECT_EQ(d.FGlobalWebData.PagePlaceHolders.Lookup("p"), "PageVar");
  ASSERT_EQ(d.PageObjects().size(), 1u);
  d.PageObjects()[0]->SetCaption("Changed");
  ClickNode(Node("Two"));
  EXPECT_EQ(d.CurrentPage(), Page("TWO.XML"));
  EXPECT_EQ(d.FCurrentUcid, 0);
  EXPECT_EQ(d.FShownPageName, "TWO.XML");
  EXPECT_EQ(d.FReturnPage, "ONE.XML");
  EXPECT_EQ(d.FGlobalWebData.PagePlaceHolders.Count(), 0);
  std::vector<int> uids;
  for (TGridWebElement* e : d.PageObjects()) uids.push_back(e->FUid);
  EXPECT_EQ(uids, (std::vector<int>{11, 12}));
  // The page left holds the surface's state.
  TmyXmlNode* one = Page("ONE.XML");
  TmyXmlNode* object = one->FindChild("object");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->GetAttr("caption"), "Changed");
  EXPECT_EQ(one->GetAttr("ucid"), "1234");
  EXPECT_NE(one->GetAttr("width"), "0");
  EXPECT_NE(one->GetAttr("height"), "0");
  // Coming back shows the stored state.
  ClickNode(Node("One"));
  ASSERT_EQ(d.PageObjects().size(), 1u);
  EXPECT_EQ(d.PageObjects()[0]->GetCaption(), "Changed");
}

TEST_F(PageDisplay, APageWithoutObjectsIsStoredWithSizeZero) {
  TFormDesign1& d = Open(Project(""));
  ClickNode(Node("Blank"));
  EXPECT_TRUE(d.PageObjects().empty());
  ClickNode(Node("One"));
  TmyXmlNode* blank = Page("BLANK.XML");
  EXPECT_EQ(blank->GetAttr("width"), "0");
  EXPECT_EQ(blank->GetAttr("height"), "0");
  EXPECT_EQ(blank->GetAttr("ucid"), "0");
}

TEST_F(PageDisplay, TheStoredSizeReachesTheFarthestObjectEdge) {
  TFormDesign1& d = Open(Project(""));
  ClickNode(Node("Two"));
  d.SavePage(d.CurrentPage());
  int right = 0, bottom = 0;
  for (TGridWebElement* e : d.PageObjects()) {
    right = std::max(right, e->GetPosition().x + e->Width() - 1);
    bottom = std::max(bottom, e->GetPosition().y + e->Height() - 1);
  }
  ASSERT_GT(right, 0);
  EXPECT_EQ(Page("TWO.XML")->GetAttr("width"), std::to_string(right));
  EXPECT_EQ(Page("TWO.XML")->GetAttr("height"), std::to_string(bottom));
}

TEST_F(PageDisplay, TheScrollRangeCoversTheFarthestObject) {
  TFormDesign1& d = Open(Project(""));
  TGridWebElement* object = d.PageObjects().front();
  object->SetPosition(1500, 1200);
  d.UpdateScrollExtent();
  EXPECT_EQ(d.lblDummy->Left(), object->Left() + object->Width());
  EXPECT_EQ(d.lblDummy->Top(), object->Top() + object->Height());
  EXPECT_GE(d.sbDesign1->HorzScrollBar()->Range(), object->Left() + object->Width());
  EXPECT_GE(d.sbDesign1->VertScrollBar()->Range(), object->Top() + object->Height());
}

TEST_F(PageDisplay, AGroupWithPagesShowsItsFirstPage) {
  TFormDesign1& d = Open(Project(""));
  ClickNode(Node("Two"));
  ClickNode(Node("Plain"));
  EXPECT_EQ(d.CurrentPage(), Page("ONE.XML"));
  EXPECT_EQ(d.PageObjects().size(), 1u);
  EXPECT_TRUE(d.sbDesign1->Visible());
  EXPECT_TRUE(d.btnLabel->Enabled());
}

// The enabled state of the commands for a selected node.
struct TStateCase {
  const char* node;
  bool edit2, up, down, add, remove, groupSettings, tools, shown;
};

TEST_F(PageDisplay, EachKindOfNodeEnablesItsCommands) {
  TFormDesign1& d = Open(Project(""));
  const TStateCase cases[] = {
      // node      Edit2  up     down   add    delete group  tools  shown
      {"One", true, false, true, true, true, true, true, true},
      {"Blank", true, true, false, true, true, true, true, true},
      {"Plain", true, false, true, true, true, true, true, true},
      {"Empty", true, true, false, true, true, true, false, false},
      {"L1", false, false, false, false, false, false, true, true},
      {"L2", false, false, false, false, false, false, true, true},
      {"Locked", true, true, true, false, false, false, true, true},
  };
  for (const TStateCase& c : cases) {
    ClickNode(Node(c.node));
    EXPECT_EQ(d.Edit2->Enabled(), c.edit2) << c.node;
    EXPECT_EQ(d.btnPageUp->Enabled(), c.up) << c.node;
    EXPECT_EQ(d.MoveUp1->Enabled(), c.up) << c.node;
    EXPECT_EQ(d.btnPageDown->Enabled(), c.down) << c.node;
    EXPECT_EQ(d.MoveDown1->Enabled(), c.down) << c.node;
    EXPECT_EQ(d.btnAddPage->Enabled(), c.add) << c.node;
    EXPECT_EQ(d.Addpage1->Enabled(), c.add) << c.node;
    EXPECT_EQ(d.btnDeletePage->Enabled(), c.remove) << c.node;
    EXPECT_EQ(d.Delete2->Enabled(), c.remove) << c.node;
    EXPECT_EQ(d.GroupPageSettings1->Enabled(), c.groupSettings) << c.node;
    EXPECT_EQ(d.FGlobalWebData.GroupLocked, !c.add) << c.node;
    for (TToolButton* tool : {d.btnLabel, d.btnEditBox, d.btnDropDown, d.btnImageManager, d.tbObjectList, d.btnPass,
                              d.btnGlobal, d.tbAlarm, d.tbLayers, d.btnSave1, d.tbPreview1, d.tbLang})
      EXPECT_EQ(tool->Enabled(), c.tools) << c.node << " " << tool->Name();
    EXPECT_EQ(d.sbDesign1->Visible(), c.shown) << c.node;
    EXPECT_EQ(d.imgBg->Visible(), c.shown) << c.node;
  }
}

TEST_F(PageDisplay, AnEmptyGroupShowsNothing) {
  TFormDesign1& d = Open(Project(""));
  ClickNode(Node("Empty"));
  EXPECT_TRUE(d.PageObjects().empty());
  EXPECT_FALSE(d.sbDesign1->Visible());
  ASSERT_NE(d.CurrentPage(), nullptr);
  EXPECT_EQ(d.CurrentPage()->name, "group");
  // Leaving it stores nothing into the group.
  ClickNode(Node("One"));
  EXPECT_EQ(Node("Empty") != nullptr, true);
  TmyXmlNode* empty = static_cast<TmyXmlNode*>(Node("Empty")->Data);
  EXPECT_EQ(empty->FindAttr("ucid"), nullptr);
  EXPECT_EQ(empty->FindChild("object"), nullptr);
}

TEST_F(PageDisplay, AReadOnlyProjectShowsPagesWithEveryCommandOff) {
  std::string text = Project("");
  text.replace(text.find("8.1"), 3, "9.0");
  TFormDesign1& d = Open(text);
  ASSERT_TRUE(d.Document().ReadOnly());
  for (const char* node : {"One", "Plain", "Empty", "L1"}) {
    ClickNode(Node(node));
    for (TToolButton* b :
         {d.btnAddPage, d.btnDeletePage, d.btnPageUp, d.btnPageDown, d.btnLabel, d.btnSave1, d.tbPreview1, d.tbLang})
      EXPECT_FALSE(b->Enabled()) << node << " " << b->Name();
    for (TMenuItem* item : {d.MoveUp1, d.MoveDown1, d.GroupPageSettings1, d.Addpage1, d.Delete2})
      EXPECT_FALSE(item->Enabled()) << node << " " << item->Name();
    EXPECT_TRUE(d.FGlobalWebData.GroupLocked) << node;
  }
  ClickNode(Node("Two"));
  EXPECT_EQ(d.PageObjects().size(), 2u);
}

struct TFrameCase {
  const char* attributes;
  const char* node;
  int width;
  int height;
};

TEST_F(PageDisplay, ThePageFrameFollowsThePageAreaMenuAndTitle) {
  const TFrameCase cases[] = {
      {"", "Small", 140, 160},                                // the group's 300 x 200 with menu and title
      {"menu=\"false\" title=\"false\"", "Small", 300, 200},  // without them
      {"", "One", 800, 500},                                  // the project's 980 x 560
      {"width=\"500\" height=\"300\" menu=\"false\"", "One", 480, 240},
      {"width=\"500\" height=\"300\" title=\"false\"", "One", 320, 280},
  };
  for (const TFrameCase& c : cases) {
    TFormDesign1& d = Open(Project(c.attributes, "Enable=\"0\""));
    ClickNode(Node(c.node));
    EXPECT_EQ(FarthestPixel(clBlack), (TPoint{c.width - 1, c.height - 1})) << c.attributes << " " << c.node;
    EXPECT_EQ(Background().Width(), c.width) << c.attributes;
    EXPECT_EQ(Background().Height(), c.height) << c.attributes;
    // The frame is dotted: its top edge has black and white pixels.
    int black = 0;
    for (int x = 0; x < c.width; ++x) black += Background().Canvas->GetPixel(x, 0) == clBlack ? 1 : 0;
    EXPECT_GT(black, c.width / 4) << c.attributes;
    EXPECT_LT(black, c.width * 3 / 4) << c.attributes;
    EXPECT_EQ(Background().Canvas->GetPixel(c.width / 2, c.height / 2), clWhite);
    EXPECT_EQ(d.imgBg->Width(), c.width);
    designer.reset();
  }
}

TEST_F(PageDisplay, GridDotsMarkTheRasterAboveThreePixels) {
  TFormDesign1& d = Open(Project("", "Enable=\"1\" X=\"10\" Y=\"20\""));
  const TColor dot = static_cast<TColor>(0x999999);
  EXPECT_EQ(Background().Canvas->GetPixel(10, 20), dot);
  EXPECT_EQ(Background().Canvas->GetPixel(790, 480), dot);
  EXPECT_EQ(Background().Canvas->GetPixel(15, 20), clWhite);
  EXPECT_EQ(Background().Canvas->GetPixel(10, 25), clWhite);
  // Off: the background is drawn again without dots.
  d.tbGridOffClick(nullptr);
  EXPECT_EQ(Background().Canvas->GetPixel(10, 20), clWhite);
  designer.reset();
  Open(Project("", "Enable=\"1\" X=\"3\" Y=\"10\""));
  EXPECT_EQ(Background().Canvas->GetPixel(30, 20), clWhite);
}

TEST_F(PageDisplay, ARepeatedBackgroundIsTiledOverTheGrownPicture) {
  // A 100 x 80 picture, red with a blue mark at (7, 5); the page area gives a
  // frame of 250 x 170.
  TBitmap tile;
  tile.SetSize(100, 80);
  tile.Canvas->Brush->Color = clRed;
  tile.Canvas->FillRect({0, 0, 100, 80});
  tile.Canvas->SetPixel(7, 5, clBlue);
  std::filesystem::create_directories(folder.Path() / "Tarnwell" / "Images");
  tile.SaveToFile(folder.System("Tarnwell\\Images\\tile.bmp"));
  std::string text = Project("width=\"430\" height=\"230\"", "Enable=\"0\"");
  text.replace(text.find("name=\"BLANK.XML\""), 16, "name=\"BLANK.XML\" background=\"tile.bmp\" repeat=\"true\"");
  text.replace(text.find("name=\"TWO.XML\""), 14, "name=\"TWO.XML\" background=\"tile.bmp\"");
  Open(text);
  ClickNode(Node("Blank"));
  ASSERT_EQ(Background().Width(), 250);
  ASSERT_EQ(Background().Height(), 170);
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) {
      const int x = i * 100 + 7, y = j * 80 + 5;
      if (x < 250 && y < 170) {
        EXPECT_EQ(Background().Canvas->GetPixel(x, y), clBlue) << i << "," << j << " at " << x << "," << y;
      }
    }
  EXPECT_EQ(Background().Canvas->GetPixel(150, 100), clRed);
  // Without `repeat` the picture stands once; the rest is the page's colour.
  ClickNode(Node("Two"));
  EXPECT_EQ(Background().Canvas->GetPixel(7, 5), clBlue);
  EXPECT_EQ(Background().Canvas->GetPixel(107, 5), clWhite);
  EXPECT_EQ(Background().Canvas->GetPixel(150, 100), clWhite);
}

TEST_F(PageDisplay, ThePageColourFillsTheSurface) {
  std::string text = Project("", "Enable=\"0\"");
  text.replace(text.find("name=\"BLANK.XML\""), 16, "name=\"BLANK.XML\" bgcolor=\"65280\"");
  TFormDesign1& d = Open(text);
  ClickNode(Node("Blank"));
  EXPECT_EQ(d.sbDesign1->Color(), static_cast<TColor>(65280));
  EXPECT_EQ(Background().Canvas->GetPixel(50, 50), static_cast<TColor>(65280));
}
