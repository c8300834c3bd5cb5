// TStringList: sorted lists with ignored duplicates compared without regard
// to case, binary Find, objects, Text in and out.

#include <gtest/gtest.h>

#include "platform/vcl/StringList.h"

namespace {

std::vector<std::string> Items(const TStringList& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Strings(i));
  return items;
}

}  // namespace

TEST(StringList, UnsortedKeepsOrderAndFindsWithoutRegardToCase) {
  TStringList list;
  EXPECT_EQ(list.Add("beta"), 0);
  EXPECT_EQ(list.Add("Alpha"), 1);
  EXPECT_EQ(list.Add("beta"), 2);  // duplicates only matter in a sorted list
  EXPECT_EQ(Items(list), (std::vector<std::string>{"beta", "Alpha", "beta"}));
  EXPECT_EQ(list.IndexOf("ALPHA"), 1);
  EXPECT_EQ(list.IndexOf("BETA"), 0);
  EXPECT_EQ(list.IndexOf("gamma"), -1);
  int index = -5;
  EXPECT_FALSE(list.Find("gamma", index));
  EXPECT_EQ(index, 3);
}

TEST(StringList, SortedInsertsInPlaceAndIgnoresDuplicatesOfAnyCase) {
  TStringList list;
  list.SetSorted(true);
  EXPECT_EQ(list.Duplicates(), dupIgnore);
  int r1 = 1, r2 = 2, r3 = 3;
  list.AddObject("images\\LEFT.PNG", &r1);
  list.AddObject("index.xml", &r2);
  list.AddObject("B_page.xsl", &r3);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"B_page.xsl", "images\\LEFT.PNG", "index.xml"}));
  // Registered again in other letter case: one entry, the first object kept.
  int other = 9;
  int index = list.AddObject("IMAGES\\left.png", &other);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Objects(1), &r1);
  EXPECT_EQ(list.Strings(1), "images\\LEFT.PNG");

  EXPECT_TRUE(list.Find("INDEX.XML", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("c", index));
  EXPECT_EQ(index, 1);  // where it would go
  EXPECT_EQ(list.IndexOf("b_PAGE.XSL"), 0);
  EXPECT_EQ(list.IndexOf("zzz"), -1);
}

TEST(StringList, SortOrderPutsUnderscoreBeforeLetters) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"b", "_a", "A", "a1", "Z", "0"}) list.Add(s);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"0", "_a", "A", "a1", "b", "Z"}));
}

TEST(StringList, DuplicatesAcceptedOrRefused) {
  TStringList accept;
  accept.SetSorted(true);
  accept.SetDuplicates(dupAccept);
  accept.Add("x");
  accept.Add("X");
  EXPECT_EQ(accept.Count(), 2);

  TStringList refuse;
  refuse.SetSorted(true);
  refuse.SetDuplicates(dupError);
  refuse.Add("x");
  EXPECT_THROW(refuse.Add("X"), EStringListError);
  EXPECT_EQ(refuse.Count(), 1);
}

TEST(StringList, TurningSortingOnSortsAndInsertIsThenRefused) {
  TStringList list;
  list.Add("c");
  list.Add("a");
  list.Insert(1, "b");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"c", "b", "a"}));
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_THROW(list.Insert(0, "d"), EStringListError);
}

TEST(StringList, IndexesOutsideTheListRaise) {
  TStringList list;
  list.Add("one");
  EXPECT_THROW(list.Strings(1), EStringListError);
  EXPECT_THROW(list.Strings(-1), EStringListError);
  EXPECT_THROW(list.Objects(1), EStringListError);
  EXPECT_THROW(list.Delete(5), EStringListError);
  EXPECT_THROW(list.Insert(3, "x"), EStringListError);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, TextSplitsAtEveryLineEndAndJoinsWithCrLf) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");

  list.SetText("one\r\n\r\ntwo\r\n");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"one", "", "two"}));
  list.SetText("\r\n");
  EXPECT_EQ(Items(list), (std::vector<std::string>{""}));
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");
}

TEST(StringList, ObjectsAndStringsCanBeReplaced) {
  TStringList list;
  int a = 1, b = 2;
  list.AddObject("k", &a);
  list.SetObjects(0, &b);
  list.SetStrings(0, "K2");
  EXPECT_EQ(list.Objects(0), &b);
  EXPECT_EQ(list[0], "K2");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}
