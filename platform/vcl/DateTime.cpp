#include "platform/vcl/DateTime.h"

#include "platform/win/VirtualClock.h"

#include <cmath>
#include <cstdint>
#include <ctime>
#include <stdexcept>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Days from 1899-12-30 (day 0 of a TDateTime) to 1970-01-01.
constexpr std::int64_t kUnixEpochDay = 25569;
// First and one past the last day of the calendar's range, as TDateTime days.
constexpr double kFirstDay = -693593.0;  // 0001-01-01
constexpr double kEndDay = 2958466.0;    // 10000-01-01

// Days since 1970-01-01 of a Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// The Gregorian date of a count of days since 1970-01-01.
void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

bool IsLeapYear(unsigned year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

unsigned DaysInMonth(unsigned year, unsigned month) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

struct DateTimeParts {
  unsigned short year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
};

// The parts of a value, rounded to the millisecond: the whole days (towards
// zero) give the date, the fraction (without its sign) the time of day.
DateTimeParts Split(TDateTime value) {
  DateTimeParts parts;
  if (!std::isfinite(value) || value <= kFirstDay - 1.0 || value >= kEndDay) return parts;
  const auto total = static_cast<std::int64_t>(std::nearbyint(value * static_cast<double>(kMsPerDay)));
  const std::int64_t days = total / kMsPerDay;
  const std::int64_t ms = (total < 0 ? -total : total) % kMsPerDay;
  std::int64_t y;
  unsigned m, d;
  CivilFromDays(days - kUnixEpochDay, y, m, d);
  if (y < 1 || y > 9999) return parts;
  parts.year = static_cast<unsigned short>(y);
  parts.month = static_cast<unsigned short>(m);
  parts.day = static_cast<unsigned short>(d);
  parts.hour = static_cast<unsigned short>(ms / 3600000);
  parts.min = static_cast<unsigned short>(ms / 60000 % 60);
  parts.sec = static_cast<unsigned short>(ms / 1000 % 60);
  parts.msec = static_cast<unsigned short>(ms % 1000);
  return parts;
}

void AppendNumber(std::string& out, unsigned value, int digits) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < digits) out.append(static_cast<std::size_t>(digits) - text.size(), '0');
  out += text;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

// The local time of the user interface's clock: the system's in the real
// mode, the virtual clock's in tests (platform/win/VirtualClock.h).
TDateTime Now() {
  SYSTEMTIME t{};
  ClockLocalTime(&t);
  const std::int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) + kUnixEpochDay;
  const std::int64_t ms = ((std::int64_t{t.wHour} * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
  return static_cast<double>(days) + static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

bool TryEncodeDate(unsigned short year, unsigned short month, unsigned short day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  result = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDay);
  return true;
}

TDateTime EncodeDate(unsigned short year, unsigned short month, unsigned short day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result))
    throw std::invalid_argument("Invalid argument to date encode: " + std::to_string(year) + "-" +
                                std::to_string(month) + "-" + std::to_string(day));
  return result;
}

bool TryEncodeTime(unsigned short hour, unsigned short min, unsigned short sec, unsigned short msec,
                   TDateTime& result) {
  if (hour > 23 || min > 59 || sec > 59 || msec > 999) return false;
  const std::int64_t ms = ((std::int64_t{hour} * 60 + min) * 60 + sec) * 1000 + msec;
  result = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  return true;
}

TDateTime EncodeTime(unsigned short hour, unsigned short min, unsigned short sec, unsigned short msec) {
  TDateTime result;
  if (!TryEncodeTime(hour, min, sec, msec, result))
    throw std::invalid_argument("Invalid argument to time encode: " + std::to_string(hour) + ":" + std::to_string(min) +
                                ":" + std::to_string(sec) + "." + std::to_string(msec));
  return result;
}

void DecodeDate(TDateTime value, unsigned short& year, unsigned short& month, unsigned short& day) {
  const DateTimeParts p = Split(value);
  year = p.year;
  month = p.month;
  day = p.day;
}

void DecodeTime(TDateTime value, unsigned short& hour, unsigned short& min, unsigned short& sec, unsigned short& msec) {
  const DateTimeParts p = Split(value);
  hour = p.hour;
  min = p.min;
  sec = p.sec;
  msec = p.msec;
}

std::string FormatDateTime(std::string_view format, TDateTime value) {
  const DateTimeParts p = Split(value);
  std::string out;
  char lastLetter = 0;  // the last format letter, for m after h
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const std::size_t end = format.find(c, i + 1);
      const std::size_t stop = end == std::string_view::npos ? format.size() : end;
      out.append(format.substr(i + 1, stop - i - 1));
      i = stop == format.size() ? stop : stop + 1;
      continue;
    }
    char letter = Lower(c);
    std::size_t run = 1;
    while (i + run < format.size() && Lower(format[i + run]) == letter) ++run;
    if (letter == 'm' && lastLetter == 'h') letter = 'n';
    if (letter >= 'a' && letter <= 'z') lastLetter = letter;
    std::size_t used = run < 2 ? run : 2;
    switch (letter) {
      case 'd': AppendNumber(out, p.day, static_cast<int>(used)); break;
      case 'm': AppendNumber(out, p.month, static_cast<int>(used)); break;
      case 'h': AppendNumber(out, p.hour, static_cast<int>(used)); break;
      case 'n': AppendNumber(out, p.min, static_cast<int>(used)); break;
      case 's': AppendNumber(out, p.sec, static_cast<int>(used)); break;
      case 'y':
        used = run < 4 ? run : 4;
        if (used <= 2)
          AppendNumber(out, p.year % 100u, 2);
        else
          AppendNumber(out, p.year, 4);
        break;
      case 'z':
        used = run >= 3 ? 3 : 1;
        AppendNumber(out, p.msec, static_cast<int>(used));
        break;
      default:
        used = 1;
        out += c;
        break;
    }
    i += used;
  }
  return out;
}
