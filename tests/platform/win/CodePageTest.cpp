#include <gtest/gtest.h>

#include "platform/win/CodePage.h"

namespace {

TEST(CodePage, CzechTextSurvivesUtf16To1250ToUtf8) {
  const std::u16string czech = u"P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148 \u00FAp\u011Bl";
  std::string cp1250 = WideToMultiByte(1250, czech);
  EXPECT_EQ(cp1250.size(), czech.size());
  EXPECT_EQ(MultiByteToWide(1250, cp1250), czech);
  EXPECT_EQ(WideToMultiByte(CP_UTF8, MultiByteToWide(1250, cp1250)),
            "P\xC5\x99\xC3\xADli\xC5\xA1 \xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88 \xC3\xBAp\xC4\x9Bl");
}

TEST(CodePage, AnsiSettingAndReplacements) {
  EXPECT_EQ(GetACP(), 1252u);
  SetAnsiCodePage(1250);
  EXPECT_EQ(WideToMultiByte(CP_ACP, u"\u0161"), "\x9A");
  SetAnsiCodePage(1252);
  EXPECT_EQ(WideToMultiByte(CP_ACP, u"\u0161"), "\x9A");  // also in 1252
  EXPECT_EQ(WideToMultiByte(CP_ACP, u"\u0159"), "?");     // not in 1252
  EXPECT_EQ(MultiByteToWide(1250, "\x81"), u"\uFFFD");    // undefined in 1250
}

// More code pages in turn than conversions are kept open for: each answer is
// that of its own code page, the second round as the first. The last letter
// of a Hebrew or Vietnamese text, which may take combining marks after it, is
// kept too.
TEST(CodePage, ManyCodePagesInTurnEachConvertAsTheirOwn) {
  const struct {
    UINT codePage;
    std::u16string text;
    std::string bytes;
  } rows[] = {
      {437, u"\u00E7", "\x87"},  {850, u"\u00E7", "\x87"},  {852, u"\u0161", "\xE7"},  {866, u"\u0416", "\x86"},
      {1250, u"\u0161", "\x9A"}, {1251, u"\u0416", "\xC6"}, {1252, u"\u00E7", "\xE7"}, {1253, u"\u03A9", "\xD9"},
      {1254, u"\u011F", "\xF0"}, {1255, u"\u05D0", "\xE0"}, {1258, u"\u00E2", "\xE2"}, {CP_UTF8, u"\u00E7", "\xC3\xA7"},
  };
  for (int round = 0; round < 2; ++round) {
    for (const auto& row : rows) {
      EXPECT_EQ(WideToMultiByte(row.codePage, row.text), row.bytes) << row.codePage;
      EXPECT_EQ(MultiByteToWide(row.codePage, row.bytes), row.text) << row.codePage;
    }
  }
}

}  // namespace
