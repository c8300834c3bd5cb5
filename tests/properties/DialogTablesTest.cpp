// Every dialog's tables: each binding names a control of the class its kind
// needs; and pictures of every dialog with one and with several objects, in
// English and in German.

#include <memory>

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Driver.h"
#include "properties/FormDropDownProperties.h"
#include "properties/FormEditProperties.h"
#include "properties/FormImageBtnProperties.h"
#include "properties/FormImageProperties.h"
#include "properties/FormLabelProperties.h"
#include "properties/FormMultiImageProperties.h"
#include "properties/FormPictureProperties.h"
#include "properties/FormSubmitProperties.h"
#include "properties/MyEdit.h"
#include "tests/properties/PropertiesTestSupport.h"

using namespace proptest;

namespace {

struct TDialogCase {
  const char* name;
  std::unique_ptr<TPropertyForm> (*make)(TFormDesign1&);
  const char* object;  // XML of one object of the kind
};

template <class Form>
std::unique_ptr<TPropertyForm> Make(TFormDesign1& d) {
  return std::make_unique<Form>(d);
}

const TDialogCase kDialogs[] = {
    {"label", Make<TFormLabelProperties>, "<label />"},
    {"edit", Make<TFormEditProperties>, "<edit variable=\"I1\" global=\"true\" />"},
    {"submit", Make<TFormSubmitProperties>, "<submit variable=\"V\" value=\"1\" />"},
    {"dropdown", Make<TFormDropDownProperties>,
     "<dropdown global=\"true\"><option value=\"1\">One</option></dropdown>"},
    // The picture dialogs.
    {"picture", Make<TFormPictureProperties>, "<picture href=\"\" img=\"\" />"},
    {"image", Make<TFormImageProperties>, "<image optcap=\"\" variable=\"B1\" on=\"\" off=\"\" />"},
    {"imagebtn", Make<TFormImageBtnProperties>, "<imagebtn variable=\"I1\" value=\"1\" on=\"\" off=\"\" />"},
    {"mulimg", Make<TFormMultiImageProperties>, "<mulimg variable=\"I1\" count=\"0\" />"},
};

std::string TwoObjects(const TDialogCase& c) {
  return "<object caption=\"First\" X=\"2\" Y=\"2\" size=\"12\" Uid=\"10\">" + std::string(c.object) +
         "</object>\r\n<object caption=\"Second\" X=\"4\" Y=\"6\" size=\"16\" Uid=\"11\">" + c.object + "</object>\r\n";
}

class DialogTables : public PropertiesTest {};

}  // namespace

TEST_F(DialogTables, EveryBindingNamesAControlOfItsClass) {
  Open(Project(""));
  for (const TDialogCase& c : kDialogs) {
    std::unique_ptr<TPropertyForm> form = c.make(*designer);
    ExpectBindingTable(c.name, *form);
  }
}

// The pictures under build/pictures/properties: NAME-one-LANG, NAME-two-LANG.
TEST_F(DialogTables, PicturesOfEveryDialog) {
  for (int language : {UI_LANG_ENGLISH, UI_LANG_GERMAN}) {
    for (const TDialogCase& c : kDialogs) {
      ASSERT_TRUE(SelectUiLanguage(language));
      Open(Project(TwoObjects(c)));
      const std::string lang = language == UI_LANG_ENGLISH ? "en" : "de";
      for (bool several : {false, true}) {
        SelectObjects(several ? std::vector<int>{0, 1} : std::vector<int>{0});
        std::string shown;
        const std::string suffix = std::string(several ? "-two-" : "-one-") + lang;
        DoubleClickObject(0, [&](TPropertyForm& f) {
          shown = f.Caption();
          SavePicture(f, std::string("all-") + c.name + suffix);
          return mrCancel;
        });
        EXPECT_FALSE(shown.empty()) << c.name << suffix;
      }
    }
  }
}

// Tabbing through every numeric box of a dialog whose two objects differ in
// everything is no edit: OK writes nothing into either object.
TEST_F(DialogTables, TabbingThroughEveryMixedNumericBoxWritesNothing) {
  for (const TDialogCase& c : kDialogs) {
    const std::string kind = std::string(c.object);
    std::string second = kind;
    second.insert(second.find(' ') != std::string::npos ? second.find(' ') : second.find('/'), " size=\"9\"");
    Open(Project("<object caption=\"A\" X=\"2\" Y=\"2\" size=\"12\" level=\"2\" Uid=\"10\">" + kind +
                 "</object>\r\n<object caption=\"B\" X=\"5\" Y=\"7\" size=\"16\" level=\"5\" Uid=\"11\">" + second +
                 "</object>\r\n"));
    SelectObjects({0, 1});
    std::vector<TPoint> places;
    std::vector<int> sizes, levels, widths;
    for (TGridWebElement* e : Objects()) {
      places.push_back(e->GetPosition());
      sizes.push_back(e->FFontSize);
      levels.push_back(e->FLevel);
      widths.push_back(e->FSize);
    }
    DoubleClickObject(0, [&](TPropertyForm& f) {
      for (int i = 0; i < f.ComponentCount(); ++i)
        if (auto* box = dynamic_cast<TmyEdit*>(f.Components(i)); box != nullptr && box->Enabled()) {
          Driver::Focus(box);
          PressTab();
        }
      return PressOk(f);
    });
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(Objects()[i]->GetPosition().x, places[i].x) << c.name << i;
      EXPECT_EQ(Objects()[i]->GetPosition().y, places[i].y) << c.name << i;
      EXPECT_EQ(Objects()[i]->FFontSize, sizes[i]) << c.name << i;
      EXPECT_EQ(Objects()[i]->FLevel, levels[i]) << c.name << i;
      EXPECT_EQ(Objects()[i]->FSize, widths[i]) << c.name << i;
    }
  }
}

TEST_F(DialogTables, ShowObjectPropertiesOpensTheDialogAndLeavesNoPressToIgnore) {
  Open(Project(TwoObjects(kDialogs[0])));
  SelectObjects({1});
  int shown = 0;
  Driver::OnModal("TFormLabelProperties", [&](TCustomForm&) {
    ++shown;
    return mrCancel;
  });
  designer->ShowObjectProperties(Objects()[1]);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(Objects()[1]->FIgnoreMouseDown);
}
