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

}  // namespace
