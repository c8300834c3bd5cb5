#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "core/IecLiterals.h"
#include "core/IecTimeEntry.h"
#include "core/IecTimeFormat.h"

namespace {

std::string Apply(const char* text, const char* format, int type, const void* current = nullptr) {
  char out[ApplyTimeFormatOutSize];
  std::fill(std::begin(out), std::end(out), '#');
  ApplyTimeFormat(text, format, type, current, out);
  return out;
}

TEST(IecApplyTimeFormat, Examples) {
  const std::int32_t timeValue = 0;
  EXPECT_EQ(Apply("01:30", "%Thh:mm", 17, &timeValue), "01:30:0.000");
  EXPECT_EQ(Apply("01:30", "%Thh:mm", 17), "01:30:0.000");
  EXPECT_EQ(Apply("07.05.24", "%TDD.MM.YY", 18), "2024-05-07");
  EXPECT_EQ(Apply("1969-01-01", "%TYYYY-MM-DD", 18), "1970-01-01");
  EXPECT_EQ(Apply("12:30", "%Thh:mm", 19), "12:30:0.000");
  EXPECT_EQ(Apply("12:30", "%Thh:mm", 20), "1970-1-1-12:30:0.000");
}

TEST(IecApplyTimeFormat, CurrentValueFillsWhatIsNotTyped) {
  const double dt = 1714566615.25;  // 2024-05-01 12:30:15.250
  EXPECT_EQ(Apply("07.05.2024", "%TDD.MM.YYYY", 20, &dt), "2024-05-07-12:30:15.250");
  EXPECT_EQ(Apply("18:45", "%Thh:mm", 20, &dt), "2024-05-01-18:45:15.250");
  EXPECT_EQ(Apply("15", "%TDD", 18, &dt), "2024-05-15");
  EXPECT_EQ(Apply("", "%TDD", 18, &dt), "2024-05-01");
  const double rounding = 1714566615.9996;  // rounds up into the next second
  EXPECT_EQ(Apply("", "%Thh", 20, &rounding), "2024-05-01-12:30:16.000");
}

TEST(IecApplyTimeFormat, SeparatorsAndDigitRuns) {
  EXPECT_EQ(Apply("7.5.2024", "%TDD.MM.YYYY", 18), "2024-5-7");
  EXPECT_EQ(Apply("7 5 24", "%TDD.MM.YY", 18), "2024-5-7");
  EXPECT_EQ(Apply("12:30", "%Th:mm", 17), "12:30:0.000");          // "h" takes both digits
  EXPECT_EQ(Apply("07.05.2024", "%TDD.MM.YY", 18), "2024-05-07");  // and "YY" all four
  EXPECT_EQ(Apply("1230", "%Thhmm", 17), "12:30:0.000");           // runs side by side: fixed width
  EXPECT_EQ(Apply("5.3", "%Ts.z", 17), "0:0:5.300");
  EXPECT_EQ(Apply("5.25", "%Ts.zz", 17), "0:0:5.250");
  EXPECT_EQ(Apply("5.025", "%Ts.zzz", 17), "0:0:5.025");
  EXPECT_EQ(Apply("07/05/2024", "%TDD/MM/YYYY", 18), "2024-05-07");
}

TEST(IecApplyTimeFormat, NegativeDurations) {
  EXPECT_EQ(Apply("-01:30:00", "%Thh:mm:ss", 17), "-01:30:00.000");
  EXPECT_EQ(Apply("-1:30", "%Th:mm", 19), "-1:30:0.000");
  // For DATE and DT a "-" only separates.
  EXPECT_EQ(Apply("2024-05-07", "%TYYYY.MM.DD", 18), "2024-05-07");
}

TEST(IecApplyTimeFormat, ShortTextsAndLongRuns) {
  EXPECT_EQ(Apply("1", "%Thh:mm:ss", 17), "1:0:0.000");
  EXPECT_EQ(Apply("", "%Thh:mm:ss", 17), "0:0:0.000");
  EXPECT_EQ(Apply(nullptr, "%Thh:mm:ss", 19), "0:0:0.000");
  const std::string longFormat = "%T" + std::string(40, 'h');
  const std::string longText(40, '1');
  EXPECT_EQ(Apply(longText.c_str(), longFormat.c_str(), 17), "1111111:0:0.000");
  const std::string allParts = "%T" + std::string(20, 'Y') + "-" + std::string(20, 'M') + "-" + std::string(20, 'D') +
                               "-" + std::string(20, 'h') + ":" + std::string(20, 'm') + ":" + std::string(20, 's') +
                               "." + std::string(20, 'z');
  const std::string n(20, '9');
  const std::string text = n + "-" + n + "-" + n + "-" + n + ":" + n + ":" + n + "." + n;
  const std::string out = Apply(text.c_str(), allParts.c_str(), 20);
  EXPECT_EQ(out, "9999999-9999999-9999999-9999999:9999999:9999999.9999999");
  EXPECT_LT(out.size(), static_cast<std::size_t>(ApplyTimeFormatOutSize));
  const std::string nines(200, '9');  // one long number: the year takes what it can
  EXPECT_EQ(Apply(nines.c_str(), allParts.c_str(), 20), "9999999-1-1-0:0:0.000");
}

TEST(IecApplyTimeFormat, EmptyOutput) {
  EXPECT_EQ(Apply("12:30", "Thh:mm", 17), "");
  EXPECT_EQ(Apply("12:30", "%hh:mm", 17), "");
  EXPECT_EQ(Apply("12:30", nullptr, 17), "");
  EXPECT_EQ(Apply("12", "%Thh", 21), "");
  EXPECT_EQ(Apply("12", "%Thh", 5), "");
  EXPECT_EQ(Apply("ab", "%TYYYY", 18), "");  // a year that is no number
  double missing = std::nan("");
  EXPECT_EQ(Apply("", "%TDD", 18, &missing), "");
  ApplyTimeFormat("1", "%Th", 17, nullptr, nullptr);  // no output buffer: nothing happens
}

TEST(IecApplyTimeFormat, PartialEntriesAreRefusedByTheLiteral) {
  // A part typed as something other than digits leaves a body the parser refuses,
  // so nothing is written to the PLC.
  double seconds = -1;
  EXPECT_FALSE(ParseDateLiteral(("D#" + Apply("xx.05.2024", "%TDD.MM.YYYY", 18)).c_str(), seconds));
  std::int32_t ms = -1;
  EXPECT_FALSE(ParseTimeLiteral(("T#" + Apply("ab:30", "%Thh:mm", 17)).c_str(), ms));
  EXPECT_EQ(seconds, -1);
  EXPECT_EQ(ms, -1);
}

TEST(IecApplyTimeFormat, PrintedValuesComeBackThroughTheLiteral) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<std::uint32_t> seconds(0, 4294965600u);
  std::uniform_int_distribution<int> millis(0, 999);
  std::uniform_int_distribution<std::int32_t> durations(-2147483647 - 1, 2147483647);
  for (int i = 0; i < 5000; ++i) {
    const double value = seconds(rng) + millis(rng) / 1000.0;
    for (const char* format : {"DD.MM.YYYY hh:mm:ss.zzz", "YYYY-MM-DD-hh:mm:ss.zzz", "D.M.YYYY h:m:s.zzz"}) {
      char printed[256];
      FormatDateTimeValue(value, printed, (std::string("T") + format).c_str(), 255);
      const double other = 86400.5;
      const std::string body = Apply(printed, (std::string("%T") + format).c_str(), 20, &other);
      double parsed = 0;
      ASSERT_TRUE(ParseDtLiteral(("DT#" + body).c_str(), parsed)) << printed << " " << body;
      ASSERT_EQ(std::llround(parsed * 1000), std::llround(value * 1000)) << printed << " " << body;
    }
    const double midnight = std::floor(value / 86400) * 86400;
    char date[256];
    FormatDateTimeValue(midnight, date, "TDD.MM.YYYY", 255);
    double parsedDate = 0;
    ASSERT_TRUE(ParseDateLiteral(("D#" + Apply(date, "%TDD.MM.YYYY", 18, &value)).c_str(), parsedDate));
    ASSERT_EQ(parsedDate, midnight) << date;

    const std::int32_t ms = durations(rng);
    for (const char* format : {"h:mm:ss.zzz", "hh:mm:ss.zzz"}) {
      char printed[256];
      FormatTimeValue(ms, printed, (std::string("T") + format).c_str(), 255);
      const std::string body = Apply(printed, (std::string("%T") + format).c_str(), 17, &ms);
      std::int32_t parsed = 0;
      ASSERT_TRUE(ParseTimeLiteral(("T#" + body).c_str(), parsed)) << printed << " " << body;
      ASSERT_EQ(parsed, ms) << printed << " " << body;
    }
  }
}

}  // namespace
