// The submit button dialog: the "On click set value" switch across buttons
// with and without a variable, tab order, background colour.

#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "properties/VariableBrowser.h"
#include "tests/properties/PropertiesTestSupport.h"

using namespace proptest;

namespace {

std::string Submit(const std::string& attrs, const std::string& submitAttrs, int uid) {
  return "<object caption=\"Go\" " + attrs + " Uid=\"" + std::to_string(uid) + "\"><submit " + submitAttrs +
         " /></object>\r\n";
}

class SubmitDialog : public PropertiesTest {};

}  // namespace

TEST_F(SubmitDialog, AButtonWithAndOneWithoutVariableShowTheSwitchGrayedAndKeepBoth) {
  Open(Project(Submit("X=\"2\" Y=\"2\"", "variable=\"V1\" value=\"5\"", 10) + Submit("X=\"2\" Y=\"6\"", "", 11)));
  SelectObjects({0, 1});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TCheckBox>("cbUseVal")->State(), cbGrayed);
    EXPECT_EQ(f.Get<TEdit>("edtVariable")->Text(), "");
    EXPECT_FALSE(f.Get<TEdit>("edtVal")->Enabled());
    SavePicture(f, "submit-two-en");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetVariable(), "V1");
  EXPECT_EQ(Objects()[0]->GetValue(), "5");
  EXPECT_EQ(Objects()[1]->GetVariable(), "");
  // Only the tab order was renumbered (1 and 2 over the page).
  EXPECT_EQ(Objects()[0]->FTabIndex, 1);
  EXPECT_EQ(Objects()[1]->FTabIndex, 2);
}

TEST_F(SubmitDialog, UncheckingTheSwitchClearsVariableAndValue) {
  Open(Project(Submit("X=\"2\" Y=\"2\"", "variable=\"V1\" value=\"5\"", 10) +
               Submit("X=\"2\" Y=\"6\"", "variable=\"V2\" value=\"7\"", 11)));
  SelectObjects({0, 1});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TCheckBox>("cbUseVal")->Checked());
    ClickControl(f, "cbUseVal");
    EXPECT_FALSE(f.Get<TEdit>("edtVariable")->Enabled());
    return PressOk(f);
  });
  for (int i : {0, 1}) {
    EXPECT_EQ(Objects()[i]->GetVariable(), "") << i;
    EXPECT_EQ(ObjectXml(i).find("value="), std::string::npos) << ObjectXml(i);
    EXPECT_EQ(ObjectXml(i).find("variable="), std::string::npos) << ObjectXml(i);
  }
}

TEST_F(SubmitDialog, UncheckingTheSwitchWinsOverAVariableTypedBefore) {
  Open(Project(Submit("X=\"2\" Y=\"2\"", "", 10)));
  SelectObjects({0});
  DoubleClickObject(0, TypeAClickActionAndUncheckIt);
  ExpectNoClickAction(0);
}

TEST_F(SubmitDialog, CheckingTheSwitchWritesVariableAndValue) {
  Open(Project(Submit("X=\"2\" Y=\"2\"", "", 10)));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    ClickControl(f, "cbUseVal");
    TypeInto(f, "edtVariable", "Pump.On");
    TypeInto(f, "edtVal", "1");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetVariable(), "Pump.On");
  EXPECT_EQ(Objects()[0]->GetValue(), "1");
}

TEST_F(SubmitDialog, TheTypedTabIndexPlacesTheButtonAmongTheOthers) {
  struct Row {
    const char* typed;
    std::vector<int> expected;
  };
  const Row rows[] = {{"100", {3, 1, 2}}, {"0", {1, 2, 3}}, {"abc", {3, 1, 2}}};
  for (const Row& row : rows) {
    Open(Project(Submit("X=\"2\" Y=\"2\"", "tabindex=\"1\"", 10) + Submit("X=\"2\" Y=\"6\"", "tabindex=\"2\"", 11) +
                 Submit("X=\"2\" Y=\"9\"", "tabindex=\"3\"", 12)));
    SelectObjects({0});
    DoubleClickObject(0, [&](TPropertyForm& f) {
      TypeInto(f, "seTabIndex", row.typed);
      return PressOk(f);
    });
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Objects()[i]->FTabIndex, row.expected[i]) << row.typed << " " << i;
  }
}

TEST_F(SubmitDialog, CancelRenumbersNothing) {
  Open(Project(Submit("X=\"2\" Y=\"2\"", "tabindex=\"7\"", 10)));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    TypeInto(f, "seTabIndex", "1");
    return mrCancel;
  });
  EXPECT_EQ(Objects()[0]->FTabIndex, 7);
}

TEST_F(SubmitDialog, ABackgroundColourMakesATransparentButtonOpaque) {
  Open(Project(Submit("X=\"2\" Y=\"2\" transparent=\"true\"", "", 10)));
  SelectObjects({0});
  Driver::OnDialog("TColorDialog", [](TCommonDialog& d) {
    dynamic_cast<TColorDialog&>(d).Color = 0x123456;
    return true;
  });
  DoubleClickObject(0, [&](TPropertyForm& f) {
    ClickControl(f, "shBack");
    return PressOk(f);
  });
  EXPECT_FALSE(Objects()[0]->FTransparent);
  EXPECT_EQ(Objects()[0]->FBackColor, 0x123456);
  EXPECT_NE(ObjectXml(0).find("transparent=\"false\""), std::string::npos) << ObjectXml(0);
}

namespace {

bool FakeBrowser(const std::string& current, std::string& chosen) {
  chosen = "Chosen_" + current;
  return true;
}

}  // namespace

// "..." takes the host's choice; without a host nothing changes.
TEST_F(SubmitDialog, TheVariableButtonsTakeTheHostsChoice) {
  for (bool host : {false, true}) {
    Open(Project(Submit("X=\"2\" Y=\"2\"", "variable=\"V1\" value=\"5\"", 10)));
    SelectObjects({0});
    gVariableBrowser = host ? FakeBrowser : nullptr;
    DoubleClickObject(0, [&](TPropertyForm& f) {
      ClickControl(f, "Button3");
      ClickControl(f, "btnVis");
      return PressOk(f);
    });
    gVariableBrowser = nullptr;
    EXPECT_EQ(Objects()[0]->GetVariable(), host ? "Chosen_V1" : "V1");
    EXPECT_EQ(Objects()[0]->GetVisVariable(), host ? "Chosen_" : "");
  }
}
