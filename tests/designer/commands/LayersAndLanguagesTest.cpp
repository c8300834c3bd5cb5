// Layers, operator panels and languages of the project: defaults and repairs
// at load, what a save writes, moves to a layer, the layer submenu, the list
// of page languages, the editor language switch and the texts export's file
// question.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/LanguageList.h"
#include "core/XmlNode.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Streams.h"
#include "platform/win/MessageBox.h"
#include "tests/designer/commands/CommandsTestSupport.h"

using namespace commandstest;

namespace {

const char* const kTwoObjects =
    "<object caption=\"A\" X=\"1\" Y=\"1\" Uid=\"10\"><label /></object>\r\n"
    "<object caption=\"B\" X=\"1\" Y=\"5\" Uid=\"11\" layer=\"1\"><label /></object>\r\n"
    "<object caption=\"C\" X=\"1\" Y=\"9\" Uid=\"12\"><label /></object>\r\n";

class LayersAndLanguages : public CommandsTest {
 protected:
  TmyXmlNode* Web() const { return designer->Document().Web(); }
  // Each `layer` child of `Layers` as "visible frozen name".
  std::vector<std::string> StoredLayers() const {
    std::vector<std::string> rows;
    TmyXmlNode* layers = Web()->FindChild("Layers");
    for (TmyXmlNode* l = layers != nullptr ? layers->firstChild : nullptr; l != nullptr; l = l->next)
      if (l->name == "layer")
        rows.push_back(l->GetAttr("visible") + " " + l->GetAttr("frozen") + " " + l->GetAttr("name"));
    return rows;
  }
  std::string Attributes(TmyXmlNode* node) const {
    std::string text;
    for (TmyXmlAttrNode* a = node->firstAttr; a != nullptr; a = a->next) text += a->name + "=" + a->value + " ";
    return text;
  }
  void Save() {
    designer->SetModified();
    designer->btnSave2Click(nullptr);
  }
};

// --- layers ----------------------------------------------------------------------------------

TEST_F(LayersAndLanguages, AProjectWithoutLayersGetsSixteenOpenLayers) {
  TFormDesign1& d = Open(OnePageProject(kTwoObjects));
  TmyXmlNode* layers = Web()->FindChild("Layers");
  ASSERT_NE(layers, nullptr);
  EXPECT_EQ(Attributes(layers), "active=0 ");
  EXPECT_EQ(d.FActiveLayer, 0);
  Save();
  EXPECT_EQ(Attributes(layers), "active=0 pasteMode=0 ");
  EXPECT_EQ(StoredLayers(), std::vector<std::string>(16, "1 0 "));
  EXPECT_EQ(Attributes(layers->firstChild), "visible=1 frozen=0 name= ");
}

TEST_F(LayersAndLanguages, TheActiveLayerIsAlwaysVisibleAndNeverFrozen) {
  TFormDesign1& d = Open(OnePageProject(kTwoObjects,
                                        "<Layers active=\"3\" pasteMode=\"1\">\r\n"
                                        "<layer visible=\"0\" frozen=\"0\" name=\"Zero\" />\r\n"
                                        "<note />\r\n"
                                        "<layer visible=\"1\" frozen=\"1\" name=\"One\" />\r\n"
                                        "<layer visible=\"1\" frozen=\"0\" />\r\n"
                                        "<layer visible=\"0\" frozen=\"1\" name=\"Three\" />\r\n"
                                        "</Layers>\r\n"));
  EXPECT_EQ(d.FActiveLayer, 3);
  EXPECT_FALSE(d.FPasteInActiveLayer);
  EXPECT_FALSE(d.PasteInActiveLayer1->Checked());
  EXPECT_FALSE(d.FLayers[0].Visible);
  EXPECT_TRUE(d.FLayers[1].Frozen);
  EXPECT_TRUE(d.FLayers[3].Visible);
  EXPECT_FALSE(d.FLayers[3].Frozen);
  EXPECT_EQ(d.FLayers[3].Name, "Three");
  EXPECT_TRUE(d.FLayers[15].Visible);
  Save();
  std::vector<std::string> expected = {"0 0 Zero", "1 1 One", "1 0 ", "1 0 Three"};
  expected.resize(16, "1 0 ");
  EXPECT_EQ(StoredLayers(), expected);
  EXPECT_EQ(Attributes(Web()->FindChild("Layers")), "active=3 pasteMode=1 ");
  // The other child is kept where it was.
  EXPECT_NE(Web()->FindChild("Layers")->FindChild("note"), nullptr);
}

TEST_F(LayersAndLanguages, AnActiveLayerOutsideTheTableReadsAsTheFirst) {
  for (const char* active : {"16", "-1", "9999", "x"}) {
    designer.reset();
    TFormDesign1& d = Open(OnePageProject(kTwoObjects, std::string("<Layers active=\"") + active +
                                                           "\"><layer visible=\"0\" frozen=\"1\" /></Layers>\r\n"));
    EXPECT_EQ(d.FActiveLayer, 0) << active;
    EXPECT_TRUE(d.FLayers[0].Visible) << active;
    EXPECT_FALSE(d.FLayers[0].Frozen) << active;
    Save();
    EXPECT_EQ(Web()->FindChild("Layers")->GetAttr("active"), "0") << active;
  }
}

TEST_F(LayersAndLanguages, MoreThanSixteenLayerElementsAreIgnored) {
  std::string layers = "<Layers active=\"0\">";
  for (int i = 0; i < 18; ++i) layers += "<layer visible=\"1\" frozen=\"0\" name=\"L" + std::to_string(i) + "\" />";
  TFormDesign1& d = Open(OnePageProject(kTwoObjects, layers + "</Layers>\r\n"));
  EXPECT_EQ(d.FLayers[15].Name, "L15");
  Save();
  const std::vector<std::string> stored = StoredLayers();
  ASSERT_EQ(stored.size(), 18u);
  EXPECT_EQ(stored[16], "1 0 L16");
}

TEST_F(LayersAndLanguages, PasteIntoTheActiveLayerToggles) {
  TFormDesign1& d = Open(OnePageProject(kTwoObjects));
  EXPECT_TRUE(d.FPasteInActiveLayer);
  d.PasteInActiveLayer1->Click();
  EXPECT_FALSE(d.FPasteInActiveLayer);
  EXPECT_FALSE(d.PasteInActiveLayer1->Checked());
  Save();
  EXPECT_EQ(Web()->FindChild("Layers")->GetAttr("pasteMode"), "1");
  d.PasteInActiveLayer1->Click();
  EXPECT_TRUE(d.PasteInActiveLayer1->Checked());
}

TEST_F(LayersAndLanguages, TheLayerSubmenuShowsEachLayer) {
  TFormDesign1& d =
      Open(OnePageProject(kTwoObjects,
                          "<Layers active=\"0\"><layer /><layer visible=\"1\" frozen=\"1\" name=\"Fixed\" "
                          "/><layer visible=\"0\" name=\"Off\" /></Layers>\r\n"));
  d.FLayers[1].Frozen = false;  // so that object 11 may be selected
  Select({10, 11});
  d.FLayers[1].Frozen = true;  // selected, but no longer selectable: not counted
  d.FillLayerMenu();
  ASSERT_EQ(d.miLayers->Count(), 16);
  std::vector<std::string> rows;
  for (int k = 0; k < 3; ++k) {
    TMenuItem* item = d.miLayers->Items(k);
    rows.push_back(item->Caption() + " tag" + std::to_string(item->Tag) + " image" + std::to_string(item->ImageIndex) +
                   (item->Checked() ? " checked" : ""));
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"1.  tag0 image-1 checked", "2. Fixed tag1 image2", "3. Off tag2 image1"}));
  EXPECT_EQ(d.miLayers->Items(15)->Caption(), "16. ");
  // Filled again, the submenu still holds 16 items.
  d.FillLayerMenu();
  EXPECT_EQ(d.miLayers->Count(), 16);
}

TEST_F(LayersAndLanguages, MovingToAHiddenLayerDeselectsAndIsAnUndoStep) {
  TFormDesign1& d = Open(OnePageProject(
      kTwoObjects, "<Layers active=\"0\"><layer /><layer /><layer visible=\"0\" name=\"Off\" /></Layers>\r\n"));
  Select({10, 12});
  d.FillLayerMenu();
  d.miLayers->Items(2)->Click();
  EXPECT_EQ(Object(10)->FLayer, 2);
  EXPECT_EQ(Object(12)->FLayer, 2);
  EXPECT_EQ(Object(11)->FLayer, 1);
  EXPECT_FALSE(Object(10)->Selected());
  EXPECT_FALSE(Object(12)->Selected());
  EXPECT_EQ(d.FUndoTree->ChildCount(), 1);
  EXPECT_TRUE(d.Document().Modified());
  EXPECT_TRUE(d.btnSave2->Enabled());
}

TEST_F(LayersAndLanguages, EveryMoveToALayerIsRecordedAndMarked) {
  TFormDesign1& d = Open(OnePageProject(kTwoObjects));
  Select({10});
  d.MoveSelectedToLayer(5);
  EXPECT_EQ(Object(10)->FLayer, 5);
  EXPECT_TRUE(Object(10)->Selected());
  EXPECT_EQ(d.FUndoTree->ChildCount(), 1);
  EXPECT_TRUE(d.Document().Modified());
  d.MoveSelectedToLayer(16);  // no such layer: nothing happens
  EXPECT_EQ(Object(10)->FLayer, 5);
  EXPECT_EQ(d.FUndoTree->ChildCount(), 1);
}

// --- operator panels ---------------------------------------------------------------------------

TEST_F(LayersAndLanguages, PanelsAreWrittenOnceAndFirst) {
  Open(OnePageProject(kTwoObjects, "<Panels><panel rack=\"9\" /></Panels>\r\n"));
  TGPanel panel;
  panel.rack = 2;
  panel.position = 5;
  std::snprintf(panel.type, sizeof panel.type, "OPD104");
  std::snprintf(panel.name, sizeof panel.name, "Panel 2/5");
  std::snprintf(panel.in, sizeof panel.in, "PnlIn2");
  std::snprintf(panel.out, sizeof panel.out, "pnlOut2");
  host->panels = {panel};
  Save();
  Save();
  EXPECT_EQ(Web()->firstChild->name, "panels");
  int count = 0;
  for (TmyXmlNode* c = Web()->firstChild; c != nullptr; c = c->next)
    count += c->name == "panels" || c->name == "Panels";
  EXPECT_EQ(count, 1);
  TmyXmlNode* written = Web()->firstChild->firstChild;
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(Attributes(written), "rack=2 pos=5 type=OPD104 name=Panel 2/5 in=PNLIN2 out=PNLOUT2 ");
  EXPECT_EQ(written->next, nullptr);
}

// --- languages ----------------------------------------------------------------------------------

struct LanguagesCase {
  const char* element;  // the `Languages` element, or "" for none
  int editor;           // the editor language expected
  const char* stored;   // the `Language` children after the load: "Code/Editor" each
};

TEST_F(LayersAndLanguages, LanguagesAreRepairedAtLoad) {
  const std::vector<LanguagesCase> cases = {
      {"", 5, "5/1"},
      {"<Languages />", 5, "5/1"},
      {"<Languages><Language Code=\"9\" Editor=\"1\" /><Language Code=\"7\" Editor=\"1\" /></Languages>", 7, "9/1 7/1"},
      {"<Languages><Language Code=\"9\" /><Language Code=\"7\" /></Languages>", 9, "9/1 7/"},
      {"<Languages><Language Editor=\"1\" /></Languages>", 0, "5/1"},
  };
  for (const LanguagesCase& c : cases) {
    designer.reset();
    TFormDesign1& d = Open(OnePageProject(kTwoObjects, std::string(c.element) + "\r\n"));
    EXPECT_EQ(d.FEditorLangCode, c.editor) << c.element;
    std::string stored;
    for (TmyXmlNode* l = Web()->FindChild("Languages")->firstChild; l != nullptr; l = l->next)
      stored += (stored.empty() ? "" : " ") + l->GetAttr("Code") + "/" + l->GetAttr("Editor");
    EXPECT_EQ(stored, c.stored) << c.element;
  }
}

TEST_F(LayersAndLanguages, TheLanguageListMapsIdentifiersAndPositions) {
  EXPECT_EQ(LangIdToLanguageIndex(23), 0);
  EXPECT_EQ(LangIdToLanguageIndex(4), 28);
  EXPECT_EQ(LanguageIndexToLangId(15), 9);
  EXPECT_EQ(LangIdToLanguageIndex(101), 13);
  EXPECT_EQ(LangIdToLanguageIndex(102), 0);
  EXPECT_EQ(LangIdToLanguageIndex(0), 0);
  EXPECT_EQ(LanguageIndexToLangId(0), 0);
  EXPECT_EQ(LanguageIndexToLangId(67), 0);
  EXPECT_EQ(LanguageIndexName(28), "Chinese");
  for (int index = 1; index <= kLanguageListCount; ++index)
    EXPECT_EQ(LangIdToLanguageIndex(LanguageIndexToLangId(index)), index) << index;
}

TEST_F(LayersAndLanguages, ASlotsListPositionComesFromItsCode) {
  TFormDesign1& d = Open(OnePageProject(
      kTwoObjects, "<Languages><Language Code=\"9\" Editor=\"1\" /><Language Code=\"23\" /></Languages>\r\n"));
  EXPECT_EQ(d.GetLanguageListIndex(0), 15);
  EXPECT_EQ(d.GetLanguageListIndex(1), 0);  // not in the list
  EXPECT_EQ(d.GetLanguageListIndex(2), 0);  // not in use
  EXPECT_EQ(d.GetLanguageListIndex(-1), 0);
  EXPECT_EQ(d.GetLanguageListIndex(15), 0);
}

TEST_F(LayersAndLanguages, SwitchingTheEditorLanguageFollowsTheCaptions) {
  const std::string project =
      "<web version=\"8.1\" MaxUid=\"500\">\r\n<Grid Enable=\"0\" X=\"5\" Y=\"5\" />\r\n"
      "<Languages enabled=\"1\"><Language Code=\"9\" Editor=\"1\" /><Language Code=\"5\" /></Languages>\r\n"
      "<group caption=\"G\" Uid=\"1\"><lang><caption code=\"9\">Group</caption><caption code=\"5\">Skupina"
      "</caption></lang>\r\n"
      "<page caption=\"One\" name=\"P1.XML\" Uid=\"2\"><lang><caption code=\"9\">One</caption></lang>\r\n"
      "<object caption=\"Hello\" X=\"1\" Y=\"1\" Uid=\"10\"><lang><caption code=\"9\">Hello</caption>"
      "<caption code=\"5\">Ahoj</caption></lang><label /></object>\r\n"
      "</page>\r\n</group>\r\n</web>";
  TFormDesign1& d = Open(project);
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Group", "  One"}));
  d.SetEditorLanguage(5);
  EXPECT_EQ(d.FEditorLangCode, 5);
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Skupina", "  Unnamed"}));
  TmyXmlNode* page = Web()->FindDeep("page");
  EXPECT_EQ(page->GetAttr("caption"), "");
  ASSERT_EQ(d.PageObjects().size(), 1u);
  EXPECT_EQ(d.PageObjects().front()->GetCaption(), "Ahoj");
  // By file name the page shows its name.
  d.Document().SetPageNameFormat(1);
  d.SetEditorLanguage(5);
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Skupina", "  P1.XML"}));
}

TEST_F(LayersAndLanguages, AnExportedTextsFileIsOverwrittenOnlyWhenConfirmed) {
  TFormDesign1& d = Open(OnePageProject(kTwoObjects));
  const std::string file = (folder.Path() / "texts.txt").string();
  TMemoryStream stream;
  stream.WriteBuffer("new", 3);
  std::string list = "Files:";
  EXPECT_TRUE(d.SaveTextsFileConfirmed(&d, file, list, stream));
  EXPECT_EQ(list, "Files:\r\n" + file);
  EXPECT_EQ(windowtest::ReadBytes(file), "new");

  TMemoryStream other;
  other.WriteBuffer("other", 5);
  Driver::AnswerMessageBox("already exists", IDNO);
  EXPECT_FALSE(d.SaveTextsFileConfirmed(&d, file, list, other));
  EXPECT_EQ(list, "Files:\r\n" + file);
  EXPECT_EQ(windowtest::ReadBytes(file), "new");
  Driver::Reset();
  Driver::AnswerMessageBox("already exists", IDYES);
  EXPECT_TRUE(d.SaveTextsFileConfirmed(&d, file, list, other));
  EXPECT_EQ(windowtest::ReadBytes(file), "other");
  const std::vector<MessageBoxRecord> boxes = Driver::MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, "File '" + file + "' already exists. Do you want to overwrite it?");
  EXPECT_EQ(boxes.back().caption, d.Caption());
}

}  // namespace
