// The undo history and the surface's keys of the designer window, driven as a
// user would on the example project's first page: edits, the undo and redo
// buttons and their enabled states, the history's depth, page changes,
// deleting objects by key and menu, the insertion frame's keys, the object
// menu's properties item and the help key.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/HostEnvironment.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/SurfaceObjects.h"
#include "grid/GridInsert.h"
#include "platform/help/HtmlHelp.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/VirtualKeys.h"
#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

using F = TFormDesign1;

// Page objects of the example's first page ("Overview").
constexpr int kTitleLabel = 1001;
constexpr int kPumpImage = 1002;
constexpr int kPumpLabel = 1003;
constexpr int kLevelBar = 1004;
constexpr int kModeImages = 1006;
constexpr int kOverviewObjects = 27;

class UndoAndKeys : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    CopyTree("examples/demo/Tarnwell");
    OpenDesigner("Demo");
    ASSERT_EQ(designer->FShownPageName, "OVERVIEW.XML");
    ASSERT_EQ(static_cast<int>(designer->PageObjects().size()), kOverviewObjects);
  }

  TGridWebElement* Object(int uid) const {
    for (TGridWebElement* e : designer->PageObjects())
      if (e->FUid == uid) return e;
    return nullptr;
  }
  // Selects the object with a click, which also gives the surface the keys.
  void Select(int uid) {
    TGridWebElement* object = Object(uid);
    ASSERT_NE(object, nullptr) << uid;
    Driver::Click(object, 2, 2);
    ASSERT_TRUE(object->Selected()) << uid;
    ASSERT_EQ(Driver::KeyTarget(), designer->sbDesign1);
  }
  // Right-clicks the object and chooses an item of the object menu.
  void ChooseFromObjectMenu(int uid, const std::string& caption) {
    TGridWebElement* object = Object(uid);
    ASSERT_NE(object, nullptr) << uid;
    Driver::ChoosePopupItem("ObjectPopup", caption);
    Driver::Click(object, 2, 2, mbRight);
    ASSERT_EQ(designer->ObjectPopup->PopupComponent, object);
  }
  TPoint PositionOf(int uid) const {
    TGridWebElement* object = Object(uid);
    return object != nullptr ? object->GetPosition() : TPoint{-1, -1};
  }
  // The history's entries, oldest first: each entry's object count, "*"
  // after an entry an undo restored.
  std::string Entries() const {
    std::string text;
    for (TmyXmlNode* entry = designer->FUndoTree->firstChild; entry != nullptr; entry = entry->next) {
      if (!text.empty()) text += ' ';
      text += std::to_string(entry->ChildCount()) + (entry->GetAttr("used") == "1" ? "*" : "");
    }
    return text;
  }
  // The objects an entry recorded, as the project writer writes them.
  std::string RecordedObjects(TmyXmlNode* entry) const { return designer->Document().Parser().WriteNode(entry, 0); }
  // The surface's objects as a snapshot now would record them.
  std::string SurfaceObjects() const {
    TmyXmlNode snapshot("Undo");
    WriteSurfaceObjects(*designer->sbDesign1, snapshot, designer->FLangMutations);
    return RecordedObjects(&snapshot);
  }
  // The Delete or right arrow key, or a click of the undo or the redo button.
  void Act(const std::string& action) {
    if (action == "delete") Driver::PressKey(VK_DELETE);
    if (action == "right") Driver::PressKey(VK_RIGHT);
    if (action == "undo") Driver::Click(designer->tbUndo);
    if (action == "redo") Driver::Click(designer->tbRedo);
  }
  std::string Buttons() const {
    return std::string(designer->tbUndo->Enabled() ? "undo" : "-") + " " + (designer->tbRedo->Enabled() ? "redo" : "-");
  }

  // An insertion frame on the surface carrying hidden new labels, with the
  // window's handlers bound as the insert tools bind them.
  TGridInsert* StartInsertion(int count) {
    F& d = *designer;
    std::vector<TGridGraphic*> items;
    for (int i = 0; i < count; ++i) {
      auto* e = new TGridWebElement(d.sbDesign1, &d.FGlobalWebData, d.FLayers, d.FUnitPixels, 0, 0, 1 + 10 * i, 1,
                                    wkLabel, nullptr);
      e->SetParent(d.sbDesign1);
      e->Hide();
      carried.push_back(e);
      items.push_back(e);
    }
    auto* frame = new TGridInsert(d.sbDesign1, d.FUnitPixels, 0, 0, 0, 0, items);
    frame->SetParent(d.sbDesign1);
    frame->FOnBeforeDrop = {&d, &F::InsertCarrierUndo};
    frame->FOnCancel = {&d, &F::CancelInsertTool};
    d.FInsert = frame;
    return frame;
  }
  std::vector<TColor> BackgroundPixels() const {
    TBitmap& bitmap = *designer->imgBg->Picture()->Bitmap();
    std::vector<TColor> pixels;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Canvas->GetPixel(x, y));
    return pixels;
  }
  int SurfaceObjectCount() const {
    int n = 0;
    for (int i = 0; i < designer->sbDesign1->ComponentCount(); ++i)
      n += dynamic_cast<TGridWebElement*>(designer->sbDesign1->Components(i)) != nullptr ? 1 : 0;
    return n;
  }

  std::vector<TGridWebElement*> carried;
};

}  // namespace

TEST_F(UndoAndKeys, BothButtonsStartDisabledWithAnEmptyHistoryOfTheWindow) {
  EXPECT_EQ(Buttons(), "- -");
  ASSERT_NE(designer->FUndoTree, nullptr);
  EXPECT_EQ(designer->FUndoTree->name, "UndoTree");
  EXPECT_EQ(Entries(), "");
  // A window never shown starts so too.
  designer.reset();
  F& fresh = MakeDesigner();
  EXPECT_FALSE(fresh.tbUndo->Enabled());
  EXPECT_FALSE(fresh.tbRedo->Enabled());
}

// A step of the user's and what it leaves: the surface without the deleted
// object or whole, the history's entries and the buttons.
struct TStep {
  const char* action;
  bool deleted;
  const char* entries;
  const char* buttons;
};

TEST_F(UndoAndKeys, UndoRestoresTheStateBeforeADeletionAndRedoReturnsToIt) {
  const std::vector<std::string> whole = SurfaceDump();
  Select(kPumpImage);
  const std::vector<TStep> steps = {
      {"delete", true, "27", "undo -"},   {"undo", false, "27* 26*", "- redo"}, {"undo", false, "27* 26*", "- redo"},
      {"redo", true, "27 26*", "undo -"}, {"redo", true, "27 26*", "undo -"},   {"undo", false, "27* 26*", "- redo"},
  };
  std::vector<std::string> deleted;
  for (const TStep& step : steps) {
    Act(step.action);
    if (deleted.empty()) deleted = SurfaceDump();
    EXPECT_EQ(SurfaceDump(), step.deleted ? deleted : whole) << step.action;
    EXPECT_EQ(Entries(), step.entries) << step.action;
    EXPECT_EQ(Buttons(), step.buttons) << step.action;
  }
  EXPECT_EQ(deleted.size(), whole.size() - 1);
  EXPECT_EQ(designer->FShownPageName, "OVERVIEW.XML");
}

TEST_F(UndoAndKeys, UndoFromThePopupMenuOfTheSurfaceActsAsTheButton) {
  const std::vector<std::string> whole = SurfaceDump();
  Select(kPumpImage);
  Driver::PressKey(VK_DELETE);
  ASSERT_EQ(Object(kPumpImage), nullptr);
  Driver::ChoosePopupItem("ScrollPopup", "Undo");
  designer->ScrollPopup->Popup(0, 0);
  EXPECT_EQ(SurfaceDump(), whole);
  EXPECT_EQ(Buttons(), "- redo");
}

// An arrow move, an undo or a redo, the pump label's position after it (units
// right of the start) and the buttons then.
struct TArrowStep {
  const char* action;
  int right;
  const char* buttons;
};

TEST_F(UndoAndKeys, AnArrowMoveIsRecordedAfterTheMoveSoItsUndoComesOneStepLater) {
  Select(kPumpLabel);
  const TPoint start = PositionOf(kPumpLabel);
  const std::vector<TArrowStep> steps = {
      {"right", 1, "undo -"},
      {"right", 2, "undo -"},
      // The newest snapshot holds the state after the second move.
      {"undo", 2, "undo redo"},
      {"undo", 1, "- redo"},
      {"undo", 1, "- redo"},
      {"redo", 2, "undo redo"},
      {"redo", 2, "undo -"},
  };
  for (const TArrowStep& step : steps) {
    Act(step.action);
    EXPECT_EQ(PositionOf(kPumpLabel), (TPoint{start.x + step.right, start.y})) << step.action << " " << step.right;
    EXPECT_EQ(Buttons(), step.buttons) << step.action << " " << step.right;
  }
}

TEST_F(UndoAndKeys, SeventeenEditsKeepTheNewestSixteen) {
  Select(kPumpLabel);
  const int startX = PositionOf(kPumpLabel).x;
  std::vector<std::string> afterMove;
  for (int i = 0; i < 17; ++i) {
    Driver::PressKey(VK_RIGHT);
    afterMove.push_back(SurfaceObjects());
  }
  EXPECT_EQ(PositionOf(kPumpLabel).x, startX + 17);
  ASSERT_EQ(designer->FUndoTree->ChildCount(), 16);
  // The first move's snapshot is gone; the oldest is the second's.
  EXPECT_EQ(RecordedObjects(designer->FUndoTree->firstChild), afterMove[1]);
  EXPECT_EQ(RecordedObjects(designer->FUndoTree->lastChild), afterMove[16]);
  EXPECT_NE(afterMove[0], afterMove[1]);
}

TEST_F(UndoAndKeys, AnEditAfterAnUndoDropsTheRedoSteps) {
  Select(kPumpImage);
  Driver::PressKey(VK_DELETE);
  Driver::Click(designer->tbUndo);
  ASSERT_EQ(Buttons(), "- redo");
  Select(kPumpLabel);
  Driver::PressKey(VK_DELETE);
  // The restored and the undone state both lay ahead: one entry remains.
  EXPECT_EQ(Entries(), "27");
  EXPECT_EQ(Buttons(), "undo -");
  Driver::Click(designer->tbRedo);
  EXPECT_NE(Object(kPumpImage), nullptr);
  EXPECT_EQ(Object(kPumpLabel), nullptr);
}

TEST_F(UndoAndKeys, ChangingThePageEmptiesTheHistoryAndDisablesBothButtons) {
  Select(kPumpImage);
  Driver::PressKey(VK_DELETE);
  Select(kPumpLabel);
  Driver::PressKey(VK_DELETE);
  Driver::Click(designer->tbUndo);
  ASSERT_EQ(Buttons(), "undo redo");
  ClickNode(Node("Settings"));
  EXPECT_EQ(designer->FShownPageName, "SETTINGS.XML");
  EXPECT_EQ(Entries(), "");
  EXPECT_EQ(Buttons(), "- -");
  // Undo from the menu on the new page has nothing to go back to.
  const std::vector<std::string> settings = SurfaceDump();
  Driver::ChoosePopupItem("ScrollPopup", "Undo");
  designer->ScrollPopup->Popup(0, 0);
  EXPECT_EQ(SurfaceDump(), settings);
  EXPECT_EQ(Buttons(), "- -");
}

TEST_F(UndoAndKeys, ARestoreKeepsTheShownPageNameAndItsBackground) {
  const std::vector<TColor> before = BackgroundPixels();
  ASSERT_FALSE(before.empty());
  const int width = designer->imgBg->Picture()->Bitmap()->Width();
  Select(kPumpImage);
  Driver::PressKey(VK_DELETE);
  Driver::Click(designer->tbUndo);
  EXPECT_EQ(designer->FShownPageName, "OVERVIEW.XML");
  EXPECT_EQ(designer->imgBg->Picture()->Bitmap()->Width(), width);
  EXPECT_TRUE(BackgroundPixels() == before);
}

TEST_F(UndoAndKeys, AnUndoRestoresTheChangeStampOfItsSnapshot) {
  const int loaded = designer->FCurrentUcid;
  Select(kPumpImage);
  Driver::PressKey(VK_DELETE);
  EXPECT_EQ(designer->FUndoTree->firstChild->GetAttrInt("ucid", -1), loaded);
  EXPECT_GT(designer->FCurrentUcid, 1000000000);  // the time of the edit
  Driver::Click(designer->tbUndo);
  EXPECT_EQ(designer->FCurrentUcid, loaded);
}

class CommonPageSettings : public UndoAndKeys, public ::testing::WithParamInterface<int> {};

// The command shows the page again when its dialog closes: a move made
// before it is kept, whether the dialog ends with OK or Cancel.
TEST_P(CommonPageSettings, KeepAnUnstoredMoveOfTheShownPage) {
  Select(kPumpLabel);
  const TPoint start = PositionOf(kPumpLabel);
  Driver::PressKey(VK_RIGHT);
  int shown = 0;
  Driver::OnModal("TFormPageProperties", [&shown, answer = GetParam()](TCustomForm&) { return ++shown, answer; });
  const TRect label = Node("Overview")->DisplayRect(true);
  Driver::ChoosePopupItem("TreePopup", "Properties of all pages in the group ...");
  Driver::Click(designer->tvPageList, label.Left + 2, label.Top + 2, mbRight);
  ASSERT_EQ(shown, 1);
  ASSERT_EQ(designer->FShownPageName, "OVERVIEW.XML");
  EXPECT_EQ(PositionOf(kPumpLabel), (TPoint{start.x + 1, start.y}));
}

INSTANTIATE_TEST_SUITE_P(OkAndCancel, CommonPageSettings, ::testing::Values(int{mrOk}, int{mrCancel}));

class DeleteSelected : public UndoAndKeys, public ::testing::WithParamInterface<const char*> {};

TEST_P(DeleteSelected, RemovesTheObjectAfterOneSnapshotAndMarksTheProject) {
  ASSERT_FALSE(designer->Document().Modified());
  ASSERT_FALSE(designer->btnSave2->Enabled());
  const std::string whole = SurfaceObjects();
  Select(kPumpImage);
  if (std::string(GetParam()) == "key")
    Driver::PressKey(VK_DELETE);
  else
    ChooseFromObjectMenu(kPumpImage, "Delete");
  EXPECT_EQ(Object(kPumpImage), nullptr);
  EXPECT_EQ(static_cast<int>(designer->PageObjects().size()), kOverviewObjects - 1);
  // The snapshot holds the page before the deletion.
  EXPECT_EQ(RecordedObjects(designer->FUndoTree->firstChild), whole);
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_TRUE(designer->btnSave2->Enabled());
}

INSTANTIATE_TEST_SUITE_P(ByKeyAndMenu, DeleteSelected, ::testing::Values("key", "menu"));

TEST_F(UndoAndKeys, DeleteSkipsSelectedObjectsOfAFrozenLayer) {
  Select(kPumpImage);
  Object(kPumpLabel)->Select();
  designer->FLayers[0].Frozen = true;
  Object(kPumpImage)->FLayer = 1;
  Driver::PressKey(VK_DELETE);
  EXPECT_EQ(Object(kPumpImage), nullptr);
  EXPECT_NE(Object(kPumpLabel), nullptr);
  EXPECT_EQ(Entries(), "27");
}

TEST_F(UndoAndKeys, EscCancelsTheInsertionAndTheWindowLetsGoOfTheFrame) {
  Select(kPumpLabel);
  TGridInsert* frame = StartInsertion(2);
  ASSERT_EQ(SurfaceObjectCount(), kOverviewObjects + 2);
  Driver::PressKey(VK_ESCAPE);
  EXPECT_EQ(designer->FInsert, nullptr);
  EXPECT_EQ(frame->Parent(), nullptr);
  EXPECT_EQ(SurfaceObjectCount(), kOverviewObjects);
  EXPECT_EQ(Entries(), "");
  // Later keys and a page change find no frame.
  Driver::PressKey(VK_ESCAPE);
  Driver::PressKey(VK_SPACE);
  ClickNode(Node("Settings"));
  EXPECT_EQ(designer->FShownPageName, "SETTINGS.XML");
}

TEST_F(UndoAndKeys, SpaceDropsTheInsertionAfterOneSnapshotOfThePageBeforeIt) {
  Select(kPumpLabel);
  const std::vector<std::string> before = SurfaceDump();
  Mouse->SetCursorPos(designer->sbDesign1->ClientToScreen({400, 300}));
  StartInsertion(1);
  Driver::PressKey(VK_SPACE);
  EXPECT_TRUE(carried[0]->Visible());
  EXPECT_TRUE(carried[0]->Selected());
  EXPECT_EQ(static_cast<int>(designer->PageObjects().size()), kOverviewObjects + 1);
  EXPECT_EQ(Entries(), "27");
  // Undo takes the dropped object away again.
  Driver::Click(designer->tbUndo);
  EXPECT_EQ(SurfaceDump(), before);
}

TEST_F(UndoAndKeys, AnUndoWhileAnInsertionIsPendingCancelsItFirst) {
  const std::vector<std::string> whole = SurfaceDump();
  Select(kPumpImage);
  Driver::PressKey(VK_DELETE);
  TGridInsert* frame = StartInsertion(2);
  Driver::Click(designer->tbUndo);
  EXPECT_EQ(designer->FInsert, nullptr);
  EXPECT_EQ(frame->Parent(), nullptr);
  EXPECT_TRUE(frame->Items().empty());
  EXPECT_EQ(SurfaceObjectCount(), kOverviewObjects);
  EXPECT_EQ(SurfaceDump(), whole);
  // Nothing is left that a key could drop or cancel.
  Driver::Focus(designer->sbDesign1);
  Driver::PressKey(VK_ESCAPE);
  EXPECT_EQ(SurfaceObjectCount(), kOverviewObjects);
}

// An object of the page and the property bridge of its kind.
struct TBridgeCase {
  int uid;
  void (F::*bridge)(TObject*);
  const char* name;
};

void PrintTo(const TBridgeCase& c, std::ostream* os) { *os << c.name; }

class PropertiesItem : public UndoAndKeys, public ::testing::WithParamInterface<TBridgeCase> {};

TEST_P(PropertiesItem, OpensTheBridgeOfTheObjectsKindAndClearsItsDialogFlag) {
  F& d = *designer;
  const TBridgeCase& c = GetParam();
  TGridWebElement* object = Object(c.uid);
  ASSERT_NE(object, nullptr);
  const TNotifyEvent bridge = object->OnDblClick;
  ASSERT_TRUE(bridge == (TNotifyEvent{&d, c.bridge}));
  // A wrapper records the call and marks the object as a property dialog
  // does, then runs the bridge.
  std::vector<TObject*> calls;
  object->OnDblClick = [&](TObject* sender) {
    calls.push_back(sender);
    object->FIgnoreMouseDown = true;
    bridge(sender);
  };
  ChooseFromObjectMenu(c.uid, "Properties ...");
  EXPECT_EQ(calls, std::vector<TObject*>{object});
  EXPECT_FALSE(object->FIgnoreMouseDown);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PropertiesItem,
                         ::testing::Values(TBridgeCase{kTitleLabel, &F::EditLabelObject, "label"},
                                           TBridgeCase{kLevelBar, &F::EditBlockObject, "bar"},
                                           TBridgeCase{kModeImages, &F::EditMultiImageObject, "multiImage"}),
                         [](const ::testing::TestParamInfo<TBridgeCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(UndoAndKeys, PropertiesWithoutAPageObjectDoNothing) {
  F& d = *designer;
  int calls = 0;
  for (TGridWebElement* e : d.PageObjects()) e->OnDblClick = [&](TObject*) { ++calls; };
  d.ObjectPopup->PopupComponent = d.sbDesign1;
  d.Edit1->Click();
  d.ObjectPopup->PopupComponent = nullptr;
  d.Edit1->Click();
  EXPECT_EQ(calls, 0);
}

TEST_F(UndoAndKeys, F1OnTheSurfaceOpensTheHelpOfTarnwell) {
  folder.Write("bin/halvex", "");
  folder.Write("HELP/ENU_Tarnwell.chm", "ITSF");
  SetHostExeName(folder.System("bin\\halvex"));
  ClearHtmlHelpRequests();
  Select(kPumpLabel);
  Driver::PressKey(VK_F1);
  SetHostExeName("");
  const std::vector<HtmlHelpRequest> requests = HtmlHelpRequests();
  ClearHtmlHelpRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].command, HH_DISPLAY_TOPIC);
  EXPECT_NE(requests[0].file.find("ENU_Tarnwell.chm"), std::string::npos) << requests[0].file;
  // The key changed nothing on the page.
  EXPECT_EQ(Entries(), "");
}
