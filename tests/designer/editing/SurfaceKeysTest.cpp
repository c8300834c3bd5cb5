// The keys of the design surface, pressed through the input driver on the
// focused surface: Delete, the insertion keys, the letter moves, the arrow
// moves with their undo snapshot, the z-order characters and the live view.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "designer/SurfaceKeys.h"
#include "designer/SurfaceObjects.h"
#include "grid/GridInsert.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/VirtualKeys.h"
#include "tests/designer/editing/EditingTestSupport.h"

using namespace editingtest;

namespace {

class SurfaceKeysTest : public EditingTest {
 protected:
  SurfaceKeysTest() : keys_(Context()) {}

  void SetUp() override {
    keys_.Attach();
    LoadObjects(Label(1, 20, 20, "A") + Label(2, 40, 20, "B", 3));
    Driver::Focus(box());
    ASSERT_EQ(Driver::KeyTarget(), box());
  }

  TSurfaceKeysContext Context() {
    TSurfaceKeysContext context;
    context.surface = box();
    context.liveView = &designer_->FLiveMode;
    context.insertion = [this] { return frame_; };
    context.pushUndo = [this] { history_.PushUndo(); };
    context.sendBackward = [this](TObject* sender) { zOrder_.push_back(Who(sender) + " backward"); };
    context.bringForward = [this](TObject* sender) { zOrder_.push_back(Who(sender) + " forward"); };
    return context;
  }
  std::string Who(TObject* sender) const { return sender == box() ? "surface" : "other"; }

  TGridWebElement* A() const { return ObjectByUid(1); }
  TGridWebElement* B() const { return ObjectByUid(2); }
  std::string Captions() const {
    std::string text;
    for (TGridWebElement* o : Objects()) text += o->GetCaption();
    return text;
  }

  // An insertion frame on the surface carrying new hidden labels placed
  // relative to the group, as a tool or a paste makes it.
  void StartInsertion(int count) {
    std::vector<TGridGraphic*> items;
    for (int i = 0; i < count; ++i) {
      TFormDesign1& d = designer();
      auto* e = new TGridWebElement(box(), &d.FGlobalWebData, d.FLayers, 8, 0, 0, 1 + 4 * i, 1, wkLabel, nullptr);
      e->SetParent(box());
      e->Hide();
      carried_.push_back(e);
      items.push_back(e);
    }
    frame_ = new TGridInsert(box(), 8, 0, 0, 0, 0, items);
    frame_->SetParent(box());
    int* one = &one_;
    frame_->SetExtent(one, one);
    frame_->FOnCancel = [this](TObject*) {
      events_.push_back("cancel");
      frame_ = nullptr;
    };
    frame_->FOnDropped = [this](TObject*) { events_.push_back("dropped"); };
  }

  TSurfaceKeys keys_;
  TGridInsert* frame_ = nullptr;
  std::vector<TGridWebElement*> carried_;
  std::vector<std::string> events_;
  std::vector<std::string> zOrder_;
  int one_ = 1;
};

}  // namespace

// What keeps the second of two selected objects when Delete is pressed.
struct DeleteCase {
  const char* name;
  void (*keep)(TFormDesign1& designer);
  const char* left;
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class DeleteKeyTest : public SurfaceKeysTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteKeyTest, RemovesOnlyObjectsThatMayBeSelectedAfterOneSnapshot) {
  A()->Select();
  B()->Select();
  ASSERT_TRUE(A()->Selected() && B()->Selected());
  GetParam().keep(designer());
  Driver::PressKey(VK_DELETE);
  EXPECT_EQ(Captions(), GetParam().left);
  ASSERT_EQ(history_.Count(), 1);
  // The snapshot holds both objects: undo brings the deleted one back.
  EXPECT_EQ(history_.Tree()->firstChild->ChildCount(), 2);
  history_.UndoStep();
  EXPECT_EQ(Captions(), "AB");
}

INSTANTIATE_TEST_SUITE_P(
    Keeps, DeleteKeyTest,
    ::testing::Values(DeleteCase{"nothing", [](TFormDesign1&) {}, ""},
                      DeleteCase{"frozenLayer", [](TFormDesign1& d) { d.FLayers[3].Frozen = true; }, "B"},
                      DeleteCase{"hiddenLayer", [](TFormDesign1& d) { d.FLayers[3].Visible = false; }, "B"},
                      DeleteCase{"lockedGroup", [](TFormDesign1& d) { d.FGlobalWebData.GroupLocked = true; }, "AB"}),
    [](const ::testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.name); });

TEST_F(SurfaceKeysTest, DeleteWithNothingSelectedStillTakesASnapshot) {
  Driver::PressKey(VK_DELETE);
  EXPECT_EQ(Captions(), "AB");
  EXPECT_EQ(history_.Count(), 1);
}

TEST_F(SurfaceKeysTest, EscCancelsTheInsertionAndRemovesTheCarriedObjects) {
  StartInsertion(2);
  ASSERT_EQ(Objects().size(), 4u);
  TGridInsert* frame = frame_;
  Driver::PressKey(VK_ESCAPE);
  EXPECT_EQ(Captions(), "AB");
  EXPECT_EQ(Objects().size(), 2u);
  EXPECT_EQ(frame->Parent(), nullptr);
  EXPECT_EQ(events_, std::vector<std::string>{"cancel"});
  EXPECT_EQ(history_.Count(), 0);
}

TEST_F(SurfaceKeysTest, KeysOtherThanEscEnterAndSpaceLeaveTheInsertion) {
  StartInsertion(1);
  for (WORD key : {WORD{'X'}, WORD{VK_TAB}, WORD{VK_F2}}) Driver::PressKey(key, 0, box());
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(frame_->Parent(), box());
  EXPECT_FALSE(carried_[0]->Visible());
}

class DropKeyTest : public SurfaceKeysTest, public ::testing::WithParamInterface<WORD> {};

TEST_P(DropKeyTest, DropsTheInsertionUnderTheMouse) {
  StartInsertion(1);
  ASSERT_EQ(frame_->Left(), 0);
  // The mouse rests over the surface; the frame has not followed it.
  const TPoint mouse{200, 120};
  Mouse->SetCursorPos(box()->ClientToScreen(mouse));
  // One carried object: the mouse holds the frame at its middle, on the grid.
  const int left = (mouse.x - (frame_->Width() + 1) / 2 + 4) / 8 * 8;
  const int top = (mouse.y - (frame_->Height() + 1) / 2 + 4) / 8 * 8;
  Driver::PressKey(GetParam());
  EXPECT_EQ(events_, std::vector<std::string>{"dropped"});
  TGridWebElement* e = carried_[0];
  EXPECT_EQ(e->GetPosition(), (TPoint{1 + left / 8, 1 + top / 8}));
  EXPECT_TRUE(e->Visible());
  EXPECT_TRUE(e->Selected());
  EXPECT_EQ(frame_->Parent(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(EnterAndSpace, DropKeyTest, ::testing::Values(WORD{VK_RETURN}, WORD{VK_SPACE}));

struct LetterCase {
  WORD key;
  TShiftState shift;
  int dx;
  int dy;
};

void PrintTo(const LetterCase& c, std::ostream* os) {
  *os << (c.shift & ssShift ? "Shift+" : "") << static_cast<char>(c.key);
}

class LetterKeyTest : public SurfaceKeysTest, public ::testing::WithParamInterface<LetterCase> {};

TEST_P(LetterKeyTest, UpperCaseLettersMoveTheSelectionWithoutASnapshot) {
  A()->Select();
  const LetterCase& c = GetParam();
  Driver::PressKey(c.key, c.shift);
  EXPECT_EQ(A()->GetPosition(), (TPoint{20 + c.dx, 20 + c.dy}));
  EXPECT_EQ(B()->GetPosition(), (TPoint{40, 20}));
  EXPECT_EQ(history_.Count(), 0);
  EXPECT_TRUE(zOrder_.empty());
}

INSTANTIATE_TEST_SUITE_P(Letters, LetterKeyTest,
                         ::testing::Values(LetterCase{'A', ssShift, -1, 0}, LetterCase{'D', ssShift, 1, 0},
                                           LetterCase{'S', ssShift, 0, 1}, LetterCase{'W', ssShift, 0, -1},
                                           LetterCase{'A', 0, 0, 0}, LetterCase{'D', 0, 0, 0}, LetterCase{'S', 0, 0, 0},
                                           LetterCase{'W', 0, 0, 0}, LetterCase{'Q', ssShift, 0, 0}));

struct ArrowCase {
  WORD key;
  int dx;
  int dy;
};

void PrintTo(const ArrowCase& c, std::ostream* os) { *os << "arrow key " << c.key; }

class ArrowKeyTest : public SurfaceKeysTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(ArrowKeyTest, MovesOnceOnReleaseThenTakesOneSnapshotOfTheMovedState) {
  A()->Select();
  const ArrowCase& c = GetParam();
  Driver::KeyDown(c.key);
  EXPECT_EQ(A()->GetPosition(), (TPoint{20, 20}));
  EXPECT_EQ(history_.Count(), 0);
  Driver::KeyUp(c.key);
  EXPECT_EQ(A()->GetPosition(), (TPoint{20 + c.dx, 20 + c.dy}));
  EXPECT_EQ(B()->GetPosition(), (TPoint{40, 20}));
  ASSERT_EQ(history_.Count(), 1);
  EXPECT_EQ(EntryText(history_.Tree()->firstChild), SurfaceText());
  // A whole press moves once more.
  Driver::PressKey(c.key);
  EXPECT_EQ(A()->GetPosition(), (TPoint{20 + 2 * c.dx, 20 + 2 * c.dy}));
  EXPECT_EQ(history_.Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Arrows, ArrowKeyTest,
                         ::testing::Values(ArrowCase{VK_LEFT, -1, 0}, ArrowCase{VK_UP, 0, -1},
                                           ArrowCase{VK_RIGHT, 1, 0}, ArrowCase{VK_DOWN, 0, 1}));

TEST_F(SurfaceKeysTest, CtrlArrowDoesNothing) {
  A()->Select();
  const std::string before = Dump();
  for (WORD key : {WORD{VK_LEFT}, WORD{VK_UP}, WORD{VK_RIGHT}, WORD{VK_DOWN}}) Driver::PressKey(key, ssCtrl);
  EXPECT_EQ(Dump(), before);
  EXPECT_EQ(history_.Count(), 0);
}

TEST_F(SurfaceKeysTest, AnArrowOnAnEmptySurfaceTakesAnEmptySnapshot) {
  LoadObjects("");
  Driver::PressKey(VK_RIGHT);
  ASSERT_EQ(history_.Count(), 1);
  EXPECT_EQ(history_.Tree()->firstChild->ChildCount(), 0);
}

TEST_F(SurfaceKeysTest, CtrlDAndCtrlUChangeTheZOrderThroughTheDesigner) {
  A()->Select();
  Driver::PressKey('D', ssCtrl);
  Driver::PressKey('U', ssCtrl);
  EXPECT_EQ(zOrder_, (std::vector<std::string>{"surface backward", "surface forward"}));
  EXPECT_EQ(A()->GetPosition(), (TPoint{20, 20}));
  EXPECT_EQ(history_.Count(), 0);
}

TEST_F(SurfaceKeysTest, TheLiveViewBlocksMovesAndZOrderKeys) {
  A()->Select();
  designer().FLiveMode = true;
  const std::string before = Dump();
  Driver::PressKey('A', ssShift);
  Driver::PressKey(VK_LEFT);
  Driver::PressKey('D', ssCtrl);
  Driver::PressKey('U', ssCtrl);
  EXPECT_EQ(Dump(), before);
  EXPECT_EQ(history_.Count(), 0);
  EXPECT_TRUE(zOrder_.empty());
  // Off again, the same keys act.
  designer().FLiveMode = false;
  Driver::PressKey(VK_LEFT);
  EXPECT_EQ(A()->GetPosition(), (TPoint{19, 20}));
}
