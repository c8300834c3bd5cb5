// Texts of objects per project language: the `lang` child, the language
// slots (fill and merge; slots without a code), captions and first text sets.

#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"
#include "tests/support/TempFolder.h"

using namespace gridtest;

namespace {

struct LangTexts : ::testing::Test {
  TDesignerFixture fixture;
  TFormDesign1& d = *fixture.designer();
  TParsed doc{"<object caption=\"Cap\" hint=\"Hi\"><lang><caption code=\"1029\">Cz</caption></lang><label /></object>"};
  TmyXmlNode* node = nullptr;
  void SetUp() override { node = doc.root->FindChild("object"); }
};

}  // namespace

TEST_F(LangTexts, GetLangTextAnswersEmptyForAMissingEntry) {
  std::string text = "old";
  EXPECT_TRUE(d.GetLangText(node, "caption", text, 1033));
  EXPECT_EQ(text, "");
  text = "old";
  EXPECT_FALSE(d.GetLangTextIfAny(node, "caption", text, 1033));
  EXPECT_EQ(text, "old");
  EXPECT_TRUE(d.GetLangTextIfAny(node, "caption", text, 1029));
  EXPECT_EQ(text, "Cz");
}

TEST_F(LangTexts, NothingWhileMutationsAreOff) {
  d.FLangMutations = false;
  std::string text = "old";
  EXPECT_FALSE(d.GetLangText(node, "caption", text, 1029));
  EXPECT_EQ(text, "old");
  d.SetLangTextByCode(node, "hint", "x", 1029);
  const std::string texts[kLangSlots] = {"a", "b"};
  const bool edited[kLangSlots] = {true, true};
  d.SetLangTexts("hint", node, texts, edited);
  EXPECT_EQ(node->FindChild("lang")->FindChild("hint"), nullptr);
}

TEST_F(LangTexts, SetByCodeFindsOrAppends) {
  d.SetLangTextByCode(node, "caption", "Cz2", 1029);
  d.SetLangTextByCode(node, "hint", "H7", 7);
  TmyXmlNode* lang = node->FindChild("lang");
  EXPECT_EQ(lang->ChildCount(), 2);
  EXPECT_EQ(lang->FindChild("caption")->value, "Cz2");
  EXPECT_EQ(lang->FindChild("hint")->GetAttr("code"), "7");
  TParsed bare("<object><label /></object>");
  TmyXmlNode* o = bare.root->firstChild;
  d.SetLangTextByCode(o, "caption", "x", 1);
  EXPECT_EQ(o->firstChild->name, "lang");
}

TEST_F(LangTexts, SlotsWithoutACodeAreSkippedAndUneditedSlotsKept) {
  d.FLangCodes[0] = 1;
  d.FLangCodes[1] = 0;
  d.FLangCodes[2] = 5;
  std::string texts[kLangSlots] = {"one", "none", "five"};
  bool edited[kLangSlots] = {true, true, true};
  d.SetLangTexts("hint", node, texts, edited);
  std::string t;
  EXPECT_TRUE(d.GetLangTextIfAny(node, "hint", t, 1));
  EXPECT_EQ(t, "one");
  EXPECT_TRUE(d.GetLangTextIfAny(node, "hint", t, 5));
  EXPECT_EQ(t, "five");
  EXPECT_FALSE(d.GetLangTextIfAny(node, "hint", t, 0));
  texts[0] = "changed";
  edited[0] = false;
  d.SetLangTexts("hint", node, texts, edited);
  EXPECT_TRUE(d.GetLangTextIfAny(node, "hint", t, 1));
  EXPECT_EQ(t, "one");
}

TEST_F(LangTexts, GetLangTextsFillsAndMerges) {
  std::string texts[kLangSlots];
  EXPECT_EQ(d.GetLangTexts("caption", true, texts, node), -1);  // no Languages element yet
  // A project that has a Languages element.
  testsupport::TempFolder folder("langtexts");
  folder.Write("Tarnwell/Proj.xml", "<web><Languages /></web>");
  TProjectLocation location;
  location.hostProjectDir = folder.Path().string() + "\\";
  location.hostProjectName = "Proj";
  ASSERT_EQ(d.Document().LoadProject(location, 5, 5).source, TProjectSource::BaseFile);
  d.FLangCodes[0] = 1029;
  d.FLangCodes[1] = 1033;
  d.FLangCodes[2] = 0;
  d.FLangCodes[3] = 7;  // after an empty slot: never visited
  texts[3] = "untouched";
  EXPECT_EQ(d.GetLangTexts("caption", true, texts, node), 1);
  EXPECT_EQ(texts[0], "Cz");
  EXPECT_EQ(texts[1], "");
  EXPECT_EQ(texts[3], "untouched");
  TParsed other(
      "<object><lang><caption code=\"1029\">Other</caption><caption code=\"1033\"></caption></lang></object>");
  EXPECT_EQ(d.GetLangTexts("caption", false, texts, other.root->firstChild), 1);
  EXPECT_EQ(texts[0], "");  // differs: emptied
  EXPECT_EQ(texts[1], "");
  TParsed same("<object><lang><caption code=\"1029\">Cz</caption></lang></object>");
  texts[0] = "Cz";
  d.GetLangTexts("caption", false, texts, same.root->firstChild);
  EXPECT_EQ(texts[0], "Cz");  // shared: kept
  d.FEditorLangCode = 99;
  EXPECT_EQ(d.GetLangTexts("caption", true, texts, node), -1);
  d.Document().Clear();
}

TEST_F(LangTexts, SetLangCaptionOnlyWithoutALangChild) {
  TParsed a("<object caption=\"C\"><label /><lang /></object>");
  EXPECT_FALSE(d.SetLangCaption(a.root->firstChild, 9));
  TParsed b("<object caption=\"C\"><label /></object>");
  EXPECT_TRUE(d.SetLangCaption(b.root->firstChild, 9));
  TmyXmlNode* lang = b.root->firstChild->firstChild;
  ASSERT_EQ(lang->name, "lang");
  EXPECT_EQ(lang->firstChild->name, "caption");
  EXPECT_EQ(lang->firstChild->GetAttr("code"), "9");
  EXPECT_EQ(lang->firstChild->value, "C");
}

TEST_F(LangTexts, CopyLangTextsByKind) {
  TParsed block("<object caption=\"C\" hint=\"H\"><block /></object>");
  EXPECT_TRUE(d.CopyLangTexts(block.root->firstChild, 5));
  TmyXmlNode* lang = block.root->firstChild->firstChild;
  ASSERT_EQ(lang->ChildCount(), 1);
  EXPECT_EQ(lang->firstChild->name, "hint");
  EXPECT_EQ(lang->firstChild->value, "H");
  TParsed image("<object caption=\"C\" hint=\"H\"><image optcap=\"O\" /></object>");
  EXPECT_TRUE(d.CopyLangTexts(image.root->firstChild, 5));
  lang = image.root->firstChild->firstChild;
  ASSERT_EQ(lang->ChildCount(), 3);
  EXPECT_EQ(lang->FindChild("optcap")->value, "O");
  EXPECT_FALSE(d.CopyLangTexts(image.root->firstChild, 5));  // lang is first now
  TParsed late("<object><label /><lang /></object>");
  EXPECT_TRUE(d.CopyLangTexts(late.root->firstChild, 5));  // a second lang goes in front
  EXPECT_EQ(late.root->firstChild->ChildCount(), 3);
  TParsed empty("<object />");
  EXPECT_TRUE(d.CopyLangTexts(empty.root->firstChild, 5));
  EXPECT_EQ(empty.root->firstChild->ChildCount(), 1);
}

TEST_F(LangTexts, ElementNodeCopyGetsTheTexts) {
  TGridWebElement* e = LoadOne(fixture, "<object caption=\"C\"><label /></object>");
  const std::string texts[kLangSlots] = {"En", "Cz"};
  const bool edited[kLangSlots] = {true, true};
  d.SetElementLangTexts("caption", e, texts, edited);
  const std::string written = Written(e);
  EXPECT_NE(written.find("<caption code=\"1033\">En</caption>"), std::string::npos);
  EXPECT_NE(written.find("<caption code=\"1029\">Cz</caption>"), std::string::npos);
}
