// The object clipboard through the window: copy in one project and paste in
// another (pictures brought in, renamed when they differ, Uids new, the
// objects carried by the insertion frame until the click that drops them),
// pasting into the same project, direct paste, cut, and clipboard texts that
// are not the designer's own.

#include <gtest/gtest.h>

#include "core/XmlNode.h"
#include "grid/GridInsert.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/MessageBox.h"
#include "tests/designer/clipboard/ClipboardWindowSupport.h"

using namespace cliptest;

namespace {

const unsigned kRed = 0x0000FF;
const unsigned kBlue = 0xFF0000;

std::string Project(const std::string& images, const std::string& objects) {
  return "<web version=\"8.1\" MaxUid=\"500\">\r\n"
         "<Grid Enable=\"1\" X=\"5\" Y=\"5\" />\r\n"
         "<group caption=\"Main\" Uid=\"1\">\r\n"
         "<page caption=\"Start\" name=\"START.XML\" default=\"true\" Uid=\"2\">\r\n" +
         objects +
         "</page>\r\n"
         "</group>\r\n"
         "<images>" +
         images +
         "</images>\r\n"
         "</web>";
}

const char* kImageA = "<img name=\"A.PNG\" type=\"png\" height=\"24\" width=\"24\" longname=\"a\" />";
const char* kSourceObjects =
    "<object caption=\"Pic\" X=\"13\" Y=\"21\" Uid=\"10\"><picture img=\"A.PNG\" /></object>\r\n"
    "<object caption=\"Note\" X=\"60\" Y=\"40\" Uid=\"11\"><label /></object>\r\n";
const char* kTargetObjects = "<object caption=\"Here\" X=\"30\" Y=\"120\" Uid=\"7\"><label /></object>\r\n";

class ObjectClipboard : public ClipboardWindow {
 protected:
  // Selects the objects of those captions as the user would: a click on the
  // first, Shift+clicks on the others.
  void SelectObjects(const std::vector<std::string>& captions) {
    for (std::size_t i = 0; i < captions.size(); ++i) {
      TGridWebElement* object = ObjectByCaption(captions[i]);
      ASSERT_NE(object, nullptr) << captions[i];
      if (i == 0)
        Driver::Click(object, 2, 2);
      else
        object->Select();
      ASSERT_TRUE(object->Selected()) << captions[i];
    }
  }
  void ChooseFromObjectMenu(const std::string& caption, const std::string& item) {
    TGridWebElement* object = ObjectByCaption(caption);
    ASSERT_NE(object, nullptr) << caption;
    Driver::ChoosePopupItem("ObjectPopup", item);
    Driver::Click(object, 2, 2, mbRight);
  }
  // Moves the mouse to the point of the surface and clicks: the frame under
  // the mouse follows and drops the objects.
  void DropAt(int x, int y) {
    Driver::MouseMove(designer->sbDesign1, x, y);
    Driver::Click(designer->sbDesign1, x, y);
  }
};

}  // namespace

TEST_F(ObjectClipboard, CopyWritesTheSelectedObjectsWithTheirPictures) {
  const std::string red = SolidPng(24, 24, kRed);
  Open(folderA, Project(kImageA, kSourceObjects), {{"A.PNG", red}});
  SelectObjects({"Pic"});
  ChooseFromObjectMenu("Pic", "Copy");
  const std::string text = Clipboard()->AsText();
  EXPECT_EQ(text.rfind("<clipboard src=\"" + folderA.Path().string() + "\\\" Grid=\"1\">\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("\t<object caption=\"Pic\""), std::string::npos);
  EXPECT_NE(text.find("Uid=\"10\""), std::string::npos);
  EXPECT_EQ(text.find("caption=\"Note\""), std::string::npos);
  EXPECT_NE(text.find("\t\t<img name=\"A.PNG\" type=\"png\" height=\"24\" width=\"24\" longname=\"a\" crc=\""),
            std::string::npos);
}

TEST_F(ObjectClipboard, CopyWithNothingSelectedWritesAnEmptyImagesElement) {
  Open(folderA, Project(kImageA, kSourceObjects));
  designer->Copy2->Click();
  EXPECT_EQ(Clipboard()->AsText(), "<clipboard src=\"" + folderA.Path().string() +
                                       "\\\" Grid=\"1\">\r\n\t<images></images>\r\n</clipboard>\r\n");
}

TEST_F(ObjectClipboard, PasteIntoAnotherProjectBringsADifferentPictureInUnderANewName) {
  const std::string red = SolidPng(24, 24, kRed);
  const std::string blue = SolidPng(24, 24, kBlue);
  Open(folderA, Project(kImageA, kSourceObjects), {{"A.PNG", red}});
  SelectObjects({"Pic", "Note"});
  ChooseFromObjectMenu("Pic", "Copy");

  TFormDesign1& d = Open(folderB, Project(kImageA, kTargetObjects), {{"A.PNG", blue}});
  SaveSurfacePng("paste_before");
  d.Paste1->Click();
  ASSERT_NE(d.FInsert, nullptr);
  const int leftBefore = ObjectByCaption("Pic")->Left(), topBefore = ObjectByCaption("Pic")->Top();
  EXPECT_EQ(Dump(), (std::vector<std::string>{"Here 233,953", "Pic 97,161 hidden", "Note 473,313 hidden"}));
  // The picture is in the project at once, before the drop.
  EXPECT_EQ(folderB.Read("Tarnwell/Images/A1.PNG"), red);
  EXPECT_EQ(folderB.Read("Tarnwell/Images/A.PNG"), blue);

  Driver::MouseMove(d.sbDesign1, 200, 100);
  SaveSurfacePng("paste_carrying");
  DropAt(200, 100);
  EXPECT_EQ(d.FInsert, nullptr);
  EXPECT_TRUE(d.btnArrow->Down());
  EXPECT_TRUE(d.tbUndo->Enabled());
  TGridWebElement* pic = ObjectByCaption("Pic");
  TGridWebElement* note = ObjectByCaption("Note");
  ASSERT_NE(pic, nullptr);
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(pic->Visible() && pic->Selected());
  EXPECT_EQ(pic->GetOffImageName(), "A1.PNG");
  EXPECT_NE(pic->FUid, 10);
  EXPECT_NE(note->FUid, 11);
  EXPECT_NE(pic->FUid, note->FUid);
  // The group keeps its inner layout, and its raster corner lands one
  // raster step inside the frame.
  EXPECT_EQ(note->GetPosition().x - pic->GetPosition().x, 473 - 97);
  EXPECT_EQ(note->GetPosition().y - pic->GetPosition().y, 313 - 161);
  EXPECT_EQ(pic->Left() % 5, leftBefore % 5);
  EXPECT_EQ(pic->Top() % 5, topBefore % 5);
  SaveSurfacePng("paste_after");

  d.SavePage(d.CurrentPage());
  const std::string text = DocumentText();
  EXPECT_NE(text.find("<picture href=\"\" img=\"A1.PNG\" />"), std::string::npos) << text;
  EXPECT_NE(text.find("<img name=\"A1.PNG\" type=\"png\" height=\"24\" width=\"24\" longname=\"a\" />"),
            std::string::npos);
  EXPECT_NE(text.find("<img name=\"A.PNG\""), std::string::npos);
}

TEST_F(ObjectClipboard, PasteIntoTheSameProjectImportsNothing) {
  const std::string red = SolidPng(24, 24, kRed);
  TFormDesign1& d = Open(folderA, Project(kImageA, kSourceObjects), {{"A.PNG", red}});
  SelectObjects({"Pic"});
  ChooseFromObjectMenu("Pic", "Copy");
  d.PasteObjectsDirect(Clipboard()->AsText());
  EXPECT_EQ(Dump(), (std::vector<std::string>{"Pic 97,161", "Note 473,313", "Pic 97,161 sel"}));
  EXPECT_FALSE(folderA.Exists("Tarnwell/Images/A1.PNG"));
  EXPECT_EQ(ObjectByCaption("Pic")->GetOffImageName(), "A.PNG");
  EXPECT_NE(d.PageObjects().back()->FUid, 10);
  EXPECT_TRUE(d.tbUndo->Enabled());
}

TEST_F(ObjectClipboard, DirectPasteOfACopiedPageDoesNothing) {
  Open(folderA, Project(kImageA, kSourceObjects), {{"A.PNG", SolidPng(24, 24, kRed)}});
  ChooseFromTreeMenu(Node("Start"), "Copy");
  ASSERT_NE(Clipboard()->AsText().find("<page"), std::string::npos);
  TFormDesign1& d = Open(folderB, Project(kImageA, kTargetObjects), {{"A.PNG", SolidPng(24, 24, kBlue)}});
  const std::vector<std::string> before = Dump();
  Driver::Focus(d.sbDesign1);
  Driver::PressKey('V', ssCtrl | ssShift);
  EXPECT_EQ(Dump(), before);
  EXPECT_FALSE(d.tbUndo->Enabled());
  EXPECT_FALSE(d.Document().Modified());
  EXPECT_FALSE(folderB.Exists("Tarnwell/Images/A1.PNG"));
}

TEST_F(ObjectClipboard, CutPutsTheObjectsOnTheClipboardAndDeletesThem) {
  Open(folderA, Project(kImageA, kSourceObjects));
  SelectObjects({"Note"});
  ChooseFromObjectMenu("Note", "Cut");
  EXPECT_EQ(Dump(), (std::vector<std::string>{"Pic 97,161"}));
  EXPECT_NE(Clipboard()->AsText().find("caption=\"Note\""), std::string::npos);
}

TEST_F(ObjectClipboard, TextsThatAreNotTheDesignersOwnPasteNothingAndSaySo) {
  TFormDesign1& d = Open(folderA, Project(kImageA, kSourceObjects));
  SelectObjects({"Note"});
  const std::vector<std::string> before = Dump();
  const std::string texts[] = {
      "Hello from another program",
      "<clipboard src=\"x\"><object caption=\"Bad\" X=\"1\" Y=\"1\"><label></object></clipboard>",
      "<html><object caption=\"Foreign\" X=\"1\" Y=\"1\"><label /></object></html>",
      "<clipboard " + std::string(65u * 1024u * 1024u, ' ') + "/>",
  };
  for (const std::string& text : texts) {
    ClearMessageBoxLog();
    Clipboard()->SetAsText(text);
    d.Paste1->Click();
    EXPECT_EQ(d.FInsert, nullptr);
    EXPECT_EQ(Dump(), before) << text.substr(0, 40);
    const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u) << text.substr(0, 40);
    EXPECT_NE(boxes[0].text.find("Nothing was pasted."), std::string::npos);
  }
  EXPECT_FALSE(d.tbUndo->Enabled());
}

TEST_F(ObjectClipboard, ForeignPictureNamesThatLeaveTheFolderAreSkipped) {
  TFormDesign1& d = Open(folderB, Project(kImageA, kTargetObjects));
  ClearMessageBoxLog();  // the load's word on pictures without files
  folderB.Write("Tarnwell/keep.txt", "keep");
  Clipboard()->SetAsText(
      "<clipboard src=\"C:\\Other\\\">\r\n"
      "<object caption=\"Evil\" X=\"2\" Y=\"2\"><picture img=\"..\\keep.txt\" /></object>\r\n"
      "<images><img name=\"..\\keep.txt\" crc=\"1\">ZXZpbA==</img></images>\r\n</clipboard>\r\n");
  d.PasteObjectsDirect(Clipboard()->AsText());
  EXPECT_EQ(folderB.Read("Tarnwell/keep.txt"), "keep");
  const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("\"..\\keep.txt\": not a plain 8.3 file name"), std::string::npos);
  EXPECT_EQ(DocumentText().find("keep.txt"), std::string::npos);
}

TEST_F(ObjectClipboard, APastedPictureMakesTheImageFolderWhenItIsMissing) {
  const std::string red = SolidPng(24, 24, kRed);
  Open(folderA, Project(kImageA, kSourceObjects), {{"A.PNG", red}});
  SelectObjects({"Pic"});
  ChooseFromObjectMenu("Pic", "Copy");
  TFormDesign1& d = Open(folderB, Project("", kTargetObjects));
  ASSERT_FALSE(folderB.Exists("Tarnwell/Images"));
  d.PasteObjectsDirect(Clipboard()->AsText());
  EXPECT_EQ(folderB.Read("Tarnwell/Images/A.PNG"), red);
  EXPECT_EQ(ObjectByCaption("Pic")->GetOffImageName(), "A.PNG");
  EXPECT_NE(DocumentText().find("<img name=\"A.PNG\" type=\"png\""), std::string::npos);
}

TEST_F(ObjectClipboard, AToolTemplateStartsAtTheFirstCellAndEndsInTheToolsHandler) {
  TFormDesign1& d = Open(folderA, Project(kImageA, kSourceObjects));
  int placed = 0;
  d.FToolPlacedHandler = [&](TObject*) {
    ++placed;
    d.FInsert = nullptr;
  };
  d.FToolMode = TToolMode::Label;
  // The frame comes centred on the mouse pointer.
  Driver::MouseMove(d.sbDesign1, 300, 200);
  d.PasteObjectsFromText(
      "<template><object caption=\"New\" X=\"30\" Y=\"30\" xoff=\"3\" yoff=\"3\"><label /></object></template>");
  EXPECT_EQ(d.FToolMode, TToolMode::None);
  ASSERT_NE(d.FInsert, nullptr);
  EXPECT_EQ(Dump().back(), "New 1,1 hidden");
  DropAt(300, 200);
  EXPECT_EQ(placed, 1);
  EXPECT_TRUE(ObjectByCaption("New")->Visible());
}

TEST_F(ObjectClipboard, ObjectsPastedIntoAnEmptyPageAreSaved) {
  TFormDesign1& d = Open(folderA,
                         "<web version=\"8.1\" MaxUid=\"5\"><group caption=\"G\"><page caption=\"E\" name=\"E.XML\" />"
                         "</group><images /></web>");
  d.PasteObjectsDirect(
      "<clipboard src=\"x\"><object caption=\"N\" X=\"2\" Y=\"2\"><label /></object><images />"
      "</clipboard>");
  d.btnSave2Click(nullptr);
  EXPECT_NE(folderA.Read("Tarnwell/Proj.xml").find("<object caption=\"N\""), std::string::npos);
}
