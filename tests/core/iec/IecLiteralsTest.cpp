#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/IecLiterals.h"
#include "core/IecTime.h"

namespace {

constexpr std::int32_t kUntouched = 0x5A5A5A5A;
constexpr double kUntouchedSeconds = -12345.5;

// The literal's TIME value, or kUntouched when the parser stored nothing.
std::int32_t Time(const char* text, bool expected = true) {
  std::int32_t v = kUntouched;
  EXPECT_EQ(ParseTimeLiteral(text, v), expected) << text;
  return v;
}
std::int32_t Tod(const char* text, bool expected = true) {
  std::int32_t v = kUntouched;
  EXPECT_EQ(ParseTodLiteral(text, v), expected) << text;
  return v;
}
double Date(const char* text, bool expected = true) {
  double v = kUntouchedSeconds;
  EXPECT_EQ(ParseDateLiteral(text, v), expected) << text;
  return v;
}
double Dt(const char* text, bool expected = true) {
  double v = kUntouchedSeconds;
  EXPECT_EQ(ParseDtLiteral(text, v), expected) << text;
  return v;
}

TEST(IecTimeLiteral, Examples) {
  EXPECT_EQ(Time("T#1:30:15.5"), 5415500);
  EXPECT_EQ(Time("time#-0:0:1"), -1000);
  EXPECT_EQ(Time("TIME#0:0:0"), 0);
  EXPECT_EQ(Time("t#-1:02:03.004"), -3723004);
  EXPECT_EQ(Time("T#100:0:0"), 360000000);
  EXPECT_EQ(Time("T#0:90:0"), 5400000);    // fields are not limited
  EXPECT_EQ(Time("x T#0:0:2 y"), 2000);    // prefix anywhere, text after ignored
  EXPECT_EQ(Time("T# 1: 2: 3"), 3723000);  // blanks before numbers
  EXPECT_EQ(Time("T#0:0:1e1"), 10000);
}

TEST(IecTimeLiteral, SecondsCountToTheMillisecondAsWritten) {
  EXPECT_EQ(Time("T#0:0:0.251"), 251);  // 250.99998 in single precision
  EXPECT_EQ(Time("T#0:0:59.999"), 59999);
  EXPECT_EQ(Time("T#0:0:0.2519"), 251);  // decimals below a millisecond are cut off
  EXPECT_EQ(Time("T#0:0:-0.2519"), -251);
  EXPECT_EQ(Time("T#0:0:1.5e-3"), 1);
  EXPECT_EQ(Time("T#0:0:.5"), 500);
  EXPECT_EQ(Time("T#0:0:7."), 7000);
  EXPECT_EQ(Time("T#0:0:+2"), 2000);
  EXPECT_EQ(Time("T#0:0:0e999999"), 0);
  EXPECT_EQ(Time("T#0:0:2147483.647"), 2147483647);
  EXPECT_EQ(Time("T#0:0:0.000000000000000000000000000000000000000000000000001"), 0);
}

TEST(IecTimeLiteral, SignedRangeEnds) {
  EXPECT_EQ(Time("T#596:31:23.647"), 2147483647);
  EXPECT_EQ(Time("T#596:31:23.648", false), kUntouched);
  EXPECT_EQ(Time("T#-596:31:23.648"), -2147483647 - 1);
  EXPECT_EQ(Time("T#-596:31:23.649", false), kUntouched);
  EXPECT_EQ(Time("T#597:0:0", false), kUntouched);
  EXPECT_EQ(Time("T#0:0:3000000", false), kUntouched);
  EXPECT_EQ(Time("T#0:0:1e30", false), kUntouched);
  EXPECT_EQ(Time("T#0:0:1e39", false), kUntouched);
  EXPECT_EQ(Time("T#0:0:1e99999999999", false), kUntouched);
  EXPECT_EQ(Time("T#99999999999:0:0", false), kUntouched);  // beyond an int
}

TEST(IecTimeLiteral, PartialFieldsAreRefusedAndStoreNothing) {
  EXPECT_EQ(Time("T#1:2", false), kUntouched);
  EXPECT_EQ(Time("T#1", false), kUntouched);
  EXPECT_EQ(Time("T#", false), kUntouched);
  EXPECT_EQ(Time("T#   ", false), kUntouched);
  EXPECT_EQ(Time("T#1:2:", false), kUntouched);
  EXPECT_EQ(Time("T#1:2:x", false), kUntouched);
  EXPECT_EQ(Time("T#1 :2:3", false), kUntouched);  // a literal ":" must follow at once
  EXPECT_EQ(Time("T#a:2:3", false), kUntouched);
  EXPECT_EQ(Time("T#-", false), kUntouched);
  EXPECT_EQ(Time("T#0:0:inf", false), kUntouched);
  EXPECT_EQ(Time("T#0:0:nan", false), kUntouched);
  EXPECT_EQ(Time("12:00:00", false), kUntouched);  // no prefix
  EXPECT_EQ(Time("TOD#12:00:00", false), kUntouched);
}

TEST(IecTodLiteral, ExamplesAndLimits) {
  EXPECT_EQ(Tod("TOD#12:00:00"), 43200000);
  EXPECT_EQ(Tod("time_of_day#23:59:59.999"), 86399999);
  EXPECT_EQ(Tod("TOD#25:00:00"), 90000000);  // no limit to one day
  EXPECT_EQ(Tod("TOD#-0:0:1"), -1000);
  EXPECT_EQ(Tod("TOD#596:31:23.647"), 2147483647);
  // A total that would wrap around 32 bits is refused rather than stored wrapped.
  EXPECT_EQ(Tod("TOD#596:31:23.648", false), kUntouched);
  EXPECT_EQ(Tod("TOD#1000000:0:0", false), kUntouched);
  EXPECT_EQ(Tod("TOD#12:00", false), kUntouched);
  EXPECT_EQ(Tod("T#12:00:00", false), kUntouched);
}

TEST(IecDateLiteral, Examples) {
  EXPECT_EQ(Date("D#2024-02-29"), 1709164800.0);
  EXPECT_EQ(Date("D#10-01-01"), 1262304000.0);  // 2010-01-01
  EXPECT_EQ(Date("date#1970-01-01"), 0.0);
  EXPECT_EQ(Date("D#0-1-1"), 946684800.0);        // 2000-01-01
  EXPECT_EQ(Date("D#37-12-31"), 2145830400.0);    // 2037-12-31
  EXPECT_EQ(Date("D#2024-13-01"), 1735689600.0);  // month 13 carries: 2025-01-01
  EXPECT_EQ(Date("D#2024-00-01"), 1701388800.0);  // month 0 borrows: 2023-12-01
}

TEST(IecDateLiteral, YearsBetweenTheTwoForms) {
  EXPECT_EQ(Date("D#99-01-01"), 915148800.0);    // 1999
  EXPECT_EQ(Date("D#38-01-01"), 0.0);            // 1938: before 1970 counts as 1970-01-01
  EXPECT_EQ(Date("D#75-01-01"), 157766400.0);    // 1975
  EXPECT_EQ(Date("D#124-05-01"), 1714521600.0);  // years since 1900, as DT reads them
  EXPECT_EQ(Date("D#1969-12-31"), 0.0);
  EXPECT_EQ(Date("D#2200-01-01"), 4294967295.0);
}

TEST(IecDateLiteral, PartialFieldsAreRefused) {
  EXPECT_EQ(Date("D#2024-02", false), kUntouchedSeconds);
  EXPECT_EQ(Date("D#2024", false), kUntouchedSeconds);
  EXPECT_EQ(Date("D#", false), kUntouchedSeconds);
  EXPECT_EQ(Date("D#2024/02/29", false), kUntouchedSeconds);
  EXPECT_EQ(Date("2024-02-29", false), kUntouchedSeconds);
}

TEST(IecDtLiteral, Examples) {
  EXPECT_EQ(Dt("DT#24-05-01-12:30:15.25"), 1714566615.25);
  EXPECT_EQ(Dt("DT#2024-05-01-12:30:15.25"), 1714566615.25);
  EXPECT_EQ(Dt("date_and_time#124-05-01-12:30:00"), 1714566600.0);
  EXPECT_EQ(Dt("DT#1970-01-01-00:00:00"), 0.0);
  EXPECT_EQ(Dt("dt#99-12-31-23:59:59"), 4102444799.0);    // 2099
  EXPECT_EQ(Dt("DT#2024-05-01-12:30:75"), 1714566675.0);  // seconds are added as read
}

TEST(IecDtLiteral, ClampAfter2106) {
  EXPECT_EQ(Dt("DT#2106-02-07-06:00:00"), 4294965600.0);
  EXPECT_EQ(Dt("DT#2106-02-07-06:00:30.5"), 4294965630.5);  // not above: seconds added
  EXPECT_EQ(Dt("DT#2106-02-07-06:01:00"), 4294965600.0);
  EXPECT_EQ(Dt("DT#2106-02-07-06:01:59.9"), 4294965600.0);
  EXPECT_EQ(Dt("DT#2500-01-01-00:00:00"), 4294965600.0);
}

TEST(IecDtLiteral, PartialFieldsAreRefused) {
  EXPECT_EQ(Dt("DT#2024-05-01", false), kUntouchedSeconds);
  EXPECT_EQ(Dt("DT#2024-05-01-12:30", false), kUntouchedSeconds);
  EXPECT_EQ(Dt("DT#2024-05-01-12:30:", false), kUntouchedSeconds);
  EXPECT_EQ(Dt("DT#", false), kUntouchedSeconds);
  EXPECT_EQ(Dt("D#2024-05-01", false), kUntouchedSeconds);
  EXPECT_EQ(Dt("DT#2024-05-01-12:30:1e999", false), kUntouchedSeconds);
}

TEST(IecLiterals, LengthLimit) {
  std::string text = "T#1:2:3";
  text.append(254 - text.size(), ' ');
  EXPECT_EQ(Time(text.c_str()), 3723000);  // 254 characters
  text += ' ';
  EXPECT_EQ(Time(text.c_str(), false), kUntouched);  // 255
  std::string longPrefix(300, 'x');
  longPrefix += "T#1:2:3";
  EXPECT_EQ(Time(longPrefix.c_str(), false), kUntouched);
  EXPECT_EQ(Date((std::string(260, ' ') + "D#2024-01-01").c_str(), false), kUntouchedSeconds);
}

TEST(IecLiterals, NullTextIsRefused) {
  std::int32_t ms = kUntouched;
  double s = kUntouchedSeconds;
  EXPECT_FALSE(ParseTimeLiteral(nullptr, ms));
  EXPECT_FALSE(ParseTodLiteral(nullptr, ms));
  EXPECT_FALSE(ParseDateLiteral(nullptr, s));
  EXPECT_FALSE(ParseDtLiteral(nullptr, s));
  EXPECT_EQ(ms, kUntouched);
  EXPECT_EQ(s, kUntouchedSeconds);
}

}  // namespace
