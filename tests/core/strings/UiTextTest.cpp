// UiText and TpsStringResource over tables made in the test and carried by a
// module record of the test's own, so that each language has distinct texts and
// broken tables can be tried.

#include <gtest/gtest.h>

#include "core/UiText.h"
#include "platform/strres/TpsStringResource.h"
#include "platform/win/CodePage.h"
#include "platform/win/Resources.h"
#include "tests/core/strings/CodePageGuard.h"
#include "tests/core/strings/StringTableTestSupport.h"

using namespace strtest;

namespace {

// A module whose resources are tables built here; keeps their bytes alive.
class FakeModule {
 public:
  void Add(const char* name, std::string bytes, const char* type = "#10") {
    FData.push_back(std::make_unique<std::string>(std::move(bytes)));
    FRecord.resources.push_back(
        {name, type, reinterpret_cast<const unsigned char*>(FData.back()->data()), FData.back()->size()});
  }
  HINSTANCE Handle() { return &FRecord; }

 private:
  ModuleRecord FRecord;
  std::vector<std::unique_ptr<std::string>> FData;
};

std::string TableSaying(const std::string& word) { return BuildStr0Utf8({{2001, word}, {2002, word + " 2002"}}); }

class UiTextOverFakeModule : public ::testing::Test {
 protected:
  void SetUp() override {
    FModule.Add("TARNWELL_ENU", TableSaying("english"));
    FModule.Add("TARNWELL_CSY", TableSaying("czech"));
    FModule.Add("TARNWELL_RUS", TableSaying("german"));
    FModule.Add("TARNWELL_DEU", TableSaying("polish"));
  }
  void TearDown() override { FreeUiTable(); }
  FakeModule FModule;
};

}  // namespace

TEST_F(UiTextOverFakeModule, LanguageIndexPicksTheTable) {
  ASSERT_TRUE(LoadDefaultUiTable(FModule.Handle()));
  EXPECT_EQ(GetUiText(2001), "english");
  const std::pair<int, const char*> cases[] = {{4, "german"},  {0, "czech"},   {5, "polish"},   {2, "english"},
                                               {1, "english"}, {3, "english"}, {-7, "english"}, {6, "english"}};
  for (const auto& [index, word] : cases) {
    ASSERT_TRUE(SelectUiLanguage(index));
    EXPECT_EQ(GetUiText(2001), word) << "index " << index;
    EXPECT_EQ(GetUiLanguageIndex(), index);
  }
}

TEST_F(UiTextOverFakeModule, WithoutTableEveryIdIsResourceError) {
  ASSERT_TRUE(LoadDefaultUiTable(FModule.Handle()));
  ASSERT_TRUE(SelectUiLanguage(5));
  FreeUiTable();
  EXPECT_EQ(GetUiText(2001), "resource error");
  EXPECT_EQ(GetUiText(0), "resource error");
  // Selecting a language now does nothing: no table comes back, the index stays.
  EXPECT_FALSE(SelectUiLanguage(0));
  EXPECT_EQ(GetUiLanguageIndex(), 5);
  EXPECT_EQ(GetUiText(2001), "resource error");
}

TEST_F(UiTextOverFakeModule, BrokenTablesLeaveTheCurrentOneInPlace) {
  FakeModule broken;
  broken.Add("TARNWELL_ENU", TableSaying("english"));
  broken.Add("TARNWELL_CSY", "STR0\xFF\xFF\xFF\xFF");  // count far beyond the data
  ASSERT_TRUE(LoadDefaultUiTable(broken.Handle()));
  ASSERT_TRUE(SelectUiLanguage(1));
  EXPECT_FALSE(SelectUiLanguage(0));
  EXPECT_EQ(GetUiLanguageIndex(), 1);
  EXPECT_EQ(GetUiText(2001), "english");
  EXPECT_FALSE(SelectUiLanguage(4));  // no such resource at all
  EXPECT_EQ(GetUiText(2001), "english");

  FakeModule noEnglish;
  std::string error;
  EXPECT_FALSE(LoadDefaultUiTable(noEnglish.Handle(), &error));
  EXPECT_NE(error.find("TARNWELL_ENU"), std::string::npos) << error;
  EXPECT_EQ(GetUiText(2001), "resource error");
}

TEST_F(UiTextOverFakeModule, EscapesFollowTheStatedRule) {
  const std::map<std::uint32_t, std::string> texts = {
      {2001, "a\\nb\\rc"},
      {2002, "tab\\tand \\x and \\N"},
      {2003, "two\\\\"},
      {2004, "ends in one\\"},
      {2005, "\\"},
      {2006, "\\\\\\"},
      {2007, "\\n\\n\\r\\\\n"},
      {2008, "no escape"},
      {2009, ""},
  };
  FakeModule module;
  module.Add("TARNWELL_ENU", BuildStr0Utf8(texts));
  ASSERT_TRUE(LoadDefaultUiTable(module.Handle()));
  EXPECT_EQ(GetUiText(2001), "a\nb\rc");
  EXPECT_EQ(GetUiText(2002), "tab\tand \t and \t");
  EXPECT_EQ(GetUiText(2003), "two\t");
  EXPECT_EQ(GetUiText(2004), "ends in one");  // dropped, no TAB
  EXPECT_EQ(GetUiText(2005), "");
  EXPECT_EQ(GetUiText(2006), "\t");
  for (const auto& [id, text] : texts) EXPECT_EQ(GetUiText(static_cast<int>(id)), ExpandEscapesReference(text));
  EXPECT_EQ(GetUiText(2010), "");  // missing id
}

// UTF-16 in the table -> code page 1250 from GetUiText -> UTF-8 by iconv gives
// the Czech letters back one for one.
TEST_F(UiTextOverFakeModule, CzechTextSurvivesCodePage1250) {
  const std::string czech = "Příliš žluťoučký kůň úpěl ďábelské ódy – ŘŠČŽÝÁÍÉŮÚĚŤĎŇ";
  FakeModule module;
  module.Add("TARNWELL_ENU", TableSaying("english"));
  module.Add("TARNWELL_CSY", BuildStr0Utf8({{7001, czech}}));
  CodePageGuard codePage(1250);
  ASSERT_TRUE(LoadDefaultUiTable(module.Handle()));
  ASSERT_TRUE(SelectUiLanguage(0));
  const std::string ansi = GetUiText(7001);
  EXPECT_EQ(ansi.size(), Utf8ToUtf16(czech).size());  // one byte a letter
  EXPECT_EQ(Iconv("CP1250", "UTF-8", ansi), czech);

  // In code page 1252 the letters it lacks come out as '?'.
  SetAnsiCodePage(1252);
  const std::string western = GetUiText(7001);
  EXPECT_EQ(western.substr(0, 4), "P?\xEDl");
}

TEST(TpsStringResource, ReadsTextsAndAnswersEmptyForMissingIds) {
  FakeModule module;
  module.Add("TEST_TABLE", BuildStr0Utf8({{8000, "zero"}, {5, "five\xC2\xA0"}, {7, ""}}));
  module.Add("TEST_WRONG_TYPE", BuildStr0Utf8({{1, "x"}}), "#6");
  CodePageGuard codePage(1252);
  TpsStringResource strings(module.Handle(), "test_table");  // names compare without regard to case
  EXPECT_EQ(strings.GetString(8000), "zero");
  EXPECT_EQ(strings.GetString(5), "five\xA0");
  EXPECT_EQ(strings.GetString(7), "");
  EXPECT_EQ(strings.GetString(6), "");
  EXPECT_EQ(strings.GetString(-1), "");
  EXPECT_THROW(TpsStringResource(module.Handle(), "TEST_WRONG_TYPE"), EStringResourceError);
  EXPECT_THROW(TpsStringResource(module.Handle(), "NO_SUCH_TABLE"), EStringResourceError);
  EXPECT_THROW(TpsStringResource(module.Handle(), nullptr), EStringResourceError);
}

TEST(TpsStringResource, RefusesBrokenTablesWithoutReadingOutside) {
  const std::string good = BuildStr0Utf8({{1, "one"}, {2, "two"}, {3, "three"}});
  std::vector<std::pair<std::string, std::string>> bad;  // what, bytes
  for (std::size_t n = 0; n < good.size(); ++n) bad.emplace_back("prefix of " + std::to_string(n), good.substr(0, n));
  auto patched = [&good](std::size_t at, std::uint32_t value) {
    std::string b = good;
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
    return b;
  };
  bad.emplace_back("magic", "STR1" + good.substr(4));
  bad.emplace_back("count too large", patched(4, 4));
  bad.emplace_back("count huge", patched(4, 0xFFFFFFFF));
  bad.emplace_back("offset past the end", patched(8 + 4, 0xFFFFFFF0));
  bad.emplace_back("offset into the entries", patched(8 + 4, 8));
  bad.emplace_back("length past the end", patched(8 + 8, 0x7FFFFFFF));
  bad.emplace_back("length wraps", patched(8 + 8, 0x80000000));
  bad.emplace_back("duplicate id", patched(8 + 12, 1));
  for (const auto& [what, bytes] : bad) {
    FakeModule module;
    module.Add("T", bytes);
    EXPECT_THROW(TpsStringResource(module.Handle(), "T"), EStringResourceError) << what;
  }
  // An empty table and trailing bytes after the texts are sound.
  FakeModule module;
  module.Add("EMPTY", std::string("STR0\0\0\0\0", 8));
  module.Add("TAIL", good + "xx");
  EXPECT_EQ(TpsStringResource(module.Handle(), "EMPTY").GetString(1), "");
  EXPECT_EQ(TpsStringResource(module.Handle(), "TAIL").GetString(3), "three");
}
