#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/vcl/List.h"

namespace {

struct Rec {
  int key;
  int order;
};

int ByKey(void* a, void* b) { return static_cast<Rec*>(a)->key - static_cast<Rec*>(b)->key; }

TEST(TListTest, AddInsertDeleteRemoveFind) {
  int a = 1, b = 2, c = 3;
  TList list;
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&c), 1);
  list.Insert(1, &b);
  list.Insert(3, nullptr);  // at the end
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Items(1), &b);
  EXPECT_EQ(list[3], nullptr);
  EXPECT_EQ(list.IndexOf(&c), 2);
  EXPECT_EQ(list.IndexOf(nullptr), 3);
  list.Add(&a);
  EXPECT_EQ(list.IndexOf(&a), 0);  // the first one
  EXPECT_EQ(list.Remove(&a), 0);
  EXPECT_EQ(list.IndexOf(&a), 3);
  EXPECT_EQ(list.Remove(&a), 3);
  EXPECT_EQ(list.Remove(&a), -1);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Items(0), &c);
  EXPECT_EQ(list.Items(1), &b);
  list.SetItems(2, &a);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0), &b);
  EXPECT_EQ(list.Items(1), &a);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TListTest, IndexesOutsideTheListRaise) {
  int a = 0;
  TList list;
  list.Add(&a);
  EXPECT_THROW(list.Items(1), EListError);
  EXPECT_THROW(list.Items(-1), EListError);
  EXPECT_THROW(list.SetItems(1, &a), EListError);
  EXPECT_THROW(list.Delete(1), EListError);
  EXPECT_THROW(list.Insert(2, &a), EListError);
  EXPECT_THROW(list.Exchange(0, 1), EListError);
  try {
    list.Delete(5);
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  EXPECT_EQ(list.Count(), 1);
}

TEST(TListTest, SortOrdersByTheComparisonAndKeepsEqualsInOrder) {
  std::mt19937 random(7);
  for (int n : {0, 1, 2, 3, 17, 100, 257}) {
    std::vector<Rec> recs(static_cast<std::size_t>(n));
    TList list;
    for (int i = 0; i < n; ++i) {
      recs[static_cast<std::size_t>(i)] = Rec{static_cast<int>(random() % 10), i};
      list.Add(&recs[static_cast<std::size_t>(i)]);
    }
    list.Sort(ByKey);
    ASSERT_EQ(list.Count(), n);
    for (int i = 1; i < n; ++i) {
      auto* prev = static_cast<Rec*>(list.Items(i - 1));
      auto* cur = static_cast<Rec*>(list.Items(i));
      EXPECT_TRUE(prev->key < cur->key || (prev->key == cur->key && prev->order < cur->order));
    }
  }
}

TEST(TListTest, ASelfContradictingComparisonIsNoFault) {
  std::vector<int> values(300);
  TList list;
  for (auto& v : values) list.Add(&v);
  static std::mt19937 random(1);
  list.Sort([](void*, void*) { return static_cast<int>(random() % 3) - 1; });
  // Every item is still there exactly once.
  ASSERT_EQ(list.Count(), 300);
  for (auto& v : values) EXPECT_GE(list.IndexOf(&v), 0);
  list.Sort(nullptr);  // nothing to sort by: unchanged
  EXPECT_EQ(list.Count(), 300);
}

}  // namespace
