// The drop-down dialog: options shown and compared across objects, the row
// commands (add, modify, remove, delete all, moves), the option dialog's
// refusal of a repeated value, submit on change, tab order.

#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "properties/FormEditOption.h"
#include "tests/properties/PropertiesTestSupport.h"

using namespace proptest;

namespace {

std::string DropDown(const std::string& options, int uid, const std::string& attrs = "global=\"true\"", int y = 2) {
  return "<object X=\"2\" Y=\"" + std::to_string(y) + "\" Uid=\"" + std::to_string(uid) + "\"><dropdown " + attrs +
         ">" + options + "</dropdown></object>\r\n";
}

std::string Options(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& v : values) text += "<option value=\"" + v + "\">T" + v + "</option>";
  return text;
}

// The values of the rows, in order.
std::string RowValues(TPropertyForm& f) {
  std::string values;
  TListItems* rows = f.Get<TListView>("lvOptions")->Items();
  for (int i = 0; i < rows->Count(); ++i) values += (i ? " " : "") + rows->Item(i)->SubItems()->Strings(0);
  return values;
}

std::string OptionValues(TGridWebElement& e) {
  std::string values;
  for (int i = 0; i < e.FOptions.Count(); ++i) values += (i ? " " : "") + e.FOptions.GetKey(i);
  return values;
}

void SelectRows(TPropertyForm& f, const std::vector<int>& rows) {
  TListView* view = f.Get<TListView>("lvOptions");
  for (int i = 0; i < view->Items()->Count(); ++i) view->Items()->Item(i)->SetSelected(false);
  for (int row : rows) view->Items()->Item(row)->SetSelected(true);
}

// Answers the option dialog with a value (and a caption) by typing them.
int AnswerOption(const std::string& value, bool* refused = nullptr) {
  return Driver::OnModal("TFormEditOption", [value, refused](TCustomForm& form) {
    auto& dialog = dynamic_cast<TFormEditOption&>(form);
    Driver::Focus(dialog.edtCaption);
    Driver::TypeText("New");
    Driver::Focus(dialog.edtValue);
    dialog.edtValue->SelectAll();
    Driver::TypeText(value);
    if (refused != nullptr) *refused = !dialog.Button1->Enabled();
    if (!dialog.Button1->Enabled()) return static_cast<int>(mrCancel);
    Driver::Click(dialog.Button1);
    return static_cast<int>(mrNone);
  });
}

class DropDownDialog : public PropertiesTest {};

}  // namespace

TEST_F(DropDownDialog, EqualOptionsShowTheRowsAndDifferentOnesAnEmptyList) {
  struct Row {
    std::vector<std::string> second;
    std::string shown;
  };
  const Row rows[] = {{{"1", "2", "3"}, "1 2 3"}, {{"1", "3", "2"}, ""}, {{"1", "2"}, ""}};
  for (const Row& row : rows) {
    Open(Project(DropDown(Options({"1", "2", "3"}), 10) + DropDown(Options(row.second), 11, "global=\"true\"", 6)));
    SelectObjects({0, 1});
    DoubleClickObject(0, [&](TPropertyForm& f) {
      EXPECT_EQ(RowValues(f), row.shown);
      if (row.shown.empty()) SavePicture(f, "dropdown-two-en");
      return PressOk(f);
    });
    EXPECT_EQ(OptionValues(*Objects()[0]), "1 2 3");
    EXPECT_EQ(OptionValues(*Objects()[1]), [&] {
      std::string s;
      for (std::size_t i = 0; i < row.second.size(); ++i) s += (i ? " " : "") + row.second[i];
      return s;
    }());
  }
}

TEST_F(DropDownDialog, RemovingAllRowsStoresNoOptionsInAnyLanguage) {
  Open(
      Project("<object X=\"2\" Y=\"2\" Uid=\"10\"><lang><options code=\"9\"><option>One</option></options>"
              "<options code=\"7\"><option>Eins</option></options></lang>"
              "<dropdown global=\"true\"><option value=\"1\">One</option></dropdown></object>\r\n",
              {9, 7}));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_EQ(RowValues(f), "1");
    ClickControl(f, "btnDeleteAll");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FOptions.Count(), 0);
  const std::string xml = ObjectXml(0);
  EXPECT_EQ(xml.find("<option "), std::string::npos) << xml;
  EXPECT_NE(xml.find("<options code=\"9\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<options code=\"7\""), std::string::npos) << xml;
}

TEST_F(DropDownDialog, AddingAppendsOrInsertsBeforeTheLastSelectedRow) {
  struct Row {
    std::vector<int> selected;
    const char* expected;
  };
  const Row rows[] = {{{}, "1 2 3 4 5 9"}, {{1, 3}, "1 2 3 9 4 5"}};
  for (const Row& row : rows) {
    Open(Project(DropDown(Options({"1", "2", "3", "4", "5"}), 10)));
    SelectObjects({0});
    const int answer = AnswerOption("9");
    DoubleClickObject(0, [&](TPropertyForm& f) {
      SelectRows(f, row.selected);
      ClickControl(f, "btnAdd");
      EXPECT_EQ(RowValues(f), row.expected);
      return PressOk(f);
    });
    Driver::RemoveHandler(answer);
    EXPECT_EQ(OptionValues(*Objects()[0]), row.expected);
  }
}

TEST_F(DropDownDialog, MovesShiftSelectedRunsAndTheButtonsFollowTheSelection) {
  Open(Project(DropDown(Options({"1", "2", "3", "4", "5"}), 10)));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    SelectRows(f, {0});
    EXPECT_FALSE(f.Get<TButton>("btnMoveUp")->Enabled());
    EXPECT_TRUE(f.Get<TButton>("btnMoveDn")->Enabled());
    SelectRows(f, {4});
    EXPECT_FALSE(f.Get<TButton>("btnMoveDn")->Enabled());
    SelectRows(f, {1, 2, 4});
    EXPECT_FALSE(f.Get<TButton>("btnEdit")->Enabled());
    ClickControl(f, "btnMoveUp");
    EXPECT_EQ(RowValues(f), "2 3 1 5 4");
    ClickControl(f, "btnMoveDn");
    EXPECT_EQ(RowValues(f), "1 2 3 4 5");
    SelectRows(f, {0, 1});
    ClickControl(f, "btnDelete");
    EXPECT_EQ(RowValues(f), "3 4 5");
    return PressOk(f);
  });
  EXPECT_EQ(OptionValues(*Objects()[0]), "3 4 5");
}

// Values that differ only in letter case would be one option when stored:
// the option dialog refuses them, and an item is no repeat of itself.
TEST_F(DropDownDialog, TheOptionDialogRefusesARepeatedValueLetterCaseAside) {
  struct Row {
    const char* typed;
    bool modify;
    bool refused;
  };
  const Row rows[] = {
      {"b", false, true}, {"B", false, true}, {"c", false, false}, {"A", true, false}, {"b", true, true}};
  for (const Row& row : rows) {
    Open(Project(DropDown(Options({"a", "B"}), 10)));
    SelectObjects({0});
    bool refused = false;
    int answer = 0;
    std::string message;
    answer = Driver::OnModal("TFormEditOption", [&](TCustomForm& form) {
      auto& dialog = dynamic_cast<TFormEditOption&>(form);
      Driver::Focus(dialog.edtValue);
      dialog.edtValue->SelectAll();
      Driver::TypeText(row.typed);
      refused = !dialog.Button1->Enabled();
      EXPECT_EQ(dialog.edtValue->Color(), refused ? 0x8080FF : clWindow) << row.typed;
      EXPECT_EQ(dialog.lblDuplicate->Visible(), refused) << row.typed;
      if (refused) PropertiesTest::SavePicture(dialog, "editoption-refused-en");
      return static_cast<int>(refused ? mrCancel : mrOk);
    });
    DoubleClickObject(0, [&](TPropertyForm& f) {
      SelectRows(f, {0});
      ClickControl(f, row.modify ? "btnEdit" : "btnAdd");
      return PressOk(f);
    });
    Driver::RemoveHandler(answer);
    EXPECT_EQ(refused, row.refused) << row.typed << " " << row.modify;
  }
}

TEST_F(DropDownDialog, SubmitOnChangeWritesGlobalOnlyWhenClicked) {
  Open(Project(DropDown(Options({"1"}), 10, "global=\"true\"") + DropDown(Options({"1"}), 11, "global=\"false\"", 6)));
  SelectObjects({0, 1});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TCheckBox>("cbSubmitOnChange")->State(), cbGrayed);
    return PressOk(f);
  });
  EXPECT_TRUE(Objects()[0]->FGlobal);
  EXPECT_FALSE(Objects()[1]->FGlobal);
  DoubleClickObject(0, [&](TPropertyForm& f) {
    ClickControl(f, "cbSubmitOnChange");
    EXPECT_TRUE(f.Get<TCheckBox>("cbSubmitOnChange")->Checked());
    return PressOk(f);
  });
  EXPECT_FALSE(Objects()[0]->FGlobal);
  EXPECT_FALSE(Objects()[1]->FGlobal);
}

TEST_F(DropDownDialog, ATypedTabIndexPlacesTheDropDownBeforeAnEditOfTheSameIndex) {
  Open(Project(DropDown(Options({"1"}), 10) +
               "<object X=\"2\" Y=\"6\" Uid=\"11\"><edit tabindex=\"3\" /></object>\r\n"
               "<object X=\"2\" Y=\"9\" Uid=\"12\"><submit tabindex=\"1\" /></object>\r\n"));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    TypeInto(f, "seTabIndex", "3");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[2]->FTabIndex, 1);
  EXPECT_EQ(Objects()[0]->FTabIndex, 2);
  EXPECT_EQ(Objects()[1]->FTabIndex, 3);
}

// Modifying an option in a multi-language project changes its text in the
// editor's language and its value; the other languages keep theirs.
TEST_F(DropDownDialog, ModifyingAnOptionKeepsItsOtherLanguages) {
  Open(
      Project("<object X=\"2\" Y=\"2\" Uid=\"10\"><lang><options code=\"9\"><option>One</option>"
              "<option>Two</option></options><options code=\"7\"><option>Eins</option><option>Zwei</option>"
              "</options></lang><dropdown global=\"true\"><option value=\"1\">One</option>"
              "<option value=\"2\">Two</option></dropdown></object>\r\n",
              {9, 7}));
  SelectObjects({0});
  const int answer = Driver::OnModal("TFormEditOption", [](TCustomForm& form) {
    auto& dialog = dynamic_cast<TFormEditOption&>(form);
    EXPECT_TRUE(dialog.btLang1->Visible());
    EXPECT_EQ(dialog.edtCaption->Text(), "Two");
    EXPECT_EQ(dialog.texts[1], "Zwei");
    Driver::Focus(dialog.edtCaption);
    dialog.edtCaption->SelectAll();
    Driver::TypeText("Deux");
    Driver::Focus(dialog.edtValue);
    dialog.edtValue->SelectAll();
    Driver::TypeText("22");
    Driver::Click(dialog.Button1);
    return static_cast<int>(mrNone);
  });
  DoubleClickObject(0, [&](TPropertyForm& f) {
    SelectRows(f, {1});
    ClickControl(f, "btnEdit");
    EXPECT_EQ(f.Get<TListView>("lvOptions")->Items()->Item(1)->Caption(), "Deux");
    return PressOk(f);
  });
  Driver::RemoveHandler(answer);
  EXPECT_EQ(OptionValues(*Objects()[0]), "1 22");
  EXPECT_EQ(Objects()[0]->FOptions.GetValue(1), "Deux");
  const std::string xml = ObjectXml(0);
  EXPECT_NE(xml.find("<option>Zwei</option>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<option>Deux</option>"), std::string::npos) << xml;
  EXPECT_EQ(xml.find("Two"), std::string::npos) << xml;
}

// Left at 0 or 1 the number of characters shows 2. The value column is 70
// pixels wide.
TEST_F(DropDownDialog, TheNumberOfCharactersLeftBelowTwoShowsTwo) {
  Open(Project(DropDown(Options({"1"}), 10, "global=\"true\" size=\"5\"")));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TListView>("lvOptions")->Columns()->Items(1)->Width(), 70);
    for (const char* typed : {"0", "1"}) {
      TypeInto(f, "seSizeChar", typed);
      PressTab();
      EXPECT_EQ(f.Get<TEdit>("seSizeChar")->Text(), "2") << typed;
    }
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FSize, 2);
}
