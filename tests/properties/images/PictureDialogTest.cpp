// The picture dialog: the preview's fit, images kept or changed on OK, the
// clear button, the page-link picker and its default link.

#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Panel.h"
#include "properties/FormPictureProperties.h"
#include "tests/properties/images/ImagesTestSupport.h"

using namespace imgtest;
using namespace proptest;

namespace {

const std::string kTwoPictures =
    "<object caption=\"A\" X=\"3\" Y=\"4\" Uid=\"10\"><picture href=\"\" img=\"lamp_on.png\" /></object>\r\n"
    "<object caption=\"B\" X=\"9\" Y=\"4\" Uid=\"11\"><picture href=\"START.XML\" img=\"logo.bmp\" /></object>\r\n";

class PictureDialog : public ImagesTest {};

}  // namespace

TEST(PreviewFit, PicturesLargerThanThePreviewShrinkKeepingTheirProportions) {
  struct Row {
    int picW, picH, ctlW, ctlH;
    TPreviewFit expected;
  };
  const Row rows[] = {
      {400, 100, 200, 200, {true, 0, 75, 200, 50}}, {100, 400, 200, 200, {true, 75, 0, 50, 200}},
      {400, 400, 200, 200, {true, 0, 0, 200, 200}}, {300, 150, 200, 120, {true, 0, 10, 200, 100}},
      {50, 20, 200, 200, {false, 0, 0, 200, 200}},  {200, 200, 200, 200, {false, 0, 0, 200, 200}},
      {0, 0, 200, 200, {false, 0, 0, 200, 200}},
  };
  for (const Row& r : rows) {
    const TPreviewFit fit = FitPreview(r.picW, r.picH, r.ctlW, r.ctlH);
    const std::string at = std::to_string(r.picW) + "x" + std::to_string(r.picH);
    EXPECT_EQ(fit.stretch, r.expected.stretch) << at;
    EXPECT_EQ(fit.left, r.expected.left) << at;
    EXPECT_EQ(fit.top, r.expected.top) << at;
    EXPECT_EQ(fit.width, r.expected.width) << at;
    EXPECT_EQ(fit.height, r.expected.height) << at;
  }
}

TEST_F(PictureDialog, TwoPicturesWithDifferentImagesOpenEmptyAndKeepTheirImagesOnOk) {
  OpenImages(kTwoPictures);
  SelectObjects({0, 1});
  const std::string first = ObjectXml(0), second = ObjectXml(1);
  Edit(0, "TFormPictureProperties", [&](TPropertyForm& f) {
    auto* image = f.Get<TImage>("Image1");
    EXPECT_EQ(image->Picture()->Graphic(), nullptr);
    EXPECT_EQ(f.Get<TPanel>("Panel1")->Text(), "Click to insert image...");
    EXPECT_EQ(dynamic_cast<TPictureFormBase&>(f).ImageName(image), "");
    SavePicture(f, "picture-two-en");
    return PressOk(f);
  });
  EXPECT_EQ(ObjectXml(0), first);
  EXPECT_EQ(ObjectXml(1), second);
  EXPECT_EQ(Objects()[0]->GetOffImageName(), "lamp_on.png");
  EXPECT_EQ(Objects()[1]->GetOffImageName(), "logo.bmp");
}

TEST_F(PictureDialog, OnePictureShowsItsImageAndAPickedOneIsWrittenToEverySelectedPicture) {
  OpenImages(kTwoPictures);
  SelectObjects({0});
  Edit(0, "TFormPictureProperties", [&](TPropertyForm& f) {
    auto* image = f.Get<TImage>("Image1");
    EXPECT_NE(image->Picture()->Graphic(), nullptr);
    EXPECT_EQ(image->Picture()->Width(), 20);
    EXPECT_EQ(f.Get<TPanel>("Panel1")->Text(), "");
    SavePicture(f, "picture-one-en");
    return mrCancel;
  });
  SelectObjects({0, 1});
  AnswerPicker("pump_on.png");
  Edit(1, "TFormPictureProperties", [&](TPropertyForm& f) {
    Driver::Click(f.Get<TImage>("Image1"));
    EXPECT_EQ(f.Get<TImage>("Image1")->Picture()->Width(), 32);
    return PressOk(f);
  });
  ASSERT_EQ(pickerCalls.size(), 1u);
  EXPECT_EQ(pickerCalls[0], "");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Objects()[i]->GetOffImageName(), "pump_on.png") << i;
    EXPECT_NE(Objects()[i]->OffPicture()->Graphic(), nullptr) << i;
  }
  EXPECT_NE(ObjectXml(0).find("img=\"pump_on.png\""), std::string::npos) << ObjectXml(0);
}

TEST_F(PictureDialog, CancelInThePickerAndTheClearButton) {
  OpenImages(kTwoPictures);
  SelectObjects({1});
  Edit(1, "TFormPictureProperties", [&](TPropertyForm& f) {
    Driver::Click(f.Get<TImage>("Image1"));  // the picker is cancelled
    EXPECT_EQ(pickerCalls.at(0), "logo.bmp");
    EXPECT_FALSE(f.Flagged("Image1"));
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[1]->GetOffImageName(), "logo.bmp");
  Edit(1, "TFormPictureProperties", [&](TPropertyForm& f) {
    ClickControl(f, "btnClearImage1");
    EXPECT_EQ(f.Get<TPanel>("Panel1")->Text(), "Click to insert image...");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[1]->GetOffImageName(), "");
}

TEST_F(PictureDialog, AMissingFileOpensEmptyAndWritesNothingUnlessChanged) {
  OpenImages("<object caption=\"A\" X=\"3\" Y=\"4\" Uid=\"10\"><picture img=\"gone.png\" /></object>\r\n");
  SelectObjects({0});
  Edit(0, "TFormPictureProperties", [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TPanel>("Panel1")->Text(), "Click to insert image...");
    EXPECT_FALSE(f.Flagged("Image1"));
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetOffImageName(), "gone.png");
}

// The link rows: what the user does, the link every selected picture holds.
TEST_F(PictureDialog, TheLinkPickerAndItsDefault) {
  struct Row {
    const char* what;
    std::function<void(TPropertyForm&)> input;
    std::string first, second;
  };
  const Row rows[] = {
      {"untouched", [](TPropertyForm&) {}, "", "START.XML"},
      {"checked, emptied",
       [](TPropertyForm& f) {
         ClickControl(f, "cbLink");
         TypeInto(f, "edtLink1", "");
       },
       "index.xml", "index.xml"},
      {"checked, never typed", [](TPropertyForm& f) { ClickControl(f, "cbLink"); }, "", ""},
      {"page chosen from the menu (caption with \" - \")",
       [](TPropertyForm& f) {
         ClickControl(f, "cbLink");
         Driver::ChoosePopupItem("PagesPopup1", "Other|Start - main - START.XML");
         ClickControl(f, "AddPage");
       },
       "START.XML", "START.XML"},
  };
  for (const Row& row : rows) {
    OpenImages(kTwoPictures);
    SelectObjects({0, 1});
    Edit(0, "TFormPictureProperties", [&](TPropertyForm& f) {
      EXPECT_FALSE(f.Get<TCheckBox>("cbLink")->Checked()) << row.what;
      EXPECT_FALSE(f.Get<TEdit>("edtLink1")->Enabled()) << row.what;
      row.input(f);
      return PressOk(f);
    });
    EXPECT_EQ(Objects()[0]->FHref, row.first) << row.what;
    EXPECT_EQ(Objects()[1]->FHref, row.second) << row.what;
  }
}
