// Placeholder resolution at page, group and global level.

#include <gtest/gtest.h>

#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"

namespace {

struct Placeholders : ::testing::Test {
  TGridGlobalWebData data;
  TPlaceholderResolver resolver{&data};
  void SetUp() override {
    data.PagePlaceHolders.Add("n", "1");
    data.GroupPlaceHolders.Add("n", "2");
    data.GroupPlaceHolders.Add("g", "G");
    data.GlobalPlaceHolders.Add("a", "{b}");
    data.GlobalPlaceHolders.Add("b", "B");
  }
  std::string X(const std::string& t) { return ExpandPlaceholders(&resolver, t); }
};

}  // namespace

TEST_F(Placeholders, LevelsAndColons) {
  EXPECT_EQ(X("Motor{n}.Speed"), "Motor1.Speed");
  EXPECT_EQ(X("Motor{:n}.Speed"), "Motor2.Speed");
  EXPECT_EQ(X("Motor{::n}.Speed"), "Motor.Speed");
  data.GlobalPlaceHolders.Add("n", "3");
  EXPECT_EQ(X("Motor{::n}.Speed"), "Motor3.Speed");
  EXPECT_EQ(X("{g}{:g}{::g}"), "GG");
  EXPECT_EQ(X("{:::n}"), "");  // a third colon is part of the name
}

TEST_F(Placeholders, UnknownUnclosedAndLiteralBraces) {
  EXPECT_EQ(X("A{x}B"), "AB");
  EXPECT_EQ(X("A{x"), "A");
  EXPECT_EQ(X("A{n}B{"), "A1B");
  EXPECT_EQ(X("A}B"), "A}B");
  EXPECT_EQ(X("plain"), "plain");
  EXPECT_EQ(X(""), "");
  EXPECT_EQ(X("{}"), "");
}

TEST_F(Placeholders, CaseAdjacencyAndNoRescan) {
  EXPECT_EQ(X("{N}"), "1");
  EXPECT_EQ(X("{n}{g}"), "1G");
  EXPECT_EQ(X("{a}"), "{b}");
}

TEST_F(Placeholders, WithoutContextOrGlobalOnly) {
  TPlaceholderResolver none(nullptr);
  EXPECT_EQ(ExpandPlaceholders(&none, "A{n}"), "A{n}");
  EXPECT_EQ(ExpandPlaceholders(nullptr, "A{n}"), "A{n}");
  EXPECT_EQ(ExpandGlobalPlaceholders(&resolver, "{n}{:b}{::b}{g}"), "BB");
  EXPECT_EQ(ExpandGlobalPlaceholders(&resolver, "x{b"), "x");
}
