// The small commands through the window: z-order by key and menu, the grid
// switch, the edit base of variable names, find, the preview, the edit
// pop-up's clipboard, the page display name, the page jump and the renames of
// images and pages on the shown page and in the document.

#include <gtest/gtest.h>

#include "core/XmlNode.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/Timer.h"
#include "platform/win/MessageBox.h"
#include "platform/win/ShellOpen.h"
#include "platform/win/VirtualKeys.h"
#include "tests/designer/clipboard/ClipboardWindowSupport.h"

using namespace cliptest;

namespace {

std::string Project(const std::string& encoding = "windows-1250", const std::string& grid = "X=\"5\" Y=\"5\"") {
  return "<web version=\"8.1\" MaxUid=\"500\" encoding=\"" + encoding +
         "\">\r\n"
         "<Grid Enable=\"1\" " +
         grid +
         " />\r\n"
         "<group caption=\"Main\" Uid=\"1\">\r\n"
         "<page caption=\"Start\" name=\"START.XML\" default=\"true\" Uid=\"2\">\r\n"
         "<object caption=\"P\" X=\"2\" Y=\"2\" Uid=\"10\"><edit variable=\"Tank1.Level\" global=\"true\" "
         "/></object>\r\n"
         "<object caption=\"Q\" X=\"2\" Y=\"6\" Uid=\"11\"><edit variable=\"TANK1.Temp\" global=\"true\" "
         "/></object>\r\n"
         "<object caption=\"R\" X=\"2\" Y=\"10\" Uid=\"12\"><label href=\"SECOND.XML\" /></object>\r\n"
         "<object caption=\"S\" X=\"20\" Y=\"2\" Uid=\"13\"><picture img=\"X.PNG\" /></object>\r\n"
         "</page>\r\n"
         "<page caption=\"Second\" name=\"SECOND.XML\" background=\"X.PNG\" Uid=\"3\">\r\n"
         "<object caption=\"T\" X=\"2\" Y=\"2\" Uid=\"14\"><edit variable=\"Pump.Speed\" global=\"true\" "
         "/></object>\r\n"
         "<object caption=\"U\" X=\"2\" Y=\"6\" Uid=\"15\"><label href=\"START.XML\" /></object>\r\n"
         "</page>\r\n"
         "</group>\r\n"
         "<alarms><alarm page=\"SECOND.XML\" /></alarms>\r\n"
         "<images><img name=\"X.PNG\" type=\"png\" height=\"8\" width=\"8\" longname=\"x\" /></images>\r\n"
         "</web>";
}

class Commands : public ClipboardWindow {
 protected:
  void Select(const std::string& captions) {
    for (char c : captions) {
      TGridWebElement* object = ObjectByCaption(std::string(1, c));
      ASSERT_NE(object, nullptr) << c;
      object->Select();
    }
  }
  // Answers the one-line input dialog: checks the proposed text, types the
  // new one and presses OK (or Cancel).
  void AnswerSimpleEdit(std::string* proposed, const std::string& typed, bool ok = true) {
    Driver::OnModal("TFormSimpleEdit", [=](TCustomForm& form) {
      auto* edit = dynamic_cast<TEdit*>(form.FindComponent("Edit1"));
      if (edit == nullptr) return static_cast<int>(mrCancel);
      if (proposed != nullptr) *proposed = edit->Text();
      edit->SetText(typed);
      return static_cast<int>(ok ? mrOk : mrCancel);
    });
  }
  std::string Variables() const {
    std::string text;
    for (TGridWebElement* object : designer->PageObjects())
      if (!object->GetVariable().empty()) text += (text.empty() ? "" : " ") + object->GetVariable();
    return text;
  }
};

}  // namespace

TEST_F(Commands, ZOrderByKeysAndMenu) {
  TFormDesign1& d = Open(folderA, Project());
  EXPECT_EQ(ZOrder(), "PQRS");
  // A click selects P and gives the surface the keys.
  Driver::Click(ObjectByCaption("P"), 2, 2);
  ASSERT_EQ(Driver::KeyTarget(), d.sbDesign1);
  Select("Q");
  Driver::PressKey('U', ssCtrl);
  EXPECT_TRUE(d.tbUndo->Enabled());
  EXPECT_EQ(ZOrder(), "RPQS");
  Driver::PressKey('U', ssCtrl);
  EXPECT_EQ(ZOrder(), "RSPQ");
  Driver::PressKey('U', ssCtrl);  // on top already
  EXPECT_EQ(ZOrder(), "RSPQ");
  Driver::PressKey('D', ssCtrl);
  EXPECT_EQ(ZOrder(), "RPQS");
  d.Sendtoback1->Click();
  EXPECT_EQ(ZOrder(), "PQRS");
  d.Bringtofront1->Click();
  EXPECT_EQ(ZOrder(), "RSPQ");
  d.SavePage(d.CurrentPage());
  const std::string text = DocumentText();
  EXPECT_LT(text.find("caption=\"R\""), text.find("caption=\"P\""));
  EXPECT_TRUE(d.tbUndo->Enabled());
  // Undo goes back to the order before the last command.
  d.tbUndoClick(nullptr);
  EXPECT_EQ(ZOrder(), "PQRS");
}

TEST_F(Commands, ZOrderWithNothingSelectedStillRecordsUndo) {
  TFormDesign1& d = Open(folderA, Project());
  EXPECT_FALSE(d.tbUndo->Enabled());
  d.BringForward1->Click();
  EXPECT_EQ(ZOrder(), "PQRS");
  EXPECT_TRUE(d.tbUndo->Enabled());
}

TEST_F(Commands, GridSwitchesBetweenOneAndTheProjectsRaster) {
  struct Row {
    const char* grid;
    int x, y;
  };
  for (const Row& row : {Row{"X=\"5\" Y=\"5\"", 5, 5}, Row{"X=\"0\" Y=\"7\"", 1, 7}, Row{"X=\"a\" Y=\"3\"", 1, 3}}) {
    TFormDesign1& d = Open(folderA, Project("windows-1250", row.grid));
    ASSERT_EQ(d.FGridX, row.x) << row.grid;
    d.Grid1->Click();
    EXPECT_EQ(d.FGridX, 1);
    EXPECT_EQ(d.FGridY, 1);
    EXPECT_FALSE(d.Grid1->Checked());
    d.Grid1->Click();
    EXPECT_EQ(d.FGridX, row.x) << row.grid;
    EXPECT_EQ(d.FGridY, row.y) << row.grid;
    EXPECT_TRUE(d.Grid1->Checked());
  }
}

TEST_F(Commands, EditBaseProposesTheCommonBeginningAndReplacesIt) {
  TFormDesign1& d = Open(folderA, Project());
  Select("PQR");
  std::string proposed;
  AnswerSimpleEdit(&proposed, "Tank2.");
  d.Editbase1->Click();
  EXPECT_EQ(proposed, "Tank1.");
  EXPECT_EQ(Variables(), "Tank2.Level Tank2.Temp");
  EXPECT_TRUE(d.tbUndo->Enabled());
  ASSERT_EQ(Driver::ModalLog().size(), 1u);
  EXPECT_EQ(Driver::ModalLog()[0].caption, "Edit common base of variable name");
}

TEST_F(Commands, EditBaseCancelledChangesNothingAndNoCommonBeginningPrepends) {
  TFormDesign1& d = Open(folderA, Project());
  Select("PQ");
  AnswerSimpleEdit(nullptr, "X", false);
  d.Editbase1->Click();
  EXPECT_EQ(Variables(), "Tank1.Level TANK1.Temp");
  EXPECT_FALSE(d.tbUndo->Enabled());
  Driver::Reset();
  ObjectByCaption("Q")->SetVariable("Other");
  std::string proposed = "unset";
  AnswerSimpleEdit(&proposed, "New.");
  d.Editbase1->Click();
  EXPECT_EQ(proposed, "");
  EXPECT_EQ(Variables(), "New.Tank1.Level New.Other");
}

TEST_F(Commands, FindJumpsToThePageOfTheVariable) {
  TFormDesign1& d = Open(folderA, Project());
  ClickNode(Node("Second"));
  for (const char* typed : {"nothing", ""}) {
    AnswerSimpleEdit(nullptr, typed);
    d.Find1->Click();
    EXPECT_EQ(d.FPendingPageNode, nullptr) << typed;
    Driver::Reset();
  }
  ClickNode(Node("Start"));
  AnswerSimpleEdit(nullptr, "Pump.Speed");
  d.Find1->Click();
  ASSERT_NE(d.FPendingPageNode, nullptr);
  EXPECT_EQ(d.FPendingPageNode->Text(), "Second");
  EXPECT_TRUE(d.FPageChangePending);
  EXPECT_TRUE(d.CommTimer1->Enabled());
  EXPECT_EQ(d.CommTimer1->Tag, 100);
}

TEST_F(Commands, PageJumpRefusesTheShownPageAndASecondJump) {
  TFormDesign1& d = Open(folderA, Project());
  d.ChangeToPageByName("start.xml");
  EXPECT_EQ(d.FPendingPageNode, nullptr);
  EXPECT_FALSE(d.FPageChangePending);
  d.ChangeToPageByName("second.xml");
  TTreeNode* pending = d.FPendingPageNode;
  ASSERT_NE(pending, nullptr);
  d.FPendingPageNode = nullptr;
  d.ChangeToPageByName("SECOND.XML");
  EXPECT_EQ(d.FPendingPageNode, nullptr);
}

// The sources of the generator's messages name their page in the closing
// parentheses (a template's page after " <- "), or are the page's file name.
TEST_F(Commands, AMessageSourceAsksForThePageItNames) {
  const struct {
    const char* source;
    const char* page;  // the pending page's text; null: none of the project's
  } rows[] = {
      {"Pump.Speed - Edit field - Second (SECOND.XML)", "Second"},
      {" - Inserted web page - Second (second.xml <- #TEMPFG1.XML)", "Second"},
      {"SECOND.XML", "Second"},
      {"Title - Canvas (NONE.XML)", nullptr},
      {"/project/SendRoot/WWW/NOTIFY", nullptr},
      {"", nullptr},
  };
  for (const auto& row : rows) {
    TFormDesign1& d = Open(folderA, Project());
    EXPECT_EQ(d.ShowPageOfMessage(row.source), row.page != nullptr) << row.source;
    EXPECT_EQ(d.FPendingPageNode != nullptr ? d.FPendingPageNode->Text() : "", row.page != nullptr ? row.page : "")
        << row.source;
  }
}

TEST_F(Commands, PageDisplayName) {
  TFormDesign1& d = Open(folderA, Project());
  EXPECT_EQ(d.GetPageDisplayName("START.XML"), "Main > Start - START.XML");
  EXPECT_EQ(d.GetPageDisplayName("second.xml"), "Main > Second - SECOND.XML");
  EXPECT_EQ(d.GetPageDisplayName("NONE.XML"), "");
  EXPECT_EQ(d.GetPageDisplayName(""), "");
}

TEST_F(Commands, PreviewOpensTheCompiledStartPage) {
  TFormDesign1& d = Open(folderA, Project());
  // The button is hidden on the tool bar.
  EXPECT_FALSE(d.tbPreview1->Visible());
  ClearMessageBoxLog();  // the load's word on pictures without files
  Driver::AnswerMessageBox("Recompile web pages?", IDNO);
  d.tbPreview1->Click();
  const std::vector<TShellOpenRequest> log = ShellOpenLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].verb, "open");
  EXPECT_EQ(log[0].file, folderA.Path().string() + "\\SendRoot\\WWW\\index.xml");
  EXPECT_EQ(log[0].parameters, "");
  EXPECT_EQ(log[0].directory, "");
  EXPECT_EQ(log[0].showCommand, SW_SHOW);
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_EQ(MessageBoxLog()[0].caption, "Preview");
}

TEST_F(Commands, EditPopupPastesUnicodeInTheProjectsCodePage) {
  TFormDesign1& d = Open(folderA, Project("windows-1251"));
  auto* edit = new TEdit(&d);
  edit->SetParent(&d);
  edit->SetBounds(10, 10, 120, 21);
  edit->SetPopupMenu(d.CommonEditPopup1);
  edit->SetText("ab");
  Clipboard()->SetAsUnicodeText(u"\u0416\u20AC\u4E2D");
  Driver::ChoosePopupItem("CommonEditPopup1", "Select All");
  Driver::Click(edit, 5, 5, mbRight);
  Driver::ChoosePopupItem("CommonEditPopup1", "Paste");
  Driver::Click(edit, 5, 5, mbRight);
  EXPECT_EQ(edit->Text(), "\xC6\x88?");
  edit->SelectAll();
  Driver::ChoosePopupItem("CommonEditPopup1", "Cut");
  Driver::Click(edit, 5, 5, mbRight);
  EXPECT_EQ(edit->Text(), "");
  Clipboard()->SetAsText("plain");
  Driver::ChoosePopupItem("CommonEditPopup1", "Paste");
  Driver::Click(edit, 5, 5, mbRight);
  EXPECT_EQ(edit->Text(), "plain");
}

TEST_F(Commands, RenamingAnImageFollowsInTheDocumentAndOnTheShownPage) {
  // The listed picture has its file, so the load keeps it in the list.
  folderA.Write("Tarnwell/Images/X.PNG", "picture");
  TFormDesign1& d = Open(folderA, Project());
  d.RenameImageReferences(nullptr, "X.PNG", "X1.PNG");
  d.RenameImageOnPage("X.PNG", "X1.PNG");
  EXPECT_EQ(ObjectByCaption("S")->GetOffImageName(), "X1.PNG");
  d.SavePage(d.CurrentPage());
  const std::string text = DocumentText();
  EXPECT_NE(text.find("img=\"X1.PNG\""), std::string::npos);
  EXPECT_NE(text.find("background=\"X1.PNG\""), std::string::npos);
  EXPECT_EQ(text.find("\"X.PNG\""), text.find("<img name=\"X.PNG\"") + 10);  // the list is the manager's
}

TEST_F(Commands, RenamingAPageFollowsInLinksAlarmsAndTheShownPage) {
  TFormDesign1& d = Open(folderA, Project());
  d.RenamePageReferences("SECOND.XML", "OTHER.XML");
  EXPECT_EQ(ObjectByCaption("R")->FHref, "OTHER.XML");
  d.SavePage(d.CurrentPage());
  const std::string text = DocumentText();
  EXPECT_EQ(text.find("SECOND.XML\" />"), std::string::npos) << text;
  EXPECT_NE(text.find("<label href=\"OTHER.XML\" />"), std::string::npos);
  EXPECT_NE(text.find("<alarm page=\"OTHER.XML\" />"), std::string::npos);
}
