// The mouse on the design surface, driven as a user would: clearing the
// selection, the rubber band and its threshold, objects it may never take,
// Shift clicks, moves and resizes with one undo snapshot each, the status
// texts, the scroll range and "Align to Grid".

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "grid/GridGraphic.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/designer/mouse/MouseTestSupport.h"

using namespace mousetest;

namespace {

class SurfaceMouse : public MouseTest {
 protected:
  // Three blocks: 1 and 2 side by side in a row, 3 below them.
  void SetUp() override {
    MouseTest::SetUp();
    Load(Block(1, 40, 40, 40, 20) + Block(2, 120, 40, 40, 20) + Block(3, 40, 120, 40, 20));
  }
  TGridSelect* Band() const {
    for (int i = 0; i < designer->sbDesign1->ControlCount(); ++i)
      if (auto* band = dynamic_cast<TGridSelect*>(designer->sbDesign1->Controls(i))) return band;
    return nullptr;
  }
  void SelectAll() {
    for (int uid : {1, 2, 3}) Object(uid)->Select();
  }
};

TEST_F(SurfaceMouse, ALeftPressOnEmptySurfaceDeselectsEverything) {
  SelectAll();
  Driver::Click(designer->sbDesign1, 300, 300);
  EXPECT_EQ(Selected(), "");
  EXPECT_EQ(Driver::KeyTarget(), designer->sbDesign1);
}

TEST_F(SurfaceMouse, ARightClickKeepsTheSelectionAndOpensTheSurfaceMenu) {
  SelectAll();
  Driver::ResetPopups();
  Driver::Click(designer->sbDesign1, 300, 300, mbRight);
  EXPECT_EQ(Selected(), "1 2 3");
  const std::vector<Driver::PopupRecord> popups = Driver::PopupLog();
  ASSERT_FALSE(popups.empty());
  EXPECT_EQ(popups.front().menuName, "ScrollPopup");
  const TPoint screen = designer->sbDesign1->ClientToScreen({300, 300});
  EXPECT_EQ(popups.front().screenPos.x, screen.x);
  EXPECT_EQ(popups.front().screenPos.y, screen.y);
}

// A drag from (200, 200) by a vector: whether a band exists after the move.
struct TThreshold {
  int dx;
  int dy;
  bool band;
};

TEST_F(SurfaceMouse, OnlyADragOfMoreThanOnePixelStartsABand) {
  const std::vector<TThreshold> cases = {
      {1, 1, false}, {-1, -1, false}, {0, 0, false}, {2, 0, true}, {0, 2, true}, {-2, 1, true}, {1, -2, true},
  };
  for (const TThreshold& c : cases) {
    TScrollBox* box = designer->sbDesign1;
    Driver::MouseDown(box, 200, 200);
    Driver::MouseMove(box, 200 + c.dx, 200 + c.dy, ssLeft);
    EXPECT_EQ(Band() != nullptr, c.band) << c.dx << "," << c.dy;
    Driver::MouseUp(box, 200 + c.dx, 200 + c.dy);
    EXPECT_EQ(Band(), nullptr) << "the release frees the band";
  }
}

TEST_F(SurfaceMouse, NoBandStartsInTheLiveView) {
  designer->btnDebug->SetDown(true);
  Driver::MouseDown(designer->sbDesign1, 10, 10);
  Driver::MouseMove(designer->sbDesign1, 300, 300, ssLeft);
  EXPECT_EQ(Band(), nullptr);
  Driver::MouseUp(designer->sbDesign1, 300, 300);
  designer->btnDebug->SetDown(false);
  EXPECT_EQ(Selected(), "");
}

// A band between two points and what it selects.
struct TBandCase {
  const char* name;
  int x0, y0, x1, y1;
  const char* selected;
};

TEST_F(SurfaceMouse, ABandToTheRightEnclosesAndOneToTheLeftTouches) {
  const std::vector<TBandCase> cases = {
      {"right, encloses 1 only", 30, 30, 100, 70, "1"},
      {"right, cuts 1 and 2: nothing", 60, 30, 140, 70, ""},
      {"left, touches 1 and 2", 140, 30, 60, 70, "1 2"},
      {"left, touching an edge counts", 170, 60, 160, 150, "2"},
      {"a band without width encloses nothing", 100, 30, 100, 150, ""},
      {"right, upwards encloses 1 and 3", 30, 150, 90, 30, "1 3"},
      {"left, upwards touches all three", 125, 130, 50, 50, "1 2 3"},
  };
  for (const TBandCase& c : cases) {
    Drag(c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(Selected(), c.selected) << c.name;
  }
}

TEST_F(SurfaceMouse, ABandSkipsObjectsOfHiddenOrFrozenLayersAndOfALockedGroup) {
  Load(Block(1, 40, 40, 20, 20) + Block(2, 80, 40, 20, 20, 2) + Block(3, 120, 40, 20, 20, 3));
  designer->FLayers[2].Visible = false;
  designer->FLayers[3].Frozen = true;
  Drag(300, 300, 10, 10);
  EXPECT_EQ(Selected(), "1");
  designer->FGlobalWebData.GroupLocked = true;
  Drag(300, 300, 10, 10);
  EXPECT_EQ(Selected(), "");
}

TEST_F(SurfaceMouse, ShiftClicksAddAndRemoveObjectsOfTheSelection) {
  Driver::Click(Object(1), 5, 5);
  EXPECT_EQ(Selected(), "1");
  Driver::Click(Object(2), 5, 5, mbLeft, ssShift);
  EXPECT_EQ(Selected(), "1 2");
  Driver::Click(Object(1), 5, 5, mbLeft, ssShift);
  EXPECT_EQ(Selected(), "2");
  Driver::Click(Object(3), 5, 5);
  EXPECT_EQ(Selected(), "3");
  EXPECT_EQ(Entries(), 0) << "clicks record nothing";
}

TEST_F(SurfaceMouse, ADragMovesTheSelectionWithOneUndoSnapshot) {
  Driver::Click(Object(1), 5, 5);
  Driver::Click(Object(3), 5, 5, mbLeft, ssShift);
  Drag(45, 45, 75, 55);
  EXPECT_EQ(Dump(), "1 71,51 40x20\n2 121,41 40x20\n3 71,131 40x20\n");
  EXPECT_EQ(Entries(), 1);
  // The snapshot holds the state before the drag.
  designer->tbUndoClick(nullptr);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 40x20\n3 41,121 40x20\n");
}

TEST_F(SurfaceMouse, ADragMovesInWholeGridStepsAndNeverAboveOrLeftOfThePage) {
  designer->FGridX = designer->FGridY = 5;
  Driver::Click(Object(2), 5, 5);
  // 4 pixels: less than a step, nothing moves and nothing is recorded.
  Drag(125, 45, 129, 49);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 40x20\n3 41,121 40x20\n");
  EXPECT_EQ(Entries(), 0);
  // 200 pixels up would leave the page: only the horizontal steps count.
  Drag(125, 45, 137, -155);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 131,41 40x20\n3 41,121 40x20\n");
  EXPECT_EQ(Entries(), 1);
}

TEST_F(SurfaceMouse, AShiftDragDoesNotMove) {
  Driver::Click(Object(1), 5, 5);
  Drag(45, 45, 85, 85, ssShift);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 40x20\n3 41,121 40x20\n");
  EXPECT_EQ(Entries(), 0);
}

// The second press of a double click comes after the dialog it opened and
// starts no move.
TEST_F(SurfaceMouse, ADoubleClickOpensThePropertiesOnceAndMovesNothing) {
  int dialogs = 0;
  Object(1)->OnDblClick = [&dialogs](TObject*) { ++dialogs; };
  Driver::MouseMove(designer->sbDesign1, 45, 45);
  Driver::DoubleClick(Object(1), 5, 5);
  Driver::MouseMove(designer->sbDesign1, 95, 95, ssLeft);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 40x20\n3 41,121 40x20\n");
  EXPECT_EQ(Entries(), 0);
}

TEST_F(SurfaceMouse, InTheLiveViewObjectsNeitherMoveNorOpenTheirProperties) {
  int dialogs = 0;
  Object(1)->OnDblClick = [&dialogs](TObject*) { ++dialogs; };
  designer->FLiveMode = true;
  Drag(45, 45, 95, 95);
  Driver::DoubleClick(Object(1), 5, 5);
  designer->FLiveMode = false;
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 40x20\n3 41,121 40x20\n");
  EXPECT_EQ(dialogs, 0);
  EXPECT_EQ(Entries(), 0);
}

TEST_F(SurfaceMouse, TheCornerHandleResizesInGridStepsWithOneUndoSnapshot) {
  designer->FGridX = designer->FGridY = 5;
  Driver::Click(Object(1), 5, 5);
  // The corner handle lies in the last 8 pixels of both edges.
  Driver::MouseDown(designer->sbDesign1, 77, 57);
  Driver::MouseMove(designer->sbDesign1, 90, 63, ssLeft);
  Driver::MouseMove(designer->sbDesign1, 101, 72, ssLeft);
  Driver::MouseUp(designer->sbDesign1, 101, 72);
  EXPECT_EQ(Dump(), "1 41,41 65x35\n2 121,41 40x20\n3 41,121 40x20\n");
  EXPECT_EQ(Entries(), 1);
  designer->tbUndoClick(nullptr);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 40x20\n3 41,121 40x20\n");
}

TEST_F(SurfaceMouse, TheRightHandleChangesOnlyTheWidth) {
  Driver::Click(Object(2), 5, 5);
  Drag(157, 50, 180, 90);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 60x20\n3 41,121 40x20\n");
  EXPECT_EQ(Entries(), 1);
  // The scroll range covers the new size.
  EXPECT_EQ(designer->lblDummy->Left(), 180);
}

TEST_F(SurfaceMouse, AVariableDroppedWithCtrlBecomesTheVisibilityVariable) {
  Object(1)->FDroppedVariable = "Pump.Run";
  Driver::MouseMove(Object(1), 5, 5, ssCtrl);
  EXPECT_EQ(Object(1)->GetVisVariable(), "Pump.Run");
  EXPECT_EQ(Object(1)->GetVariable(), "");
  Object(2)->FDroppedVariable = "Tank.Level";
  Driver::MouseMove(Object(2), 5, 5);
  EXPECT_EQ(Object(2)->GetVariable(), "Tank.Level");
  EXPECT_EQ(Object(2)->FDroppedVariable, "");
}

TEST_F(SurfaceMouse, TheStatusBarShowsPageCoordinatesAndTheDragVector) {
  Driver::MouseMove(designer->sbDesign1, 300, 210);
  EXPECT_EQ(Status(), "x: 300 y: 210");
  Driver::MouseDown(designer->sbDesign1, 300, 210);
  Driver::MouseMove(designer->sbDesign1, 290, 250, ssLeft);
  EXPECT_EQ(Status(), "x: 300 y: 210 (-10x40)");
  Driver::MouseUp(designer->sbDesign1, 290, 250);
}

TEST_F(SurfaceMouse, OverTheBackgroundPictureTheStatusEqualsTheBareSurfaceAtTheSamePagePoint) {
  Load(Block(1, 40, 40, 40, 20) + Block(9, 2000, 1500, 40, 20));
  designer->UpdateScrollExtent();
  designer->sbDesign1->HorzScrollBar()->SetPosition(100);
  designer->sbDesign1->VertScrollBar()->SetPosition(60);
  ASSERT_EQ(designer->sbDesign1->HorzScrollBar()->Position(), 100);
  designer->imgBg->Show();
  // The picture covers the page's top left: client (50, 30) is page (150, 90).
  ASSERT_EQ(Driver::MouseMove(designer->sbDesign1, 50, 30), designer->imgBg);
  EXPECT_EQ(Status(), "x: 150 y: 90");
  designer->imgBg->Hide();
  ASSERT_EQ(Driver::MouseMove(designer->sbDesign1, 50, 30), designer->sbDesign1);
  EXPECT_EQ(Status(), "x: 150 y: 90");
}

// An object's status text by which of its variables are set.
struct TObjectStatus {
  const char* variable;
  const char* visVariable;
  const char* text;
};

TEST_F(SurfaceMouse, OverAnObjectTheStatusDescribesIt) {
  const std::vector<TObjectStatus> cases = {
      {"", "", "x: 40 y: 40 (40x20) Rectangle"},
      {"Tank.Level", "", "x: 40 y: 40 (40x20) Rectangle - Tank.Level : INT"},
      {"", "Pump.Run", "x: 40 y: 40 (40x20) Rectangle - (Pump.Run : BOOL)"},
      {"Tank.Level", "Pump.Run", "x: 40 y: 40 (40x20) Rectangle - Tank.Level : INT - (Pump.Run : BOOL)"},
  };
  for (const TObjectStatus& c : cases) {
    TGridWebElement* object = Object(1);
    object->SetVariable(c.variable);
    object->SetVisVariable(c.visVariable);
    object->FVarInfo.typeName = "INT";
    object->FVisInfo.typeName = "BOOL";
    Driver::MouseMove(object, 3, 3);
    EXPECT_EQ(Status(), c.text);
  }
}

TEST_F(SurfaceMouse, TheScrollRangeGrowsWithAMovedObjectAndDoesNotShrink) {
  designer->UpdateScrollExtent();
  EXPECT_EQ(designer->lblDummy->Left(), 160);
  EXPECT_EQ(designer->lblDummy->Top(), 140);
  Driver::Click(Object(3), 5, 5);
  Drag(45, 125, 545, 425);
  EXPECT_EQ(designer->lblDummy->Left(), 580);
  EXPECT_EQ(designer->lblDummy->Top(), 440);
  Drag(545, 425, 45, 125);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 40x20\n3 41,121 40x20\n");
  EXPECT_EQ(designer->lblDummy->Left(), 580);
  EXPECT_EQ(designer->lblDummy->Top(), 440);
}

TEST_F(SurfaceMouse, AlignToGridSnapsTheSelectionAfterOneSnapshot) {
  Load(Block(1, 42, 43, 40, 20) + Block(2, 118, 47, 40, 20) + Block(3, 41, 121, 40, 20));
  designer->FGridX = designer->FGridY = 5;
  // Nothing selected: a snapshot, nothing moves.
  designer->AlignToGrid1->Click();
  EXPECT_EQ(Entries(), 1);
  EXPECT_EQ(Dump(), "1 43,44 40x20\n2 119,48 40x20\n3 42,122 40x20\n");
  Object(1)->Select();
  Object(2)->Select();
  designer->AlignToGrid1->Click();
  EXPECT_EQ(Entries(), 2);
  EXPECT_EQ(Dump(), "1 46,46 40x20\n2 121,51 40x20\n3 42,122 40x20\n");
}

TEST_F(SurfaceMouse, PicturesOfASelectionAndARubberBand) {
  Driver::Click(Object(1), 5, 5);
  Driver::Click(Object(3), 5, 5, mbLeft, ssShift);
  SavePng("selection");
  // Dragged to the right from the empty surface over objects 1 and 2.
  Driver::MouseDown(designer->sbDesign1, 20, 20);
  Driver::MouseMove(designer->sbDesign1, 110, 90, ssLeft);
  Driver::MouseMove(designer->sbDesign1, 110, 90, ssLeft);
  ASSERT_NE(Band(), nullptr);
  SavePng("rubber-band");
  Driver::MouseUp(designer->sbDesign1, 110, 90);
  EXPECT_EQ(Selected(), "1");
}

}  // namespace
