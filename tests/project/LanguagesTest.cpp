// The languages dialog: rows that move off a taken language, emptying rows,
// the first row that keeps a language, switching multiple languages on (one
// warning, captions copied once), the 15 children after OK, the designer's
// command, and pictures.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/LanguageList.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/RadioButton.h"
#include "project/FormLangProperties.h"
#include "tests/project/ProjectDialogTest.h"

using namespace projecttest;

namespace {

const int kCzech = LangIdToLanguageIndex(5);
const int kGerman = LangIdToLanguageIndex(7);
const int kEnglish = LangIdToLanguageIndex(9);

std::string LanguagesOf(bool enabled, const std::vector<std::pair<int, int>>& codes) {
  std::string text = std::string("<Languages enabled=\"") + (enabled ? "1" : "0") + "\">";
  for (const auto& [code, editor] : codes)
    text += "<Language Code=\"" + std::to_string(code) + "\" Editor=\"" + std::to_string(editor) + "\" />";
  return text + "</Languages>\r\n";
}

class LanguagesDialog : public ProjectDialogTest {
 protected:
  void TearDown() override {
    dialog.reset();
    Driver::Reset();
    ProjectDialogTest::TearDown();
  }
  TFormLangProperties& Loaded() {
    dialog.reset();
    dialog = std::make_unique<TFormLangProperties>(designer.get());
    dialog->Designer = designer.get();
    dialog->WebNode = Web();
    dialog->LanguagesNode = Find("Languages");
    dialog->LoadFromXml();
    dialog->Show();
    return *dialog;
  }
  // Chooses a list entry as the user does.
  static void Choose(TLangFrame* row, int index) {
    row->cbLanguage1->SetItemIndex(index);
    row->cbLanguage1Change(row->cbLanguage1);
  }
  std::vector<std::string> Stored() const {
    std::vector<std::string> out;
    for (TmyXmlNode* c = Find("Languages")->firstChild; c != nullptr; c = c->next)
      out.push_back(c->GetAttr("Code") + "/" + c->GetAttr("Editor"));
    return out;
  }
  std::unique_ptr<TFormLangProperties> dialog;
};

TEST_F(LanguagesDialog, LoadsRowsAndEnablesOneRowPastTheLast) {
  Open(LanguagesOf(true, {{5, 0}, {7, 1}}));
  TFormLangProperties& form = Loaded();
  EXPECT_EQ(form.Rows[0]->lblPriority->Caption(), "1.");
  EXPECT_EQ(form.Rows[14]->lblPriority->Caption(), "15.");
  EXPECT_EQ(form.Rows[0]->cbLanguage1->ItemIndex(), kCzech);
  EXPECT_EQ(form.Rows[1]->cbLanguage1->ItemIndex(), kGerman);
  EXPECT_TRUE(form.Rows[1]->cbActiveInEditor1->Checked());
  EXPECT_FALSE(form.Rows[0]->cbActiveInEditor1->Checked());
  EXPECT_TRUE(form.Rows[2]->IsEnabled());
  EXPECT_FALSE(form.Rows[3]->IsEnabled());
  EXPECT_TRUE(form.cbEnableLanguageMutations->Checked());
  EXPECT_FALSE(form.cbEnableLanguageMutations->Enabled());
}

TEST_F(LanguagesDialog, ATakenLanguageMovesToTheNextEntry) {
  Open(LanguagesOf(true, {{5, 1}, {7, 0}}));
  TFormLangProperties& form = Loaded();
  Choose(form.Rows[1], kCzech);
  EXPECT_EQ(form.Rows[1]->cbLanguage1->ItemIndex(), kCzech + 1);
  // The last entry moves back instead.
  Choose(form.Rows[0], 66);
  Choose(form.Rows[2], 66);
  EXPECT_EQ(form.Rows[2]->cbLanguage1->ItemIndex(), 65);
}

// Uzbek and Vietnamese, the last two entries, in two rows: a third row that
// takes either moves once and stays there, when chosen and when loaded.
TEST_F(LanguagesDialog, ATakenLanguageMovesOnceAlsoWhenTheNextIsTakenToo) {
  const int uzbek = LangIdToLanguageIndex(0x43);
  const int vietnamese = LangIdToLanguageIndex(0x2A);
  ASSERT_EQ(vietnamese, 66);
  Open(LanguagesOf(true, {{0x43, 1}, {0x2A, 0}, {0x2A, 0}}));
  TFormLangProperties& form = Loaded();
  EXPECT_EQ(form.Rows[2]->cbLanguage1->ItemIndex(), uzbek);
  Choose(form.Rows[2], uzbek);
  EXPECT_EQ(form.Rows[2]->cbLanguage1->ItemIndex(), vietnamese);
}

TEST_F(LanguagesDialog, EmptyingARowDisablesTheRestAndHandsTheEditorToRowOne) {
  Open(LanguagesOf(true, {{5, 0}, {7, 0}, {9, 1}, {12, 0}}));
  TFormLangProperties& form = Loaded();
  ASSERT_TRUE(form.Rows[4]->IsEnabled());
  Choose(form.Rows[2], 0);
  for (int i = 3; i < kLanguageRows; ++i) EXPECT_FALSE(form.Rows[i]->IsEnabled()) << i;
  EXPECT_FALSE(form.Rows[2]->cbActiveInEditor1->Enabled());
  EXPECT_TRUE(form.Rows[0]->cbActiveInEditor1->Checked());
  // Row 1 cannot be emptied.
  Choose(form.Rows[0], 0);
  EXPECT_EQ(form.Rows[0]->cbLanguage1->ItemIndex(), 1);
  form.Button1Click(form.Button1);
  // The row after the emptied one is not in use any more: stored as 0.
  const std::vector<std::string> stored = Stored();
  ASSERT_EQ(stored.size(), 15u);
  EXPECT_EQ(stored[0], std::to_string(LanguageIndexToLangId(1)) + "/1");
  EXPECT_EQ(stored[1], "7/0");
  EXPECT_EQ(stored[2], "0/0");
  EXPECT_EQ(stored[3], "0/0");
}

TEST_F(LanguagesDialog, SwitchingOnWarnsOnceAndCopiesCaptionsOnce) {
  Open(LanguagesOf(false, {{5, 1}}));
  TFormLangProperties& form = Loaded();
  EXPECT_FALSE(form.Rows[0]->IsEnabled());
  Driver::Click(form.cbEnableLanguageMutations);
  EXPECT_TRUE(form.Rows[0]->IsEnabled());
  EXPECT_FALSE(form.cbEnableLanguageMutations->Enabled());
  const auto boxes = Driver::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Warning");
  EXPECT_EQ(boxes[0].owner, nullptr);
  Choose(form.Rows[1], kEnglish);
  form.Button1Click(form.Button1);
  EXPECT_EQ(Stored().size(), 15u);
  EXPECT_EQ(Stored()[1], "9/0");
  for (const char* name : {"group", "page"}) {
    TmyXmlNode* node = Find(name);
    ASSERT_NE(node->FindChild("lang"), nullptr) << name;
    TmyXmlNode* entry = node->FindChild("lang")->FindChild("caption");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->GetAttr("code"), "5");
    EXPECT_EQ(entry->value, node->GetAttr("caption"));
  }
  // A second OK on texts that are now per language copies nothing again.
  form.Button1Click(form.Button1);
  int entries = 0;
  for (TmyXmlNode* c = Find("group")->FindChild("lang")->firstChild; c != nullptr; c = c->next) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(LanguagesDialog, TheDesignersCommandReloadsTheLanguagesAndMovesTheEditorsTexts) {
  Open(LanguagesOf(true, {{5, 1}, {7, 0}}));
  TmyXmlNode* group = Find("group");
  group->InsertFirstChild("lang");
  designer->SetLangTextByCode(group, "caption", "Haupt", 7);
  designer->SetLangTextByCode(group, "caption", "Main", 5);
  Driver::OnModal("TFormLangProperties", [](TCustomForm& form) {
    auto& languages = dynamic_cast<TFormLangProperties&>(form);
    Driver::Click(languages.Rows[1]->cbActiveInEditor1);
    Driver::Click(languages.Button1);
    return mrNone;
  });
  ClickButton(designer->tbLang);
  EXPECT_EQ(designer->EditorLangCode(), 7);
  EXPECT_EQ(Find("group")->GetAttr("caption"), "Haupt");
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_EQ(Stored().size(), 15u);
}

// The second opening shows the place the first left, which is saved with the project.
TEST_F(LanguagesDialog, SizeAndPlaceAreKeptInTheProjectDocument) {
  Open(LanguagesOf(false, {{9, 1}}));
  std::vector<std::string> shown;
  Driver::OnModal("TFormLangProperties", [&shown](TCustomForm& form) {
    shown.push_back(std::to_string(form.Left()) + "," + std::to_string(form.Top()));
    form.SetBounds(40 + static_cast<int>(shown.size()), 50, form.Width(), form.Height());
    Driver::Click(dynamic_cast<TFormLangProperties&>(form).Button1);
    return mrNone;
  });
  ClickButton(designer->tbLang);
  ClickButton(designer->tbLang);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], "41,50");
  designer->btnSave2Click(nullptr);
  const std::string saved = folder.Read("Tarnwell/Proj.xml");
  EXPECT_NE(saved.find("\" Top=\"50\" Left=\"42\" />"), std::string::npos) << saved;
}

TEST_F(LanguagesDialog, Pictures) {
  Open(LanguagesOf(true, {{5, 1}, {7, 0}, {9, 0}}));
  InEveryLanguage(
      [this](const std::string& language) { EXPECT_FALSE(SavePicture(&Loaded(), "languages-" + language).empty()); });
}

}  // namespace
