// The bulk dialogs driven on a designer as the user works them: replacing
// part of the selected objects' variable names, numbering an array index in
// reading order, renaming all pages by a template (references following,
// the shown page's unsaved edits kept), with pictures of the dialogs.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "project/FormRenamePages1.h"
#include "project/FormVarNameReplace.h"
#include "project/FromAutoArray.h"
#include "properties/MyEdit.h"
#include "tests/designer/commands/CommandsTestSupport.h"
#include "tests/support/UiLanguages.h"

using namespace commandstest;

namespace {

void SavePicture(TControl* control, const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(TARNWELL_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(folder);
  EXPECT_TRUE(SaveControlAsPng(control, (folder / ("bulk-" + name + ".png")).string())) << name;
}

// Each row of a list view as "caption|column 1|column 2".
std::vector<std::string> Rows(TListView& list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list.Items()->Count(); ++i) {
    TListItem* item = list.Items()->Item(i);
    std::string row = item->Caption();
    for (int k = 0; k < item->SubItems()->Count(); ++k) row += "|" + item->SubItems()->Strings(k);
    rows.push_back(row);
  }
  return rows;
}

void Type(TWinControl* edit, const std::string& text) {
  Driver::Focus(edit);
  edit->SetText("");
  Driver::TypeText(text);
}

// Edit fields (main reference) with visibility references, and a label
// without any reference.
const char* const kVariableObjects =
    "<object X=\"10\" Y=\"10\" Uid=\"10\" visvar=\"Tank1.Full\"><edit variable=\"Tank1.Level\" /></object>\r\n"
    "<object X=\"10\" Y=\"40\" Uid=\"11\" visvar=\"Pump.On\"><edit variable=\"Tank1.Temp.Tank1\" /></object>\r\n"
    "<object X=\"10\" Y=\"70\" Uid=\"12\" caption=\"Note\"><label /></object>\r\n";

class BulkDialogs : public CommandsTest {
 protected:
  void TearDown() override {
    Driver::Reset();
    Driver::ResetPopups();
    CommandsTest::TearDown();
  }
  std::string Variable(int uid) { return Object(uid)->GetVariable(); }
  // The surface sizes its objects as it paints them; the headless surface
  // does not paint, so the test applies their size rules.
  void SizeObjects() {
    for (TGridWebElement* object : designer->PageObjects()) object->AutoSize();
  }
};

TEST_F(BulkDialogs, ReplacingPartOfVariableNamesPreviewsAndWritesOnOk) {
  Open(OnePageProject(kVariableObjects));
  Select({10, 11, 12});
  std::vector<std::string> preview;
  Driver::OnModal("TFormVarNameReplace", [&](TCustomForm& form) {
    auto& dialog = dynamic_cast<TFormVarNameReplace&>(form);
    EXPECT_EQ(dialog.Objects().size(), 3u);
    EXPECT_EQ(Rows(*dialog.lvVars),
              (std::vector<std::string>{" |Tank1.Level|Tank1.Level", " |Tank1.Temp.Tank1|Tank1.Temp.Tank1", " ||"}));
    Type(dialog.edtToFind, "Tank1");
    Type(dialog.edtReplaceWith, "Tank2");
    Driver::Click(dialog.cbFromBack);
    preview = Rows(*dialog.lvVars);
    SavePicture(&dialog, "var-name-replace");
    Driver::Click(dialog.Button1);
    return mrNone;
  });
  designer->VarNameReplace1Click(nullptr);
  EXPECT_EQ(preview,
            (std::vector<std::string>{"*|Tank1.Level|Tank2.Level", "*|Tank1.Temp.Tank1|Tank1.Temp.Tank2", " ||"}));
  EXPECT_EQ(Variable(10), "Tank2.Level");
  EXPECT_EQ(Variable(11), "Tank1.Temp.Tank2");
  EXPECT_EQ(Object(10)->GetVisVariable(), "Tank1.Full");
  EXPECT_TRUE(designer->tbUndo->Enabled());
  EXPECT_TRUE(designer->Document().Modified());
  // Undo brings the old references back.
  designer->tbUndoClick(nullptr);
  EXPECT_EQ(Variable(10), "Tank1.Level");
}

TEST_F(BulkDialogs, VisibilityReferencesAndEmptySearchText) {
  Open(OnePageProject(kVariableObjects));
  Select({10, 11, 12});
  Driver::OnModal("TFormVarNameReplace", [&](TCustomForm& form) {
    auto& dialog = dynamic_cast<TFormVarNameReplace&>(form);
    Driver::Click(dialog.cbVisibility);
    Type(dialog.edtReplaceWith, "PLC.");
    EXPECT_EQ(Rows(*dialog.lvVars),
              (std::vector<std::string>{"*|Tank1.Full|PLC.Tank1.Full", "*|Pump.On|PLC.Pump.On", "*||PLC."}));
    Driver::Click(dialog.Button1);
    return mrNone;
  });
  designer->VarNameReplace1Click(nullptr);
  EXPECT_EQ(Object(10)->GetVisVariable(), "PLC.Tank1.Full");
  EXPECT_EQ(Object(12)->GetVisVariable(), "PLC.");
  EXPECT_EQ(Variable(10), "Tank1.Level");
}

TEST_F(BulkDialogs, CancelAndAnEmptyReplacementChangeNothing) {
  for (const bool ok : {false, true}) {
    Open(OnePageProject(kVariableObjects));
    Select({10, 11});
    Driver::Reset();
    Driver::OnModal("TFormVarNameReplace", [&](TCustomForm& form) {
      auto& dialog = dynamic_cast<TFormVarNameReplace&>(form);
      Type(dialog.edtToFind, "Tank1");
      if (!ok) Type(dialog.edtReplaceWith, "X");
      for (const std::string& row : Rows(*dialog.lvVars)) EXPECT_EQ(row[0], ok ? ' ' : '*') << row;
      Driver::Click(ok ? dialog.Button1 : dialog.Button2);
      return mrNone;
    });
    designer->VarNameReplace1Click(nullptr);
    EXPECT_EQ(Variable(10), "Tank1.Level") << ok;
    // OK records its undo step even when nothing changes.
    EXPECT_EQ(designer->tbUndo->Enabled(), ok);
  }
}

// Unlike the other project dialogs, the two dialogs on the selected objects'
// variables keep the form's own font.
TEST_F(BulkDialogs, TheVariableDialogsKeepTheFormsOwnFont) {
  Open(OnePageProject(kVariableObjects));
  Select({10, 11});
  std::vector<std::string> fonts;
  auto font = [&](TCustomForm& form) {
    fonts.push_back(form.Font()->Name + " " + std::to_string(form.Font()->Size()));
    return mrCancel;
  };
  Driver::OnModal("TFormVarNameReplace", font);
  Driver::OnModal("TFromAutoArray", font);
  designer->VarNameReplace1Click(nullptr);
  designer->AutoIndexArray1Click(nullptr);
  EXPECT_EQ(fonts, (std::vector<std::string>{"MS Sans Serif 8", "MS Sans Serif 8"}));
}

// Pictures of the three dialogs in each UI language: bulk-NAME-LANG.
TEST_F(BulkDialogs, PicturesInEveryLanguage) {
  Open(OnePageProject(kVariableObjects));
  Select({10, 11, 12});
  std::string code;
  auto picture = [&](const char* name) {
    return [&code, name](TCustomForm& form) {
      SavePicture(&form, name + ("-" + code));
      return mrCancel;
    };
  };
  Driver::OnModal("TFormVarNameReplace", picture("var-name-replace"));
  Driver::OnModal("TFromAutoArray", picture("auto-array"));
  Driver::OnModal("TFormRenamePages1", picture("rename-pages"));
  for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
    ASSERT_TRUE(testsupport::SelectHostLanguage(language));
    code = language.code;
    designer->VarNameReplace1Click(nullptr);
    designer->AutoIndexArray1Click(nullptr);
    designer->RenameAllPages1Click(nullptr);
  }
  testsupport::SelectEnglish();
}

// Three edit fields in one row, written right to left, each bound to t[0];
// a fourth without reference between them.
const char* const kRowObjects =
    "<object X=\"300\" Y=\"11\" Uid=\"10\"><edit variable=\"t[0]\" /></object>\r\n"
    "<object X=\"200\" Y=\"10\" Uid=\"13\" caption=\"x\"><label /></object>\r\n"
    "<object X=\"150\" Y=\"12\" Uid=\"11\"><edit variable=\"t[0]\" /></object>\r\n"
    "<object X=\"10\" Y=\"10\" Uid=\"12\"><edit variable=\"t[0]\" /></object>\r\n";

TEST_F(BulkDialogs, ArrayIndexesNumberedLeftToRight) {
  Open(OnePageProject(kRowObjects));
  SizeObjects();
  Select({10, 11, 12, 13});
  std::vector<std::string> preview;
  Driver::OnModal("TFromAutoArray", [&](TCustomForm& form) {
    auto& dialog = dynamic_cast<TFromAutoArray&>(form);
    EXPECT_EQ(Rows(*dialog.lvVars), (std::vector<std::string>{"t[0]|t[0]", "t[0]|t[1]", "t[0]|t[2]"}));
    Type(dialog.edtOrigin, "10");
    Type(dialog.edtStep, "5");
    preview = Rows(*dialog.lvVars);
    SavePicture(&dialog, "auto-array");
    Driver::Click(dialog.Button1);
    return mrNone;
  });
  designer->AutoIndexArray1Click(nullptr);
  EXPECT_EQ(preview, (std::vector<std::string>{"t[0]|t[10]", "t[0]|t[15]", "t[0]|t[20]"}));
  EXPECT_EQ(Variable(12), "t[10]");
  EXPECT_EQ(Variable(11), "t[15]");
  EXPECT_EQ(Variable(10), "t[20]");
  EXPECT_EQ(Variable(13), "");
  EXPECT_TRUE(designer->tbUndo->Enabled());
}

// Submit buttons 10 pixels high in cells of 8 units: A at (0, 0), B at
// (96, 8), C at (48, 16). C overlaps B only, so it comes before B (to its
// right) and after A (above it): A, C, B.
TEST_F(BulkDialogs, ArrayIndexesFollowTheComparisonOfPlacesWhereItIsAnOrder) {
  const char* const submit = "><submit width=\"40\" height=\"10\" variable=\"t[0]\" value=\"1\" /></object>\r\n";
  Open(OnePageProject(std::string("<object X=\"1\" Y=\"1\" Uid=\"10\"") + submit +
                      "<object X=\"13\" Y=\"2\" Uid=\"11\"" + submit + "<object X=\"7\" Y=\"3\" Uid=\"12\"" + submit));
  ASSERT_EQ(Object(10)->Height(), 10);
  Select({11, 12, 10});
  Driver::OnModal("TFromAutoArray", [](TCustomForm& form) {
    Driver::Click(dynamic_cast<TFromAutoArray&>(form).Button1);
    return mrNone;
  });
  designer->AutoIndexArray1Click(nullptr);
  EXPECT_EQ((std::vector<std::string>{Variable(10), Variable(12), Variable(11)}),
            (std::vector<std::string>{"t[0]", "t[1]", "t[2]"}));
}

TEST_F(BulkDialogs, ArrayIndexOrderStepAndVisibility) {
  const struct {
    const char* origin;
    const char* step;
    const char* order;
    bool visibility;
    std::vector<std::string> expected;  // objects 12, 11, 10
  } cases[] = {
      {"3", "-1", "1", false, {"t[3]", "t[2]", "t[1]"}},
      {"abc", "", "0", false, {"t[0]", "t[0]", "t[0]"}},  // no integer counts as 0
      {"1", "1", "2", false, {"t[0][1]", "t[0][2]", "t[0][3]"}},
      {"1", "1", "3", false, {"t[0]", "t[0]", "t[0]"}},  // two separators short: untouched
      {"4", "2", "1", true, {"t[0]", "t[0]", "t[0]"}},   // visibility references: objects 12, 10 (11 has none)
  };
  for (const auto& c : cases) {
    Open(
        OnePageProject("<object X=\"300\" Y=\"11\" Uid=\"10\" visvar=\"v[9]\"><edit variable=\"t[0]\" /></object>\r\n"
                       "<object X=\"150\" Y=\"12\" Uid=\"11\"><edit variable=\"t[0]\" /></object>\r\n"
                       "<object X=\"10\" Y=\"10\" Uid=\"12\" visvar=\"w\"><edit variable=\"t[0]\" /></object>\r\n"));
    SizeObjects();
    Select({10, 11, 12});
    Driver::Reset();
    Driver::OnModal("TFromAutoArray", [&](TCustomForm& form) {
      auto& dialog = dynamic_cast<TFromAutoArray&>(form);
      Type(dialog.edtOrigin, c.origin);
      Type(dialog.edtStep, c.step);
      Type(dialog.edtBracketIndex, c.order);
      if (c.visibility) Driver::Click(dialog.cbVisibility);
      Driver::Click(dialog.Button1);
      return mrNone;
    });
    designer->AutoIndexArray1Click(nullptr);
    EXPECT_EQ((std::vector<std::string>{Variable(12), Variable(11), Variable(10)}), c.expected) << c.origin << c.order;
    if (c.visibility) {
      EXPECT_EQ(Object(12)->GetVisVariable(), "w[4]");
      EXPECT_EQ(Object(10)->GetVisVariable(), "v[6]");  // the object without one used up no value
    }
  }
}

TEST_F(BulkDialogs, PlacementIsKeptInTheProjectSettingsFile) {
  Open(OnePageProject(kRowObjects));
  // A stored top beyond the screen is centred again; the left edge stays.
  folder.Write("Tarnwell/Proj.webx", "[FromAutoArray]\r\nHeight=450\r\nWidth=500\r\nTop=99999\r\nLeft=20\r\n");
  struct {
    int left = 0, top = 0, width = 0, height = 0;
  } shown;
  Driver::OnModal("TFromAutoArray", [&](TCustomForm& form) {
    shown = {form.Left(), form.Top(), form.Width(), form.Height()};
    form.SetLeft(33);
    return mrCancel;
  });
  designer->AutoIndexArray1Click(nullptr);
  EXPECT_EQ(shown.left, 20);
  EXPECT_EQ(shown.top, (Screen->Height() - 450) / 2);
  EXPECT_EQ(shown.width, 500);
  EXPECT_EQ(shown.height, 450);
  const std::string settings = folder.Read("Tarnwell/Proj.webx");
  EXPECT_NE(settings.find("Left=33"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Top=" + std::to_string((Screen->Height() - 450) / 2)), std::string::npos) << settings;
}

// Pages that link to each other, an alarm page and a user's start page.
std::string PagesProject() {
  return "<web version=\"8.1\" MaxUid=\"500\">\r\n<Grid Enable=\"0\" X=\"5\" Y=\"5\" />\r\n"
         "<alarms><alarm page=\"PAGE2.XML\" /></alarms>\r\n"
         "<security><user name=\"op\" page=\"PAGE1.XML\" /></security>\r\n"
         "<group caption=\"G\" Uid=\"1\">\r\n"
         "<page caption=\"One\" name=\"PAGE1.XML\" Uid=\"2\">\r\n"
         "<object X=\"1\" Y=\"1\" Uid=\"10\" caption=\"to two\"><label href=\"PAGE2.XML\" /></object>\r\n"
         "</page>\r\n"
         "<page caption=\"Two\" name=\"PAGE2.XML\" Uid=\"3\">\r\n"
         "<object X=\"1\" Y=\"1\" Uid=\"11\" caption=\"to one\"><label href=\"PAGE1.XML\" /></object>\r\n"
         "</page>\r\n"
         "<page caption=\"Three\" name=\"page3.xml\" Uid=\"4\" />\r\n"
         "<page caption=\"Odd\" name=\"NODOT\" Uid=\"5\" />\r\n"
         "</group>\r\n</web>";
}

class PageRenaming : public BulkDialogs {
 protected:
  std::vector<std::string> PageNames() const {
    std::vector<std::string> names;
    for (TmyXmlNode* page = Web()->FindDeep("page"); page != nullptr; page = page->next)
      names.push_back(page->GetAttr("name"));
    return names;
  }
  TmyXmlNode* Web() const { return designer->Document().Web(); }
  TmyXmlNode* PageByCaption(const std::string& caption) const {
    for (TmyXmlNode* page = Web()->FindDeep("page"); page != nullptr; page = page->next)
      if (page->GetAttr("caption") == caption) return page;
    return nullptr;
  }
  std::string LinkOf(const std::string& caption) const {
    TmyXmlNode* page = PageByCaption(caption);
    TmyXmlNode* object = page != nullptr ? page->FindChild("object") : nullptr;
    TmyXmlNode* label = object != nullptr ? object->FindChild("label") : nullptr;
    return label != nullptr ? label->GetAttr("href") : "?";
  }
  std::string Attr(const char* element, const char* name) const { return Web()->FindDeep(element)->GetAttr(name); }
};

TEST_F(PageRenaming, SwappingTwoPagesTakesTheReferencesAlong) {
  Open(PagesProject());
  std::vector<TmyXmlNode*> pages;
  for (TmyXmlNode* page = Web()->FindDeep("page"); page != nullptr; page = page->next) pages.push_back(page);
  designer->RenamePages(pages, {"PAGE1", "PAGE2", "page3", ""}, {"PAGE2", "PAGE1", "PAGE3", "X"});
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"PAGE2.XML", "PAGE1.XML", "PAGE3.XML", "NODOT"}));
  designer->SavePage(designer->CurrentPage());
  // Page One (now PAGE2) still links to page Two (now PAGE1), and so on.
  EXPECT_EQ(LinkOf("One"), "PAGE1.XML");
  EXPECT_EQ(LinkOf("Two"), "PAGE2.XML");
  EXPECT_EQ(Attr("alarm", "page"), "PAGE1.XML");
  EXPECT_EQ(Attr("user", "page"), "PAGE2.XML");
}

TEST_F(PageRenaming, ShiftingNamesAlongAChain) {
  Open(PagesProject());
  std::vector<TmyXmlNode*> pages;
  for (TmyXmlNode* page = Web()->FindDeep("page"); page != nullptr; page = page->next) pages.push_back(page);
  pages.pop_back();
  designer->RenamePages(pages, {"PAGE1", "PAGE2", "page3"}, {"PAGE2", "PAGE3", "PAGE4"});
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"PAGE2.XML", "PAGE3.XML", "PAGE4.XML", "NODOT"}));
  EXPECT_EQ(Attr("alarm", "page"), "PAGE3.XML");
  EXPECT_EQ(Attr("user", "page"), "PAGE2.XML");
  EXPECT_EQ(LinkOf("Two"), "PAGE2.XML");
}

TEST_F(PageRenaming, TheDialogRenamesByTemplateAndKeepsUnsavedEdits) {
  Open(PagesProject());
  ASSERT_EQ(designer->CurrentPage(), PageByCaption("One"));
  // An edit on the shown page that is not stored yet.
  Object(10)->SetCaption("edited");
  std::vector<std::string> rows;
  bool okEnabled = false;
  Driver::OnModal("TFormRenamePages1", [&](TCustomForm& form) {
    auto& dialog = dynamic_cast<TFormRenamePages1&>(form);
    EXPECT_EQ(dialog.edtTransform1->Text(), "[n]");
    Type(dialog.edtTransform1, "PG[c,1,2]");
    rows = Rows(*dialog.ListView1);
    okEnabled = dialog.Button1->Enabled();
    SavePicture(&dialog, "rename-pages");
    Driver::Click(dialog.Button1);
    return mrNone;
  });
  designer->RenameAllPages1Click(nullptr);
  EXPECT_EQ(rows, (std::vector<std::string>{"PAGE1|PG01", "PAGE2|PG02", "page3|PG03", "|PG04"}));
  EXPECT_TRUE(okEnabled);
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"PG01.XML", "PG02.XML", "PG03.XML", "NODOT"}));
  EXPECT_EQ(Attr("alarm", "page"), "PG02.XML");
  EXPECT_EQ(Attr("user", "page"), "PG01.XML");
  EXPECT_EQ(LinkOf("Two"), "PG01.XML");
  // The shown page was stored first and shown again; the project must be saved.
  EXPECT_EQ(Object(10)->GetCaption(), "edited");
  EXPECT_EQ(Object(10)->FHref, "PG02.XML");
  EXPECT_EQ(LinkOf("One"), "PG02.XML");
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_TRUE(designer->btnSave2->Enabled());
}

TEST_F(PageRenaming, MarkedRowsKeepOkDisabledAndCancelChangesNothing) {
  Open(PagesProject());
  const std::string before = DocumentText();
  const struct {
    const char* pattern;
    std::vector<int> states;
    bool ok;
  } cases[] = {
      {"[n]", {0, 0, 0, 1}, false},   // the page without '.' gets an empty name
      {"P[n]", {0, 0, 0, 0}, true},   // "P" alone for it
      {"SAME", {0, 1, 1, 1}, false},  // no token: every later row repeats the first
      {"", {1, 1, 1, 1}, false},      // empty names
      {"[n4]", {0, 1, 1, 1}, false},  // PAGE, PAGE, page (case aside), empty
  };
  Driver::OnModal("TFormRenamePages1", [&](TCustomForm& form) {
    auto& dialog = dynamic_cast<TFormRenamePages1&>(form);
    for (const auto& c : cases) {
      Type(dialog.edtTransform1, c.pattern);
      std::vector<int> states;
      for (int i = 0; i < dialog.ListView1->Items()->Count(); ++i)
        states.push_back(dialog.ListView1->Items()->Item(i)->StateIndex());
      EXPECT_EQ(states, c.states) << c.pattern;
      EXPECT_EQ(dialog.Button1->Enabled(), c.ok) << c.pattern;
      if (std::string(c.pattern) == "SAME") SavePicture(&dialog, "rename-pages-marked");
    }
    Driver::Click(dialog.Button2);
    return mrNone;
  });
  designer->RenameAllPages1Click(nullptr);
  EXPECT_EQ(DocumentText(), before);
  EXPECT_FALSE(designer->Document().Modified());
}

TEST_F(PageRenaming, TheTokenMenuInsertsAtTheCaret) {
  Open(PagesProject());
  std::string text;
  int entries = 0;
  Driver::ChoosePopupItem("PopupMenu1", "Counter starting from x [c,x]");
  Driver::OnModal("TFormRenamePages1", [&](TCustomForm& form) {
    auto& dialog = dynamic_cast<TFormRenamePages1&>(form);
    Type(dialog.edtTransform1, "A");
    Driver::Click(dialog.btnTokens);
    text = dialog.edtTransform1->Text();
    entries = dialog.PopupMenu1->Items()->Count();
    return mrCancel;
  });
  designer->RenameAllPages1Click(nullptr);
  ASSERT_EQ(Driver::PopupLog().size(), 1u);
  EXPECT_EQ(Driver::PopupLog()[0].chosen, "Counter starting from x [c,x]");
  EXPECT_EQ(entries, 12);  // eleven tokens and the separator
  EXPECT_EQ(text, "A[c,x]");
}

}  // namespace
