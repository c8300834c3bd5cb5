// The undo history: snapshots of the surface's objects, undo and redo
// through them, the redo part dropped by a new edit, the depth limit, and
// the state of the undo and redo buttons and of the change stamp.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "platform/vcl/ScrollBox.h"
#include "tests/designer/editing/EditingTestSupport.h"

using namespace editingtest;

namespace {

constexpr int kPageUcid = 1234;

class UndoHistoryTest : public EditingTest {
 protected:
  void SetUp() override {
    LoadObjects(Label(7, 1, 1, "P") + Label(8, 17, 9, "other"));
    surface_.ucid = kPageUcid;
  }
  TGridWebElement* Edited() const { return ObjectByUid(7); }
  // One edit as a command makes it: a snapshot first, then the change (a
  // new caption), one second after the previous edit.
  void Edit(const std::string& caption) {
    history_.PushUndo();
    Edited()->SetCaption(caption);
    ++surface_.now;
  }
  std::string Caption() const { return Edited() != nullptr ? Edited()->GetCaption() : "(gone)"; }
};

}  // namespace

TEST_F(UndoHistoryTest, APushRecordsTheSurfaceAsWrittenAndRenewsTheStamp) {
  const std::string before = SurfaceText();
  const int clock = surface_.now;
  history_.PushUndo();
  ASSERT_EQ(history_.Count(), 1);
  TmyXmlNode* entry = history_.Tree()->firstChild;
  EXPECT_EQ(entry->name, "Undo");
  EXPECT_EQ(history_.Tree()->name, "UndoTree");
  // The entry carries the stamp the page had; the page's stamp is now the time.
  EXPECT_EQ(entry->GetAttr("ucid"), std::to_string(kPageUcid));
  EXPECT_EQ(entry->FindAttr("used"), nullptr);
  EXPECT_EQ(surface_.ucid, clock);
  EXPECT_EQ(EntryText(entry), before);
  EXPECT_NE(before.find("caption=\"other\""), std::string::npos);
  EXPECT_TRUE(surface_.modified);
  EXPECT_TRUE(surface_.undoEnabled);
  EXPECT_FALSE(surface_.redoEnabled);
  // The objects are written back to front: a raised object comes last.
  ObjectByUid(7)->BringToFront();
  history_.PushUndo();
  TmyXmlNode* raised = history_.Tree()->lastChild;
  ASSERT_NE(raised->firstChild, nullptr);
  EXPECT_EQ(raised->firstChild->GetAttr("Uid"), "8");
  EXPECT_EQ(raised->lastChild->GetAttr("Uid"), "7");
}

TEST_F(UndoHistoryTest, SeventeenEditsKeepTheSixteenNewest) {
  std::vector<int> stamps;
  for (int i = 1; i <= 17; ++i) {
    stamps.push_back(surface_.ucid);
    Edit("E" + std::to_string(i));
  }
  ASSERT_EQ(history_.Count(), kUndoDepth);
  // The first edit's snapshot (caption P) is gone; the oldest is the second's.
  EXPECT_EQ(History(), "E1 E2 E3 E4 E5 E6 E7 E8 E9 E10 E11 E12 E13 E14 E15 E16");
  int i = 1;
  for (TmyXmlNode* entry = history_.Tree()->firstChild; entry != nullptr; entry = entry->next, ++i)
    EXPECT_EQ(entry->GetAttrInt("ucid", -1), stamps[i]) << i;
  // The first undo records the shown state, which drops the oldest entry
  // once more: undoing all the way stops at the second edit's result.
  for (int k = 0; k < 20; ++k) history_.UndoStep();
  EXPECT_EQ(Caption(), "E2");
  EXPECT_EQ(history_.Count(), kUndoDepth);
  EXPECT_FALSE(surface_.undoEnabled);
}

TEST_F(UndoHistoryTest, UndoRestoresTheStateBeforeTheEditAndRedoReturns) {
  const std::string before = Dump();
  Edited()->SetPosition(41, 33);  // a move without snapshot is part of the state
  const std::string moved = Dump();
  const std::string movedText = SurfaceText();
  history_.PushUndo();
  const int editStamp = surface_.ucid;
  Edited()->SetCaption("Q");
  Edited()->SetPosition(9, 9);
  ++surface_.now;
  const std::string edited = Dump();
  const std::string editedText = SurfaceText();

  history_.UndoStep();
  EXPECT_EQ(Dump(), moved);
  EXPECT_EQ(SurfaceText(), movedText);
  EXPECT_NE(Dump(), before);
  EXPECT_EQ(surface_.ucid, kPageUcid);
  EXPECT_EQ(surface_.restores, 1);
  EXPECT_FALSE(surface_.undoEnabled);  // the oldest entry is shown
  EXPECT_TRUE(surface_.redoEnabled);

  history_.RedoStep();
  EXPECT_EQ(Dump(), edited);
  EXPECT_EQ(SurfaceText(), editedText);
  // The state recorded by the undo carries the stamp the edited page had.
  EXPECT_EQ(surface_.ucid, editStamp);
  EXPECT_TRUE(surface_.undoEnabled);
  EXPECT_FALSE(surface_.redoEnabled);
}

// Entries P, Q, R taken before three edits, the surface showing S; each step
// of the walk through them.
TEST_F(UndoHistoryTest, TheWorkedSequence) {
  Edit("Q");
  Edit("R");
  Edit("S");
  ASSERT_EQ(History(), "P Q R");
  struct Step {
    const char* action;
    const char* shown;
    const char* history;
    bool undo;
    bool redo;
  };
  const Step steps[] = {
      {"undo", "R", "P Q R* S*", true, true},     {"undo", "Q", "P Q* R* S*", true, true},
      {"redo", "R", "P Q- R* S*", true, true},    {"redo", "S", "P Q- R- S*", true, false},
      {"edit", "T", "P Q- R- S", true, false},    {"redo", "T", "P Q- R- S", true, false},
      {"undo", "S", "P Q- R- S* T*", true, true},
  };
  for (const Step& step : steps) {
    const std::string action = step.action;
    if (action == "undo") history_.UndoStep();
    if (action == "redo") history_.RedoStep();
    if (action == "edit") Edit("T");
    EXPECT_EQ(Caption(), step.shown) << action << " to " << step.shown;
    EXPECT_EQ(History(), step.history) << action << " to " << step.shown;
    EXPECT_EQ(surface_.undoEnabled, step.undo) << action << " to " << step.shown;
    EXPECT_EQ(surface_.redoEnabled, step.redo) << action << " to " << step.shown;
  }
}

TEST_F(UndoHistoryTest, AnEditAfterUndosRemovesEveryRedoStep) {
  Edit("Q");
  Edit("R");
  Edit("S");
  history_.UndoStep();
  history_.UndoStep();
  ASSERT_EQ(Caption(), "Q");
  Edit("X");
  EXPECT_EQ(History(), "P Q");
  EXPECT_FALSE(surface_.redoEnabled);
  const int restores = surface_.restores;
  history_.RedoStep();
  EXPECT_EQ(Caption(), "X");
  EXPECT_EQ(surface_.restores, restores);
  EXPECT_FALSE(surface_.redoEnabled);
  // Undo now comes back to the state the edit started from.
  history_.UndoStep();
  EXPECT_EQ(Caption(), "Q");
  EXPECT_EQ(History(), "P Q* X*");
}

TEST_F(UndoHistoryTest, UndoWithAnEmptyHistoryChangesNothingOnTheSurface) {
  const std::string before = SurfaceText();
  history_.UndoStep();
  EXPECT_EQ(SurfaceText(), before);
  EXPECT_EQ(surface_.restores, 0);
  EXPECT_FALSE(surface_.undoEnabled);
  // The state is recorded as an entry ahead of the current one, and the
  // page counts as changed.
  EXPECT_EQ(History(), "P*");
  EXPECT_TRUE(surface_.modified);
  // Nothing lies ahead of it either.
  surface_.redoEnabled = true;
  history_.RedoStep();
  EXPECT_EQ(surface_.restores, 0);
  EXPECT_FALSE(surface_.redoEnabled);
  // A second undo finds every entry used and records nothing more.
  history_.UndoStep();
  EXPECT_EQ(History(), "P*");
  EXPECT_EQ(surface_.restores, 0);
}

TEST_F(UndoHistoryTest, ResetForgetsEveryEntry) {
  Edit("Q");
  Edit("R");
  history_.UndoStep();
  ASSERT_TRUE(surface_.undoEnabled);
  ASSERT_TRUE(surface_.redoEnabled);
  history_.ResetUndo();
  EXPECT_EQ(history_.Count(), 0);
  EXPECT_FALSE(surface_.undoEnabled);
  EXPECT_FALSE(surface_.redoEnabled);
  const int restores = surface_.restores;
  history_.RedoStep();
  history_.UndoStep();
  EXPECT_EQ(Caption(), "Q");
  EXPECT_EQ(surface_.restores, restores);
}

TEST_F(UndoHistoryTest, AnEntryOfAnEmptySurfaceRestoresAnEmptySurface) {
  LoadObjects("");
  history_.PushUndo();
  LoadObjects(Label(3, 1, 1, "new"));
  history_.UndoStep();
  EXPECT_TRUE(Objects().empty());
  EXPECT_EQ(History(), "(none)* new*");
  history_.RedoStep();
  EXPECT_EQ(Dump(), "3 0 1,1 0 - new\n");
}

// Every page of the demo project, with every object kind and the texts in
// two languages: a snapshot restored by the page loader writes the same text.
// The objects' copies of their nodes live in the loader's arena.
TEST_F(EditingTest, DemoPagesComeBackFromTheirSnapshotsUnchanged) {
  std::ifstream in(std::string(TARNWELL_SOURCE_DIR) + "/examples/demo/Tarnwell/Demo.xml", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  TmyXMLParser parser;
  parser.LoadFromString(text.str().c_str());
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  ASSERT_NE(root, nullptr);
  TmyXmlNode* web = root->FindChild("web");
  ASSERT_NE(web, nullptr);
  designer_->FLangMutations = true;
  designer_->FEditorLangCode = 9;
  designer_->FLangCodes[0] = 9;
  designer_->FLangCodes[1] = 5;
  int pages = 0;
  std::string all;
  for (TmyXmlNode* page = web->FindChild("page", {}, true); page != nullptr; page = page->FindDeep("page")) {
    ++pages;
    history_.ResetUndo();
    LoadObjects("");
    designer_->LoadObjects(page, box());
    const std::string shown = SurfaceText();
    ASSERT_NE(shown.find("<object "), std::string::npos) << page->GetAttr("name");
    // The objects' copies of their nodes come from one arena of the load.
    const TXmlArena* copies = Objects().front()->GetXmlNode()->ArenaOrNull();
    EXPECT_NE(copies, nullptr);
    for (const TGridWebElement* object : Objects()) EXPECT_EQ(object->GetXmlNode()->ArenaOrNull(), copies);
    all += shown;
    history_.PushUndo();
    LoadObjects("");
    history_.UndoStep();
    EXPECT_EQ(SurfaceText(), shown) << page->GetAttr("name");
    history_.RedoStep();
    EXPECT_TRUE(Objects().empty()) << page->GetAttr("name");
    history_.UndoStep();
    EXPECT_EQ(SurfaceText(), shown) << page->GetAttr("name");
  }
  EXPECT_GE(pages, 4);
  // The texts of the second language travel with the snapshots.
  EXPECT_NE(all.find("<caption code=\"5\">"), std::string::npos);
}
