// The alarms dialog: loading rows from the `alarms` element, the page names
// written on OK (chosen, typed, vanished), the field colours, the designer's
// command, and pictures.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "plugin/VariableLookup.h"
#include "project/FormAlarms.h"
#include "tests/project/ProjectDialogTest.h"
#include "tests/support/CutTexts.h"

using namespace projecttest;

namespace {

constexpr TColor kLightRed = 0x8080FF;

// Two variables are known: "Tank.Level" (INT) and "Pump.On" (BOOL).
void TestLookup(const std::string& name, TPinVariable& record) {
  if (name == "Tank.Level") record.typeName = "INT";
  if (name == "Pump.On") record.typeName = "BOOL";
}

class AlarmsDialog : public ProjectDialogTest {
 protected:
  void SetUp() override {
    ProjectDialogTest::SetUp();
    gGridVariableLookup = &TestLookup;
  }
  void TearDown() override {
    dialog.reset();
    gGridVariableLookup = nullptr;
    ProjectDialogTest::TearDown();
  }
  TFormAlarms& Loaded() {
    dialog.reset();
    dialog = std::make_unique<TFormAlarms>(designer.get());
    dialog->SetPageList(designer.get());
    dialog->LoadFromXml(Find("alarms"));
    dialog->Show();
    return *dialog;
  }
  std::vector<std::string> Alarms() const {
    std::vector<std::string> out;
    for (TmyXmlNode* child = Find("alarms")->firstChild; child != nullptr; child = child->next)
      out.push_back(child->name == "alarm" ? child->GetAttr("var") + "|" + child->GetAttr("page") : child->name);
    return out;
  }
  std::unique_ptr<TFormAlarms> dialog;
};

TEST_F(AlarmsDialog, LoadsAlarmChildrenIntoTheFirstRowsAndWritesEightOnOk) {
  Open(
      "<alarms><note /><alarm var=\"Tank.Level\" page=\"PUMP.XML\" /><alarm var=\"Pump.On\" page=\"GONE.XML\" />"
      "<alarm var=\"\" page=\"\" /></alarms>\r\n");
  TFormAlarms& form = Loaded();
  EXPECT_EQ(form.Rows[0]->lblNum->Caption(), "1.");
  EXPECT_EQ(form.Rows[7]->lblNum->Caption(), "8.");
  EXPECT_EQ(form.Rows[0]->edtVariable->Text(), "Tank.Level");
  EXPECT_EQ(form.Rows[0]->cbStartPage->Text(), "Main > Pump - left - PUMP.XML");
  EXPECT_EQ(form.Rows[0]->edtVariable->Hint, "INT");
  // A page that no longer exists shows empty: the field asks for one.
  EXPECT_EQ(form.Rows[1]->cbStartPage->Text(), "");
  EXPECT_EQ(form.Rows[1]->cbStartPage->Color(), kLightRed);
  EXPECT_EQ(form.Rows[0]->cbStartPage->Color(), clWindow);
  form.Button1Click(form.Button1);
  const std::vector<std::string> expected = {"note", "Tank.Level|PUMP.XML", "Pump.On|", "|", "|", "|", "|", "|", "|"};
  EXPECT_EQ(Alarms(), expected);
}

TEST_F(AlarmsDialog, PageTextsAreWrittenAsPageNames) {
  Open();
  TFormAlarms& form = Loaded();
  struct Case {
    const char* typed;
    const char* stored;
  } const cases[] = {
      {"START.XML", "START.XML"},                       // no "-": the whole text
      {"Service > Alarms - ALARMS.XML", "ALARMS.XML"},  // after the separator
      {"", ""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) form.Rows[i]->cbStartPage->SetText(cases[i].typed);
  // A chosen page whose caption itself holds " - " keeps its name.
  TPopupMenu* menu = designer->FillPageLinkMenu(true, {});
  TMenuItem* pump = nullptr;
  for (int g = 0; g < menu->Items()->Count(); ++g)
    for (int p = 0; p < menu->Items()->Items(g)->Count(); ++p)
      if (menu->Items()->Items(g)->Items(p)->Caption().find("PUMP.XML") != std::string::npos)
        pump = menu->Items()->Items(g)->Items(p);
  ASSERT_NE(pump, nullptr);
  form.Rows[3]->PageMenuClick(pump);
  EXPECT_EQ(form.Rows[3]->cbStartPage->Text(), "Main > Pump - left - PUMP.XML");
  form.Button1Click(form.Button1);
  const std::vector<std::string> expected = {"|START.XML", "|ALARMS.XML", "|", "|PUMP.XML", "|", "|", "|", "|"};
  EXPECT_EQ(Alarms(), expected);
  EXPECT_EQ(Web()->firstChild->name, "alarms");
}

TEST_F(AlarmsDialog, VariableFieldShowsTheTypeAndTurnsRedWhenUnknown) {
  Open();
  TFramAlarm& row = *Loaded().Rows[0];
  struct Case {
    const char* variable;
    const char* hint;
    TColor colour;
  } const cases[] = {{"Pump.On", "BOOL", clWindow}, {"Nothing", "", kLightRed}, {"", "", clWindow}};
  for (const Case& c : cases) {
    row.edtVariable->SetText(c.variable);
    EXPECT_EQ(row.edtVariable->Hint, c.hint) << c.variable;
    EXPECT_EQ(row.edtVariable->Color(), c.colour) << c.variable;
  }
}

TEST_F(AlarmsDialog, TheDesignersCommandWritesOnOkOnly) {
  Open();
  Driver::OnModal("TFormAlarms", [](TCustomForm& form) {
    dynamic_cast<TFormAlarms&>(form).Rows[0]->edtVariable->SetText("Tank.Level");
    return mrCancel;
  });
  ClickButton(designer->tbAlarm);
  EXPECT_EQ(Find("alarms"), nullptr);
  EXPECT_FALSE(designer->Document().Modified());
  Driver::Reset();
  Driver::OnModal("TFormAlarms", [](TCustomForm& form) {
    auto& alarms = dynamic_cast<TFormAlarms&>(form);
    alarms.Rows[0]->edtVariable->SetText("Tank.Level");
    alarms.Rows[0]->cbStartPage->SetText("START.XML");
    Driver::Click(alarms.Button1);
    return mrNone;
  });
  ClickButton(designer->tbAlarm);
  ASSERT_NE(Find("alarms"), nullptr);
  EXPECT_EQ(Alarms().front(), "Tank.Level|START.XML");
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_FALSE(Find("page")->GetAttr("ucid").empty());
}

TEST_F(AlarmsDialog, Pictures) {
  Open("<alarms><alarm var=\"Tank.Level\" page=\"PUMP.XML\" /><alarm var=\"Pump.Off\" page=\"\" /></alarms>\r\n");
  InEveryLanguage([this](const std::string& language) {
    TFormAlarms& form = Loaded();
    EXPECT_FALSE(SavePicture(&form, "alarms-" + language).empty());
    EXPECT_EQ(testsupport::CutTexts(form), std::vector<std::string>{}) << language;
  });
}

}  // namespace
