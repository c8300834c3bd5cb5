// Every dialog's tables: each binding names a control of the class its kind
// needs; tabbing through every box of two objects that differ writes
// nothing; and pictures of every dialog with one and with several objects, in
// English and in German.

#include <memory>

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "properties/FormBlockProperties.h"
#include "properties/FormCameraProperties.h"
#include "properties/FormCanvasProperties.h"
#include "properties/FormDropDownProperties.h"
#include "properties/FormEditProperties.h"
#include "properties/FormIFrameProperties.h"
#include "properties/FormImageBtnProperties.h"
#include "properties/FormImageProperties.h"
#include "properties/FormLabelProperties.h"
#include "properties/FormMultiImageProperties.h"
#include "properties/FormPictureProperties.h"
#include "properties/FormPostFileProperties.h"
#include "properties/FormStrImgProperties.h"
#include "properties/FormSubmitProperties.h"
#include "tests/properties/PropertiesTestSupport.h"
#include "tests/support/CutTexts.h"
#include "tests/support/SimVariableLookup.h"
#include "tests/support/UiLanguages.h"

using namespace proptest;

namespace {

struct TDialogCase {
  const char* name;
  std::unique_ptr<TPropertyForm> (*make)(TFormDesign1&);
  const char* object;  // XML of one object of the kind
  const char* other;   // another one that differs in every attribute
};

template <class Form>
std::unique_ptr<TPropertyForm> Make(TFormDesign1& d) {
  return std::make_unique<Form>(d);
}

// The dialogs of the 14 object kinds (the edit dialog takes kinds 1 and 2).
const TDialogCase kDialogs[] = {
    {"label", Make<TFormLabelProperties>, "<label />", "<label href=\"B.XML\" />"},
    // The same variable, width and decimals: the limit texts are reformatted
    // only for a known type and a width, and a mixed decimals box would
    // reformat them while the dialog is filled.
    {"edit", Make<TFormEditProperties>,
     "<edit variable=\"I1\" global=\"true\" intf=\"1\" align=\"right\" prec=\"1\" size=\"6\" border=\"true\" "
     "lolim=\"1\" hilim=\"50\" tabindex=\"1\" pass=\"true\" />",
     "<edit variable=\"I1\" global=\"false\" intf=\"2\" timf=\"hh:mm\" align=\"center\" zero=\"true\" prec=\"1\" "
     "size=\"6\" lolim=\"3\" hilim=\"70\" tabindex=\"2\" />"},
    {"submit", Make<TFormSubmitProperties>,
     "<submit variable=\"V\" value=\"1\" width=\"40\" height=\"20\" border=\"true\" tabindex=\"1\" />",
     "<submit variable=\"W\" value=\"2\" width=\"50\" height=\"24\" tabindex=\"2\" />"},
    {"dropdown", Make<TFormDropDownProperties>,
     "<dropdown global=\"true\" variable=\"D1\" size=\"5\"><option value=\"1\">One</option></dropdown>",
     "<dropdown global=\"false\" variable=\"D2\" size=\"7\" border=\"true\"><option value=\"2\">Two</option>"
     "</dropdown>"},
    // The picture dialogs.
    {"picture", Make<TFormPictureProperties>, "<picture href=\"\" img=\"\" />",
     "<picture href=\"B.XML\" img=\"B.PNG\" />"},
    {"image", Make<TFormImageProperties>, "<image optcap=\"\" variable=\"B1\" on=\"\" off=\"\" />",
     "<image optcap=\"b\" variable=\"B2\" on=\"C.PNG\" off=\"D.PNG\" href=\"B.XML\" />"},
    {"imagebtn", Make<TFormImageBtnProperties>, "<imagebtn variable=\"I1\" value=\"1\" on=\"\" off=\"\" />",
     "<imagebtn variable=\"I2\" value=\"2\" timeout=\"7\" on=\"A.PNG\" off=\"B.PNG\" href=\"B.XML\" />"},
    {"mulimg", Make<TFormMultiImageProperties>, "<mulimg variable=\"I1\" count=\"0\" />",
     "<mulimg variable=\"I2\" count=\"0\" href=\"B.XML\" />"},
    // The other kinds.
    {"postfile", Make<TFormPostFileProperties>, "<postfile variable=\"F\" warning=\"Sure?\" border=\"true\" />",
     "<postfile variable=\"G\" />"},
    {"camera", Make<TFormCameraProperties>,
     "<camera href=\"http://cam/a.jpg\" width=\"320\" height=\"240\" refresh=\"1000\" delimiter=\"?\" />",
     "<camera href=\"http://cam/b.jpg\" width=\"160\" height=\"120\" refresh=\"500\" delimiter=\"&amp;\" />"},
    {"block", Make<TFormBlockProperties>, "<block width=\"64\" height=\"64\" border=\"true\" />",
     "<block width=\"32\" height=\"48\" href=\"B.XML\" variable=\"I2\" value=\"3\" />"},
    {"strimg", Make<TFormStrImgProperties>, "<strimg width=\"32\" height=\"32\" variable=\"S1\" />",
     "<strimg width=\"48\" height=\"40\" variable=\"S2\" />"},
    {"canvas", Make<TFormCanvasProperties>,
     "<canvas width=\"256\" height=\"256\" variable=\"C1.bufHead\" datavariable=\"C1.buf\" />",
     "<canvas width=\"128\" height=\"100\" variable=\"C2.bufHead\" datavariable=\"C2.buf\" />"},
    {"iframe", Make<TFormIFrameProperties>, "<iframe width=\"256\" height=\"256\" href=\"A.XML\" noscroll=\"1\" />",
     "<iframe width=\"128\" height=\"100\" href=\"B.XML\" variable=\"V2\" />"},
};

std::string TwoObjects(const TDialogCase& c) {
  return "<object caption=\"First\" X=\"2\" Y=\"2\" size=\"12\" Uid=\"10\">" + std::string(c.object) +
         "</object>\r\n<object caption=\"Second\" X=\"4\" Y=\"6\" size=\"16\" Uid=\"11\">" + c.object + "</object>\r\n";
}

class DialogTables : public PropertiesTest {};

// The variables' types come from the simulated host.
class DialogTablesOnHost : public DialogTables {
 protected:
  void SetUp() override {
    DialogTables::SetUp();
    hostFolder.Write("halvex.prj", "project \"Sim\"\nvar I1 INT R 0 tdi 1\n");
    sim.OpenProject(hostFolder.Path().string());
    testsupport::gLookupHost = &sim;
    gGridVariableLookup = &testsupport::SimVariableLookup;
  }
  void TearDown() override {
    gGridVariableLookup = nullptr;
    DialogTables::TearDown();
    testsupport::gLookupHost = nullptr;
  }
  testsupport::TempFolder hostFolder{"simhost"};
  HalvexHost sim;
};

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
  for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
    for (const TDialogCase& c : kDialogs) {
      ASSERT_TRUE(testsupport::SelectHostLanguage(language));
      Open(Project(TwoObjects(c)));
      const std::string lang = language.code;
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
  testsupport::SelectEnglish();
}

// Every caption of every dialog is shown whole and no two controls of a row
// overlap, in each UI language, as the dialog is shown.
TEST_F(DialogTables, EveryCaptionIsShownWholeInEveryLanguage) {
  for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
    ASSERT_TRUE(testsupport::SelectHostLanguage(language));
    for (const TDialogCase& c : kDialogs) {
      Open(Project(TwoObjects(c)));
      SelectObjects({0});
      std::vector<std::string> found;
      DoubleClickObject(0, [&](TPropertyForm& f) {
        found = testsupport::CutTexts(f);
        return mrCancel;
      });
      EXPECT_EQ(found, std::vector<std::string>{}) << language.code << " " << c.name;
    }
  }
  testsupport::SelectEnglish();
}

// Two objects that differ in everything, the dialog's every box entered and
// left with Tab, then OK: nothing of either object changes, in every dialog.
TEST_F(DialogTablesOnHost, TabbingThroughEveryMixedBoxWritesNothing) {
  for (const TDialogCase& c : kDialogs) {
    SCOPED_TRACE(c.name);
    Open(Project(
        "<object caption=\"A\" hint=\"a\" X=\"2\" Y=\"2\" size=\"12\" level=\"2\" front=\"255\" back=\"65280\" "
        "strong=\"true\" visvar=\"VA\" visneg=\"true\" Uid=\"10\">" +
        std::string(c.object) +
        "</object>\r\n<object caption=\"B\" hint=\"b\" X=\"5\" Y=\"7\" size=\"16\" level=\"5\" readonly=\"true\" "
        "front=\"16711680\" back=\"255\" italic=\"true\" transparent=\"true\" visvar=\"VB\" Uid=\"11\">" +
        c.other + "</object>\r\n"));
    SelectObjects({0, 1});
    std::vector<std::string> before;
    int boxes = 0;
    const std::string shown = DoubleClickObject(0, [&](TPropertyForm& f) {
      for (int i : {0, 1}) before.push_back(ObjectXml(i));
      for (int i = 0; i < f.ComponentCount(); ++i)
        if (auto* box = dynamic_cast<TCustomEdit*>(f.Components(i)); box != nullptr && box->CanFocus()) {
          Driver::Focus(box);
          PressTab();
          ++boxes;
        }
      return PressOk(f);
    });
    ASSERT_FALSE(shown.empty());
    EXPECT_GT(boxes, 3);
    for (int i : {0, 1}) EXPECT_EQ(ObjectXml(i), before.at(static_cast<std::size_t>(i))) << i;
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
