#include "core/IecLiterals.h"

#include <cstring>

#include "core/IecScan.h"
#include "core/IecTime.h"

namespace {

constexpr std::size_t kMaxLiteral = 255;  // texts this long or longer are refused

// The body after the short or, failing that, the long prefix, searched anywhere
// in the upper-cased text. The body lives in copy; false when neither is there.
bool FindBody(const char* text, const char* shortPrefix, const char* longPrefix, char (&copy)[kMaxLiteral],
              const char** body, const char** end) {
  if (text == nullptr) return false;
  const std::size_t length = strnlen(text, kMaxLiteral);
  if (length >= kMaxLiteral) return false;
  for (std::size_t i = 0; i < length; ++i) {
    const char c = text[i];
    copy[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  copy[length] = '\0';
  const char* found = std::strstr(copy, shortPrefix);
  const char* prefix = shortPrefix;
  if (found == nullptr) {
    found = std::strstr(copy, longPrefix);
    prefix = longPrefix;
  }
  if (found == nullptr) return false;
  *body = found + std::strlen(prefix);
  *end = copy + length;
  return true;
}

// [-]hours:minutes:seconds of TIME and TOD as 64-bit milliseconds. The seconds
// are taken to the millisecond exactly as written (0.251 is 251 ms; a binary
// float would give 250.99998 and cut it to 250).
bool ParseDuration(const char* p, const char* end, std::int64_t& ms) {
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  int hours = 0, minutes = 0;
  std::int64_t secondsMs = 0;
  if (IecScanInt(p, end, hours) != 1 || !IecScanLiteral(p, end, ':') || IecScanInt(p, end, minutes) != 1 ||
      !IecScanLiteral(p, end, ':') || IecScanMillis(p, end, secondsMs) != 1)
    return false;
  std::int64_t total = std::int64_t{hours} * 3600000 + std::int64_t{minutes} * 60000 + secondsMs;
  if (negative) total = -total;
  ms = total;
  return true;
}

bool InInt32(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

}  // namespace

bool ParseDateLiteral(const char* text, double& value) {
  char copy[kMaxLiteral];
  const char *p = nullptr, *end = nullptr;
  if (!FindBody(text, "D#", "DATE#", copy, &p, &end)) return false;
  int year = 0, month = 0, day = 0;
  if (IecScanInt(p, end, year) != 1 || !IecScanLiteral(p, end, '-') || IecScanInt(p, end, month) != 1 ||
      !IecScanLiteral(p, end, '-') || IecScanInt(p, end, day) != 1)
    return false;
  std::int64_t sinceYear1900;
  if (year < 38)
    sinceYear1900 = 100 + std::int64_t{year};
  else if (year < 100)
    sinceYear1900 = year;  // two-digit years from 38 on are 1938-1999
  else if (year < 1900)
    sinceYear1900 = year;  // taken as years since 1900, as DT does
  else
    sinceYear1900 = std::int64_t{year} - 1900;
  value = MakeTimeUtc64(sinceYear1900, std::int64_t{month} - 1, std::int64_t{day} - 1, 0, 0, 0);
  return true;
}

bool ParseDtLiteral(const char* text, double& value) {
  char copy[kMaxLiteral];
  const char *p = nullptr, *end = nullptr;
  if (!FindBody(text, "DT#", "DATE_AND_TIME#", copy, &p, &end)) return false;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double seconds = 0;
  if (IecScanInt(p, end, year) != 1 || !IecScanLiteral(p, end, '-') || IecScanInt(p, end, month) != 1 ||
      !IecScanLiteral(p, end, '-') || IecScanInt(p, end, day) != 1 || !IecScanLiteral(p, end, '-') ||
      IecScanInt(p, end, hour) != 1 || !IecScanLiteral(p, end, ':') || IecScanInt(p, end, minute) != 1 ||
      !IecScanLiteral(p, end, ':') || IecScanDouble(p, end, seconds) != 1)
    return false;
  std::int64_t sinceYear1900 = year;
  if (year < 100)
    sinceYear1900 += 100;
  else if (year >= 1900)
    sinceYear1900 -= 1900;
  const std::uint32_t whole =
      MakeTimeUtc64(sinceYear1900, std::int64_t{month} - 1, std::int64_t{day} - 1, hour, minute, 0);
  value = whole > 4294965600u ? 4294965600.0 : whole + seconds;
  return true;
}

bool ParseTimeLiteral(const char* text, std::int32_t& value) {
  char copy[kMaxLiteral];
  const char *p = nullptr, *end = nullptr;
  if (!FindBody(text, "T#", "TIME#", copy, &p, &end)) return false;
  std::int64_t ms = 0;
  if (!ParseDuration(p, end, ms) || !InInt32(ms)) return false;
  value = static_cast<std::int32_t>(ms);
  return true;
}

bool ParseTodLiteral(const char* text, std::int32_t& value) {
  char copy[kMaxLiteral];
  const char *p = nullptr, *end = nullptr;
  if (!FindBody(text, "TOD#", "TIME_OF_DAY#", copy, &p, &end)) return false;
  std::int64_t ms = 0;
  // A day has no 32-bit limit of its own, but a total that would wrap is refused.
  if (!ParseDuration(p, end, ms) || !InInt32(ms)) return false;
  value = static_cast<std::int32_t>(ms);
  return true;
}
