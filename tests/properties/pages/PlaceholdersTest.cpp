// The placeholders dialog on a group, a page and the project: loading rows,
// editing mode, the two refusals of OK, saving newest first, deletions,
// cancelled edits that never reach the XML, and the page objects' look-ups
// in the simulated host after the project's placeholders change.

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "grid/StringDualList.h"
#include "grid/VariableInfo.h"
#include "host/sim/HalvexHost.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"
#include "properties/FormGroupProperties.h"
#include "properties/FormPageProperties.h"
#include "properties/FormPlaceholders.h"
#include "tests/properties/pages/PagesTestSupport.h"
#include "tests/support/SimVariableLookup.h"
#include "tests/support/UiLanguages.h"

using namespace pagetest;
using proptest::ClickControl;
using proptest::PressOk;

namespace {

const std::string kTwoAliases =
    "<placeholders><alias name=\"Motor\" type=\"INT\" description=\" speed \">M_SPEED</alias>"
    "<alias name=\"Pump\" type=\"\" description=\"\">P1</alias><other /></placeholders>\r\n";

class Placeholders : public PagesTest {
 protected:
  // Opens the group's placeholders from its properties: `act` on the
  // placeholders dialog answers it, then the group dialog answers `groupAnswer`.
  void EditGroupPlaceholders(const std::function<int(TFormPlaceHolders&)>& act, bool groupOk = true) {
    const int id = Driver::OnModal("TFormPlaceHolders",
                                   [&](TCustomForm& form) { return act(dynamic_cast<TFormPlaceHolders&>(form)); });
    EditNode(GroupNode(0), "TFormGroupProperties", [&](TPropertyForm& f) {
      ClickControl(f, "btnPlaceHolders");
      return groupOk ? PressOk(f) : static_cast<int>(mrCancel);
    });
    Driver::RemoveHandler(id);
  }
  TmyXmlNode* Group() const { return ElementOf(GroupNode(0)); }
  // "name:type:description=variable" of each alias of the element.
  static std::string Aliases(TmyXmlNode* owner) {
    TmyXmlNode* list = owner->FindChild("placeholders");
    if (list == nullptr) return "none";
    std::string text;
    for (TmyXmlNode* a = list->firstChild; a != nullptr; a = a->next)
      if (a->name == "alias")
        text += a->GetAttr("name") + ":" + a->GetAttr("type") + ":" + a->GetAttr("description") + "=" + a->value + ";";
    return text;
  }
  static TFrameAlias* AddRow(TFormPlaceHolders& f, const std::string& name, const std::string& variable) {
    f.AddAlias->Click();
    TFrameAlias* row = f.Rows().back();
    row->edtAliasName->SetText(name);
    row->edtVariable->SetText(variable);
    return row;
  }
  static int PressDialogOk(TFormPlaceHolders& f) {
    f.Button1->Click();
    return mrNone;
  }
};

TEST_F(Placeholders, AnOwnerWithoutPlaceholdersOpensInEditingModeAndOkAddsAnEmptyElementFirst) {
  Open(Project(""));
  EditGroupPlaceholders([](TFormPlaceHolders& f) {
    EXPECT_TRUE(f.cbEditable->Checked());
    EXPECT_TRUE(f.AddAlias->Enabled());
    EXPECT_TRUE(f.Rows().empty());
    return PressDialogOk(f);
  });
  ASSERT_NE(Group()->firstChild, nullptr);
  EXPECT_EQ(Group()->firstChild->name, "placeholders");
  EXPECT_EQ(Aliases(Group()), "");
}

TEST_F(Placeholders, LoadedRowsShowAsLabelsOutOfEditingMode) {
  Open(Project("", "", "", kTwoAliases));
  EditGroupPlaceholders([](TFormPlaceHolders& f) {
    EXPECT_FALSE(f.cbEditable->Checked());
    EXPECT_FALSE(f.AddAlias->Enabled());
    EXPECT_EQ(f.Rows().size(), 2u);
    TFrameAlias* first = f.Rows()[0];
    EXPECT_EQ(first->Name(), "FrameAlias1");
    EXPECT_EQ(first->lblVarType->Caption(), "INT");
    EXPECT_EQ(first->edtVariable->Text(), "M_SPEED");
    EXPECT_FALSE(first->edtAliasName->Visible());
    EXPECT_TRUE(first->lblAliasName->Visible());
    EXPECT_EQ(first->ComboBoxVarType->Items()->Count(), 19);
    f.cbEditable->SetChecked(true);
    f.cbEditableClick(f.cbEditable);
    EXPECT_TRUE(first->edtAliasName->Visible());
    return static_cast<int>(mrCancel);
  });
  EXPECT_EQ(Aliases(Group()), "Motor:INT: speed =M_SPEED;Pump::=P1;");
}

TEST_F(Placeholders, OkRefusesBlankAndCaseInsensitiveEqualNames) {
  struct Row {
    const char* name;
    std::vector<std::string> names;
    bool deleteSecond;
    const char* message;
  };
  const Row rows[] = {
      {"blank name", {"A", "   "}, false, "Substitute name can't be empty"},
      {"same name other case", {"motor", "MOTOR"}, false, "Two substitutes can't have same name!"},
      {"loaded name again", {"pump"}, false, "Two substitutes can't have same name!"},
      {"deleted duplicate does not count", {"x", "X"}, true, nullptr},
  };
  for (const Row& row : rows) {
    Open(Project("", "", "", kTwoAliases));
    ClearMessageBoxLog();
    EditGroupPlaceholders([&](TFormPlaceHolders& f) {
      f.cbEditable->SetChecked(true);
      f.cbEditableClick(f.cbEditable);
      std::vector<TFrameAlias*> added;
      for (const std::string& name : row.names) added.push_back(AddRow(f, name, "V"));
      if (row.deleteSecond) added[1]->btnDeleteAlias->Click();
      f.Button1->Click();
      if (row.message == nullptr) {
        EXPECT_EQ(f.ModalResult, mrOk) << row.name;
        return static_cast<int>(mrNone);
      }
      EXPECT_EQ(f.ModalResult, mrNone) << row.name;
      const auto boxes = Driver::MessageBoxes();
      EXPECT_EQ(boxes.size(), 1u) << row.name;
      if (!boxes.empty()) {
        EXPECT_EQ(boxes[0].text, row.message) << row.name;
        EXPECT_EQ(boxes[0].caption, "Warning") << row.name;
      }
      return static_cast<int>(mrCancel);
    });
  }
}

TEST_F(Placeholders, RowsAreSavedNewestFirstTrimmedAndDeletedOnesRemoved) {
  Open(Project("", "", "", kTwoAliases));
  EditGroupPlaceholders([](TFormPlaceHolders& f) {
    f.cbEditable->SetChecked(true);
    f.cbEditableClick(f.cbEditable);
    f.Rows()[1]->btnDeleteAlias->Click();
    TFrameAlias* first = AddRow(f, "  First ", " VAR1 ");
    first->ComboBoxVarType->SetText(" BOOL ");
    first->edtDescription->SetText(" kept ");
    AddRow(f, "Second", "VAR2");
    TFrameAlias* gone = AddRow(f, "Gone", "VAR3");
    gone->btnDeleteAlias->Click();
    return PressDialogOk(f);
  });
  EXPECT_EQ(Aliases(Group()), "Second::=VAR2;First:BOOL: kept =VAR1;Motor:INT: speed =M_SPEED;");
  EXPECT_NE(Group()->FindChild("placeholders")->FindChild("other"), nullptr);
  // The designer's group list follows the element.
  EXPECT_EQ(designer->FGlobalWebData.GroupPlaceHolders.Count(), 3);
}

TEST_F(Placeholders, CancelledEditsNeverReachTheXml) {
  struct Row {
    const char* name;
    bool dialogOk;
    bool groupOk;
  };
  for (const Row& row : {Row{"dialog cancelled", false, true}, Row{"group cancelled", true, false}}) {
    Open(Project("", "", "", kTwoAliases));
    const std::string before = Aliases(Group());
    EditGroupPlaceholders(
        [&](TFormPlaceHolders& f) {
          f.cbEditable->SetChecked(true);
          f.cbEditableClick(f.cbEditable);
          AddRow(f, "New", "V");
          f.Rows()[0]->btnDeleteAlias->Click();
          return row.dialogOk ? PressDialogOk(f) : static_cast<int>(mrCancel);
        },
        row.groupOk);
    EXPECT_EQ(Aliases(Group()), before) << row.name;
  }
}

TEST_F(Placeholders, APagesPlaceholdersAreWrittenWithThePagesOk) {
  Open(Project(""));
  const int id = Driver::OnModal("TFormPlaceHolders", [](TCustomForm& form) {
    auto& f = dynamic_cast<TFormPlaceHolders&>(form);
    AddRow(f, "Lamp", "L1");
    return PressDialogOk(f);
  });
  EditNode(PageNode(0, 0), "TFormPageProperties", [](TPropertyForm& f) {
    ClickControl(f, "btnPlaceHolders");
    return PressOk(f);
  });
  Driver::RemoveHandler(id);
  EXPECT_EQ(Aliases(ElementOf(PageNode(0, 0))), "Lamp::=L1;");
}

// Showing and closing the dialog trace the settings file it keeps its placement in.
TEST_F(Placeholders, TheSettingsFileIsTracedWhenShownAndClosed) {
  SetTraceLogPath(folder.System("plugins.log"));
  SetTraceLogEnabled(true);
  ScopeExit logOff([] { SetTraceLogEnabled(false); });
  Open(Project(""));
  EditGroupPlaceholders(PressDialogOk);
  const std::string log = folder.Read("plugins.log");
  const std::string line = "\t\t" + folder.System("Tarnwell\\Proj.webx") + " (";
  const std::size_t first = log.find(line);
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find(line, first + 1), std::string::npos) << log;
}

TEST_F(Placeholders, PicturesInEveryLanguage) {
  for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
    ASSERT_TRUE(testsupport::SelectHostLanguage(language));
    Open(Project("", "", "", kTwoAliases));
    EditGroupPlaceholders(
        [&](TFormPlaceHolders& f) {
          f.cbEditable->SetChecked(true);
          f.cbEditableClick(f.cbEditable);
          AddRow(f, "New", "NEW_VAR");
          SavePicture(f, std::string("placeholders-") + language.code);
          return static_cast<int>(mrCancel);
        },
        false);
  }
  testsupport::SelectEnglish();
}

}  // namespace

namespace {

TEST_F(Placeholders, TheGlobalSettingsEditTheProjectsPlaceholders) {
  Open(Project(""));
  const int rows = Driver::OnModal("TFormPlaceHolders", [](TCustomForm& form) {
    auto& f = dynamic_cast<TFormPlaceHolders&>(form);
    f.AddAlias->Click();
    f.Rows().back()->edtAliasName->SetText("Site");
    f.Rows().back()->edtVariable->SetText("SITE_NO");
    f.Button1->Click();
    return static_cast<int>(mrNone);
  });
  const int settings = Driver::OnModal("TFormGlobalSettings", [](TCustomForm& form) {
    auto* button = dynamic_cast<TButton*>(form.FindComponent("btnPlaceHolders"));
    EXPECT_TRUE(button->Enabled());
    button->Click();
    return static_cast<int>(mrOk);
  });
  designer->btnGlobalClick(nullptr);
  Driver::RemoveHandler(settings);
  Driver::RemoveHandler(rows);
  TmyXmlNode* web = designer->Document().Web();
  ASSERT_NE(web->FindChild("placeholders"), nullptr);
  EXPECT_EQ(web->firstChild->name, "placeholders");
  EXPECT_EQ(web->FindChild("placeholders")->FindChild("alias")->value, "SITE_NO");
  EXPECT_EQ(designer->FGlobalWebData.GlobalPlaceHolders.Count(), 1);
}

}  // namespace

namespace {

// The page objects look their variables up in the simulated host.
class PlaceholdersOnHost : public Placeholders {
 protected:
  void SetUp() override {
    Placeholders::SetUp();
    hostFolder.Write("halvex.prj", "project \"Sim\"\nvar Speed INT R 0\nvar Level REAL R 4\n");
    sim.OpenProject(hostFolder.Path().string());
    testsupport::gLookupHost = &sim;
    gGridVariableLookup = &testsupport::SimVariableLookup;
  }
  void TearDown() override {
    gGridVariableLookup = nullptr;
    Placeholders::TearDown();
    testsupport::gLookupHost = nullptr;
  }
  testsupport::TempFolder hostFolder{"simhost"};
  HalvexHost sim;
};

// The project's placeholder Site stands for Speed (INT); the global settings
// bind it to Level (REAL). A read-only project takes nothing else on OK, but
// the placeholders are stored there too.
TEST_F(PlaceholdersOnHost, ObjectsLookTheirVariablesUpAgainAfterTheProjectsPlaceholdersChange) {
  for (const bool readOnly : {false, true}) {
    std::string text =
        proptest::Project("<object X=\"2\" Y=\"2\" Uid=\"10\"><edit variable=\"{Site}\" /></object>\r\n");
    text.insert(text.find("<Grid"), "<placeholders><alias name=\"Site\">Speed</alias></placeholders>\r\n");
    if (readOnly) text.replace(text.find("8.1"), 3, "9.0");
    Driver::AnswerMessageBox("newer version", IDOK);
    Open(text);
    ASSERT_EQ(Objects().at(0)->FVarInfo.typeName, "INT") << readOnly;
    const int rows = Driver::OnModal("TFormPlaceHolders", [](TCustomForm& form) {
      auto& f = dynamic_cast<TFormPlaceHolders&>(form);
      f.Rows().at(0)->edtVariable->SetText("Level");
      return PressDialogOk(f);
    });
    const int settings = Driver::OnModal("TFormGlobalSettings", [](TCustomForm& form) {
      dynamic_cast<TButton*>(form.FindComponent("btnPlaceHolders"))->Click();
      return static_cast<int>(mrOk);
    });
    designer->btnGlobalClick(nullptr);
    Driver::RemoveHandler(settings);
    Driver::RemoveHandler(rows);
    EXPECT_EQ(designer->Document().Web()->FindChild("placeholders")->FindChild("alias")->value, "Level") << readOnly;
    EXPECT_EQ(Objects().at(0)->FVarInfo.typeName, "REAL") << readOnly;
  }
}

}  // namespace
