#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugin/PanelList.h"

namespace {

HostPanelRecord Record(std::uint8_t operation, const char* type, const char* name, int rack, int position,
                       const char* in = "", const char* out = "") {
  HostPanelRecord record;
  record.operation = operation;
  record.type = type;
  record.name = name;
  record.rack = rack;
  record.position = position;
  record.in = in;
  record.out = out;
  return record;
}

TEST(PanelList, ModelTestReadsTheNumberAfterThePrefix) {
  EXPECT_TRUE(IsSupportedPanelModel("HMI7"));
  EXPECT_TRUE(IsSupportedPanelModel("XYZ10abc"));
  EXPECT_TRUE(IsSupportedPanelModel("HMI012"));
  EXPECT_FALSE(IsSupportedPanelModel("HMI8"));
  EXPECT_FALSE(IsSupportedPanelModel("HMI"));  // no digits: model 0
  EXPECT_FALSE(IsSupportedPanelModel("HM"));
  EXPECT_FALSE(IsSupportedPanelModel(""));
  EXPECT_FALSE(IsSupportedPanelModel(nullptr));
  EXPECT_FALSE(IsSupportedPanelModel("HMI99999999999999999999"));
}

TEST(PanelList, TextsAreCutToTheirFieldsAndDefaultNamesDiffer) {
  TGPanelList list;
  std::string longText(100, 'x');
  std::string longType = "HMI15" + std::string(60, 'y');
  HostPanelRecord record = Record(1, longType.c_str(), longText.c_str(), 1, 1, longText.c_str(), longText.c_str());
  ASSERT_TRUE(list.SingleRecord(record));
  ASSERT_EQ(list.Count(), 1);
  const TGPanel& panel = *list.Items(0);
  EXPECT_EQ(std::string(panel.type), longType.substr(0, 31));
  EXPECT_EQ(std::string(panel.in), longText.substr(0, 39));
  EXPECT_EQ(std::string(panel.out), longText.substr(0, 39));
  EXPECT_EQ(std::string(panel.name), longText.substr(0, 39));
  EXPECT_EQ(panel.mark, 1);

  HostPanelRecord unnamed = Record(1, "HMI7", "", 2, 5);
  unnamed.in = nullptr;  // a missing text counts as empty
  ASSERT_TRUE(list.SingleRecord(unnamed));
  EXPECT_STREQ(list.FindPanel(2, 5)->name, "Panel2_5");
  EXPECT_STREQ(list.FindPanel(2, 5)->in, "");
  EXPECT_EQ(PanelDisplayText(*list.FindPanel(2, 5)), "r2_p5_HMI7 - Panel2_5");

  HostPanelEntry entry;
  entry.type = "HMI7";
  entry.name = "";
  entry.rack = 2;
  entry.position = 6;
  HostPanelNode head;
  HostPanelNode node;
  node.entry = entry;
  head.next = &node;
  head.prev = &node;
  node.next = &head;
  node.prev = &head;
  list.RollCall(&head);
  EXPECT_STREQ(list.FindPanel(2, 6)->name, "Panel 2/6");
}

TEST(PanelList, ReplaceMovesTheRecordToTheEndAndDeleteAnswersItsIndex) {
  TGPanelList list;
  list.SingleRecord(Record(1, "HMI7", "A", 1, 1));
  list.SingleRecord(Record(1, "HMI7", "B", 1, 2));
  list.SingleRecord(Record(1, "HMI7", "C", 1, 3));
  // Same type and name: nothing changes (and the caller leaves its result).
  EXPECT_FALSE(list.SingleRecord(Record(1, "HMI7", "A", 1, 1, "other in")));
  EXPECT_STREQ(list.Items(0)->in, "");
  // Another name: replaced, now last.
  EXPECT_TRUE(list.SingleRecord(Record(1, "HMI7", "A2", 1, 1)));
  EXPECT_STREQ(list.Items(2)->name, "A2");
  // Operation 2 replaces whether or not it changed.
  EXPECT_TRUE(list.SingleRecord(Record(2, "HMI7", "B", 1, 2)));
  EXPECT_STREQ(list.Items(2)->name, "B");
  EXPECT_EQ(list.Items(2)->mark, 2);
  EXPECT_EQ(list.DeletePanel(1, 3), 0);  // C was first
  EXPECT_EQ(list.DeletePanel(1, 2), 1);
  EXPECT_EQ(list.DeletePanel(9, 9), 0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FindPanel(9, 9), nullptr);
}

TEST(PanelList, RollCallOfANullListSweepsOnly) {
  TGPanelList list;
  list.SingleRecord(Record(1, "HMI7", "A", 1, 1));
  list.RollCall(nullptr);  // confirmed by the record: stays, mark cleared
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->mark, 0);
  list.RollCall(nullptr);
  EXPECT_EQ(list.Count(), 0);
}

TEST(PanelList, ABrokenListEndsAtANullNode) {
  TGPanelList list;
  HostPanelNode head;
  HostPanelNode node;
  node.entry.type = "HMI7";
  node.entry.name = "Open end";
  head.next = &node;
  node.next = nullptr;  // not circular
  list.RollCall(&head);
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace

TEST(PanelList, VariableStructuresAreEachPanelsInThenOut) {
  TGPanelList list;
  TGPanel first;
  std::strcpy(first.in, "HMI_IN");
  std::strcpy(first.out, "HMI_OUT");
  TGPanel full;
  std::memset(full.in, 'I', sizeof full.in);  // a name that fills its field
  std::strcpy(full.out, "O");
  list.Append(first);
  list.Append(full);
  EXPECT_EQ(PanelVariableStructures(list),
            (std::vector<std::string>{"HMI_IN", "HMI_OUT", std::string(sizeof full.in, 'I'), "O"}));
  EXPECT_TRUE(PanelVariableStructures(TGPanelList()).empty());
}
