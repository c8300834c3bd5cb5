// The layers: the table read from and written into the project file (the
// active layer forced visible and unfrozen and range-checked, missing layers
// completed, other children skipped), the dialog's rows and active mark, OK
// and Cancel through the designer's command, and pictures of the dialog.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/ScrollBox.h"
#include "project/FormLayersSettings.h"
#include "project/LayerFrame.h"
#include "project/LayerTable.h"
#include "tests/project/ProjectDialogTest.h"

using namespace projecttest;

namespace {

// A `web` element with the given children, read into a table.
class LayerFile {
 public:
  explicit LayerFile(const std::string& webChildren) {
    const std::string text = "<web>" + webChildren + "</web>";
    parser_.LoadFromString(text.c_str());
    root_.reset(parser_.Parse());
  }
  TmyXmlNode* Web() const { return root_->FindDeep("web"); }
  TmyXmlNode* Layers() const { return Web()->FindChild("Layers"); }
  void Read() { ReadLayersNode(Web(), Layers(), Table()); }
  void Write() { WriteLayersNode(Web(), Table()); }
  TLayerTable Table() { return {layers, active, paste}; }
  // The `layer` children as "visible frozen name".
  std::vector<std::string> Written() const {
    std::vector<std::string> lines;
    for (TmyXmlNode* child = Layers()->firstChild; child != nullptr; child = child->next)
      if (child->name == "layer")
        lines.push_back(child->GetAttr("visible") + " " + child->GetAttr("frozen") + " " + child->GetAttr("name"));
    return lines;
  }

  TGridLayer layers[kLayerCount];
  int active = 5;
  bool paste = false;

 private:
  TmyXMLParser parser_;
  std::unique_ptr<TmyXmlNode> root_;
};

TEST(LayerTable, AProjectWithoutLayersGainsTheElementWithLayerZeroActive) {
  LayerFile file("<group/>");
  file.layers[3] = {"kept", false, true};
  file.Read();
  ASSERT_NE(file.Layers(), nullptr);
  EXPECT_EQ(file.Layers()->GetAttr("active"), "0");
  EXPECT_EQ(file.active, 0);
  EXPECT_FALSE(file.paste);  // the flag keeps its value
  for (const TGridLayer& layer : file.layers) {
    EXPECT_TRUE(layer.Visible);
    EXPECT_FALSE(layer.Frozen);
  }
  EXPECT_EQ(file.layers[3].Name, "kept");
}

TEST(LayerTable, TheActiveLayerReadsVisibleAndUnfrozenAndIsWrittenSo) {
  LayerFile file(
      "<Layers active=\"1\" pasteMode=\"1\"><layer visible=\"0\" frozen=\"1\" name=\"a\"/>"
      "<layer visible=\"0\" frozen=\"1\" name=\"b\"/><note/><layer visible=\"1\" frozen=\"0\" name=\"c\"/></Layers>");
  file.Read();
  EXPECT_EQ(file.active, 1);
  EXPECT_FALSE(file.paste);
  EXPECT_FALSE(file.layers[0].Visible);
  EXPECT_TRUE(file.layers[0].Frozen);
  EXPECT_TRUE(file.layers[1].Visible);
  EXPECT_FALSE(file.layers[1].Frozen);
  EXPECT_EQ(file.layers[2].Name, "c");  // the `note` child does not count
  file.layers[1].Frozen = true;         // the table cannot freeze the active layer either
  file.paste = true;
  file.Write();
  const std::vector<std::string> written = file.Written();
  ASSERT_EQ(written.size(), 16u);
  EXPECT_EQ(written[0], "0 1 a");
  EXPECT_EQ(written[1], "1 0 b");
  EXPECT_EQ(written[2], "1 0 c");
  // The layers the file lacked are added, visible and not frozen.
  EXPECT_EQ(written[15], "1 0 ");
  EXPECT_EQ(file.Layers()->GetAttr("pasteMode"), "0");
  EXPECT_NE(file.Layers()->FindChild("note"), nullptr);
}

TEST(LayerTable, AnActiveLayerOutsideTheTableReadsAsZero) {
  for (const char* active : {"16", "-1", "200", "x"}) {
    LayerFile file(std::string("<Layers active=\"") + active +
                   "\"><layer visible=\"0\" frozen=\"1\" name=\"first\"/></Layers>");
    file.Read();
    EXPECT_EQ(file.active, 0) << active;
    EXPECT_TRUE(file.layers[0].Visible) << active;
    EXPECT_FALSE(file.layers[0].Frozen) << active;
    EXPECT_TRUE(file.paste) << active;
  }
}

class LayersDialog : public ProjectDialogTest {
 protected:
  void TearDown() override {
    dialog.reset();
    ProjectDialogTest::TearDown();
  }
  TFormLayersSettings& Loaded() {
    dialog.reset();
    dialog = std::make_unique<TFormLayersSettings>(designer.get());
    dialog->Designer = designer.get();
    dialog->LoadLayers();
    dialog->Show();
    return *dialog;
  }
  std::unique_ptr<TFormLayersSettings> dialog;
};

TEST_F(LayersDialog, RowsShowTheTableAndTheActiveMarkMoves) {
  Open();
  designer->FLayers[2] = {"Pumps", true, true};
  designer->FLayers[4] = {"Hidden", false, false};
  designer->FActiveLayer = 1;
  TFormLayersSettings& form = Loaded();
  EXPECT_EQ(form.Rows[0]->lblIndex->Caption(), "1.");
  EXPECT_EQ(form.Rows[15]->lblIndex->Caption(), "16.");
  EXPECT_EQ(form.Rows[2]->edtLayerName->Text(), "Pumps");
  EXPECT_TRUE(form.Rows[2]->imgFrozen->Visible());
  EXPECT_TRUE(form.Rows[4]->imgInvis->Visible());
  EXPECT_FALSE(form.Rows[4]->imgVis->Visible());
  EXPECT_TRUE(form.Rows[1]->rbActive->Checked());
  EXPECT_FALSE(form.Rows[1]->cbVisible->Enabled());
  Driver::Click(form.Rows[2]->rbActive);
  EXPECT_TRUE(form.Rows[2]->rbActive->Checked());
  EXPECT_FALSE(form.Rows[1]->rbActive->Checked());
  EXPECT_TRUE(form.Rows[1]->cbVisible->Enabled());
  EXPECT_TRUE(form.Rows[1]->cbFrozen->Enabled());
  EXPECT_FALSE(form.Rows[2]->cbFrozen->Checked());
  EXPECT_TRUE(form.Rows[2]->cbVisible->Checked());
  EXPECT_FALSE(form.Rows[2]->cbFrozen->Enabled());
  Driver::Click(form.Rows[4]->cbVisible);
  EXPECT_TRUE(form.Rows[4]->imgVis->Visible());
  form.SaveLayers();
  EXPECT_EQ(designer->FActiveLayer, 2);
  EXPECT_FALSE(designer->FLayers[2].Frozen);
  EXPECT_TRUE(designer->FLayers[4].Visible);
}

TEST_F(LayersDialog, TheCommandWritesOnOkOnlyAndDeselectsWhatCannotBeSelected) {
  Open();
  ClickNode(Node("Start"));
  TmyXmlNode* page = designer->CurrentPage();
  ASSERT_NE(page, nullptr);
  TmyXmlNode* object = page->AddChild("object");
  object->SetAttrInt("layer", 3);
  object->AddChild("label");
  designer->LoadObjects(page, designer->sbDesign1);
  ASSERT_EQ(designer->PageObjects().size(), 1u);
  TGridWebElement* element = designer->PageObjects()[0];
  element->Select();
  ASSERT_TRUE(element->Selected());
  const auto hideLayer3 = [](int answer) {
    return [answer](TCustomForm& form) {
      auto& layers = dynamic_cast<TFormLayersSettings&>(form);
      layers.Rows[3]->cbVisible->SetChecked(false);
      layers.Rows[3]->edtLayerName->SetText("Off");
      if (answer == mrOk) Driver::Click(layers.Button1);
      return answer == mrOk ? mrNone : answer;
    };
  };
  Driver::OnModal("TFormLayersSettings", hideLayer3(mrCancel));
  ClickButton(designer->tbLayers);
  Driver::Reset();
  EXPECT_TRUE(designer->FLayers[3].Visible);
  EXPECT_TRUE(element->Selected());
  EXPECT_FALSE(designer->Document().Modified());
  Driver::OnModal("TFormLayersSettings", hideLayer3(mrOk));
  ClickButton(designer->tbLayers);
  EXPECT_FALSE(designer->FLayers[3].Visible);
  EXPECT_EQ(designer->FLayers[3].Name, "Off");
  EXPECT_FALSE(element->Selected());
  EXPECT_TRUE(designer->Document().Modified());
}

TEST_F(LayersDialog, PicturesOfTheDialog) {
  Open();
  designer->FLayers[1] = {"Background", true, true};
  designer->FLayers[2] = {"Service", false, false};
  InTwoLanguages([this](const std::string& language) {
    TFormLayersSettings& form = Loaded();
    EXPECT_FALSE(SavePicture(&form, "layers-" + language).empty());
  });
}

}  // namespace
