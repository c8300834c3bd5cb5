// TDateTime: encoding, decoding, formatting and the clock.

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <random>
#include <stdexcept>

#include "platform/vcl/DateTime.h"
#include "platform/win/VirtualClock.h"

namespace {

struct Parts {
  unsigned short y, m, d, h, n, s, ms;
};

Parts Decode(TDateTime v) {
  Parts p{};
  DecodeDate(v, p.y, p.m, p.d);
  DecodeTime(v, p.h, p.n, p.s, p.ms);
  return p;
}

TEST(DateTimeTest, EncodeDateCountsDaysFrom1899_12_30) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2024, 5, 7), 45419.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
  EXPECT_EQ(EncodeDate(2000, 2, 29) - EncodeDate(2000, 2, 28), 1.0);

  TDateTime kept = 7.0;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, kept));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, kept));
  EXPECT_FALSE(TryEncodeDate(2024, 13, 1, kept));
  EXPECT_FALSE(TryEncodeDate(2024, 4, 31, kept));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, kept));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, kept));
  EXPECT_EQ(kept, 7.0);
  EXPECT_THROW(EncodeDate(2024, 0, 1), std::invalid_argument);
}

TEST(DateTimeTest, EncodeTimeIsAFractionOfADay) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_DOUBLE_EQ(EncodeTime(0, 0, 1, 500), 1500.0 / 86400000.0);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), std::invalid_argument);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), std::invalid_argument);
  EXPECT_THROW(EncodeTime(0, 0, 60, 0), std::invalid_argument);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), std::invalid_argument);
}

// Every 97th day of the calendar, and random milliseconds of the day, come
// back as they went in.
TEST(DateTimeTest, DecodeRoundTrips) {
  for (double day = -693593; day <= 2958465; day += 97) {
    const Parts p = Decode(day);
    ASSERT_EQ(EncodeDate(p.y, p.m, p.d), day);
  }
  std::mt19937 rng(9);
  for (int i = 0; i < 20000; ++i) {
    const unsigned ms = rng() % 86400000;
    const auto h = static_cast<unsigned short>(ms / 3600000), n = static_cast<unsigned short>(ms / 60000 % 60),
               s = static_cast<unsigned short>(ms / 1000 % 60), z = static_cast<unsigned short>(ms % 1000);
    const Parts p = Decode(EncodeDate(2024, 5, 7) + EncodeTime(h, n, s, z));
    ASSERT_EQ(p.d, 7);
    ASSERT_EQ(p.h, h);
    ASSERT_EQ(p.n, n);
    ASSERT_EQ(p.s, s);
    ASSERT_EQ(p.ms, z);
  }
}

TEST(DateTimeTest, DecodeEdges) {
  // Before day 0 the fraction still counts forwards from midnight.
  Parts p = Decode(-1.25);
  EXPECT_EQ(p.y, 1899);
  EXPECT_EQ(p.m, 12);
  EXPECT_EQ(p.d, 29);
  EXPECT_EQ(p.h, 6);
  // Less than half a millisecond before midnight rounds into the next day.
  p = Decode(EncodeDate(2024, 12, 31) + (86400000.0 - 0.4) / 86400000.0);
  EXPECT_EQ(p.y, 2025);
  EXPECT_EQ(p.m, 1);
  EXPECT_EQ(p.d, 1);
  EXPECT_EQ(p.h + p.n + p.s + p.ms, 0);
  // Outside the calendar, or not a number: all parts 0.
  for (double v : {-693594.0, 2958466.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity()}) {
    p = Decode(v);
    EXPECT_EQ(p.y + p.m + p.d + p.h + p.n + p.s + p.ms, 0) << v;
  }
}

TEST(DateTimeTest, FormatDateTime) {
  const TDateTime v = EncodeDate(2024, 5, 7) + EncodeTime(9, 3, 4, 56);
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", v), "07.05.2024 09:03:04.056");
  EXPECT_EQ(FormatDateTime("d.m.yy h:n:s.z", v), "7.5.24 9:3:4.56");
  EXPECT_EQ(FormatDateTime("DD.MM.YYYY HH:NN:SS.ZZZ", v), "07.05.2024 09:03:04.056");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", v), "2024-05-07");
  EXPECT_EQ(FormatDateTime("hh:mm", v), "09:03") << "m after h is minutes";
  EXPECT_EQ(FormatDateTime("hh:nn mm", v), "09:03 05") << "only directly after h";
  EXPECT_EQ(FormatDateTime("'day' d, \"hour\" h", v), "day 7, hour 9");
  EXPECT_EQ(FormatDateTime("[yyyy]_x", v), "[2024]_x");
  EXPECT_EQ(FormatDateTime("", v), "");
  EXPECT_EQ(FormatDateTime("'unclosed", v), "unclosed");
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy", EncodeDate(1, 1, 1)), "01.01.0001");
  EXPECT_EQ(FormatDateTime("yy", EncodeDate(2000, 1, 1)), "00");
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", std::nan("")), "00.00.0000 00:00:00.000");
}

TEST(DateTimeTest, NowIsTheLocalTimeInTheRealMode) {
  SetClockMode(ClockMode::Real);
  const std::time_t before = std::time(nullptr);
  const TDateTime now = Now();
  SetClockMode(ClockMode::Virtual);
  std::tm local{};
  localtime_r(&before, &local);
  const TDateTime expected =
      EncodeDate(static_cast<unsigned short>(local.tm_year + 1900), static_cast<unsigned short>(local.tm_mon + 1),
                 static_cast<unsigned short>(local.tm_mday)) +
      (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
  EXPECT_LT(std::fabs(now - expected) * 86400.0, 5.0);
}

TEST(DateTimeTest, NowFollowsTheVirtualClock) {
  SYSTEMTIME start{};
  start.wYear = 2024;
  start.wMonth = 5;
  start.wDay = 1;
  start.wHour = 23;
  start.wMinute = 59;
  start.wSecond = 59;
  ASSERT_TRUE(SetVirtualLocalTime(start));
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", Now()), "01.05.2024 23:59:59.000");
  AdvanceVirtualClock(1500);
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", Now()), "02.05.2024 00:00:00.500");
}

}  // namespace
