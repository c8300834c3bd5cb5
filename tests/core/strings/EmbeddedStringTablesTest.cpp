// The four string tables as the build embeds them, read back independently, and
// GetUiText over the real resources.

#include <gtest/gtest.h>

#include "core/UiText.h"
#include "platform/strres/TpsStringResource.h"
#include "platform/win/CodePage.h"
#include "platform/win/Resources.h"
#include "tests/core/strings/CodePageGuard.h"
#include "tests/core/strings/StringTableTestSupport.h"

using namespace strtest;

namespace {

class UiTablesLoaded : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadDefaultUiTable(HInstance)); }
  void TearDown() override { FreeUiTable(); }
};

}  // namespace

TEST(EmbeddedStringTables, EachHoldsEveryIdWithTheTextOfItsSource) {
  const std::vector<std::uint32_t> required = AllIds();
  ASSERT_EQ(required.size(), 663u);
  for (const TableFile& table : kTables) {
    SCOPED_TRACE(table.resource);
    HRSRC found = FindResource(HInstance, table.resource, RT_RCDATA);
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(HInstance, found)));
    const DWORD size = SizeofResource(HInstance, found);
    std::vector<std::uint32_t> ids;
    std::map<std::uint32_t, std::u16string> texts;
    ASSERT_EQ(ParseStr0(data, size, ids, texts), "");
    EXPECT_EQ(GetU32(data + 4), 663u);
    EXPECT_EQ(ids, required);

    const auto source = ReadTableSource(table.file);
    ASSERT_EQ(source.size(), 663u);
    for (const auto& [id, text] : source) EXPECT_EQ(texts[id], Utf8ToUtf16(text)) << "id " << id;
  }
}

TEST(EmbeddedStringTables, EnglishKeepsEveryQuotedTextExactly) {
  const auto quoted = ReadTsv(kSourceDir + "/tests/core/data/en-quoted.tsv");
  const auto english = ReadTableSource("en.tsv");
  EXPECT_EQ(quoted.size(), 331u);
  for (const auto& [id, text] : quoted) {
    auto it = english.find(id);
    ASSERT_NE(it, english.end()) << "id " << id;
    EXPECT_EQ(it->second, text) << "id " << id;
  }
}

// Each table read through TpsStringResource in the code page its Windows would
// use gives every text back letter for letter: no character of a translation
// falls outside that code page.
TEST(EmbeddedStringTables, EveryTextFitsTheCodePageOfItsLanguage) {
  for (const TableFile& table : kTables) {
    SCOPED_TRACE(table.resource);
    CodePageGuard codePage(table.codePage);
    TpsStringResource strings(HInstance, table.resource);
    const std::string cp = "CP" + std::to_string(table.codePage);
    for (const auto& [id, text] : ReadTableSource(table.file)) {
      const std::string ansi = strings.GetString(static_cast<int>(id));
      EXPECT_EQ(Iconv(cp.c_str(), "UTF-8", ansi), text) << "id " << id;
    }
  }
}

TEST_F(UiTablesLoaded, QuotedEscapesBecomeLineBreaks) {
  EXPECT_EQ(GetUiText(2065), "Import error.\nIsn't file opened by another program?");
  EXPECT_EQ(GetUiText(8063), "Default\r\nSigned\r\nUnsigned\r\nHexadecimal");
  EXPECT_EQ(GetUiText(7074), "[Tarnwell] - Cannot create :\xA0");  // trailing no-break space in 1252
  EXPECT_EQ(GetUiText(2005), "OK");
  EXPECT_EQ(GetUiText(2000), "");
  EXPECT_EQ(GetUiText(-1), "");
}

TEST_F(UiTablesLoaded, EachHostLanguageGetsItsTable) {
  struct Case {
    int index;
    const char* file;
  };
  const Case cases[] = {{4, "de.tsv"}, {0, "cs.tsv"}, {5, "pl.tsv"}, {2, "en.tsv"}, {1, "en.tsv"}, {3, "en.tsv"}};
  CodePageGuard codePage(1252);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    ASSERT_TRUE(SelectUiLanguage(c.index));
    EXPECT_EQ(GetUiLanguageIndex(), c.index);
    for (const auto& [id, text] : ReadTableSource(c.file)) {
      const std::string ansi = WideToMultiByte(1252, Utf8ToUtf16(text));
      ASSERT_EQ(GetUiText(static_cast<int>(id)), ExpandEscapesReference(ansi)) << "id " << id;
    }
  }
}
