#include "core/IecTime.h"

namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// 400 years of the Gregorian calendar are always 146,097 days, wherever they start.
constexpr std::int64_t kDaysPer400Years = 400 * 365 + 97;

// years: years since 1900.
bool IsLeapYear(std::int64_t years) {
  const std::int64_t full = 1900 + years;
  return full % 4 == 0 && (full % 100 != 0 || full % 400 == 0);
}

// Leap years from 1 AD up to and including the year (full > 0).
std::int64_t LeapYearsThrough(std::int64_t full) { return full / 4 - full / 100 + full / 400; }

}  // namespace

std::uint32_t MakeTimeUtc64(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                            std::int64_t minute, std::int64_t second) {
  // Carry upwards with truncating division, as the fields were given.
  minute += second / 60;
  second %= 60;
  hour += minute / 60;
  minute %= 60;
  day += hour / 24;
  hour %= 24;
  year += month / 12;
  month %= 12;
  if (month < 0) {  // a month before January is one of the previous year
    month += 12;
    year -= 1;
  }

  // Move whole months out of the day index. Whole 400-year spans go at once,
  // so that a huge day index costs no long walk.
  if (day >= kDaysPer400Years) {
    const std::int64_t spans = day / kDaysPer400Years;
    day -= spans * kDaysPer400Years;
    year += 400 * spans;
  }
  for (;;) {
    const bool leapFebruary = month == 1 && IsLeapYear(year);
    const int length = leapFebruary ? 29 : kMonthDays[month];
    if (day < length) break;
    day -= length;
    if (++month == 12) {
      month = 0;
      ++year;
    }
  }

  if (year < 70) return 0;
  // Leap days of the years before this one, and this year's once February is past.
  std::int64_t leapDays = LeapYearsThrough(1900 + year - 1) - LeapYearsThrough(1969);
  if (month >= 2 && IsLeapYear(year)) ++leapDays;
  const std::int64_t days = (year - 70) * 365 + leapDays + kDaysBefore[month] + day;
  const std::int64_t intoDay = hour * 3600 + minute * 60 + second;
  if (days > 49710 || (days == 49710 && intoDay >= 23296)) return 4294967295u;
  const std::int64_t total = days * 86400 + intoDay;
  if (total < 0) return 0;  // fields that reach back before 1970
  return static_cast<std::uint32_t>(total);
}

std::uint32_t MakeTimeUtc(int year, int month, int day, int hour, int minute, int second) {
  return MakeTimeUtc64(year, month, day, hour, minute, second);
}

std::uint32_t TmToTimeUtc(std::tm& parts) {
  const std::uint32_t seconds = MakeTimeUtc64(parts.tm_year, parts.tm_mon, std::int64_t{parts.tm_mday} - 1,
                                              parts.tm_hour, parts.tm_min, parts.tm_sec);
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm broken{};
  if (gmtime_r(&t, &broken) != nullptr) parts = broken;
  return seconds;
}
