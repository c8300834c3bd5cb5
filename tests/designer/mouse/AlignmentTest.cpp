// Alignment and distribution: the commands on boxes (means, steps, orders,
// negative gaps) and the object menu's items on the surface (one snapshot,
// objects that may not be selected stay).

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "designer/Alignment.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/ScrollBox.h"
#include "tests/designer/mouse/MouseTestSupport.h"

using namespace mousetest;

namespace {

std::string Positions(const std::vector<TPoint>& points) {
  std::ostringstream out;
  for (const TPoint& p : points) out << (out.tellp() > 0 ? " " : "") << p.x << ',' << p.y;
  return out.str();
}

// A command on boxes and the positions it gives, in the boxes' order.
struct TAlignCase {
  const char* name;
  TAlignCommand command;
  std::vector<TAlignBox> boxes;
  const char* positions;
};

TEST(AlignBoxes, CommandsGiveThePositionsOfEachBox) {
  const std::vector<TAlignBox> three = {{10, 5, 20, 10}, {50, 25, 10, 30}, {30, 15, 40, 6}};
  const std::vector<TAlignCase> cases = {
      {"top", TAlignCommand::Top, three, "10,5 50,5 30,5"},
      {"bottom", TAlignCommand::Bottom, three, "10,45 50,25 30,49"},
      {"left", TAlignCommand::Left, three, "10,5 10,25 10,15"},
      {"right", TAlignCommand::Right, three, "50,5 60,25 30,15"},
      // Centres 10, 10 and 40: the mean is 20, not the middle of the extent.
      {"centre is the mean", TAlignCommand::Center, {{0, 0, 20, 4}, {5, 0, 10, 4}, {30, 0, 20, 4}}, "10,0 15,0 10,0"},
      {"middle is the mean", TAlignCommand::Middle, {{0, 0, 4, 20}, {0, 5, 4, 10}, {0, 30, 4, 20}}, "0,10 0,15 0,10"},
      {"one box stays", TAlignCommand::Left, {{7, 8, 9, 10}}, "7,8"},
      {"no box", TAlignCommand::Top, {}, ""},
      {"lefts spread",
       TAlignCommand::DistributeLeft,
       {{0, 0, 10, 10}, {100, 0, 10, 10}, {20, 0, 10, 10}},
       "0,0 100,0 50,0"},
      {"centres spread",
       TAlignCommand::DistributeCentreX,
       {{0, 0, 10, 10}, {90, 0, 20, 10}, {10, 0, 10, 10}},
       "0,0 90,0 48,0"},
      {"rights spread",
       TAlignCommand::DistributeRight,
       {{0, 0, 10, 10}, {30, 0, 10, 10}, {60, 0, 30, 10}},
       "0,0 40,0 60,0"},
      {"tops spread", TAlignCommand::DistributeTop, {{0, 0, 10, 10}, {0, 9, 10, 10}, {0, 30, 10, 10}}, "0,0 0,15 0,30"},
      {"bottoms spread",
       TAlignCommand::DistributeBottom,
       {{0, 0, 10, 10}, {0, 9, 10, 10}, {0, 30, 10, 10}},
       "0,0 0,15 0,30"},
      {"vertical centres spread",
       TAlignCommand::DistributeCentreY,
       {{0, 0, 10, 10}, {0, 9, 10, 10}, {0, 30, 10, 10}},
       "0,0 0,15 0,30"},
      {"horizontal gaps", TAlignCommand::SpacingX, {{0, 0, 10, 10}, {50, 0, 30, 10}, {15, 0, 20, 10}}, "0,0 50,0 20,0"},
      {"vertical gaps", TAlignCommand::SpacingY, {{0, 0, 10, 10}, {0, 50, 10, 30}, {0, 15, 10, 20}}, "0,0 0,50 0,20"},
      // Wider than their span: the gap is -20, the boxes overlap evenly.
      {"negative gap", TAlignCommand::SpacingX, {{0, 0, 40, 10}, {30, 0, 40, 10}, {40, 0, 40, 10}}, "0,0 20,0 40,0"},
      // A wide box left of a narrow one whose centre lies further left: the
      // two exchange their left edges.
      {"two exchange", TAlignCommand::DistributeLeft, {{0, 0, 100, 10}, {10, 0, 10, 10}}, "10,0 0,0"},
      {"two keep", TAlignCommand::DistributeLeft, {{0, 0, 10, 10}, {40, 0, 10, 10}}, "0,0 40,0"},
      // Centres 10.5 and 10 count as equal: the vertical centres order them.
      {"near centres by the other axis",
       TAlignCommand::DistributeLeft,
       {{0, 50, 21, 10}, {5, 0, 10, 10}, {40, 0, 10, 10}},
       "20,50 0,0 40,0"},
  };
  for (const TAlignCase& c : cases) EXPECT_EQ(Positions(AlignBoxes(c.command, c.boxes)), c.positions) << c.name;
}

TEST(AlignBoxes, ComparatorsTruncateAndFallBackToTheOtherAxis) {
  EXPECT_EQ(CompareCentreX({0, 0, 10, 10}, {0, 0, 11, 10}), 0);
  EXPECT_EQ(CompareCentreY({0, 0, 10, 10}, {0, 0, 11, 10}), 0);
  EXPECT_EQ(CompareCentreX({0, 0, 10, 10}, {3, 0, 10, 10}), -3);
  EXPECT_EQ(CompareCentreX({0, 5, 10, 10}, {0, 0, 11, 10}), 5);
  EXPECT_EQ(CompareCentreY({0, 5, 10, 10}, {7, 0, 10, 10}), 5);
  EXPECT_EQ(CompareCentreY({0, 0, 10, 10}, {7, 0, 10, 11}), -7);
}

class AlignmentMenu : public MouseTest {
 protected:
  void SetUp() override {
    MouseTest::SetUp();
    Load(Block(1, 40, 40, 40, 20) + Block(2, 120, 60, 40, 20) + Block(3, 200, 90, 20, 20, 4));
  }
  // Right-clicks object 1 and chooses the item of the object menu.
  void Choose(const std::string& path) {
    Driver::ChoosePopupItem("ObjectPopup", path);
    Driver::Click(Object(1), 5, 5, mbRight);
  }
};

TEST_F(AlignmentMenu, AlignTopMovesTheSelectionToTheTopmostTopWithOneSnapshot) {
  for (int uid : {1, 2, 3}) Object(uid)->Select();
  Choose("Align or distribution|Align top");
  EXPECT_EQ(Entries(), 1);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,41 40x20\n3 201,41 20x20\n");
}

TEST_F(AlignmentMenu, ObjectsOfAFrozenLayerAreNeitherMeasuredNorMoved) {
  designer->FLayers[4].Frozen = true;
  for (int uid : {1, 2, 3}) Object(uid)->Select();
  Choose("Align or distribution|Align bottom");
  EXPECT_EQ(Dump(), "1 41,61 40x20\n2 121,61 40x20\n3 201,91 20x20\n");
}

TEST_F(AlignmentMenu, HorizontalSpacingLeavesEqualGaps) {
  for (int uid : {1, 2, 3}) Object(uid)->Select();
  Choose("Align or distribution|Horizontal distribution|Spacing");
  // Span 41..221, widths 100: gaps of 40.
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,61 40x20\n3 201,91 20x20\n");
  Object(2)->SetPosition(90, 61);
  Choose("Align or distribution|Horizontal distribution|Spacing");
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,61 40x20\n3 201,91 20x20\n");
}

TEST_F(AlignmentMenu, WithOneObjectSelectedOnlyASnapshotIsRecorded) {
  // The object menu offers no alignment for one object; the command itself
  // still records its snapshot.
  Choose("Align or distribution|Align left");
  EXPECT_FALSE(designer->AlignLeft1->Enabled());
  EXPECT_EQ(Selected(), "1");
  EXPECT_EQ(Entries(), 0);
  designer->AlignClick(designer->AlignLeft1);
  EXPECT_EQ(Entries(), 1);
  EXPECT_EQ(Dump(), "1 41,41 40x20\n2 121,61 40x20\n3 201,91 20x20\n");
}

TEST_F(AlignmentMenu, TheMenuItemsCarryTheirCommandsTags) {
  const std::vector<std::pair<TMenuItem*, int>> items = {
      {designer->AlignTop1, 0},    {designer->AlignBottom1, 1}, {designer->AlignLeft1, 2}, {designer->AlignRight1, 3},
      {designer->AlignMiddle1, 4}, {designer->AlignCenter1, 5}, {designer->Centre1, 6},    {designer->Centre2, 7},
      {designer->Left1, 8},        {designer->Top1, 9},         {designer->Right1, 10},    {designer->Bottom1, 11},
      {designer->Spacing1, 12},    {designer->Spacing2, 13},
  };
  for (const auto& [item, tag] : items) EXPECT_EQ(item->Tag, tag) << item->Name();
}

}  // namespace

// An object read from a page has its size before the surface is painted: the
// alignment lines others up on the size the paint shows.
TEST_F(AlignmentMenu, ObjectsHaveTheirPaintedSizeBeforeTheFirstPaint) {
  Load(Block(1, 40, 40, 40, 20) + "<object caption=\"A wide caption\" X=\"300\" Y=\"10\" Uid=\"4\"><label /></object>");
  TGridWebElement* label = Object(4);
  const TSize read{label->Width(), label->Height()};
  Object(1)->Select();
  label->Select();
  Choose("Align or distribution|Align right");
  TBitmap painted;
  PaintControlToBitmap(designer->sbDesign1, painted);
  EXPECT_EQ((TSize{label->Width(), label->Height()}), read);
  EXPECT_GT(read.cx, 17);
  EXPECT_EQ(Object(1)->Left() + Object(1)->Width(), label->Left() + label->Width());
}
