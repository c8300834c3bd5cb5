// Keyed string lists and the drop-down lists with texts per language.

#include <gtest/gtest.h>

#include "grid/StringDualListLang.h"
#include "platform/vcl/ComboBox.h"
#include "tests/grid/GridTestSupport.h"

using namespace gridtest;

TEST(DualList, AddKeepsTheFirstValueAndSortedListsSortWithoutCase) {
  TStringDualList sorted(true);
  sorted.Add("beta", "2");
  sorted.Add("Alpha", "1");
  EXPECT_EQ(sorted.Add("ALPHA", "other"), 0);
  EXPECT_EQ(sorted.Count(), 2);
  EXPECT_EQ(sorted.GetKey(0), "Alpha");
  EXPECT_EQ(sorted.Lookup("alpha"), "1");
  EXPECT_EQ(sorted.Add("gamma", "3"), 2);
  TStringDualList plain(false);
  plain.Add("b", "2");
  plain.Add("a", "1");
  EXPECT_EQ(plain.GetKey(0), "b");
  EXPECT_EQ(plain.IndexOf("A"), 1);
}

TEST(DualList, MissingKeysAndIndexes) {
  TStringDualList list(true);
  list.Add("k", "v");
  EXPECT_EQ(list.Lookup("missing"), "missing");
  EXPECT_EQ(list.IndexOf("missing"), -1);
  EXPECT_EQ(list.GetKey(-1), "");
  EXPECT_EQ(list.GetKey(1), "");
  std::string value = "old";
  EXPECT_FALSE(list.Find("missing", value));
  EXPECT_EQ(value, "old");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(DualList, XmlForms) {
  TParsed doc(
      "<r><placeholders><alias name=\"n\">1</alias><other name=\"x\">2</other></placeholders>"
      "<images><img name=\"logo\" longname=\"logo\" type=\"png\" /></images>"
      "<dropdown><option value=\"0\">Off</option><option value=\"1\">On</option></dropdown><select /><misc /></r>");
  TmyXmlNode* r = doc.root->firstChild;
  TStringDualList list(false);
  list.LoadFromXml(r->FindChild("placeholders"));
  list.LoadFromXml(r->FindChild("images"));
  list.LoadFromXml(r->FindChild("misc"));
  list.LoadFromXml(nullptr);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Lookup("n"), "1");
  EXPECT_EQ(list.Lookup("logo"), "logo.png");
  list.ClearAndLoad(r->FindChild("dropdown"));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetValue(1), "On");
  TmyXmlNode* select = r->FindChild("select");
  list.SaveToXml(select);
  list.SaveToXml(select);  // the old options are replaced
  EXPECT_EQ(select->ChildCount(), 2);
  EXPECT_EQ(select->firstChild->GetAttr("value"), "0");
  EXPECT_EQ(select->firstChild->value, "Off");
  list.SaveToXml(r->FindChild("misc"));  // other names are left alone
  EXPECT_EQ(r->FindChild("misc")->ChildCount(), 0);
}

namespace {
const int kCodes[kLangSlots] = {9, 0, 5, 7};
}

TEST(LangList, EditorSlotAndAdd) {
  TStringDualListLang list(5, kCodes, false);
  EXPECT_EQ(list.EditorSlot(), 2);
  list.Add("k", "text");
  EXPECT_EQ(list.GetTexts(0)->texts[2], "text");
  EXPECT_EQ(list.GetTexts(0)->texts[0], "");
  EXPECT_EQ(list.GetValue(0), "text");
  TStringDualListLang unknown(42, kCodes, false);
  EXPECT_EQ(unknown.EditorSlot(), 0);
}

TEST(LangList, LoadMatchesTextsByPosition) {
  TParsed doc(
      "<object><lang><options code=\"9\"><option>One</option><option>Two</option></options>"
      "<options code=\"5\"><option>Jedna</option><option>Dve</option><option>Tri</option></options></lang>"
      "<dropdown><option value=\"1\">x</option><option value=\"2\">y</option><option "
      "value=\"3\">z</option></dropdown></object>");
  TStringDualListLang list(9, kCodes, false);
  list.LoadFromXml(doc.root->firstChild);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetValue(0), "One");
  EXPECT_EQ(list.GetTexts(2)->texts[0], "");  // English has only two texts
  EXPECT_EQ(list.GetTexts(2)->texts[2], "Tri");
  TStringDualList plain(false);
  list.CopyLanguageTexts(5, plain);
  EXPECT_EQ(plain.GetValue(1), "Dve");
  list.CopyLanguageTexts(99, plain);
  EXPECT_EQ(plain.Count(), 0);
  list.CopyEditorTexts(plain);
  EXPECT_EQ(plain.GetValue(1), "Two");
}

TEST(LangList, EditorLanguageWithoutOptionsTakesThePlainTexts) {
  TParsed doc(
      "<object><lang><options code=\"5\"><option>Jedna</option></options></lang>"
      "<dropdown><option value=\"1\">Plain</option></dropdown></object>");
  TStringDualListLang list(7, kCodes, false);
  list.LoadFromXml(doc.root->firstChild);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetTexts(0)->texts[3], "Plain");
  EXPECT_EQ(list.GetTexts(0)->texts[2], "");
  TParsed notObject("<dropdown><option value=\"1\">x</option></dropdown>");
  list.Clear();
  list.LoadFromXml(notObject.root->firstChild);
  EXPECT_EQ(list.Count(), 0);
}

TEST(LangList, SaveWritesEveryUsedSlotOnlyWithALangChild) {
  TStringDualListLang list(9, kCodes, false);
  list.AddTexts("1", {"One", "", "Jedna", "Eins"});
  list.AddTexts("2", {"Two", "", "Dve", "Zwei"});
  TParsed with(
      "<object><lang><options code=\"9\" /><caption code=\"9\">c</caption></lang><dropdown><option value=\"x\" "
      "/></dropdown></object>");
  list.SaveToXml(with.root->firstChild);
  TmyXmlNode* lang = with.root->firstChild->FindChild("lang");
  EXPECT_EQ(lang->ChildCount(), 4);  // caption and three options
  EXPECT_EQ(lang->FindChild("options", "code", false, "7")->lastChild->value, "Zwei");
  TmyXmlNode* dropdown = with.root->firstChild->FindChild("dropdown");
  EXPECT_EQ(dropdown->ChildCount(), 2);
  EXPECT_EQ(dropdown->firstChild->value, "One");
  TParsed without("<object><dropdown /></object>");
  list.SaveToXml(without.root->firstChild);
  EXPECT_EQ(without.root->firstChild->FindChild("lang"), nullptr);
  EXPECT_EQ(without.root->firstChild->FindChild("dropdown")->ChildCount(), 2);
}

TEST(DualList, FillStringsShowsTheValues) {
  TStringDualList list(false);
  list.Add("b", "Bee");
  list.Add("a", "Ay");
  TComboBox combo(nullptr);
  combo.Items()->Add("old");
  list.FillStrings(&combo);
  ASSERT_EQ(combo.Items()->Count(), 2);
  EXPECT_EQ(combo.Items()->Strings(0), "Bee");
  EXPECT_EQ(combo.Items()->Strings(1), "Ay");
}
