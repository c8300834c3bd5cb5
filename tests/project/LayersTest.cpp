// The layers dialog: its rows and active mark, an active layer outside the
// table, OK and Cancel through the designer's command, and pictures.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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
#include "tests/project/ProjectDialogTest.h"
#include "tests/support/CutTexts.h"

using namespace projecttest;

namespace {

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

// A table whose active layer lies outside it shows (and, on OK, stores)
// layer 1 as the active one.
TEST_F(LayersDialog, AnActiveLayerOutsideTheTableIsTheFirst) {
  Open();
  for (int active : {16, -1}) {
    designer->FActiveLayer = active;
    TFormLayersSettings& form = Loaded();
    EXPECT_TRUE(form.Rows[0]->rbActive->Checked()) << active;
    EXPECT_FALSE(form.Rows[0]->cbVisible->Enabled()) << active;
    form.SaveLayers();
    EXPECT_EQ(designer->FActiveLayer, 0) << active;
  }
}

TEST_F(LayersDialog, PicturesOfTheDialog) {
  Open();
  designer->FLayers[1] = {"Background", true, true};
  designer->FLayers[2] = {"Service", false, false};
  InEveryLanguage([this](const std::string& language) {
    TFormLayersSettings& form = Loaded();
    EXPECT_FALSE(SavePicture(&form, "layers-" + language).empty());
    EXPECT_EQ(testsupport::CutTexts(form), std::vector<std::string>{}) << language;
  });
}

}  // namespace
