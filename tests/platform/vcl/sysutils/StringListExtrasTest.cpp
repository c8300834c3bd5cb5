#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/Streams.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/Strings.h"

namespace {

std::vector<std::string> Items(const TStringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

using V = std::vector<std::string>;

TEST(CommaTextTest, SplitsAtCommasAndBlanksWithQuotes) {
  TStringList list;
  list.SetCommaText("a,b c");
  EXPECT_EQ(Items(list), (V{"a", "b", "c"}));
  list.SetCommaText("  [n , 5 ,  \"two words\" ,x]  ");
  EXPECT_EQ(Items(list), (V{"[n", "5", "two words", "x]"}));
  list.SetCommaText("a,,b");
  EXPECT_EQ(Items(list), (V{"a", "", "b"}));
  list.SetCommaText("a,");
  EXPECT_EQ(Items(list), (V{"a", ""}));
  list.SetCommaText("a, ");  // a blank after the last comma gives no item
  EXPECT_EQ(Items(list), (V{"a"}));
  list.SetCommaText(",a");
  EXPECT_EQ(Items(list), (V{"", "a"}));
  list.SetCommaText("\"say \"\"hi\"\"\",\"x,y\"");
  EXPECT_EQ(Items(list), (V{"say \"hi\"", "x,y"}));
  list.SetCommaText("\"open quote, to the end");
  EXPECT_EQ(Items(list), (V{"open quote, to the end"}));
  list.SetCommaText("\"ab\"cd");  // text after a closing quote starts the next item
  EXPECT_EQ(Items(list), (V{"ab", "cd"}));
  list.SetCommaText("");
  EXPECT_EQ(list.Count(), 0);
  list.SetCommaText(std::string("a,b\0,c", 6));  // the line ends at a NUL
  EXPECT_EQ(Items(list), (V{"a", "b"}));
}

TEST(CommaTextTest, QuotesWhatWouldNotComeBack) {
  TStringList list;
  for (const char* s : {"plain", "two words", "", "com,ma", "quo\"te", "tab\there"}) list.Add(s);
  EXPECT_EQ(list.CommaText(), "plain,\"two words\",,\"com,ma\",\"quo\"\"te\",\"tab\there\"");
  TStringList one;
  one.Add("");
  EXPECT_EQ(one.CommaText(), "\"\"");
  EXPECT_EQ(TStringList().CommaText(), "");
}

TEST(CommaTextTest, RoundTripsKeepEveryItem) {
  const std::vector<V> cases = {
      {"a"},
      {""},
      {"", ""},
      {"a", ""},
      {"", "a"},
      {" lead", "trail ", " both "},
      {"\"", "\"\"", ","},
      {"x y", "", "z"},
      {"=", "name=value with blank", "\x01"},
      {"\xE9t\xE9", "\xA0"},
  };
  for (const V& items : cases) {
    TStringList list;
    for (const auto& s : items) list.Add(s);
    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(Items(back), items) << list.CommaText();
  }
}

TEST(CommaTextTest, DelimitedTextUsesTheListsDelimiterAndQuote) {
  TStringList list;
  list.Delimiter = ';';
  list.QuoteChar = '\'';
  list.SetDelimitedText("a;'b;c' d");
  EXPECT_EQ(Items(list), (V{"a", "b;c", "d"}));
  EXPECT_EQ(list.DelimitedText(), "a;'b;c';d");
  EXPECT_EQ(list.CommaText(), "a,b;c,d");  // the comma text keeps ',' and '"'
}

TEST(NamesValuesTest, NameValueItems) {
  TStringList list;
  list.SetText("ColorA=3C5A9C\r\nColorB=B1A3FF\r\nplain\r\nkey=a=b\r\n");
  EXPECT_EQ(list.Names(0), "ColorA");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.Names(3), "key");
  EXPECT_EQ(list.Values("colorb"), "B1A3FF");  // names compare as the texts do
  EXPECT_EQ(list.Values("key"), "a=b");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.IndexOfName("COLORA"), 0);
  EXPECT_EQ(list.IndexOfName("plain"), -1);
  list.SetValues("ColorA", "000000");
  EXPECT_EQ(list.Strings(0), "ColorA=000000");
  list.SetValues("ColorC", "FFFFFF");
  EXPECT_EQ(list.Strings(4), "ColorC=FFFFFF");
  list.SetValues("ColorB", "");
  EXPECT_EQ(list.IndexOfName("ColorB"), -1);
  EXPECT_EQ(list.Count(), 4);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOfName("colora"), -1);
  EXPECT_EQ(list.IndexOfName("ColorA"), 0);
  EXPECT_THROW(list.Names(9), EStringListError);
}

TEST(NamesValuesTest, TheColourDialogsCustomColours) {
  TColorDialog dialog(nullptr);
  dialog.CustomColors()->SetText("ColorA=3C5A9C\r\nColorB=B1A3FF\r\n");
  EXPECT_EQ(dialog.CustomColors()->Values("ColorB"), "B1A3FF");
  EXPECT_EQ(dialog.CustomColor(0), static_cast<TColor>(0x9C5A3C));  // red first in the text
}

TEST(StringListExtrasTest, CaseSensitiveSortingAndSearch) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  for (const char* s : {"b", "B", "a", "A"}) list.Add(s);
  EXPECT_EQ(list.IndexOf("b"), list.IndexOf("B"));  // one of the two, letter case aside
  list.SetCaseSensitive(true);                      // sorts again, bytes in order
  EXPECT_EQ(Items(list), (V{"A", "B", "a", "b"}));
  EXPECT_EQ(list.IndexOf("b"), 3);
  EXPECT_EQ(list.IndexOf("B"), 1);
  int at = -1;
  EXPECT_FALSE(list.Find("C", at));
  EXPECT_EQ(at, 2);
  list.SetDuplicates(dupIgnore);
  EXPECT_EQ(list.Add("a"), 2);  // already there
  EXPECT_EQ(list.Count(), 4);
  list.SetCaseSensitive(false);
  EXPECT_TRUE(list.Find("B", at));
}

TEST(StringListExtrasTest, InsertExchangeMoveAndCapacity) {
  TStringList list;
  int objects[3];
  list.AddObject("one", &objects[0]);
  list.AddObject("two", &objects[1]);
  list.AddObject("three", &objects[2]);
  list.Insert(0, "zero");
  list.Exchange(0, 3);
  EXPECT_EQ(Items(list), (V{"three", "one", "two", "zero"}));
  EXPECT_EQ(list.Objects(0), &objects[2]);
  list.Move(0, 2);
  EXPECT_EQ(Items(list), (V{"one", "two", "three", "zero"}));
  EXPECT_EQ(list.Objects(2), &objects[2]);
  list.Move(3, 0);
  EXPECT_EQ(Items(list), (V{"zero", "one", "two", "three"}));
  // A refused move loses nothing.
  EXPECT_THROW(list.Move(0, 4), EStringListError);
  EXPECT_THROW(list.Move(-1, 0), EStringListError);
  EXPECT_THROW(list.Exchange(0, 4), EStringListError);
  EXPECT_EQ(list.Count(), 4);
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.Add("b");
  sorted.Add("a");
  EXPECT_THROW(sorted.Move(0, 1), EStringListError);
  EXPECT_EQ(Items(sorted), (V{"a", "b"}));

  EXPECT_GE(list.Capacity(), list.Count());
  list.SetCapacity(100);
  EXPECT_EQ(list.Capacity(), 100);
  EXPECT_THROW(list.SetCapacity(3), EStringListError);
  list.SetCapacity(2000000000);  // a hint: no such room is taken
  EXPECT_EQ(list.Capacity(), 2000000000);
  list.Clear();
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(StringListExtrasTest, TStringsTellTheirOwnerAboutTheNewChanges) {
  TStrings items;
  int changes = 0;
  items.OnChange = [&] { ++changes; };
  items.SetCommaText("a,b,c");
  items.SetValues("k", "v");
  items.SetCaseSensitive(true);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(items.Count(), 4);
}

class StringListFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The process id keeps two runs of the suite at once (two builds on one
    // machine) out of each other's folders.
    dir = std::filesystem::temp_directory_path() / ("sysutils_sl_" + std::to_string(::getpid()) + "_" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Read(const std::string& name) {
    std::ifstream in(dir / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::filesystem::path dir;
};

TEST_F(StringListFileTest, SavedWithCrLfAndReadBack) {
  TStringList list;
  list.Add("00:11:22:33:44:55");
  list.Add("");
  list.Add("last");
  list.SaveToFile(dir.string() + "\\MAC.TXT");
  EXPECT_EQ(Read("MAC.TXT"), "00:11:22:33:44:55\r\n\r\nlast\r\n");
  TStringList back;
  back.Add("old");
  back.LoadFromFile(dir.string() + "\\mac.txt");  // names resolve without regard to case
  EXPECT_EQ(Items(back), Items(list));
  // LF, CR and a last line without its end.
  std::ofstream(dir / "mixed.txt", std::ios::binary) << "a\nb\rc\r\nd";
  back.LoadFromFile(dir.string() + "\\mixed.txt");
  EXPECT_EQ(Items(back), (V{"a", "b", "c", "d"}));
  // Saving again replaces the whole file.
  list.Clear();
  list.Add("x");
  list.SaveToFile(dir.string() + "\\mac.txt");
  EXPECT_EQ(Read("MAC.TXT"), "x\r\n");
}

TEST_F(StringListFileTest, FailuresRaiseAndLeaveThingsAlone) {
  TStringList list;
  list.Add("kept");
  EXPECT_THROW(list.LoadFromFile(dir.string() + "\\missing.txt"), EFOpenError);
  EXPECT_EQ(Items(list), (V{"kept"}));
  EXPECT_THROW(list.SaveToFile(dir.string() + "\\no\\such\\folder.txt"), EFCreateError);
  try {
    list.LoadFromFile("missing.txt");
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot open file missing.txt");
  }
}

}  // namespace
