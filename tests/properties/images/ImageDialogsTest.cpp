// The two-state image and image button dialogs: previews of two images,
// the second caption, the value, the read-only flag, the link without
// default and the swatch that opens only after a press.

#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/Shape.h"
#include "properties/MyEdit.h"
#include "tests/properties/images/ImagesTestSupport.h"

using namespace imgtest;
using namespace proptest;

namespace {

const std::string kTwoImages =
    "<object caption=\"A\" X=\"3\" Y=\"4\" Uid=\"10\">"
    "<image optcap=\"A on\" variable=\"B1\" on=\"lamp_on.png\" off=\"lamp_off.png\" /></object>\r\n"
    "<object caption=\"B\" X=\"9\" Y=\"4\" Uid=\"11\">"
    "<image optcap=\"B on\" variable=\"B2\" on=\"pump_on.png\" off=\"lamp_off.png\" /></object>\r\n"
    "<object caption=\"C\" X=\"3\" Y=\"9\" Uid=\"12\">"
    "<image optcap=\"\" variable=\"B3\" on=\"lamp_on.png\" off=\"logo.bmp\" /></object>\r\n";

const std::string kTwoButtons =
    "<object caption=\"A\" X=\"3\" Y=\"4\" Uid=\"10\">"
    "<imagebtn variable=\"I1\" value=\"1\" on=\"lamp_on.png\" off=\"lamp_off.png\" /></object>\r\n"
    "<object caption=\"B\" X=\"9\" Y=\"4\" Uid=\"11\">"
    "<imagebtn variable=\"I2\" value=\"2\" on=\"lamp_on.png\" off=\"logo.bmp\" /></object>\r\n";

class ImageDialogs : public ImagesTest {};

}  // namespace

TEST_F(ImageDialogs, TheSameOffImageShowsADifferentOnImageOpensEmptyAndOkKeepsBoth) {
  OpenImages(kTwoImages);
  SelectObjects({0, 1});
  const std::string first = ObjectXml(0), second = ObjectXml(1);
  Edit(0, "TFormImageProperties", [&](TPropertyForm& f) {
    EXPECT_NE(f.Get<TImage>("Image1")->Picture()->Graphic(), nullptr);
    EXPECT_EQ(f.Get<TImage>("Image2")->Picture()->Graphic(), nullptr);
    EXPECT_EQ(f.Get<TPanel>("Panel2")->Text(), "Click to insert image...");
    EXPECT_EQ(f.Get<TEdit>("edtCaption2")->Text(), "");
    EXPECT_TRUE(f.Get<TCheckBox>("cbOptionalCaption")->Checked());
    EXPECT_TRUE(f.Get<TEdit>("edtCaption2")->Enabled());
    SavePicture(f, "image-two-en");
    return PressOk(f);
  });
  EXPECT_EQ(ObjectXml(0), first);
  EXPECT_EQ(ObjectXml(1), second);
}

TEST_F(ImageDialogs, ASecondCaptionOnOneImageOnlyOpensUncheckedAndEmptyAndOkKeepsEach) {
  OpenImages(kTwoImages);
  SelectObjects({0, 2});
  const std::string first = ObjectXml(0), third = ObjectXml(2);
  Edit(0, "TFormImageProperties", [&](TPropertyForm& f) {
    EXPECT_FALSE(f.Get<TCheckBox>("cbOptionalCaption")->Checked());
    EXPECT_EQ(f.Get<TEdit>("edtCaption2")->Text(), "");
    EXPECT_FALSE(f.Get<TEdit>("edtCaption2")->Enabled());
    return PressOk(f);
  });
  EXPECT_EQ(ObjectXml(0), first);
  EXPECT_EQ(ObjectXml(2), third);
  EXPECT_EQ(Objects()[0]->GetOptCaption(), "A on");
}

namespace {

// Shows the preview's page and clicks the preview (the picker opens).
void ClickPreview(TPropertyForm& f, int page) {
  f.Get<TPageControl>("PageControl1")->SetActivePageIndex(page);
  Driver::Click(f.Get<TImage>(page == 0 ? "Image1" : "Image2"));
}

void ClickClear(TPropertyForm& f, int page) {
  f.Get<TPageControl>("PageControl1")->SetActivePageIndex(page);
  ClickControl(f, page == 0 ? "btnClearImage1" : "btnClearImage2");
}

struct Row {
  const char* what;
  const char* pick;  // the image manager's answer
  std::function<void(TPropertyForm&)> input;
  std::function<std::string(const TGridWebElement&)> field;
  std::string expected;
};

std::string On(const TGridWebElement& e) { return e.GetOnImageName(); }
std::string Off(const TGridWebElement& e) { return e.GetOffImageName(); }

}  // namespace

// One row an edit of the user on two selected objects; the field each then
// holds; the third object stays as it was.
TEST_F(ImageDialogs, EachControlOfTheImageDialogWritesItsField) {
  const Row rows[] = {
      {"on image picked", "logo.bmp", [](TPropertyForm& f) { ClickPreview(f, 1); }, On, "logo.bmp"},
      {"off image picked", "pump_on.png", [](TPropertyForm& f) { ClickPreview(f, 0); }, Off, "pump_on.png"},
      {"off image cleared", "", [](TPropertyForm& f) { ClickClear(f, 0); }, Off, ""},
      {"on image cleared", "", [](TPropertyForm& f) { ClickClear(f, 1); }, On, ""},
      {"second caption unchecked", "", [](TPropertyForm& f) { ClickControl(f, "cbOptionalCaption"); },
       [](const TGridWebElement& e) { return e.GetOptCaption(); }, ""},
      {"second caption typed", "", [](TPropertyForm& f) { TypeInto(f, "edtCaption2", "Running"); },
       [](const TGridWebElement& e) { return e.GetOptCaption(); }, "Running"},
      {"read-only", "", [](TPropertyForm& f) { ClickControl(f, "cbReadOnly"); },
       [](const TGridWebElement& e) { return std::to_string(e.FReadOnly); }, "1"},
      {"level 12", "",
       [](TPropertyForm& f) {
         TypeInto(f, "seSecLevel", "12");
         PressTab();
         EXPECT_EQ(f.Get<TmyEdit>("seSecLevel")->Text(), "9");
       },
       [](const TGridWebElement& e) { return std::to_string(e.FLevel); }, "9"},
      {"link checked, left empty", "",
       [](TPropertyForm& f) {
         ClickControl(f, "cbLink");
         TypeInto(f, "edtLink1", "");
       },
       [](const TGridWebElement& e) { return e.FHref; }, ""},
      {"variable", "", [](TPropertyForm& f) { TypeInto(f, "edtVariable", "B9"); },
       [](const TGridWebElement& e) { return e.GetVariable(); }, "B9"},
  };
  for (const Row& row : rows) {
    OpenImages(kTwoImages);
    SelectObjects({0, 1});
    const std::string third = ObjectXml(2);
    AnswerPicker(row.pick);
    Edit(0, "TFormImageProperties", [&](TPropertyForm& f) {
      row.input(f);
      return PressOk(f);
    });
    EXPECT_EQ(row.field(*Objects()[0]), row.expected) << row.what;
    EXPECT_EQ(row.field(*Objects()[1]), row.expected) << row.what;
    EXPECT_EQ(ObjectXml(2), third) << row.what;
  }
}

TEST_F(ImageDialogs, ThePickerOpensWithTheClickedPreviewsName) {
  OpenImages(kTwoImages);
  SelectObjects({2});
  Edit(2, "TFormImageProperties", [&](TPropertyForm& f) {
    ClickPreview(f, 0);
    ClickPreview(f, 1);
    return mrCancel;
  });
  EXPECT_EQ(pickerCalls, (std::vector<std::string>{"logo.bmp", "lamp_on.png"}));
}

TEST_F(ImageDialogs, TheSwatchOpensOnlyAfterAPressOnIt) {
  OpenImages(kTwoImages);
  SelectObjects({0});
  int shown = 0;
  Driver::OnDialog("TColorDialog", [&](TCommonDialog& d) {
    ++shown;
    dynamic_cast<TColorDialog&>(d).Color = 0x00FF00;
    return true;
  });
  Edit(0, "TFormImageProperties", [&](TPropertyForm& f) {
    auto* swatch = f.Get<TShape>("shFront");
    swatch->OnMouseUp(swatch, mbLeft, 0, 1, 1);
    EXPECT_EQ(shown, 0);
    Driver::Click(swatch);
    EXPECT_EQ(shown, 1);
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FFrontColor, 0x00FF00);
}

TEST_F(ImageDialogs, ImageButtonsKeepTheirVariablesWhenOnlyTheValueIsTyped) {
  OpenImages(kTwoButtons);
  SelectObjects({0, 1});
  Edit(0, "TFormImageBtnProperties", [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TEdit>("edtValue")->Text(), "");
    EXPECT_EQ(f.Get<TEdit>("edtVariable")->Text(), "");
    EXPECT_NE(f.Get<TImage>("Image2")->Picture()->Graphic(), nullptr);
    EXPECT_EQ(f.Get<TImage>("Image1")->Picture()->Graphic(), nullptr);
    SavePicture(f, "imagebtn-two-en");
    TypeInto(f, "edtValue", "7");
    EXPECT_TRUE(f.Flagged("edtValue"));
    EXPECT_FALSE(f.Flagged("edtVariable"));
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetValue(), "7");
  EXPECT_EQ(Objects()[1]->GetValue(), "7");
  EXPECT_EQ(Objects()[0]->GetVariable(), "I1");
  EXPECT_EQ(Objects()[1]->GetVariable(), "I2");
  EXPECT_EQ(Objects()[0]->GetOffImageName(), "lamp_off.png");
  EXPECT_EQ(Objects()[1]->GetOffImageName(), "logo.bmp");
}

TEST_F(ImageDialogs, ImageButtonsUntouchedKeepTheirValuesAndAClearedPushImageEmptiesIt) {
  OpenImages(kTwoButtons);
  SelectObjects({0, 1});
  const std::string first = ObjectXml(0), second = ObjectXml(1);
  Edit(1, "TFormImageBtnProperties", [&](TPropertyForm& f) { return PressOk(f); });
  EXPECT_EQ(ObjectXml(0), first);
  EXPECT_EQ(ObjectXml(1), second);
  Edit(1, "TFormImageBtnProperties", [&](TPropertyForm& f) {
    ClickClear(f, 1);
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetOnImageName(), "");
  EXPECT_EQ(Objects()[1]->GetOnImageName(), "");
  EXPECT_EQ(Objects()[0]->GetValue(), "1");
  EXPECT_EQ(Objects()[1]->GetValue(), "2");
}

TEST_F(ImageDialogs, OneImageShowsBothPictures) {
  OpenImages(kTwoImages);
  SelectObjects({0});
  Edit(0, "TFormImageProperties", [&](TPropertyForm& f) {
    EXPECT_NE(f.Get<TImage>("Image1")->Picture()->Graphic(), nullptr);
    EXPECT_NE(f.Get<TImage>("Image2")->Picture()->Graphic(), nullptr);
    EXPECT_EQ(f.Get<TEdit>("edtCaption2")->Text(), "A on");
    f.Get<TPageControl>("PageControl1")->SetActivePageIndex(1);
    SavePicture(f, "image-one-en");
    return mrCancel;
  });
}
