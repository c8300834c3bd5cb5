// The page tree's commands, driven as the user drives them: adding groups and
// pages (names, places, the properties dialog's answer), deleting with the
// question, the default page, locked groups, moves that keep the expanded
// state, and the tree's mouse handling.

#include <gtest/gtest.h>

#include <sstream>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "designer/PageTree.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StringList.h"
#include "platform/win/MessageBox.h"
#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

constexpr const char* kProject =
    "<web version=\"8.1\" MaxUid=\"100\">\r\n"
    "<Grid Enable=\"1\" X=\"5\" Y=\"5\" />\r\n"
    "<group caption=\"G1\" Uid=\"1\">\r\n"
    "<page caption=\"Index\" name=\"INDEX.xml\" Uid=\"2\">\r\n"
    "<object caption=\"Hello\" X=\"2\" Y=\"3\" Uid=\"10\"><label /></object>\r\n"
    "</page>\r\n"
    "<page caption=\"Three\" name=\"PAGE3.xml\" default=\"true\" Uid=\"3\" />\r\n"
    "</group>\r\n"
    "<images />\r\n"
    "<group caption=\"Locked\" locked=\"1\" Uid=\"4\">\r\n"
    "<page caption=\"Seven\" name=\"page7.XML\" Uid=\"5\" />\r\n"
    "</group>\r\n"
    "<group caption=\"Empty\" Uid=\"6\" />\r\n"
    "</web>";

class PageTree : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Driver::ResetPopups();
    PutProject(kProject);
    OpenDesigner();
    // The group and page dialogs answer propertiesAnswer (OK through their
    // OK button).
    for (const char* form : {"TFormGroupProperties", "TFormPageProperties"})
      Driver::OnModal(form, [this](TCustomForm& dialog) {
        if (propertiesAnswer != mrOk) return propertiesAnswer;
        dynamic_cast<TButton&>(*dialog.FindComponent("Button1")).Click();
        return static_cast<int>(mrNone);
      });
  }
  void TearDown() override {
    Driver::ResetPopups();
    WindowTest::TearDown();
  }
  int propertiesAnswer = mrOk;
  TmyXmlNode* Web() const { return designer->Document().Web(); }
  // The pages' names in document order.
  std::vector<std::string> PageNames() const {
    std::vector<std::string> names;
    for (TmyXmlNode* page = Web()->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
      names.push_back(page->GetAttr("name"));
    return names;
  }
  std::vector<std::string> GroupCaptions() const {
    std::vector<std::string> captions;
    for (TmyXmlNode* child = Web()->firstChild; child != nullptr; child = child->next)
      if (child->name == "group") captions.push_back(child->GetAttr("caption"));
    return captions;
  }
  TmyXmlNode* Page(const std::string& name) const {
    for (TmyXmlNode* page = Web()->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
      if (page->GetAttr("name") == name) return page;
    return nullptr;
  }
  // Collapses a node as the user does: a press on its expand button.
  void CollapseByButton(TTreeNode* node) {
    const TRect label = node->DisplayRect(true);
    const int y = (label.Top + label.Bottom) / 2;
    for (int x = 0; x < label.Left; ++x)
      if (designer->tvPageList->GetHitTestInfoAt(x, y) & htOnButton) {
        Driver::Click(designer->tvPageList, x, y);
        return;
      }
    ADD_FAILURE() << "no expand button beside " << node->Text();
  }
  // Right-clicks the node and chooses the tree menu's item.
  void ChooseOnNode(const std::string& node, const std::string& item) {
    TTreeNode* n = Node(node);
    ASSERT_NE(n, nullptr);
    const TRect r = n->DisplayRect(true);
    const int id = Driver::ChoosePopupItem("TreePopup", item);
    Driver::Click(designer->tvPageList, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, mbRight);
    Driver::RemovePopupHandler(id);
  }
};

}  // namespace

TEST_F(PageTree, ANewPageAfterASelectedPageTakesTheNextFreeNumber) {
  ClickNode(Node("Three"));
  ClickButton(designer->btnAddPage);
  EXPECT_EQ(TreeTexts(),
            (std::vector<std::string>{"G1", "  Index", "  Three", "  Page8", "Locked", "  Seven", "Empty"}));
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"INDEX.xml", "PAGE3.xml", "PAGE8.XML", "page7.XML"}));
  TmyXmlNode* page = Page("PAGE8.XML");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetAttr("caption"), "Page8");
  EXPECT_EQ(page->GetAttr("ajax"), "true");
  EXPECT_EQ(page->GetAttr("pause"), "1000");
  EXPECT_EQ(designer->tvPageList->Selected()->Text(), "Page8");
  EXPECT_EQ(designer->CurrentPage(), page);
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_TRUE(designer->btnSave2->Enabled());
}

TEST_F(PageTree, ANewPageOfASelectedGroupBecomesItsFirstPage) {
  ClickNode(Node("G1"));
  ChooseOnNode("G1", "Add page");
  EXPECT_EQ(TreeTexts(),
            (std::vector<std::string>{"G1", "  Page8", "  Index", "  Three", "Locked", "  Seven", "Empty"}));
  EXPECT_EQ(PageNames().front(), "PAGE8.XML");
}

TEST_F(PageTree, AddingAPageRenewsTheChangeStampOfEveryPage) {
  for (TmyXmlNode* page = Web()->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
    page->SetAttr("ucid", "7");
  ClickNode(Node("Empty"));
  ClickButton(designer->btnAddPage);
  for (TmyXmlNode* page = Web()->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
    EXPECT_GT(page->GetAttrInt("ucid", 0), 1600000000) << page->GetAttr("name");
}

TEST_F(PageTree, ACancelledNewPageGoesAgain) {
  ClickNode(Node("Index"));
  const std::vector<std::string> before = TreeTexts();
  propertiesAnswer = mrCancel;
  ClickButton(designer->btnAddPage);
  EXPECT_EQ(TreeTexts(), before);
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"INDEX.xml", "PAGE3.xml", "page7.XML"}));
  EXPECT_EQ(Page("PAGE8.xml"), nullptr);
}

TEST_F(PageTree, ANewGroupFollowsTheSelectedOneAndStaysOnCancel) {
  ClickNode(Node("Index"));
  propertiesAnswer = mrCancel;
  ClickButton(designer->btnAddGroup);
  EXPECT_EQ(TreeTexts(),
            (std::vector<std::string>{"G1", "  Index", "  Three", "Unnamed", "Locked", "  Seven", "Empty"}));
  EXPECT_EQ(GroupCaptions(), (std::vector<std::string>{"G1", "", "Locked", "Empty"}));
  EXPECT_EQ(designer->tvPageList->Selected()->Text(), "Unnamed");
}

// The texts for translation find groups and pages by their `Uid`: a new
// group (kept also on Cancel) and a new page take one, and the properties keep
// each element's own; the saved file holds them.
TEST_F(PageTree, NewAndEditedGroupsAndPagesKeepUniqueIdsOnDisk) {
  ClickNode(Node("Index"));
  propertiesAnswer = mrCancel;
  ClickButton(designer->btnAddGroup);
  propertiesAnswer = mrOk;
  ClickNode(Node("Index"));
  ClickButton(designer->btnAddPage);
  ChooseOnNode("G1", "Properties ...");
  ChooseOnNode("Three", "Properties ...");
  designer->btnSave2Click(nullptr);
  const std::string saved = folder.Read("Tarnwell/Proj.xml");
  std::vector<std::string> ids;
  for (std::size_t at = saved.find('<'); at != std::string::npos; at = saved.find('<', at + 1)) {
    const std::string tag = saved.substr(at, saved.find('>', at) - at);
    if (!tag.starts_with("<group") && !tag.starts_with("<page")) continue;
    const std::size_t uid = tag.find(" Uid=\"");
    ids.push_back(uid == std::string::npos ? "none" : tag.substr(uid + 6, tag.find('"', uid + 6) - uid - 6));
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"1", "2", "101", "3", "100", "4", "5", "6"}));
  EXPECT_NE(saved.find("MaxUid=\"102\""), std::string::npos);
}

TEST_F(PageTree, ANewGroupWithoutSelectionGoesLast) {
  designer->tvPageList->SetSelected(nullptr);
  designer->btnAddGroupClick(nullptr);
  EXPECT_EQ(TreeTexts().back(), "Unnamed");
  EXPECT_EQ(Web()->lastChild->name, "group");
}

struct TNameCase {
  std::vector<std::string> names;
  int highest;
};

TEST_F(PageTree, TheHighestPageNumberCountsPageNamesOnly) {
  const std::string longName = "PAGE1234567890123456789012345678901.xml";  // 31 characters: PAGE + 27 digits
  const TNameCase cases[] = {
      {{"PAGE3.xml", "page7.XML", "INDEX.xml"}, 7},
      {{"Page 12.xml", "PAGE2"}, 12},
      {{"PAGE-5.xml", "PAGEX.xml", "PAGE"}, 0},
      {{"page9a.xml", "PAGE10.old.xml"}, 10},
      {{"XPAGE99.xml"}, 0},
      {{"PAGE" + std::string(27, '0') + "41.xml"}, 0},  // the digits after the 31st character do not count
      {{longName.substr(0, 8) + ".xml"}, 1234},
  };
  for (const TNameCase& c : cases) {
    std::string text = "<web><group caption=\"G\">";
    for (const std::string& name : c.names) text += "<page caption=\"P\" name=\"" + name + "\" />";
    text += "</group></web>";
    PutProject(text);
    designer->LoadProject();
    EXPECT_EQ(MakeUniquePageName(*designer, nullptr, false), c.highest) << c.names.front() << " " << c.names.back();
  }
}

TEST_F(PageTree, TheStemListLeavesOutTheSelectedPageUnlessAsked) {
  ClickNode(Node("Three"));
  TStringList stems;
  EXPECT_EQ(MakeUniquePageName(*designer, &stems, false), 7);
  EXPECT_EQ(stems.Text(), "INDEX\r\npage7\r\n");
  TStringList all;
  MakeUniquePageName(*designer, &all, true);
  EXPECT_EQ(all.Text(), "INDEX\r\nPAGE3\r\npage7\r\n");
}

TEST_F(PageTree, DeletingTheDefaultPageMovesDefaultToTheFirstPage) {
  ClickNode(Node("Three"));
  Driver::AnswerMessageBox("Are you sure", IDYES);
  ClickButton(designer->btnDeletePage);
  const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Are you sure to delete?");
  EXPECT_EQ(boxes[0].caption, "Tarnwell");
  EXPECT_EQ(boxes[0].flags & MB_TYPEMASK, MB_YESNO);
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"INDEX.xml", "page7.XML"}));
  EXPECT_TRUE(designer->btnSave2->Enabled());
  EXPECT_EQ(Page("INDEX.xml")->GetAttr("default"), "true");
  // The previous sibling is selected and shown.
  EXPECT_EQ(designer->tvPageList->Selected()->Text(), "Index");
  EXPECT_EQ(designer->CurrentPage(), Page("INDEX.xml"));
  EXPECT_EQ(SurfaceDump().size(), 1u);
}

// Nothing changed while the question is open, nor after No: Save stays disabled.
TEST_F(PageTree, AnsweringNoDeletesNothing) {
  ClickNode(Node("Index"));
  ASSERT_FALSE(designer->btnSave2->Enabled());
  bool saveEnabledWhileAsked = true;
  Driver::OnMessageBox("Are you sure", [&](const MessageBoxRecord&) {
    saveEnabledWhileAsked = designer->btnSave2->Enabled();
    return IDNO;
  });
  ClickButton(designer->btnDeletePage);
  EXPECT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"INDEX.xml", "PAGE3.xml", "page7.XML"}));
  EXPECT_FALSE(saveEnabledWhileAsked);
  EXPECT_FALSE(designer->btnSave2->Enabled());
  EXPECT_FALSE(designer->Document().Modified());
}

TEST_F(PageTree, DeletingAGroupTakesItsPagesAndSelectsTheNextGroup) {
  ClickNode(Node("G1"));
  Driver::AnswerMessageBox("Are you sure", IDYES);
  ChooseOnNode("G1", "Delete");
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Locked", "  Seven", "Empty"}));
  EXPECT_EQ(designer->tvPageList->Selected()->Text(), "Locked");
  // The first page left becomes the default one.
  EXPECT_EQ(Page("page7.XML")->GetAttr("default"), "true");
}

TEST_F(PageTree, ALockedGroupRefusesNewAndDeletedPagesSilently) {
  ClickNode(Node("Seven"));
  EXPECT_FALSE(designer->btnAddPage->Enabled());
  EXPECT_FALSE(designer->btnDeletePage->Enabled());
  designer->btnAddPageClick(nullptr);
  designer->btnDeletePageClick(nullptr);
  ClickNode(Node("Locked"));
  designer->btnAddPageClick(nullptr);
  EXPECT_TRUE(MessageBoxLog().empty());
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"INDEX.xml", "PAGE3.xml", "page7.XML"}));
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"G1", "  Index", "  Three", "Locked", "  Seven", "Empty"}));
}

TEST_F(PageTree, ALockedGroupItselfCanBeDeleted) {
  ClickNode(Node("Locked"));
  Driver::AnswerMessageBox("Are you sure", IDYES);
  designer->btnDeletePageClick(nullptr);
  EXPECT_EQ(GroupCaptions(), (std::vector<std::string>{"G1", "Empty"}));
}

struct TMoveCase {
  const char* node;
  bool up;
  bool expanded;
  std::vector<std::string> tree;
  std::vector<std::string> groups;
};

TEST_F(PageTree, MovesExchangeTheElementsAndKeepTheExpandedState) {
  const TMoveCase cases[] = {
      {"G1", false, true, {"Locked", "  Seven", "G1", "  Index", "  Three", "Empty"}, {"Locked", "G1", "Empty"}},
      {"G1", false, false, {"Locked", "  Seven", "G1", "  Index", "  Three", "Empty"}, {"Locked", "G1", "Empty"}},
      {"Locked", true, false, {"Locked", "  Seven", "G1", "  Index", "  Three", "Empty"}, {"Locked", "G1", "Empty"}},
      {"Locked", true, true, {"Locked", "  Seven", "G1", "  Index", "  Three", "Empty"}, {"Locked", "G1", "Empty"}},
      {"Locked", false, true, {"G1", "  Index", "  Three", "Empty", "Locked", "  Seven"}, {"G1", "Empty", "Locked"}},
      {"Locked", false, false, {"G1", "  Index", "  Three", "Empty", "Locked", "  Seven"}, {"G1", "Empty", "Locked"}},
  };
  for (const TMoveCase& c : cases) {
    PutProject(kProject);
    designer->LoadProject();
    designer->FTreeChangeSuppressed = false;
    TTreeNode* node = Node(c.node);
    ASSERT_NE(node, nullptr);
    ClickNode(node);
    if (!c.expanded) CollapseByButton(node);
    ASSERT_EQ(node->Expanded(), c.expanded);
    ClickButton(c.up ? designer->btnPageUp : designer->btnPageDown);
    TTreeNode* moved = designer->tvPageList->Selected();
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->Text(), c.node);
    EXPECT_EQ(moved->Expanded(), c.expanded) << c.node << (c.up ? " up" : " down");
    EXPECT_EQ(moved->StateIndex(), std::string(c.node) == "Locked" ? 1 : 0);
    EXPECT_EQ(moved->Count(), std::string(c.node) == "Locked" ? 1 : 2);
    designer->tvPageList->FullExpand();
    EXPECT_EQ(TreeTexts(), c.tree) << c.node << (c.up ? " up" : " down");
    EXPECT_EQ(GroupCaptions(), c.groups) << c.node;
  }
}

TEST_F(PageTree, APageMovesAmongThePagesOfItsGroup) {
  ClickNode(Node("Index"));
  ClickButton(designer->btnPageDown);
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"PAGE3.xml", "INDEX.xml", "page7.XML"}));
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"G1", "  Three", "  Index", "Locked", "  Seven", "Empty"}));
  EXPECT_EQ(designer->tvPageList->Selected()->Text(), "Index");
  EXPECT_FALSE(designer->btnPageDown->Enabled());
  EXPECT_TRUE(designer->btnPageUp->Enabled());
  ClickButton(designer->btnPageUp);
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"INDEX.xml", "PAGE3.xml", "page7.XML"}));
}

TEST_F(PageTree, OnlyThePressOnTheExpandButtonCollapsesAGroup) {
  TTreeNode* g1 = Node("G1");
  ASSERT_TRUE(g1->Expanded());
  // A double click on the group's label leaves it open.
  const TRect label = g1->DisplayRect(true);
  Driver::DoubleClick(designer->tvPageList, label.Left + 2, (label.Top + label.Bottom) / 2);
  EXPECT_TRUE(g1->Expanded());
  // The expand button collapses it.
  CollapseByButton(g1);
  EXPECT_FALSE(g1->Expanded());
  // Collapsing from code (no press before) is refused.
  g1->Expand(false);
  g1->Collapse(false);
  EXPECT_TRUE(g1->Expanded());
}

TEST_F(PageTree, ARightClickSelectsTheNodeAndPopsUpTheTreeMenu) {
  TTreeNode* seven = Node("Seven");
  const TRect label = seven->DisplayRect(true);
  Driver::Click(designer->tvPageList, (label.Left + label.Right) / 2, (label.Top + label.Bottom) / 2, mbRight);
  EXPECT_EQ(designer->tvPageList->Selected(), seven);
  const std::vector<Driver::PopupRecord> popups = Driver::PopupLog();
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].menuName, "TreePopup");
}

TEST_F(PageTree, ThePagePropertiesOkTracesEachOfItsSteps) {
  const std::string oldPath = TraceLogPath();
  const bool oldEnabled = TraceLogEnabled();
  SetTraceLogPath(folder.System("plugins.log"));
  SetTraceLogEnabled(true);
  ScopeExit restore([&] {
    SetTraceLogEnabled(oldEnabled);
    SetTraceLogPath(oldPath);
  });
  Driver::OnModal("TFormPageProperties", [](TCustomForm& dialog) {
    Driver::Click(dynamic_cast<TControl*>(dialog.FindComponent("cbNotification1")));
    auto* fileName = dynamic_cast<TEdit*>(dialog.FindComponent("edtFileName1"));
    Driver::Focus(fileName);
    fileName->SelectAll();
    Driver::TypeText("RENAMED");
    dynamic_cast<TButton&>(*dialog.FindComponent("Button1")).Click();
    return static_cast<int>(mrNone);
  });
  ChooseOnNode("Index", "Properties ...");
  ASSERT_NE(Page("RENAMED.XML"), nullptr);
  // The text of each line of the dialog's steps.
  std::vector<std::string> steps;
  std::istringstream log(folder.Read("plugins.log"));
  for (std::string line; std::getline(log, line);) {
    const std::size_t start = line.find("\t\t"), end = line.rfind(" (");
    if (start == std::string::npos || end == std::string::npos || end < start) continue;
    const std::string text = line.substr(start + 2, end - start - 2);
    if (text.starts_with("PageProperties") || text.find("Name - ") != std::string::npos) steps.push_back(text);
  }
  EXPECT_EQ(steps, (std::vector<std::string>{
                       "PageProperties OK", "PageProperties del attr", "PageProperties add notifiacation",
                       "PageProperties caption", "PageProperties lang", "PageProperties caption attr",
                       "PageProperties name attr", "PageProperties name changed", "OriginalName - INDEX.xml",
                       "NewName - RENAMED", "PageProperties refresh hres", "PageProperties attr OK",
                       "PageProperties bitmap OK"}));
}
