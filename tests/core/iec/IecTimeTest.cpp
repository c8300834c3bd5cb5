#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <random>

#include "core/IecTime.h"

namespace {

std::int64_t TimegmOf(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year;
  t.tm_mon = month;
  t.tm_mday = day + 1;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return static_cast<std::int64_t>(timegm(&t));
}

std::uint32_t Clamped(std::int64_t v) {
  if (v < 0) return 0;
  if (v > 4294967295LL) return 4294967295u;
  return static_cast<std::uint32_t>(v);
}

TEST(IecMakeTimeUtc, AgreesWithTimegmOnRandomDates) {
  std::mt19937 rng(20240501);
  std::uniform_int_distribution<int> year(70, 206), month(0, 11), day(0, 30), hour(0, 23), minute(0, 59), second(0, 59);
  for (int i = 0; i < 200000; ++i) {
    const int y = year(rng), mo = month(rng), d = day(rng), h = hour(rng), mi = minute(rng), s = second(rng);
    ASSERT_EQ(MakeTimeUtc(y, mo, d, h, mi, s), Clamped(TimegmOf(y, mo, d, h, mi, s)))
        << y << " " << mo << " " << d << " " << h << ":" << mi << ":" << s;
  }
}

TEST(IecMakeTimeUtc, CarriesFieldsOutOfRangeLikeTimegm) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> year(75, 195), month(-30, 40), day(-40, 900), hour(-50, 200), minute(-200, 2000),
      second(-5000, 200000);
  for (int i = 0; i < 100000; ++i) {
    const int y = year(rng), mo = month(rng), d = day(rng), h = hour(rng), mi = minute(rng), s = second(rng);
    ASSERT_EQ(MakeTimeUtc(y, mo, d, h, mi, s), Clamped(TimegmOf(y, mo, d, h, mi, s)))
        << y << " " << mo << " " << d << " " << h << ":" << mi << ":" << s;
  }
}

TEST(IecMakeTimeUtc, KnownDates) {
  EXPECT_EQ(MakeTimeUtc(70, 0, 0, 0, 0, 0), 0u);
  EXPECT_EQ(MakeTimeUtc(124, 1, 28, 0, 0, 0), 1709164800u);  // 2024-02-29
  EXPECT_EQ(MakeTimeUtc(124, 4, 0, 12, 30, 15), 1714566615u);
  EXPECT_EQ(MakeTimeUtc(100, 1, 28, 0, 0, 0), 951782400u);  // 2000-02-29
  // 2100 has no 29 February: day index 28 of February is 1 March.
  EXPECT_EQ(MakeTimeUtc(200, 1, 28, 0, 0, 0), MakeTimeUtc(200, 2, 0, 0, 0, 0));
  EXPECT_EQ(MakeTimeUtc(200, 2, 0, 0, 0, 0), 4107542400u);
}

TEST(IecMakeTimeUtc, RangeEnds) {
  EXPECT_EQ(MakeTimeUtc(69, 11, 30, 23, 59, 59), 0u);
  EXPECT_EQ(MakeTimeUtc(0, 0, 0, 0, 0, 0), 0u);
  EXPECT_EQ(MakeTimeUtc(-2147483647 - 1, 0, 0, 0, 0, 0), 0u);
  EXPECT_EQ(MakeTimeUtc(70, 0, 0, 0, 0, -1), 0u);  // one second before 1970
  EXPECT_EQ(MakeTimeUtc(206, 1, 6, 6, 28, 14), 4294967294u);
  EXPECT_EQ(MakeTimeUtc(206, 1, 6, 6, 28, 15), 4294967295u);
  EXPECT_EQ(MakeTimeUtc(206, 1, 6, 6, 28, 16), 4294967295u);
  EXPECT_EQ(MakeTimeUtc(206, 1, 7, 0, 0, 0), 4294967295u);
  EXPECT_EQ(MakeTimeUtc(3000, 0, 0, 0, 0, 0), 4294967295u);
}

TEST(IecMakeTimeUtc, ExtremeFieldsStayDefined) {
  const int big = 2147483647, small = -2147483647 - 1;
  EXPECT_EQ(MakeTimeUtc(70, 0, big, 0, 0, 0), 4294967295u);
  EXPECT_EQ(MakeTimeUtc(70, 0, small, 0, 0, 0), 0u);
  EXPECT_EQ(MakeTimeUtc(big, big, big, big, big, big), 4294967295u);
  EXPECT_EQ(MakeTimeUtc(small, small, small, small, small, small), 0u);
  EXPECT_EQ(MakeTimeUtc(100, small, 0, 0, 0, 0), 0u);
  EXPECT_EQ(MakeTimeUtc(70, 0, 0, 0, 0, big), Clamped(big));
  EXPECT_EQ(MakeTimeUtc(100, -1, 0, 0, 0, 0), 944006400u);  // 1999-12-01
}

TEST(IecMakeTimeUtc, TmToTimeUtcNormalisesTheRecord) {
  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 0;
  t.tm_mday = 32;  // 1 February
  t.tm_hour = 25;
  t.tm_min = 0;
  t.tm_sec = 0;
  t.tm_isdst = 123;                        // milliseconds; the breakdown clears them
  EXPECT_EQ(TmToTimeUtc(t), 1706835600u);  // 2024-02-02 01:00:00
  EXPECT_EQ(t.tm_year, 124);
  EXPECT_EQ(t.tm_mon, 1);
  EXPECT_EQ(t.tm_mday, 2);
  EXPECT_EQ(t.tm_hour, 1);
  EXPECT_EQ(t.tm_wday, 5);  // a Friday
  EXPECT_EQ(t.tm_yday, 32);
  EXPECT_EQ(t.tm_isdst, 0);

  std::tm early{};
  early.tm_year = 60;
  early.tm_mday = 1;
  EXPECT_EQ(TmToTimeUtc(early), 0u);
  EXPECT_EQ(early.tm_year, 70);

  std::tm extreme{};
  extreme.tm_mday = -2147483647 - 1;
  EXPECT_EQ(TmToTimeUtc(extreme), 0u);
}

TEST(IecMakeTimeUtc, BreakdownRoundTrip) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<std::uint32_t> seconds(0, 4294967295u);
  for (int i = 0; i < 50000; ++i) {
    const std::uint32_t s = seconds(rng);
    const std::time_t t = s;
    std::tm parts{};
    ASSERT_NE(gmtime_r(&t, &parts), nullptr);
    ASSERT_EQ(TmToTimeUtc(parts), s);
  }
}

}  // namespace
