// The insertion frame: snapping to the grid, dropping and cancelling.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/GridInsert.h"
#include "platform/vcl/Driver.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

using namespace surfacetest;

namespace {

class TOpenInsert : public TGridInsert {
 public:
  using TGridInsert::MouseUp;
  using TGridInsert::TGridInsert;
};

void Scroll(TScrollBox* box, int x, int y) {
  box->AutoScroll = false;
  box->HorzScrollBar()->SetRange(1 << 20);
  box->VertScrollBar()->SetRange(1 << 20);
  box->HorzScrollBar()->SetPosition(x);
  box->VertScrollBar()->SetPosition(y);
}

// A hidden item at a unit position (the pasted objects lie relative to the group).
TTestItem* Carried(TScrollBox* box, int posX, int posY, int w, int h) {
  auto* item = new TTestItem(box, 8, posX, posY, w, h);
  item->Hide();
  return item;
}

}  // namespace

class GridInsertTest : public SurfaceTest {
 protected:
  TOpenInsert* Frame(const std::vector<TGridGraphic*>& items, int scrollX = 0, int scrollY = 0, int offX = 0,
                     int offY = 0) {
    auto* frame = new TOpenInsert(box(), 8, scrollX, scrollY, offX, offY, items);
    frame->SetParent(box());
    return frame;
  }
  int one = 1;
};

TEST_F(GridInsertTest, SizeAndName) {
  auto* a = Carried(box(), 1, 1, 40, 16);
  auto* b = Carried(box(), 3, 5, 16, 16);  // reaches 32 right, 48 down
  auto* frame = Frame({a, b}, 0, 0, 2, 3);
  EXPECT_EQ(frame->Name(), "GridInsert");
  EXPECT_EQ(frame->Width(), 40 + 8 + 2);
  EXPECT_EQ(frame->Height(), 48 + 8 + 3);
  int step = 5;
  frame->SetExtent(&step, &step);
  EXPECT_EQ(frame->Width(), 50 + 4 * 8);
  EXPECT_EQ(frame->Height(), 59 + 4 * 8);
}

TEST_F(GridInsertTest, OneObjectIsHeldAtTheMiddle) {
  auto* a = Carried(box(), 1, 1, 40, 16);
  auto* frame = Frame({a});
  frame->SetExtent(&one, &one);
  ASSERT_EQ(frame->Width(), 48);
  ASSERT_EQ(frame->Height(), 24);
  frame->MoveTo(100, 60);  // the frame is at (0, 0): its points are surface points
  EXPECT_EQ(frame->Left(), 80);
  EXPECT_EQ(frame->Top(), ((60 - 12 + 4) / 8) * 8);
  // Moves follow the mouse in the frame's own coordinates.
  frame->MoveTo(20, 4);  // surface point 100, 52
  EXPECT_EQ(frame->Left(), 80);
  EXPECT_EQ(frame->Top(), ((52 - 12 + 4) / 8) * 8);
}

TEST_F(GridInsertTest, SeveralObjectsAreHeldTwoStepsFromTheCorner) {
  auto* a = Carried(box(), 1, 1, 16, 16);
  auto* b = Carried(box(), 5, 1, 16, 16);
  auto* c = Carried(box(), 1, 5, 16, 16);
  auto* frame = Frame({a, b, c});
  int step = 2;
  frame->SetExtent(&step, &step);
  frame->MoveTo(96, 96);
  EXPECT_EQ(frame->Left(), 96 - 2 * 16);
  EXPECT_EQ(frame->Top(), 96 - 2 * 16);
  // Without steps a step is one unit.
  auto* loose = Frame({a, b, c});
  loose->MoveTo(96, 96);
  EXPECT_EQ(loose->Left(), 80);
}

TEST_F(GridInsertTest, SnapPhaseFollowsTheScrollAtCreation) {
  auto* a = Carried(box(), 1, 1, 40, 16);
  Scroll(box(), 5, 0);
  auto* frame = Frame({a}, 13, 0);
  frame->SetExtent(&one, &one);
  for (int x : {37, 100, 141}) {
    frame->MoveTo(x - frame->Left(), 10 - frame->Top());
    EXPECT_EQ(((frame->Left() % 8) + 8) % 8, 0) << x;
  }
  Scroll(box(), 0, 0);
  auto* other = Frame({a}, 3, 0);
  other->SetExtent(&one, &one);
  for (int x : {37, 100, 141}) {
    other->MoveTo(x - other->Left(), 10 - other->Top());
    EXPECT_EQ(((other->Left() % 8) + 8) % 8, 3) << x;
  }
}

TEST_F(GridInsertTest, DropOrderPlacesSelectsAndShows) {
  auto* a = Carried(box(), 1, 1, 16, 16);
  auto* b = Carried(box(), 4, 2, 16, 16);
  auto* frame = Frame({a, b}, 0, 0, 8, 0);
  std::vector<std::string> log;
  frame->FOnBeforeDrop = [&](TObject*) { log.push_back(std::string("before:") + (a->Visible() ? "shown" : "hidden")); };
  frame->FOnDropped = [&](TObject*) {
    log.push_back(std::string("dropped:") + (a->Visible() && a->Selected() && b->Selected() ? "placed" : "not"));
  };
  frame->FOnAfterDrop = [&](TObject* sender) {
    log.push_back(std::string("after:") + (static_cast<TGridInsert*>(sender)->Items().empty() ? "empty" : "full"));
  };
  frame->SetBounds(40, 16, frame->Width(), frame->Height());
  frame->Drop();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "before:hidden");
  EXPECT_EQ(log[1], "dropped:placed");
  EXPECT_EQ(log[2], "after:full");
  EXPECT_EQ(frame->Parent(), nullptr);
  EXPECT_TRUE(frame->Items().empty());
  // (40 + 8) / 8 = 6 and 16 / 8 = 2 units further.
  EXPECT_EQ(a->GetPosition(), (TPoint{7, 3}));
  EXPECT_EQ(b->GetPosition(), (TPoint{10, 4}));
  // A dropped frame is not finished: later messages report nothing.
  frame->Perform(CM_VISIBLECHANGED);
  EXPECT_EQ(log.size(), 3u);

  // Cancel after the drop deletes nothing.
  bool cancelled = false;
  frame->FOnCancel = [&](TObject*) { cancelled = true; };
  frame->Cancel();
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(a->Visible());
  EXPECT_EQ(a->Parent(), box());
  EXPECT_EQ(log.size(), 3u);
  // Finished and off the surface: every further message is reported.
  frame->Perform(CM_VISIBLECHANGED);
  frame->Perform(CM_VISIBLECHANGED);
  EXPECT_EQ(log.size(), 5u);
  EXPECT_EQ(log[4], "after:empty");
  delete frame;
}

TEST_F(GridInsertTest, DropOnTheLeftEdgeOfAScrolledSurfaceTruncates) {
  Scroll(box(), 4, 0);
  auto* a = Carried(box(), 11, 3, 16, 16);
  auto* frame = Frame({a}, 4, 0);
  frame->SetBounds(-30, 0, frame->Width(), frame->Height());
  frame->Drop();
  // (-30 + 4) / 8 = -3 (toward zero).
  EXPECT_EQ(a->GetPosition(), (TPoint{8, 3}));
  delete frame;
}

TEST_F(GridInsertTest, CancelDeletesTheObjectsThenReports) {
  auto* a = Carried(box(), 1, 1, 16, 16);
  auto* b = Carried(box(), 4, 2, 16, 16);
  const int before = box()->ComponentCount();
  auto* frame = Frame({a, b});
  bool checked = false;
  frame->FOnCancel = [&](TObject* sender) {
    auto* f = static_cast<TGridInsert*>(sender);
    checked = f->Parent() == nullptr && f->Finished() && f->Items().empty() && box()->ComponentCount() == before - 1;
  };
  frame->Cancel();
  EXPECT_TRUE(checked);
  delete frame;
}

TEST_F(GridInsertTest, ARightButtonReleaseDropsToo) {
  auto* a = Carried(box(), 1, 1, 16, 16);
  auto* frame = Frame({a});
  int dropped = 0;
  frame->FOnDropped = [&](TObject*) { ++dropped; };
  frame->MouseUp(mbRight, 0, 4, 4);
  EXPECT_EQ(dropped, 1);
  EXPECT_TRUE(a->Visible());
  delete frame;
}

TEST_F(GridInsertTest, TheMouseCarriesAndDropsTheFrame) {
  designer()->Show();
  auto* a = Carried(box(), 1, 1, 40, 16);
  auto* frame = Frame({a});
  frame->SetExtent(&one, &one);
  int dropped = 0;
  frame->FOnDropped = [&](TObject*) { ++dropped; };
  // The frame moves under the mouse, which holds it at its middle.
  for (int i = 1; i <= 10; ++i) Driver::MouseMove(box(), 10 * i, 6 * i);
  EXPECT_EQ(frame->Left(), 80);
  Driver::Click(box(), 100, 60);
  EXPECT_EQ(dropped, 1);
  EXPECT_EQ(a->GetPosition(), (TPoint{11, 7}));
  designer()->Hide();
  Driver::Reset();
  delete frame;
}
