// The hit test of page objects (what the mouse reaches) and the hover flag,
// and the insertion frame painting what it carries.

#include <gtest/gtest.h>

#include "grid/GridInsert.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Painting.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

using namespace surfacetest;

using HitTestTest = SurfaceTest;

TEST_F(HitTestTest, LayersDecideWhatTheMouseReaches) {
  designer()->Show();
  auto* e = Make(wkCamera, 3, 3);  // 16,16 .. 152,40
  EXPECT_EQ(Driver::ControlAt(box(), 30, 30), e);
  designer()->FLayers[0].Frozen = true;  // drawn, but not hit
  EXPECT_EQ(Driver::ControlAt(box(), 30, 30), box());
  EXPECT_FALSE(e->CanSelect());
  designer()->FLayers[0].Frozen = false;
  designer()->FLayers[0].Visible = false;
  EXPECT_EQ(Driver::ControlAt(box(), 30, 30), box());
  designer()->FLayers[0].Visible = true;
  // Another layer's state does not matter.
  e->FLayer = 3;
  designer()->FLayers[0].Visible = false;
  EXPECT_EQ(Driver::ControlAt(box(), 30, 30), e);
  designer()->FLayers[0].Visible = true;
  designer()->Hide();
  Driver::Reset();
}

TEST_F(HitTestTest, LiveViewHidesByVariableAndIdleButtonStrip) {
  designer()->Show();
  auto* e = Make(wkEditLocal, 3, 3);
  TBitmap b;
  PaintSurface(b);  // sizes the field: 29 + 2 + 19 = 50 wide
  ASSERT_EQ(e->Width(), 50);
  designer()->FLiveMode = true;
  EXPECT_EQ(Driver::ControlAt(box(), 16 + 10, 20), e);
  EXPECT_EQ(Driver::ControlAt(box(), 16 + 45, 20), box());  // the idle button strip
  e->FPending = true;
  EXPECT_EQ(Driver::ControlAt(box(), 16 + 45, 20), e);
  e->FReadOnly = true;
  EXPECT_EQ(Driver::ControlAt(box(), 16 + 45, 20), box());
  // The design view always hits the strip.
  designer()->FLiveMode = false;
  EXPECT_EQ(Driver::ControlAt(box(), 16 + 45, 20), e);

  // Hidden by the visibility variable in the live view.
  designer()->FLiveMode = true;
  e->SetVisVariable("MotorOn");
  e->ResolveVariables();
  EXPECT_EQ(Driver::ControlAt(box(), 16 + 10, 20), box());
  e->FVisValue[0] = 1;
  EXPECT_EQ(Driver::ControlAt(box(), 16 + 10, 20), e);
  e->FVisNeg = true;
  EXPECT_EQ(Driver::ControlAt(box(), 16 + 10, 20), box());
  designer()->FLiveMode = false;
  designer()->Hide();
  Driver::Reset();
}

TEST_F(HitTestTest, HoverFollowsTheMouse) {
  designer()->Show();
  auto* e = Make(wkLabel, 3, 3);
  TBitmap b;
  PaintSurface(b);
  Driver::MouseMove(box(), 20, 20);
  EXPECT_TRUE(e->Hover());
  Driver::MouseMove(box(), 300, 300);
  EXPECT_FALSE(e->Hover());
  EXPECT_EQ(e->Cursor(), crArrow);
  designer()->Hide();
  Driver::Reset();
}

TEST_F(HitTestTest, InsertionFramePaintsWhatItCarries) {
  auto* e = Make(wkCamera, 2, 2);
  e->SetBounds(e->Left(), e->Top(), 40, 20);
  e->Hide();
  std::vector<TGridGraphic*> items{e};
  auto* frame = new TGridInsert(box(), 8, 0, 0, 0, 0, items);
  frame->SetParent(box());
  frame->SetBounds(100, 100, frame->Width(), frame->Height());
  TBitmap b;
  PaintSurface(b);
  SaveCrop(b, {90, 90, 170, 150}, 3, OutputPath("probe_insert_frame.png"));
  // The carried camera box (silver) at its place inside the frame.
  EXPECT_EQ(PixelAt(b, 100 + 8 + 20, 100 + 8 + 10), clSilver);
  // The dotted outline of the frame.
  EXPECT_GT(CountColor(b, {100, 100, 100 + frame->Width(), 101}, clBlack), 5);
  // Nothing at the object's own (hidden) place.
  EXPECT_EQ(PixelAt(b, 8 + 20, 8 + 10), clWhite);
  frame->Cancel();
  delete frame;
}
