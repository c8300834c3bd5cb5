// Every dialog's tables: each binding names a control of the class its kind
// needs; and pictures of every dialog with one and with several objects, in
// English and in German.

#include <memory>

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Driver.h"
#include "properties/FormDropDownProperties.h"
#include "properties/FormEditProperties.h"
#include "properties/FormLabelProperties.h"
#include "properties/FormSubmitProperties.h"
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
    int checked = 0;
    for (const TPropertyBinding& b : form->Bindings()) {
      if (b.kind == TBindKind::LangSlots) {
        EXPECT_NE(form->FindLangText(b.control), nullptr) << c.name << " " << b.control;
        continue;
      }
      const TComponent* control = form->FindComponent(b.control);
      ASSERT_NE(control, nullptr) << c.name << " " << b.control;
      EXPECT_TRUE(ControlFitsBinding(control, b)) << c.name << " " << b.control;
      for (const char* other : b.flaggedBy) EXPECT_NE(form->FindComponent(other), nullptr) << c.name << " " << other;
      ++checked;
    }
    EXPECT_GT(checked, 10) << c.name;
    for (const TLangText& text : form->langTexts) {
      EXPECT_NE(form->FindComponent(text.edit), nullptr) << c.name << " " << text.edit;
      EXPECT_NE(form->FindComponent(text.button), nullptr) << c.name << " " << text.button;
    }
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
