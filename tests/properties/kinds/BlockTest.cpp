// The block dialog in its three variants: the layout of a mixed selection,
// mixed values that stay each object's own, clamps, the click action.

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "tests/properties/kinds/KindsTestSupport.h"

using namespace proptest;
using namespace kindstest;

namespace {

using E = TGridWebElement;

constexpr const char* kRectangle = "width=\"64\" height=\"64\"";
constexpr const char* kBar = "dynamic=\"true\" width=\"32\" height=\"64\" horz=\"1\" natv=\"1\"";
constexpr const char* kColour = "dynamic=\"true\" width=\"64\" height=\"64\" color=\"1\"";

std::string Block(int uid, const std::string& attrs, const std::string& y = "2") {
  return Object("block", "X=\"2\" Y=\"" + y + "\"", attrs, uid);
}

class BlockDialog : public KindsTest {};

}  // namespace

TEST_F(BlockDialog, EachVariantOpensWithItsTitleAndLayout) {
  struct Row {
    const char* attrs;
    int title;
    bool clickAction;
    bool radios;
  };
  const Row rows[] = {{kRectangle, 7139, true, false}, {kBar, 7140, false, true}, {kColour, 7246, false, false}};
  for (const Row& row : rows) {
    Open(Project(Block(10, row.attrs)));
    SelectObjects({0});
    Edit(0, [&](TPropertyForm& f) {
      EXPECT_EQ(f.Caption(), GetUiText(row.title));
      EXPECT_EQ(f.Get<TControl>("Panel2")->Visible(), row.clickAction) << row.attrs;
      EXPECT_EQ(f.Get<TControl>("rgHorizontal")->Visible(), row.radios) << row.attrs;
      EXPECT_EQ(f.Get<TControl>("edtVariable")->Enabled(), !row.clickAction) << row.attrs;
      return mrCancel;
    });
  }
}

TEST_F(BlockDialog, ABarAndARectangleShowTheRectangleLayoutAndKeepTheirVariants) {
  Open(Project(Block(10, kBar) + Block(11, kRectangle, "30")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Caption(), GetUiText(7139));
    EXPECT_TRUE(f.Get<TControl>("Panel2")->Visible());
    EXPECT_FALSE(f.Get<TControl>("rgHorizontal")->Visible());
    ClickControl(f, "cbBorder1");
    return PressOk(f);
  });
  EXPECT_TRUE(Objects()[0]->FDynamic);
  EXPECT_TRUE(Objects()[0]->FHorz);
  EXPECT_TRUE(Objects()[0]->FNatv);
  EXPECT_FALSE(Objects()[1]->FDynamic);
  EXPECT_FALSE(Objects()[0]->FBorder);
  EXPECT_FALSE(Objects()[1]->FBorder);
  EXPECT_NE(designer->FToolTemplates[11].find("dynamic=\"true\""), std::string::npos);
  EXPECT_EQ(designer->FToolTemplates[8].find("dynamic"), std::string::npos);
  EXPECT_FALSE(designer->FToolTemplates[8].empty());
}

TEST_F(BlockDialog, MixedGradientOpensGrayedAndStaysEachBarsOwn) {
  Open(Project(Block(10, std::string(kBar) + " gradient=\"true\"") + Block(11, kBar, "30")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TCheckBox>("cbGradient")->State(), cbGrayed);
    TypeInto(f, "edtHint1", "Level");
    return PressOk(f);
  });
  EXPECT_TRUE(Objects()[0]->FGradient);
  EXPECT_FALSE(Objects()[1]->FGradient);
  EXPECT_EQ(Objects()[1]->Hint, "Level");
}

TEST_F(BlockDialog, TheGradientNamesTheFrontColourHighlight) {
  Open(Project(Block(10, kBar)));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TLabel>("lblFntCol")->Caption(), GetUiText(7055));
    ClickControl(f, "cbGradient");
    EXPECT_EQ(f.Get<TLabel>("lblFntCol")->Caption(), GetUiText(7171));
    return PressOk(f);
  });
  EXPECT_TRUE(Objects()[0]->FGradient);
}

TEST_F(BlockDialog, BehaviourRows) {
  const TBehaviourRow rows[] = {
      {"seSecLevel", "12\t", [](const E& e) { return std::to_string(e.FLevel); }, "9"},
      {"seSecLevel", "-3", [](const E& e) { return std::to_string(e.FLevel); }, "0"},
      {"ceSizeX", "0", [](const E& e) { return std::to_string(e.GetContentSize().cx); }, "1"},
      {"ceSizeY", "-5\t", [](const E& e) { return std::to_string(e.GetContentSize().cy); }, "1"},
      {"edtVal", "7", [](const E& e) { return e.GetValue(); }, "7"},
      {"cbUseVal", "click", [](const E& e) { return e.GetVariable() + "|" + e.GetValue(); }, "|"},
      {"cbLink", "click", [](const E& e) { return e.FHref; }, ""},
  };
  for (const TBehaviourRow& row : rows) {
    Open(Project(Block(10, std::string(kRectangle) + " variable=\"Door\" value=\"1\" href=\"a.xml\"")));
    SelectObjects({0});
    Edit(0, [&](TPropertyForm& f) {
      ApplyInput(f, row);
      return PressOk(f);
    });
    EXPECT_EQ(row.field(*Objects()[0]), row.expected) << row.control << " " << row.input;
  }
}

TEST_F(BlockDialog, UncheckingTheClickActionDropsVariableAndValueFromTheXml) {
  Open(Project(Block(10, std::string(kRectangle) + " variable=\"Door\" value=\"1\"")));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TEdit>("edtVal")->Enabled());
    ClickControl(f, "cbUseVal");
    EXPECT_FALSE(f.Get<TEdit>("edtVal")->Enabled());
    return PressOk(f);
  });
  EXPECT_EQ(ObjectXml(0).find("variable="), std::string::npos) << ObjectXml(0);
  EXPECT_EQ(ObjectXml(0).find("value="), std::string::npos) << ObjectXml(0);
}

TEST_F(BlockDialog, UncheckingTheClickActionWinsOverAVariableTypedBefore) {
  Open(Project(Block(10, kRectangle)));
  SelectObjects({0});
  Edit(0, TypeAClickActionAndUncheckIt);
  ExpectNoClickAction(0);
}

TEST_F(BlockDialog, TheLinkEditIsGreyedWithTheBoxAndAChosenPageBecomesTheLink) {
  Open(Project(Block(10, kRectangle)));
  SelectObjects({0});
  Driver::ChoosePopupItem("PagesPopup1", "Other|Start - main - START.XML");
  Edit(0, [&](TPropertyForm& f) {
    auto* link = f.Get<TEdit>("edtLink1");
    EXPECT_FALSE(link->Enabled());
    EXPECT_EQ(link->Color(), clBtnFace);
    EXPECT_FALSE(f.Get<TControl>("Label8")->Enabled());
    ClickControl(f, "cbLink");
    EXPECT_TRUE(link->Enabled());
    EXPECT_EQ(link->Color(), clWindow);
    EXPECT_TRUE(f.Get<TControl>("AddPage")->Enabled());
    ClickControl(f, "AddPage");
    EXPECT_EQ(link->Text(), "START.XML");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FHref, "START.XML");
}

TEST_F(BlockDialog, MixedVariablesStayUntilTheSwitchIsTouched) {
  Open(Project(Block(10, std::string(kRectangle) + " variable=\"A\" value=\"1\"") + Block(11, kRectangle, "30") +
               Block(12, std::string(kRectangle) + " variable=\"B\" value=\"2\"", "60")));
  SelectObjects({0, 1, 2});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TEdit>("edtVariable")->Text(), "");
    EXPECT_EQ(f.Get<TCheckBox>("cbUseVal")->State(), cbGrayed);
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetVariable(), "A");
  EXPECT_EQ(Objects()[1]->GetVariable(), "");
  EXPECT_EQ(Objects()[2]->GetVariable(), "B");
}
