#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <limits>
#include <random>
#include <string>

#include "core/IecLiterals.h"
#include "core/IecTimeFormat.h"

namespace {

std::tm Parts(int year, int month, int day, int hour, int minute, int second, int ms) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = ms;
  return t;
}

std::string PrintParts(const std::tm& t, const char* format, int size = 255) {
  char out[256];
  std::memset(out, '#', sizeof out);
  const int n = FormatTimeParts(t, out, format, static_cast<std::uint8_t>(size));
  EXPECT_EQ(n, static_cast<int>(std::strlen(out))) << format;
  return out;
}

std::string PrintTime(std::int32_t ms, const char* format, int size = 255) {
  char out[256];
  const int n = FormatTimeValue(ms, out, format, static_cast<std::uint8_t>(size));
  EXPECT_EQ(n, static_cast<int>(std::strlen(out))) << format;
  EXPECT_LE(n, size);
  return out;
}

std::string PrintDateTime(double seconds, const char* format, int size = 255) {
  char out[256];
  const int n = FormatDateTimeValue(seconds, out, format, static_cast<std::uint8_t>(size));
  EXPECT_EQ(n, static_cast<int>(std::strlen(out))) << format;
  return out;
}

TEST(IecTimeFormatLetters, Classes) {
  for (char c : std::string("YMDhmsz")) EXPECT_TRUE(IsTimeFormatLetter(c)) << c;
  for (char c : std::string("ydHMSZT -.:%")) {
    if (c == 'M') continue;
    EXPECT_FALSE(IsTimeFormatLetter(c)) << c;
  }
  for (char c : std::string(" -.:")) EXPECT_TRUE(IsTimeFormatSeparator(c)) << c;
  for (char c : std::string("/,_T\t")) EXPECT_FALSE(IsTimeFormatSeparator(c)) << c;
  EXPECT_TRUE(IsTimeTextSeparator(' ', false));
  EXPECT_TRUE(IsTimeTextSeparator('.', false));
  EXPECT_TRUE(IsTimeTextSeparator(':', false));
  EXPECT_FALSE(IsTimeTextSeparator('-', false));
  EXPECT_TRUE(IsTimeTextSeparator('-', true));
  EXPECT_FALSE(IsTimeTextSeparator('/', true));
}

TEST(IecFormatTimeParts, LettersAndRuns) {
  const std::tm t = Parts(2024, 5, 7, 9, 3, 4, 256);
  EXPECT_EQ(PrintParts(t, "TYYYY-MM-DD-hh:mm:ss.zzz"), "2024-05-07-09:03:04.256");
  EXPECT_EQ(PrintParts(t, "TY"), "24");
  EXPECT_EQ(PrintParts(t, "TYY"), "24");
  EXPECT_EQ(PrintParts(t, "TYYY"), "2024");
  EXPECT_EQ(PrintParts(t, "TYYYYYY"), "2024");
  EXPECT_EQ(PrintParts(t, "TD.M.h:m:s"), "7.5.9:3:4");
  EXPECT_EQ(PrintParts(t, "TMMM"), "055");
  EXPECT_EQ(PrintParts(t, "Thhhh"), "0909");
  EXPECT_EQ(PrintParts(t, "Tzzz"), "256");
  EXPECT_EQ(PrintParts(t, "Tzz"), "25");
  EXPECT_EQ(PrintParts(t, "Tz"), "2");
  EXPECT_EQ(PrintParts(t, "Tzzzz"), "2562");  // "zzz", then a tenth of 256
  EXPECT_EQ(PrintParts(t, "Tzz z"), "25 0");  // the second "z" sees 25
  EXPECT_EQ(PrintParts(t, "Tat hh/T"), "at 09/T");
  EXPECT_EQ(PrintParts(t, "T"), "");
  EXPECT_EQ(PrintParts(Parts(2005, 12, 31, 0, 0, 0, 0), "TYY/MM/DD"), "05/12/31");
}

TEST(IecFormatTimeParts, NothingWithoutTOrSize) {
  const std::tm t = Parts(2024, 5, 7, 9, 3, 4, 256);
  char out[8] = "keep";
  EXPECT_EQ(FormatTimeParts(t, out, "hh:mm", 255), 0);
  EXPECT_STREQ(out, "keep");
  EXPECT_EQ(FormatTimeParts(t, out, "Thh:mm", 0), 0);
  EXPECT_STREQ(out, "keep");
  EXPECT_EQ(FormatTimeParts(t, out, nullptr, 5), 0);
  EXPECT_EQ(FormatTimeParts(t, nullptr, "Thh", 5), 0);
  EXPECT_STREQ(out, "keep");
}

TEST(IecFormatTimeParts, CutToTheBufferSize) {
  const std::tm t = Parts(2024, 5, 7, 9, 3, 4, 256);
  char out[6];
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(FormatTimeParts(t, out, "TYYYY-MM-DD", 4), 4);
  EXPECT_STREQ(out, "2024");
  EXPECT_EQ(out[5], '#');
  EXPECT_EQ(PrintParts(t, "TYYYY-MM-DD-hh:mm:ss.zzz", 1), "2");
  const std::string longFormat = "T" + std::string(400, 'h');
  EXPECT_EQ(PrintParts(t, longFormat.c_str(), 255).size(), 255u);
}

TEST(IecFormatTimeValue, Durations) {
  EXPECT_EQ(PrintTime(-3723004, "Th:mm:ss.zzz"), "-1:02:03.004");
  EXPECT_EQ(PrintTime(360000000, "Th:mm:ss.zzz"), "100:00:00.000");
  EXPECT_EQ(PrintTime(360000000, "Thh:mm:ss.zzz"), "100:00:00.000");
  EXPECT_EQ(PrintTime(0, "Th:mm:ss.zzz"), "0:00:00.000");
  EXPECT_EQ(PrintTime(2147483647, "Th:mm:ss.zzz"), "596:31:23.647");
  EXPECT_EQ(PrintTime(-2147483647 - 1, "Th:mm:ss.zzz"), "-596:31:23.648");
  EXPECT_EQ(PrintTime(45296789, "Thh:mm:ss.zzz"), "12:34:56.789");
  EXPECT_EQ(PrintTime(45296789, "Tmm:ss.z"), "34:56.7");
  EXPECT_EQ(PrintTime(45296789, "TYYYY-MM-DD"), "1900-01-00");  // no date in a duration
  EXPECT_EQ(PrintTime(-5, "T"), "-");
}

TEST(IecFormatTimeValue, SignMakesRoomInAFullBuffer) {
  EXPECT_EQ(PrintTime(-3723004, "Th:mm", 4), "-1:0");
  EXPECT_EQ(PrintTime(-3723004, "Th:mm", 5), "-1:02");
  EXPECT_EQ(PrintTime(-3723004, "Th:mm", 1), "-");
  char out[4] = "abc";
  EXPECT_EQ(FormatTimeValue(-1, out, "Thh", 0), 0);
  EXPECT_EQ(FormatTimeValue(-1, out, "hh", 3), 0);
  EXPECT_STREQ(out, "abc");
}

TEST(IecFormatDateTimeValue, CalendarTimes) {
  EXPECT_EQ(PrintDateTime(1714566615.25, "TYYYY-MM-DD-hh:mm:ss.zzz"), "2024-05-01-12:30:15.250");
  EXPECT_EQ(PrintDateTime(1709164800, "TYYYY-MM-DD"), "2024-02-29");
  EXPECT_EQ(PrintDateTime(4107542400.0, "TYYYY-MM-DD"), "2100-03-01");
  EXPECT_EQ(PrintDateTime(-5, "TYYYY-MM-DD-hh:mm:ss.zzz"), "1970-01-01-00:00:00.000");
  EXPECT_EQ(PrintDateTime(1e12, "TYYYY-MM-DD-hh:mm:ss"), "2106-02-07-06:28:16");
  EXPECT_EQ(PrintDateTime(std::numeric_limits<double>::infinity(), "TYYYY"), "2106");
  EXPECT_EQ(PrintDateTime(std::nan(""), "TYYYY-MM-DD"), "");
  EXPECT_EQ(PrintDateTime(1714566615.25, "TDD.MM.YY hh:mm"), "01.05.24 12:30");
}

TEST(IecFormatDateTimeValue, RoundedMillisecondsCarryIntoTheSeconds) {
  EXPECT_EQ(PrintDateTime(0.9996, "Tss.zzz"), "01.000");
  EXPECT_EQ(PrintDateTime(0.9994, "Tss.zzz"), "00.999");
  EXPECT_EQ(PrintDateTime(59.9999, "Tmm:ss.zzz"), "01:00.000");
  EXPECT_EQ(PrintDateTime(0.0005, "Tss.zzz"), "00.001");
  EXPECT_EQ(PrintDateTime(86399.9999, "TYYYY-MM-DD-hh:mm:ss.zzz"), "1970-01-02-00:00:00.000");
}

TEST(IecFormatDateTimeValue, NothingForSizeZeroOrNoT) {
  char out[4] = "abc";
  EXPECT_EQ(FormatDateTimeValue(0, out, "TYYYY", 0), 0);
  EXPECT_EQ(FormatDateTimeValue(0, out, "YYYY", 3), 0);
  EXPECT_STREQ(out, "abc");
}

TEST(IecParseTimeParts, FieldsByFormat) {
  std::tm t{};
  ASSERT_TRUE(ParseTimeParts(t, "2024-05-07-12:30:15.250", "TYYYY-MM-DD-hh:mm:ss.zzz"));
  EXPECT_EQ(t.tm_year, 124);
  EXPECT_EQ(t.tm_mon, 4);
  EXPECT_EQ(t.tm_mday, 7);
  EXPECT_EQ(t.tm_hour, 12);
  EXPECT_EQ(t.tm_min, 30);
  EXPECT_EQ(t.tm_sec, 15);
  EXPECT_EQ(t.tm_isdst, 250);

  ASSERT_TRUE(ParseTimeParts(t, "07.05.24", "TDD.MM.YY"));
  EXPECT_EQ(t.tm_year, 124);
  EXPECT_EQ(t.tm_mon, 4);
  EXPECT_EQ(t.tm_mday, 7);
  ASSERT_TRUE(ParseTimeParts(t, "07.05.124", "TDD.MM.YY"));  // years since 1900 as they stand
  EXPECT_EQ(t.tm_year, 124);
  ASSERT_TRUE(ParseTimeParts(t, "12 : 30", "Thh:mm"));  // stray blanks are passed over
  EXPECT_EQ(t.tm_hour, 12);
  EXPECT_EQ(t.tm_min, 30);
}

TEST(IecParseTimeParts, MillisecondDigits) {
  std::tm t{};
  ASSERT_TRUE(ParseTimeParts(t, "1:2:3.5", "Th:m:s.z"));
  EXPECT_EQ(t.tm_isdst, 500);
  ASSERT_TRUE(ParseTimeParts(t, "1:2:3.25", "Th:m:s.zz"));
  EXPECT_EQ(t.tm_isdst, 250);
  ASSERT_TRUE(ParseTimeParts(t, "1:2:3.025", "Th:m:s.zzz"));
  EXPECT_EQ(t.tm_isdst, 25);
  ASSERT_TRUE(ParseTimeParts(t, "1:2:3.12345", "Th:m:s.zzz"));  // digits past three dropped
  EXPECT_EQ(t.tm_isdst, 123);
  EXPECT_EQ(t.tm_sec, 3);
}

TEST(IecParseTimeParts, ShortTextKeepsStartValues) {
  std::tm t{};
  ASSERT_TRUE(ParseTimeParts(t, "12:30", "Thh:mm:ss.zzz"));
  EXPECT_EQ(t.tm_hour, 12);
  EXPECT_EQ(t.tm_min, 30);
  EXPECT_EQ(t.tm_sec, 0);
  EXPECT_EQ(t.tm_isdst, 0);
  ASSERT_TRUE(ParseTimeParts(t, "", "TYYYY-MM-DD"));
  EXPECT_EQ(t.tm_year, 100);
  EXPECT_EQ(t.tm_mon, 0);
  EXPECT_EQ(t.tm_mday, 1);
}

TEST(IecParseTimeParts, FailuresMarkTheMilliseconds) {
  std::tm t{};
  EXPECT_FALSE(ParseTimeParts(t, "12-30", "Thh:mm"));
  EXPECT_EQ(t.tm_isdst, -1);
  EXPECT_FALSE(ParseTimeParts(t, "ab", "Thh"));
  EXPECT_EQ(t.tm_isdst, -1);
  EXPECT_FALSE(ParseTimeParts(t, "12:30", "hh:mm"));
  EXPECT_EQ(t.tm_isdst, -1);
  EXPECT_FALSE(ParseTimeParts(t, "12:30.x", "Thh:mm.zzz"));
  EXPECT_FALSE(ParseTimeParts(t, "99999999999", "Thh"));
  EXPECT_FALSE(ParseTimeParts(t, "12", nullptr));
  EXPECT_FALSE(ParseTimeParts(t, nullptr, "Thh"));
}

TEST(IecParseTimeValue, Durations) {
  EXPECT_EQ(ParseTimeValue("-1:02:03.004", "Th:mm:ss.zzz"), -3723004);
  EXPECT_EQ(ParseTimeValue("100:00:00.000", "Th:mm:ss.zzz"), 360000000);
  EXPECT_EQ(ParseTimeValue("12:30", "Thh:mm"), 45000000);
  EXPECT_EQ(ParseTimeValue("596:31:23.647", "Th:mm:ss.zzz"), 2147483647);
  EXPECT_EQ(ParseTimeValue("596:31:23.648", "Th:mm:ss.zzz"), 0);  // outside 32 bits
  EXPECT_EQ(ParseTimeValue("-596:31:23.648", "Th:mm:ss.zzz"), -2147483647 - 1);
  EXPECT_EQ(ParseTimeValue("12/30", "Thh:mm"), 0);
  EXPECT_EQ(ParseTimeValue(nullptr, "Thh:mm"), 0);
}

TEST(IecParseDateTimeValue, CalendarTimes) {
  EXPECT_EQ(ParseDateTimeValue("2024-05-01-12:30:15.250", "TYYYY-MM-DD-hh:mm:ss.zzz"), 1714566615.25);
  EXPECT_EQ(ParseDateTimeValue("01.05.24", "TDD.MM.YY"), 1714521600.0);
  EXPECT_EQ(ParseDateTimeValue("", "TYYYY"), 946684800.0);  // the start value, 2000-01-01
  EXPECT_EQ(ParseDateTimeValue("2024/05/01", "TYYYY-MM-DD"), 0.0);
  EXPECT_EQ(ParseDateTimeValue("1960-01-01", "TYYYY-MM-DD"), 0.0);
}

TEST(IecTimeTextScanning, DigitsAndBlanks) {
  EXPECT_STREQ(SkipDigitsAndSpaces("12 3a"), "a");
  EXPECT_STREQ(SkipDigitsAndSpaces("-1"), "-1");
  EXPECT_STREQ(SkipDigitsAndSpaces(""), "");
  EXPECT_EQ(CountDigits("12 3a4"), 3);
  EXPECT_EQ(CountDigits("   "), 0);
  EXPECT_EQ(CountDigits(""), 0);
}

TEST(IecTimeFormatRoundTrip, DurationsThroughTheBuiltInFormats) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max());
  for (int i = 0; i < 20000; ++i) {
    const std::int32_t ms = any(rng);
    for (const char* format : {"Th:mm:ss.zzz", "Thh:mm:ss.zzz"}) {
      const std::string text = PrintTime(ms, format);
      ASSERT_EQ(ParseTimeValue(text.c_str(), format), ms) << text;
      std::int32_t literal = 0;
      ASSERT_TRUE(ParseTimeLiteral(("T#" + text).c_str(), literal)) << text;
      ASSERT_EQ(literal, ms) << text;
    }
  }
}

TEST(IecTimeFormatRoundTrip, EveryMillisecondOfAMinuteThroughTheLiteral) {
  // The seconds of a literal are read and scaled in single precision; every
  // printed value must still come back exact.
  for (std::int32_t ms = 0; ms < 60000; ++ms) {
    const std::string text = PrintTime(ms, "Thh:mm:ss.zzz");
    std::int32_t time = -1, tod = -1;
    ASSERT_TRUE(ParseTimeLiteral(("T#" + text).c_str(), time));
    ASSERT_TRUE(ParseTodLiteral(("TOD#" + text).c_str(), tod));
    ASSERT_EQ(time, ms) << text;
    ASSERT_EQ(tod, ms) << text;
  }
}

TEST(IecTimeFormatRoundTrip, DateTimesThroughTheBuiltInFormats) {
  std::mt19937 rng(23);
  std::uniform_int_distribution<std::uint32_t> seconds(0, 4294967295u);
  std::uniform_int_distribution<int> millis(0, 999);
  for (int i = 0; i < 20000; ++i) {
    const double whole = seconds(rng);
    const double value = whole + millis(rng) / 1000.0;
    const char* dtFormat = "TYYYY-MM-DD-hh:mm:ss.zzz";
    const std::string dt = PrintDateTime(value, dtFormat);
    ASSERT_EQ(std::llround(ParseDateTimeValue(dt.c_str(), dtFormat) * 1000), std::llround(value * 1000)) << dt;
    double literal = 0;
    ASSERT_TRUE(ParseDtLiteral(("DT#" + dt).c_str(), literal)) << dt;
    if (whole <= 4294965600.0) {
      ASSERT_EQ(std::llround(literal * 1000), std::llround(value * 1000)) << dt;
    }

    const double midnight = std::floor(whole / 86400) * 86400;
    const std::string date = PrintDateTime(midnight, "TYYYY-MM-DD");
    ASSERT_EQ(ParseDateTimeValue(date.c_str(), "TYYYY-MM-DD"), midnight) << date;
    ASSERT_TRUE(ParseDateLiteral(("D#" + date).c_str(), literal)) << date;
    ASSERT_EQ(literal, midnight) << date;
  }
}

TEST(IecTimeFormatRoundTrip, UserFormats) {
  std::mt19937 rng(31);
  // 2000-01-01 .. 2099-12-31, where two-digit years read back.
  std::uniform_int_distribution<std::uint32_t> seconds(946684800u, 4102444799u);
  for (int i = 0; i < 20000; ++i) {
    const double value = seconds(rng);
    for (const char* format :
         {"TDD.MM.YYYY hh:mm:ss", "TYY-M-D h:m:s", "TMM/DD/YY hh.mm.ss", "TD. M. YYYY, hh:mm:ss"}) {
      const std::string text = PrintDateTime(value, format);
      ASSERT_EQ(ParseDateTimeValue(text.c_str(), format), value) << format << " " << text;
    }
  }
  for (std::int32_t ms = 0; ms < 86400000; ms += 60000 * 7) {
    const std::string text = PrintTime(ms, "Thh:mm");
    ASSERT_EQ(ParseTimeValue(text.c_str(), "Thh:mm"), ms) << text;
  }
}

}  // namespace
