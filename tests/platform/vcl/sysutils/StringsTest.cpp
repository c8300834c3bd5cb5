#include <gtest/gtest.h>

#include <string>

#include "platform/vcl/SysUtils.h"
#include "platform/win/CodePage.h"

namespace {

TEST(StrToIntTest, ReadsWhatTheClassLibraryReads) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-42"), -42);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("   12"), 12);  // blanks before the number are skipped
  EXPECT_EQ(StrToInt("007"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x1f"), 31);
  EXPECT_EQ(StrToInt("X10"), 16);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt("$80000000"), -2147483647 - 1);
}

TEST(StrToIntTest, AnythingElseRaisesAConvertErrorNamingTheText) {
  for (const char* bad : {"", " ", "-", "+", "$", "0x", "12 ", "1 2", "1.5", "1e3", "abc", "12a", "2147483648",
                          "-2147483649", "99999999999999999999", "$100000000", "\t5", "--1", "0x-1"}) {
    EXPECT_THROW(StrToInt(bad), EConvertError) << "'" << bad << "'";
    EXPECT_EQ(StrToIntDef(bad, -99), -99) << bad;
    int kept = 5;
    EXPECT_FALSE(TryStrToInt(bad, kept));
    EXPECT_EQ(kept, 5);
  }
  try {
    StrToInt("count");
    FAIL();
  } catch (const Exception& e) {  // caught as the library's root exception too
    EXPECT_EQ(e.Message(), "'count' is not a valid integer value");
  }
  EXPECT_EQ(StrToIntDef("17", -1), 17);
  // IntToStr takes every integer type and reads back.
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(std::int64_t{1} << 40), "1099511627776");
  EXPECT_EQ(IntToStr(std::size_t{3}), "3");
  for (int v : {0, 1, -1, 65535, 2147483647}) EXPECT_EQ(StrToInt(IntToStr(v)), v);
}

TEST(TrimTest, RemovesBlanksAndControlCharactersAtTheEnds) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim(std::string("\0\x01x\x1f", 4)), "x");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // a no-break space is a character here
}

class AnsiCaseTest : public ::testing::Test {
 protected:
  void SetUp() override { saved = GetACP(); }
  void TearDown() override { SetAnsiCodePage(saved); }
  UINT saved = 1252;
};

TEST_F(AnsiCaseTest, LettersOfTheAnsiCodePageChangeCase) {
  SetAnsiCodePage(1252);
  // "Größe éàÿ œ š ž" in 1252: ß has no capital; ÿ becomes Ÿ (0x9F).
  EXPECT_EQ(AnsiUpperCase("Gr\xF6\xDF"
                          "e \xE9\xE0\xFF \x9C \x9A \x9E"),
            "GR\xD6\xDF"
            "E \xC9\xC0\x9F \x8C \x8A \x8E");
  EXPECT_EQ(AnsiLowerCase("GR\xD6\xDF"
                          "E \xC9\xC0\x9F \x8C \x8A \x8E"),
            "gr\xF6\xDF"
            "e \xE9\xE0\xFF \x9C \x9A \x9E");
  EXPECT_EQ(AnsiUpperCase("\xB5 \xF7 \xAA"), "\xB5 \xF7 \xAA");  // micro, division sign, ordinal: no case here
  SetAnsiCodePage(1250);
  // "řčšžąłśźń" in 1250 and their capitals.
  EXPECT_EQ(AnsiUpperCase("\xF8\xE8\x9A\x9E\xB9\xB3\x9C\x9F\xF1"), "\xD8\xC8\x8A\x8E\xA5\xA3\x8C\x8F\xD1");
  EXPECT_EQ(AnsiLowerCase("\xD8\xC8\x8A\x8E\xA5\xA3\x8C\x8F\xD1"), "\xF8\xE8\x9A\x9E\xB9\xB3\x9C\x9F\xF1");
  // Through UTF-16 and back, every byte of the code page maps to one byte.
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(AnsiUpperCase(one).size(), 1u);
    EXPECT_EQ(AnsiLowerCase(AnsiUpperCase(AnsiLowerCase(one))), AnsiLowerCase(one)) << b;
  }
}

TEST_F(AnsiCaseTest, PlainCaseFunctionsTouchOnlyAsciiLetters) {
  SetAnsiCodePage(1252);
  EXPECT_EQ(UpperCase("abc\xE9z"), "ABC\xE9Z");
  EXPECT_EQ(LowerCase("ABC\xC9Z_["), "abc\xC9z_[");
}

TEST_F(AnsiCaseTest, ComparisonsIgnoreCase) {
  SetAnsiCodePage(1252);
  EXPECT_EQ(CompareText("Page1", "PAGE1"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_LT(CompareText("", "a"), 0);
  // CompareText folds to capitals: '_' sorts after 'A'.
  EXPECT_GT(CompareText("_", "a"), 0);
  EXPECT_TRUE(SameText("Settings", "SETTINGS"));
  EXPECT_FALSE(SameText("\xE9t\xE9", "\xC9T\xC9"));  // not ASCII letters
  EXPECT_TRUE(AnsiSameText("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_EQ(AnsiCompareText("\xE9t\xE9", "\xC9T\xC9"), 0);
  EXPECT_LT(AnsiCompareText("_", "a"), 0);
  EXPECT_LT(AnsiCompareText("a", "B"), 0);
  EXPECT_GT(AnsiCompareText("b", "A"), 0);
  EXPECT_GT(AnsiCompareText("ab", "A"), 0);
}

}  // namespace
