// The edit field dialog: own submit button across kinds, time masks by the
// variable's type, width and decimals on exit, limits and their colour, tab
// order renumbering.

#include "grid/GridWebElement.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/RadioButton.h"
#include "platform/win/VirtualKeys.h"
#include "properties/MyEdit.h"
#include "properties/TimeMasks.h"
#include "tests/properties/PropertiesTestSupport.h"

using namespace proptest;

namespace {

void FakeLookup(const std::string& name, TPinVariable& record) {
  record.name = name;
  record.typeCode = -1;
  record.typeName.clear();
  if (name == "B1") record = {name, "BOOL", 0, ""};
  if (name == "T1") record = {name, "TIME", 17, ""};
  if (name == "D1") record = {name, "DATE", 18, ""};
  if (name == "I1") record = {name, "INT", 8, ""};
  if (name == "L1") record = {name, "LWORD", 6, ""};
}

std::string Edit(const std::string& attrs, const std::string& editAttrs, int uid) {
  return "<object " + attrs + " Uid=\"" + std::to_string(uid) + "\"><edit " + editAttrs + " /></object>\r\n";
}

class EditDialog : public PropertiesTest {
 protected:
  void SetUp() override {
    PropertiesTest::SetUp();
    gGridVariableLookup = FakeLookup;
  }
  void TearDown() override {
    gGridVariableLookup = nullptr;
    PropertiesTest::TearDown();
  }
};

}  // namespace

TEST_F(EditDialog, MixedKindsShowTheOwnButtonGrayedAndKeepEachKind) {
  Open(Project(Edit("X=\"2\" Y=\"2\"", "variable=\"I1\" global=\"true\"", 10) +
               Edit("X=\"2\" Y=\"5\"", "variable=\"I1\" global=\"false\"", 11)));
  SelectObjects({0, 1});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TCheckBox>("cbSubmitButton")->State(), cbGrayed);
    SavePicture(f, "edit-two-en");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->Kind(), wkEdit);
  EXPECT_EQ(Objects()[1]->Kind(), wkEditLocal);
  EXPECT_FALSE(designer->FToolTemplates[2].empty());
  EXPECT_FALSE(designer->FToolTemplates[3].empty());
}

TEST_F(EditDialog, TheTimeMaskListFollowsTheVariablesType) {
  struct Row {
    const char* variable;
    bool enabled;
    int items;
  };
  const Row rows[] = {{"B1", false, 38}, {"T1", true, 16}, {"D1", true, 9}, {"Unknown", true, 36}};
  for (const Row& row : rows) {
    Open(Project(Edit("X=\"2\" Y=\"2\"", std::string("variable=\"") + row.variable + "\"", 10)));
    SelectObjects({0});
    DoubleClickObject(0, [&](TPropertyForm& f) {
      auto* masks = f.Get<TComboBox>("cbTime");
      EXPECT_EQ(masks->Enabled(), row.enabled) << row.variable;
      EXPECT_EQ(masks->Items()->Count(), row.items) << row.variable;
      return mrCancel;
    });
  }
}

TEST_F(EditDialog, ChoosingAMaskSetsTheWidth) {
  Open(Project(Edit("X=\"2\" Y=\"2\"", "variable=\"T1\" size=\"9\"", 10)));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    auto* masks = f.Get<TComboBox>("cbTime");
    masks->SelectFromList(masks->Items()->IndexOf("hh:mm"));
    EXPECT_EQ(f.Get<TmyEdit>("seSizeChar")->Text(), "5");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FSize, 5);
  EXPECT_EQ(Objects()[0]->FTimeFormat, "hh:mm");
}

TEST_F(EditDialog, WidthAndDecimalsAreLimitedWhenLeftAndWhenWritten) {
  struct Row {
    const char* control;
    const char* typed;
    bool leave;
    int size;
    int prec;
  };
  // Not left: OK by Enter, the focus stays in the box (a click on OK leaves it).
  const Row rows[] = {{"seSizeChar", "1", true, 2, 2},
                      {"seSizeChar", "0", false, 1, 2},
                      {"sePrec", "-3", true, 7, 0},
                      {"sePrec", "-3", false, 7, 0}};
  for (const Row& row : rows) {
    Open(Project(Edit("X=\"2\" Y=\"2\"", "variable=\"I1\" size=\"7\" prec=\"2\"", 10)));
    SelectObjects({0});
    DoubleClickObject(0, [&](TPropertyForm& f) {
      TypeInto(f, row.control, row.typed);
      if (!row.leave) {
        Driver::PressKey(VK_RETURN);
        return mrNone;
      }
      PressTab();
      return PressOk(f);
    });
    EXPECT_EQ(Objects()[0]->FSize, row.size) << row.control << " " << row.typed;
    EXPECT_EQ(Objects()[0]->FPrecision, row.prec) << row.control << " " << row.typed;
  }
}

TEST_F(EditDialog, LimitsOutOfOrderAreColouredAndStillWritten) {
  Open(Project(Edit("X=\"2\" Y=\"2\"", "variable=\"I1\" size=\"5\"", 10)));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    ClickControl(f, "cbLimits");
    TypeInto(f, "edtLoLimit", "10");
    TypeInto(f, "edtHiLimit", "5");
    EXPECT_EQ(f.Get<TEdit>("edtLoLimit")->Color(), 0x8080FF);
    EXPECT_EQ(f.Get<TEdit>("edtHiLimit")->Color(), 0x8080FF);
    TypeInto(f, "edtHiLimit", "50");
    EXPECT_NE(f.Get<TEdit>("edtHiLimit")->Color(), 0x8080FF);
    TypeInto(f, "edtHiLimit", "5");
    return PressOk(f);
  });
  EXPECT_TRUE(Objects()[0]->FLimits);
  EXPECT_EQ(Objects()[0]->FLoLimit, "10");
  EXPECT_EQ(Objects()[0]->FHiLimit, "5");
}

// The typed tab index only places the field; the stored value is its rank.
TEST_F(EditDialog, TabIndexesAreRenumberedOverThePage) {
  struct Row {
    const char* typed;
    std::vector<int> expected;
  };
  const Row rows[] = {{"100", {3, 1, 2}}, {"0", {1, 2, 3}}, {"abc", {3, 1, 2}}, {"2", {1, 2, 3}}};
  for (const Row& row : rows) {
    Open(Project(Edit("X=\"2\" Y=\"2\"", "tabindex=\"1\"", 10) + Edit("X=\"2\" Y=\"5\"", "tabindex=\"2\"", 11) +
                 "<object caption=\"L\" X=\"9\" Y=\"9\" Uid=\"12\"><label /></object>\r\n" +
                 Edit("X=\"2\" Y=\"8\"", "tabindex=\"3\"", 13)));
    SelectObjects({0});
    DoubleClickObject(0, [&](TPropertyForm& f) {
      TypeInto(f, "seTabIndex", row.typed);
      return PressOk(f);
    });
    EXPECT_EQ(Objects()[0]->FTabIndex, row.expected[0]) << row.typed;
    EXPECT_EQ(Objects()[1]->FTabIndex, row.expected[1]) << row.typed;
    EXPECT_EQ(Objects()[3]->FTabIndex, row.expected[2]) << row.typed;
    EXPECT_EQ(Objects()[2]->FTabIndex, -1) << row.typed;
  }
}

TEST_F(EditDialog, AlignmentFillsTheFourButtonsAndWritesThemTogether) {
  Open(Project(Edit("X=\"2\" Y=\"2\"", "align=\"center\"", 10) + Edit("X=\"2\" Y=\"5\"", "align=\"center\"", 11) +
               Edit("X=\"2\" Y=\"8\"", "align=\"right\"", 12)));
  SelectObjects({0, 1});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TRadioButton>("rbAlignCenter")->Checked());
    ClickControl(f, "rbLeadingZero");
    return PressOk(f);
  });
  EXPECT_TRUE(Objects()[0]->FZero);
  EXPECT_FALSE(Objects()[0]->FAlignCenter);
  SelectObjects({1, 2});
  DoubleClickObject(1, [&](TPropertyForm& f) {
    for (const char* name : {"rbAlignRight", "rbAlignLeft", "rbAlignCenter", "rbLeadingZero"})
      EXPECT_FALSE(f.Get<TRadioButton>(name)->Checked()) << name;
    return mrCancel;
  });
}

// A limit is read as a value of the type and printed back when the box is
// left; a type without a text form keeps what was typed.
TEST_F(EditDialog, ALimitIsRewrittenAsItsValueWhenLeft) {
  struct Row {
    const char* variable;
    const char* typed;
    const char* shown;
  };
  const Row rows[] = {{"I1", "007", "7"}, {"I1", " 12 ", "12"}, {"L1", "99", "99"}};
  for (const Row& row : rows) {
    Open(Project(Edit("X=\"2\" Y=\"2\"", std::string("variable=\"") + row.variable + "\" size=\"5\"", 10)));
    SelectObjects({0});
    DoubleClickObject(0, [&](TPropertyForm& f) {
      ClickControl(f, "cbLimits");
      TypeInto(f, "edtLoLimit", row.typed);
      PressTab();
      EXPECT_EQ(f.Get<TEdit>("edtLoLimit")->Text(), row.shown) << row.variable << " " << row.typed;
      return PressOk(f);
    });
    EXPECT_EQ(Objects()[0]->FLoLimit, row.shown) << row.variable << " " << row.typed;
  }
}

TEST_F(EditDialog, MaskListsHaveTheirSizes) {
  EXPECT_EQ(MaskItems(TMaskList::Layout).size(), 38u);
  EXPECT_EQ(MaskItems(TMaskList::Full).size(), 36u);
  EXPECT_EQ(MaskItems(TMaskList::Time).size(), 16u);
  EXPECT_EQ(MaskItems(TMaskList::Date).size(), 9u);
  EXPECT_EQ(MaskItems(TMaskList::Layout)[11], "DD.MM.YYYY\xA0hh:mm:ss");
}

// A press on a swatch opens the colour dialog; its release opens nothing more.
TEST_F(EditDialog, APressOnASwatchOpensTheColourDialog) {
  Open(Project(Edit("X=\"2\" Y=\"2\"", "variable=\"I1\" global=\"true\"", 10)));
  SelectObjects({0});
  int opened = 0;
  Driver::OnDialog("TColorDialog", [&opened](TCommonDialog& d) {
    dynamic_cast<TColorDialog&>(d).Color = 0x112233 * ++opened;
    return true;
  });
  DoubleClickObject(0, [&](TPropertyForm& f) {
    for (const char* swatch : {"shFront", "shBack"}) {
      const int before = opened;
      Driver::MouseDown(f.Get<TControl>(swatch), 5, 5);
      EXPECT_EQ(opened, before + 1) << swatch;
      Driver::MouseUp(f.Get<TControl>(swatch), 5, 5);
      EXPECT_EQ(opened, before + 1) << swatch;
    }
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FFrontColor, 0x112233);
  EXPECT_EQ(Objects()[0]->FBackColor, 0x112233 * 2);
}
