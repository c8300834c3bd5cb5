// Loading the project through the window: on show, and whenever a document
// is needed while the window is hidden; the page tree filled from the
// document; the bars, menus, grid, fonts and placeholders the load sets; a
// read-only project; no host project.

#include <gtest/gtest.h>

#include "core/XmlNode.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/win/MessageBox.h"
#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

constexpr const char* kProject =
    "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n"
    "<web version=\"8.1\" MaxUid=\"100\" propfont=\"true\">\r\n"
    "<Grid Enable=\"1\" X=\"10\" Y=\"8\" />\r\n"
    "<globalset newdim=\"1\" pvstyle=\"2\" />\r\n"
    "<placeholders><alias name=\"lamp\">Lamp</alias></placeholders>\r\n"
    "<group caption=\"Machine\" Uid=\"1\">\r\n"
    "<page caption=\"Overview\" name=\"OVERVIEW.XML\" default=\"true\" Uid=\"2\">\r\n"
    "<object caption=\"Hello\" X=\"2\" Y=\"3\" Uid=\"10\"><label /></object>\r\n"
    "</page>\r\n"
    "<page name=\"NOCAP.XML\" Uid=\"3\" />\r\n"
    "</group>\r\n"
    "<group caption=\"Locked\" locked=\"1\" notification=\"1\" Uid=\"4\" />\r\n"
    "<group Uid=\"5\" />\r\n"
    "</web>";

class WindowLoad : public WindowTest {};

}  // namespace

TEST_F(WindowLoad, ShowingTheWindowLoadsTheProjectAndShowsTheFirstPage) {
  PutProject(kProject);
  TFormDesign1& d = OpenDesigner();
  ASSERT_NE(d.Document().Root(), nullptr);
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Machine", "  Overview (OVERVIEW.XML)", "  Unnamed (NOCAP.XML)",
                                                   "Locked", "Unnamed"}));
  ASSERT_NE(d.tvPageList->Selected(), nullptr);
  EXPECT_EQ(d.tvPageList->Selected()->Text(), "Overview (OVERVIEW.XML)");
  ASSERT_NE(d.CurrentPage(), nullptr);
  EXPECT_EQ(d.CurrentPage()->GetAttr("name"), "OVERVIEW.XML");
  EXPECT_EQ(SurfaceDump().size(), 1u);
  EXPECT_TRUE(d.sbDesign1->Visible());
  EXPECT_TRUE(d.imgBg->Visible());
  EXPECT_FALSE(d.Document().Modified());
  EXPECT_FALSE(d.btnSave2->Enabled());
}

TEST_F(WindowLoad, AHiddenWindowGetsItsDocumentWhenOneIsNeeded) {
  PutProject(kProject);
  TFormDesign1& d = MakeDesigner();
  ASSERT_FALSE(d.Visible());
  EXPECT_EQ(d.Document().Root(), nullptr);
  EXPECT_TRUE(d.EnsureProjectLoaded());
  EXPECT_FALSE(d.Visible());
  ASSERT_NE(d.Document().Web(), nullptr);
  EXPECT_EQ(d.Document().Web()->GetAttr("MaxUid"), "100");
  EXPECT_EQ(d.tvPageList->Items()->Count(), 5);
  // Asked again, the held document stays (nothing is read twice).
  TmyXmlNode* root = d.Document().Root();
  EXPECT_TRUE(d.EnsureProjectLoaded());
  EXPECT_EQ(d.Document().Root(), root);
  // Shown later, the window keeps that document too.
  d.Show();
  EXPECT_EQ(d.Document().Root(), root);
}

TEST_F(WindowLoad, SaveAndCompileOfAHiddenWindowLoadsTheProjectFirst) {
  PutProject(kProject);
  TFormDesign1& d = MakeDesigner();
  d.btnSave1Click(nullptr);
  EXPECT_FALSE(d.Visible());
  ASSERT_NE(d.Document().Web(), nullptr);
  EXPECT_EQ(d.tvPageList->Items()->Count(), 5);
  ASSERT_NE(d.CurrentPage(), nullptr);
  EXPECT_EQ(d.CurrentPage()->GetAttr("name"), "OVERVIEW.XML");
}

TEST_F(WindowLoad, AHiddenWindowWithoutAHostProjectStaysEmpty) {
  TFormDesign1& d = MakeDesigner();
  host->noProject = true;
  EXPECT_FALSE(d.EnsureProjectLoaded());
  EXPECT_EQ(d.tvPageList->Items()->Count(), 0);
  EXPECT_EQ(d.CurrentPage(), nullptr);
}

TEST_F(WindowLoad, GroupNodesCarryTheirElementsAndStatePictures) {
  PutProject(kProject);
  OpenDesigner();
  TTreeNode* machine = Node("Machine");
  TTreeNode* locked = Node("Locked");
  TTreeNode* unnamed = Node("Unnamed");
  ASSERT_TRUE(machine && locked && unnamed);
  EXPECT_EQ(machine->StateIndex(), 0);
  EXPECT_EQ(locked->StateIndex(), 2);  // locked, with notifications
  EXPECT_EQ(static_cast<TmyXmlNode*>(locked->Data)->GetAttr("caption"), "Locked");
  // A group and a page without caption get an empty one.
  TmyXmlNode* group = static_cast<TmyXmlNode*>(unnamed->Data);
  ASSERT_NE(group->FindAttr("caption"), nullptr);
  EXPECT_EQ(group->GetAttr("caption"), "");
  TmyXmlNode* page = static_cast<TmyXmlNode*>(machine->Item(1)->Data);
  ASSERT_NE(page->FindAttr("caption"), nullptr);
  EXPECT_TRUE(machine->Expanded());
}

TEST_F(WindowLoad, TheProjectSetsGridFontDisplayFormatAndPlaceholders) {
  PutProject(kProject);
  TFormDesign1& d = OpenDesigner();
  EXPECT_EQ(d.FGridX, 10);
  EXPECT_EQ(d.FGridY, 8);
  EXPECT_TRUE(d.Grid1->Checked());
  EXPECT_EQ(d.sbDesign1->Font()->Name, "Verdana");
  EXPECT_TRUE(d.CaptionFileName1->Checked());
  EXPECT_FALSE(d.Caption1->Checked());
  EXPECT_TRUE(d.FGlobalWebData.MeasuredFonts);
  EXPECT_EQ(d.FGlobalWebData.GlobalPlaceHolders.Lookup("lamp"), "Lamp");
}

TEST_F(WindowLoad, AGridSwitchedOffGivesARasterOfOnePixel) {
  std::string text = kProject;
  text.replace(text.find("Enable=\"1\""), 10, "Enable=\"0\"");
  PutProject(text);
  TFormDesign1& d = OpenDesigner();
  EXPECT_EQ(d.FGridX, 1);
  EXPECT_EQ(d.FGridY, 1);
  EXPECT_FALSE(d.Grid1->Checked());
}

TEST_F(WindowLoad, AProjectWithoutFileStartsFromTheTemplateSilently) {
  TFormDesign1& d = OpenDesigner();
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Unnamed", "  Index"}));
  EXPECT_EQ(d.CurrentPage()->GetAttr("name"), "PAGE1.XML");
  EXPECT_TRUE(MessageBoxLog().empty());
  EXPECT_FALSE(d.Document().Modified());
}

TEST_F(WindowLoad, ANewerProjectIsShownReadOnly) {
  std::string text = kProject;
  text.replace(text.find("version=\"8.1\""), 13, "version=\"8.2\"");
  PutProject(text);
  TFormDesign1& d = OpenDesigner();
  const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("newer version"), std::string::npos);
  EXPECT_TRUE(d.Document().ReadOnly());
  EXPECT_FALSE(d.tlbMain1->Visible());
  EXPECT_FALSE(d.tlbLeft1->Visible());
  EXPECT_TRUE(d.tlbDebug1->Visible());
  for (TPopupMenu* menu : {d.ScrollPopup, d.ObjectPopup, d.TreePopup})
    for (int i = 0; i < menu->Items()->Count(); ++i)
      EXPECT_FALSE(menu->Items()->Items(i)->Enabled()) << menu->Name() << " " << i;
  // The page is shown all the same.
  EXPECT_EQ(SurfaceDump().size(), 1u);
}

TEST_F(WindowLoad, LoadingAgainDropsTheOldTreeAndSurface) {
  PutProject(kProject);
  TFormDesign1& d = OpenDesigner();
  PutProject("<web><group caption=\"Other\"><page caption=\"Only\" name=\"ONLY.XML\" /></group></web>");
  d.LoadProject();
  d.FTreeChangeSuppressed = false;
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Other", "  Only"}));
  EXPECT_TRUE(SurfaceDump().empty());
  EXPECT_EQ(d.CurrentPage()->GetAttr("name"), "ONLY.XML");
}
