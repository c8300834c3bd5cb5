#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "platform/vcl/Control.h"

namespace {

// The host's drag object for variable names, as the host makes it: a class
// of another module, known only by its class name.
class THostVarDrag : public TDragObject {
 public:
  std::string ClassName() const override { return "TProvideVarNameDragControlObject"; }
  std::string nameText;
  bool refused = false;
};

class DragDropTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 300, 300);
    target = new TGraphicControl(form);
    target->SetName("target");
    target->SetBounds(10, 10, 100, 50);
    target->SetParent(form);
    // As the designer accepts variable names on page objects.
    target->OnDragOver = [this](TObject*, TObject* source, int x, int y, TDragState state, bool& accept) {
      log.Add("over" + std::to_string(state) + "(" + std::to_string(x) + "," + std::to_string(y) + ")");
      auto* drag = dynamic_cast<THostVarDrag*>(source);
      accept = source->ClassName() == "TProvideVarNameDragControlObject" && drag != nullptr && !drag->refused;
    };
    target->OnDragDrop = [this](TObject*, TObject* source, int, int) {
      dropped = static_cast<THostVarDrag*>(source)->nameText.substr(17);
    };
    form->Show();
  }
  void TearDown() override {
    delete form;
    ControlsTest::TearDown();
  }
  TForm* form = nullptr;
  TGraphicControl* target = nullptr;
  EventLog log;
  std::string dropped;
};

TEST_F(DragDropTest, AcceptedDropsReachTheTargetAfterEnterMoveLeave) {
  THostVarDrag drag;
  drag.nameText = "0123456789ABCDEF:Motor.Speed";
  EXPECT_TRUE(Driver::DragAndDrop(&drag, target, 5, 6));
  EXPECT_EQ(log.Joined(), "over0(5,6) over2(5,6) over1(5,6)");
  EXPECT_EQ(dropped, "Motor.Speed");
  EXPECT_EQ(drag.DragTarget, target);
  EXPECT_EQ(drag.DragPos, (TPoint{15, 16}));
}

TEST_F(DragDropTest, RefusedOrUnwantedDropsDoNothing) {
  THostVarDrag drag;
  drag.nameText = "0123456789ABCDEF:X";
  drag.refused = true;
  EXPECT_FALSE(Driver::DragOver(&drag, target, 5, 5));
  EXPECT_FALSE(Driver::DragAndDrop(&drag, target, 5, 5));
  EXPECT_EQ(dropped, "");
  drag.refused = false;
  EXPECT_TRUE(Driver::DragOver(&drag, target, 5, 5));
  EXPECT_EQ(dropped, "");  // only asked
  // A control without OnDragOver accepts nothing.
  EXPECT_FALSE(Driver::DragAndDrop(&drag, form, 200, 200));
}

TEST_F(DragDropTest, ADropFallsThroughLikeTheMouse) {
  auto* cover = new TGraphicControl(form);
  cover->SetBounds(0, 0, 300, 300);
  cover->SetParent(form);
  THostVarDrag drag;
  drag.nameText = "0123456789ABCDEF:Y";
  EXPECT_FALSE(Driver::DragAndDrop(&drag, target, 5, 5));  // the cover takes it, without accepting
  cover->WindowProc = [](TMessage& m) { m.Result = m.Msg == CM_HITTEST ? HTNOWHERE : 0; };
  EXPECT_TRUE(Driver::DragAndDrop(&drag, target, 5, 5));
  EXPECT_EQ(dropped, "Y");
}

TEST_F(DragDropTest, AControlDragArrivesAsItsControlAndEndsOnTheSource) {
  auto* source = new TGraphicControl(form);
  source->SetName("source");
  source->SetBounds(200, 200, 20, 20);
  source->SetParent(form);
  TObject* seen = nullptr;
  TObject* endTarget = nullptr;
  form->OnDragOver = [&](TObject*, TObject* s, int, int, TDragState, bool& accept) {
    seen = s;
    accept = true;
  };
  form->OnDragDrop = [](TObject*, TObject*, int, int) {};
  source->OnEndDrag = [&](TObject*, TObject* t, int, int) { endTarget = t; };
  TDragControlObject drag(source);
  EXPECT_TRUE(Driver::DragAndDrop(&drag, form, 250, 100));
  EXPECT_EQ(seen, source);
  EXPECT_EQ(endTarget, form);
}

}  // namespace
