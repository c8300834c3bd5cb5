// The page tree's clipboard through the window: pages and groups copied and
// pasted with new "PAGE%i.XML" names where they clash, links inside a pasted
// group following the new names, locked groups, the place of the pasted node
// and the `lang` elements of a project without language mutations.

#include <gtest/gtest.h>

#include "core/XmlNode.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/MessageBox.h"
#include "tests/designer/clipboard/ClipboardWindowSupport.h"

using namespace cliptest;

namespace {

const char* kProject =
    "<web version=\"8.1\" MaxUid=\"500\">\r\n"
    "<Grid Enable=\"1\" X=\"5\" Y=\"5\" />\r\n"
    "<group caption=\"Main\" Uid=\"1\">\r\n"
    "<page caption=\"Start\" name=\"START.XML\" default=\"true\" Uid=\"2\">\r\n"
    "<object caption=\"Go\" X=\"2\" Y=\"2\" Uid=\"10\"><lang><text code=\"9\" caption=\"Jdi\" /></lang>"
    "<label href=\"SECOND.XML\" /></object>\r\n"
    "</page>\r\n"
    "<page caption=\"Second\" name=\"SECOND.XML\" Uid=\"3\">\r\n"
    "<object caption=\"Back\" X=\"2\" Y=\"4\" Uid=\"11\"><label href=\"start.xml\" /></object>\r\n"
    "</page>\r\n"
    "<page caption=\"Fifth\" name=\"PAGE5.XML\" Uid=\"6\" />\r\n"
    "</group>\r\n"
    "<group caption=\"\" locked=\"1\" Uid=\"4\">\r\n"
    "<page caption=\"Closed\" name=\"CLOSED.XML\" Uid=\"5\" />\r\n"
    "</group>\r\n"
    "<images></images>\r\n"
    "</web>";

class PageClipboard : public ClipboardWindow {
 protected:
  void SetUp() override {
    ClipboardWindow::SetUp();
    Open(folderA, kProject);
  }
  TmyXmlNode* PageNamed(const std::string& name) const {
    TmyXmlNode* web = designer->Document().Web();
    for (TmyXmlNode* page = web->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
      if (page->GetAttr("name") == name) return page;
    return nullptr;
  }
  // The `name` of each page of the document in order.
  std::string PageNames() const {
    std::string names;
    TmyXmlNode* web = designer->Document().Web();
    for (TmyXmlNode* page = web->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
      names += (names.empty() ? "" : " ") + page->GetAttr("name");
    return names;
  }
};

}  // namespace

TEST_F(PageClipboard, APageCopiedAndPastedTakesTheNextPageNumber) {
  ChooseFromTreeMenu(Node("Start"), "Copy");
  const std::string text = Clipboard()->AsText();
  EXPECT_NE(text.find("<page caption=\"Start\" name=\"START.XML\" default=\"true\" Uid=\"2\""), std::string::npos)
      << text;
  // Without language mutations the copy holds no `lang`.
  EXPECT_EQ(text.find("<lang"), std::string::npos) << text;
  ChooseFromTreeMenu(Node("Start"), "Paste");
  EXPECT_EQ(PageNames(), "START.XML PAGE6.XML SECOND.XML PAGE5.XML CLOSED.XML");
  TmyXmlNode* pasted = PageNamed("PAGE6.XML");
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(pasted->FindAttr("default"), nullptr);
  // The copy's id is not kept: the pasted page takes the project's next one.
  EXPECT_EQ(pasted->GetAttr("Uid"), "500");
  EXPECT_EQ(TreeTexts(),
            (std::vector<std::string>{"Main", "  Start", "  Start", "  Second", "  Fifth", "Unnamed", "  Closed"}));
  EXPECT_EQ(designer->tvPageList->Selected()->Data, pasted);
  EXPECT_EQ(designer->CurrentPage(), pasted);
  EXPECT_EQ(designer->PageObjects().size(), 1u);
  EXPECT_TRUE(designer->btnSave2->Enabled());
  // Links of a single page stay as they were.
  EXPECT_NE(DocumentText().find("<label href=\"SECOND.XML\" />"), std::string::npos);
}

TEST_F(PageClipboard, AGroupPastedRenamesItsClashingPagesAndTheLinksFollow) {
  ChooseFromTreeMenu(Node("Main"), "Copy");
  ChooseFromTreeMenu(Node("Second"), "Paste");
  EXPECT_EQ(PageNames(), "START.XML SECOND.XML PAGE5.XML PAGE6.XML PAGE7.XML PAGE8.XML CLOSED.XML");
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Main", "  Start", "  Second", "  Fifth", "Main", "  Start",
                                                   "  Second", "  Fifth", "Unnamed", "  Closed"}));
  const std::string text = DocumentText();
  // The copy of Start links to the copy of Second and back, whatever the case.
  const std::size_t group = text.find("<group caption=\"Main\" Uid=\"500\">");
  ASSERT_NE(group, std::string::npos) << text;
  EXPECT_NE(text.find("<label href=\"PAGE7.XML\" />", group), std::string::npos);
  EXPECT_NE(text.find("<label href=\"PAGE6.XML\" />", group), std::string::npos);
  EXPECT_NE(text.find("<label href=\"SECOND.XML\" />"), std::string::npos);
  EXPECT_EQ(PageNamed("PAGE6.XML")->FindAttr("default"), nullptr);
  EXPECT_EQ(designer->tvPageList->Selected()->Text(), "Main");
  EXPECT_EQ(designer->CurrentPage(), PageNamed("PAGE6.XML"));
}

TEST_F(PageClipboard, AGroupWithoutCaptionShowsUnnamedAndKeepsItsLock) {
  ChooseFromTreeMenu(Node("Unnamed"), "Copy");
  ChooseFromTreeMenu(Node("Main"), "Paste");
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Main", "  Start", "  Second", "  Fifth", "Unnamed", "  Closed",
                                                   "Unnamed", "  Closed"}));
  EXPECT_EQ(designer->tvPageList->Items()->GetFirstNode()->getNextSibling()->StateIndex(), 1);
  EXPECT_EQ(PageNames(), "START.XML SECOND.XML PAGE5.XML PAGE6.XML CLOSED.XML");
}

TEST_F(PageClipboard, APageIntoALockedGroupIsRefusedAndIntoAGroupBecomesItsFirstPage) {
  ChooseFromTreeMenu(Node("Second"), "Copy");
  const std::vector<std::string> before = TreeTexts();
  ChooseFromTreeMenu(Node("Closed"), "Paste");
  EXPECT_EQ(TreeTexts(), before);
  EXPECT_EQ(PageNames(), "START.XML SECOND.XML PAGE5.XML CLOSED.XML");
  ChooseFromTreeMenu(Node("Main"), "Paste");
  EXPECT_EQ(PageNames(), "PAGE6.XML START.XML SECOND.XML PAGE5.XML CLOSED.XML");
  EXPECT_EQ(TreeTexts()[1], "  Second");
}

TEST_F(PageClipboard, AForeignTextPastesNothingAndSaysSo) {
  Clipboard()->SetAsText("<page>not ours");
  const std::vector<std::string> before = TreeTexts();
  ChooseFromTreeMenu(Node("Start"), "Paste");
  EXPECT_EQ(TreeTexts(), before);
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_NE(MessageBoxLog()[0].text.find("Nothing was pasted."), std::string::npos);
}
