// The text rules of the bulk commands on their own: one replacement in a
// variable reference, setting one array index, the reading order of objects
// on a page, and page names made from a template.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "project/FormVarNameReplace.h"
#include "project/FromAutoArray.h"
#include "project/PageNameTemplate.h"

namespace {

TEST(ReplaceOnceTest, ReplacesOneOccurrenceFromTheFrontOrTheBack) {
  const struct {
    std::string text, find, replacement;
    bool fromBack;
    std::string expected;
    bool changed;
  } cases[] = {
      {"A.B.A", "A", "X", false, "X.B.A", true},
      {"A.B.A", "A", "X", true, "A.B.X", true},
      {"Tank1.Level", "Tank1", "Tank2", false, "Tank2.Level", true},
      {"Tank1.Level", "tank1", "Tank2", false, "Tank1.Level", false},  // case-sensitive
      {"Tank1.Level", "Pump", "Tank2", false, "Tank1.Level", false},
      {"Tank1.Level", "", "PLC.", false, "PLC.Tank1.Level", true},
      {"Tank1.Level", "", ".Bit0", true, "Tank1.Level.Bit0", true},
      {"Tank1.Level", "Tank1", "", false, "Tank1.Level", false},  // empty replacement: nothing
      {"Tank1.Level", "", "", true, "Tank1.Level", false},
      {"", "", "X", false, "X", true},  // no reference: only an empty search changes it
      {"", "A", "X", false, "", false},
      {"{p}.Run", "{p}", "Pump", false, "Pump.Run", true},
      {"AAA", "AA", "B", true, "AB", true},  // the last occurrence starts at the second A
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(ReplaceOnce(text, c.find, c.replacement, c.fromBack), c.changed) << c.text << " / " << c.find;
    EXPECT_EQ(text, c.expected) << c.text << " / " << c.find;
  }
}

TEST(ReindexReferenceTest, SetsTheChosenIndexOrAppendsOne) {
  const struct {
    std::string reference;
    int order;
    std::int64_t value;
    std::string expected;
    bool takesPart;
  } cases[] = {
      {"a[3]", 1, 7, "a[7]", true},
      {"m[1,2]", 2, 5, "m[1,5]", true},
      {"m[1,2]", 1, 9, "m[9,2]", true},
      {"a[1].b[2]", 2, 8, "a[1].b[8]", true},  // separators count across brackets
      {"a[4]", 2, 6, "a[4][6]", true},         // one separator short: appended
      {"a[4]", 3, 6, "a[4][6]", false},        // two short: no part
      {"x", 1, 3, "x[3]", true},
      {"x", 2, 3, "x[3]", false},
      {"a[3]", 0, 7, "a[7]", true},  // 0 or less works as 1
      {"a[3]", -4, 7, "a[7]", true},
      {"t[0]", 1, -5, "t[-5]", true},
      {"a[ 12 ].b", 1, 4, "a[4].b", true},
      {"a[3", 1, 2, "a[3[2]", true},  // no closing bracket: appended
      {"big[0]", 1, 4000000000LL, "big[4000000000]", true},
  };
  for (const auto& c : cases) {
    std::string result;
    EXPECT_EQ(ReindexReference(c.reference, c.order, c.value, result), c.takesPart) << c.reference << " k=" << c.order;
    EXPECT_EQ(result, c.expected) << c.reference << " k=" << c.order;
  }
}

// The boxes' indexes in reading order, for every order the boxes may come in.
void ExpectOrderWhateverTheInput(const std::vector<TPlacedBox>& boxes, const std::vector<std::size_t>& expected) {
  std::vector<std::size_t> permutation(boxes.size());
  std::iota(permutation.begin(), permutation.end(), std::size_t{0});
  std::mt19937 random(7);
  for (int round = 0; round < 30; ++round) {
    std::vector<TPlacedBox> shuffled;
    for (std::size_t index : permutation) shuffled.push_back(boxes[index]);
    std::vector<std::size_t> order;
    for (std::size_t index : ReadingOrder(shuffled)) order.push_back(permutation[index]);
    EXPECT_EQ(order, expected) << "round " << round;
    std::shuffle(permutation.begin(), permutation.end(), random);
  }
}

TEST(ReadingOrderTest, RowsTopToBottomEachLeftToRight) {
  // Two rows of slightly uneven boxes.
  ExpectOrderWhateverTheInput({{200, 12, 20}, {10, 10, 20}, {100, 8, 20}, {50, 60, 20}, {5, 62, 20}}, {1, 2, 0, 4, 3});
  // One column: top to bottom.
  ExpectOrderWhateverTheInput({{10, 90, 20}, {10, 10, 20}, {10, 50, 20}}, {1, 2, 0});
  // Equal left edges in one row: the upper first.
  ExpectOrderWhateverTheInput({{10, 15, 30}, {10, 10, 30}}, {1, 0});
  // The third box overlaps the second only: the second, to its right, comes after it.
  ExpectOrderWhateverTheInput({{0, 0, 10}, {100, 8, 10}, {50, 15, 10}}, {0, 2, 1});
}

TEST(ReadingOrderTest, StaggeredBoxesInACircleOfTheComparisonKeepOneOrder) {
  // Stairs: each box overlaps the next but not the one two steps away, so
  // the comparison runs in a circle (0 before 2 before 1 before 0). Each box
  // goes after as many boxes as the comparison puts before it; the pairs
  // that leaves equal go by the comparison between them.
  ExpectOrderWhateverTheInput({{300, 0, 20}, {200, 15, 20}, {100, 30, 20}, {0, 45, 20}}, {1, 0, 3, 2});
  // Boxes without height overlap nothing: by top edge, then left edge.
  ExpectOrderWhateverTheInput({{30, 5, 0}, {10, 5, 0}, {20, 1, 0}}, {2, 1, 0});
  EXPECT_TRUE(ReadingOrder({}).empty());
}

TEST(PageNameTemplateTest, NamePiecesOfABCDE) {
  const struct {
    const char* pattern;
    const char* expected;
  } cases[] = {
      {"[n]", "ABCDE"},       {"[n3]", "ABC"},        {"[n-2]", "DE"},    {"[n,2]", "CDE"},   {"[n,-2]", "ABC"},
      {"[n,2,2]", "BC"},      {"[n,-2,1]", "D"},      {"[n,0,2]", "AB"},  {"[n-9]", "ABCDE"}, {"[n9]", "ABCDE"},
      {"[n,-2,9]", "DE"},     {"[n,1,300]", "ABCDE"}, {"[n,-9,2]", "AB"}, {"[ n ]", "ABCDE"}, {"[nx]", ""},
      {"[n,x]", "ABCDE"},     {"[n-x]", ""},          {"[N]", ""},        {"[q]", ""},        {"X[n]Y", "XABCDEY"},
      {"A B[n]", "A_BABCDE"}, {"[n][n]", "ABCDEABC"}, {"[n", "_N"},  // no closing bracket: the rest is literal text
      {"a]b[n", "A_B_N"},     {"[n,\"1\"]", "BCDE"},  {"[n , 2]", "CDE"},
  };
  for (const auto& c : cases) {
    TPageNameTemplate pattern;
    pattern.Compile(c.pattern);
    EXPECT_EQ(pattern.Evaluate("ABCDE"), c.expected) << c.pattern;
  }
}

TEST(PageNameTemplateTest, CountersAndNameRules) {
  const struct {
    const char* pattern;
    std::vector<std::string> oldNames;
    std::vector<std::string> expected;
  } cases[] = {
      {"PG[c,1,2]", {"A", "B", "C"}, {"PG01", "PG02", "PG03"}},
      {"[c,10,0,5]", {"A", "B", "C"}, {"10", "15", "20"}},
      {"[c,x,y,z]", {"A", "B"}, {"0", "1"}},
      {"[c]-[c,5,3,2]", {"A", "B"}, {"5-005", "7-007"}},  // one count per name, the last step applies
      {"[c,300,1]", {"A"}, {"255"}},                      // clamped to 0..255
      {"[n]", {"page.one", "Lower", "TOOLONGNAME"}, {"PAGE_ONE", "LOWER", "TOOLONGN"}},
      {"", {"A"}, {""}},
      {"[n1]", {""}, {""}},
  };
  for (const auto& c : cases) {
    TPageNameTemplate pattern;
    pattern.Compile(c.pattern);
    std::vector<std::string> names;
    for (const std::string& old : c.oldNames) names.push_back(pattern.Evaluate(old));
    EXPECT_EQ(names, c.expected) << c.pattern;
  }
}

TEST(PageNameTemplateTest, NegativePositionsUnpackByFloorDivision) {
  const struct {
    std::int64_t packed, high, low;
  } cases[] = {{-511, -2, 1}, {-512, -2, 0}, {-1, -1, 255}, {513, 2, 1}, {0, 0, 0}, {255, 0, 255}};
  for (const auto& c : cases) {
    std::int64_t high = 0;
    std::int64_t low = 0;
    UnpackPair(c.packed, high, low);
    EXPECT_EQ(high, c.high) << c.packed;
    EXPECT_EQ(low, c.low) << c.packed;
  }
  TPageNameTemplate pattern;
  pattern.Compile("[n,-3,2]");
  ASSERT_EQ(pattern.Operations().size(), 1u);
  EXPECT_EQ(pattern.Operations()[0].parameter, std::to_string(-3 * 256 + 2));
  EXPECT_EQ(pattern.Evaluate("ABCDE"), "CD");
}

TEST(PageNameTemplateTest, CompilesLiteralsAndIgnoredTokens) {
  TPageNameTemplate pattern;
  pattern.Compile(" A [q] B [n] ");
  std::vector<std::pair<int, std::string>> ops;
  for (const auto& op : pattern.Operations()) ops.emplace_back(op.code, op.parameter);
  // The blank after the last token stays a (now empty) literal.
  const std::vector<std::pair<int, std::string>> expected = {{1, "A"}, {1, "B"}, {2, ""}, {1, ""}};
  EXPECT_EQ(ops, expected);
  // A template without a counter keeps the counter running.
  pattern.Compile("[c,7]");
  pattern.Compile("[n]");
  EXPECT_EQ(pattern.Counter(), 7);
}

TEST(SplitCommaTextTest, CommasBlanksAndQuotes) {
  const struct {
    const char* text;
    std::vector<std::string> items;
  } cases[] = {
      {"[n,2,3", {"[n", "2", "3"}}, {"[n , 2", {"[n", "2"}},       {"a,,b", {"a", "", "b"}}, {"a,", {"a", ""}},
      {"a b", {"a", "b"}},          {"\"x, y\",z", {"x, y", "z"}}, {"\"a\"\"b\"", {"a\"b"}}, {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommaText(c.text), c.items) << c.text;
  char found = '?';
  EXPECT_EQ(SkipBlanks("[  n", 1, found), 3);
  EXPECT_EQ(found, 'n');
  EXPECT_EQ(SkipBlanks("[ ", 1, found), 2);
  EXPECT_EQ(found, '\0');
}

}  // namespace
