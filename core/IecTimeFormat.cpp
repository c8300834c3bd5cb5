#include "core/IecTimeFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "core/IecScan.h"
#include "core/IecTime.h"

namespace {

// tm_year counts from 1900; a two-digit year counts from 2000 (100 in tm_year).
constexpr long long kTmYearBase = 1900;
constexpr int kCenturyYears = 100;
// Digits of milliseconds a "z" run reads at most.
constexpr int kMilliDigits = 3;

void AppendNumber(std::string& text, const char* pattern, long long value) {
  char piece[32];
  const int n = std::snprintf(piece, sizeof piece, pattern, value);
  if (n > 0) text.append(piece, static_cast<std::size_t>(n));
}

std::size_t RunLength(const char* f) {
  std::size_t n = 1;
  while (f[n] == f[0]) ++n;
  return n;
}

// Stores a field read from the text; false when it does not fit the record.
bool StoreField(long long value, int& field) {
  if (value < INT32_MIN || value > INT32_MAX) return false;
  field = static_cast<int>(value);
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// The white space a number may stand after (that of the number reader).
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Past the number just read: its leading blanks and its digits. Blanks after it
// stay, so that a blank between two numbers still separates them; stray blanks
// are passed over where the format expects a literal.
const char* PastNumber(const char* text) {
  while (IsSpace(*text)) ++text;
  while (IsDigit(*text)) ++text;
  return text;
}

// The number of digits of the number at text (after its leading blanks).
int DigitsOfNumber(const char* text) {
  while (IsSpace(*text)) ++text;
  int n = 0;
  while (IsDigit(text[n])) ++n;
  return n;
}

}  // namespace

bool IsTimeFormatLetter(char c) {
  return c == 'Y' || c == 'M' || c == 'D' || c == 'h' || c == 'm' || c == 's' || c == 'z';
}

bool IsTimeFormatSeparator(char c) { return c == ' ' || c == '-' || c == '.' || c == ':'; }

bool IsTimeTextSeparator(char c, bool minusAllowed) {
  return c == ' ' || c == '.' || c == ':' || (minusAllowed && c == '-');
}

int FormatTimeParts(const std::tm& parts, char* out, const char* format, std::uint8_t size) {
  if (out == nullptr || format == nullptr || format[0] != 'T' || size == 0) return 0;
  try {
    std::string text;
    long long ms = parts.tm_isdst;  // the working milliseconds; "zz" and "z" divide it
    const char* f = format + 1;
    while (*f) {
      const char c = *f;
      if (c == 'Y') {
        const std::size_t run = RunLength(f);
        const long long year = 1900LL + parts.tm_year;
        if (run <= 2)
          AppendNumber(text, "%02lld", year % 100);
        else
          AppendNumber(text, "%04lld", year);
        f += run;
      } else if (c == 'M' || c == 'D' || c == 'h' || c == 'm' || c == 's') {
        long long value = 0;
        switch (c) {
          case 'M': value = 1LL + parts.tm_mon; break;
          case 'D': value = parts.tm_mday; break;
          case 'h': value = parts.tm_hour; break;
          case 'm': value = parts.tm_min; break;
          default: value = parts.tm_sec; break;
        }
        const std::size_t run = RunLength(f);
        for (std::size_t i = 0; i + 1 < run; i += 2) AppendNumber(text, "%02lld", value);
        if (run % 2 != 0) AppendNumber(text, "%lld", value);
        f += run;
      } else if (c == 'z') {
        if (f[1] == 'z' && f[2] == 'z') {
          AppendNumber(text, "%03lld", ms);
          f += 3;
        } else if (f[1] == 'z') {
          ms /= 10;
          AppendNumber(text, "%02lld", ms);
          f += 2;
        } else {
          ms /= 100;
          AppendNumber(text, "%lld", ms);
          f += 1;
        }
      } else {
        text += c;
        ++f;
      }
    }
    if (text.size() > size) text.resize(size);
    std::memcpy(out, text.data(), text.size());
    out[text.size()] = '\0';
    return static_cast<int>(text.size());
  } catch (const std::bad_alloc&) {
    // No memory for the text: nothing is printed.
    out[0] = '\0';
    return 0;
  }
}

int FormatTimeValue(std::int32_t ms, char* out, const char* format, std::uint8_t size) {
  if (out == nullptr || format == nullptr || format[0] != 'T' || size == 0) return 0;
  const long long magnitude = std::llabs(static_cast<long long>(ms));
  std::tm parts{};
  parts.tm_hour = static_cast<int>(magnitude / 3600000);
  parts.tm_min = static_cast<int>(magnitude / 60000 % 60);
  parts.tm_sec = static_cast<int>(magnitude / 1000 % 60);
  parts.tm_isdst = static_cast<int>(magnitude % 1000);
  int length = FormatTimeParts(parts, out, format, size);
  if (ms < 0) {
    if (length >= size) length = size - 1;  // make room for the sign
    std::memmove(out + 1, out, static_cast<std::size_t>(length));
    out[0] = '-';
    out[++length] = '\0';
  }
  return length;
}

int FormatDateTimeValue(double seconds, char* out, const char* format, std::uint8_t size) {
  if (out == nullptr || format == nullptr || size == 0) return 0;
  if (std::isnan(seconds)) {  // no time to break down
    out[0] = '\0';
    return 0;
  }
  const double value = seconds < 0 ? 0 : (seconds > 4294967296.0 ? 4294967296.0 : seconds);
  double whole = std::trunc(value);
  long long ms = static_cast<long long>((value - whole) * 1000 + 0.5);
  if (ms >= 1000) {  // rounded up to the next whole second
    whole += 1;
    ms -= 1000;
  }
  const std::time_t t = static_cast<std::time_t>(whole);
  std::tm parts{};
  if (gmtime_r(&t, &parts) == nullptr) {
    out[0] = '\0';
    return 0;
  }
  parts.tm_isdst = static_cast<int>(ms);
  return FormatTimeParts(parts, out, format, size);
}

const char* SkipDigitsAndSpaces(const char* text) {
  while ((*text >= '0' && *text <= '9') || *text == ' ') ++text;
  return text;
}

int CountDigits(const char* text) {
  int n = 0;
  for (; (*text >= '0' && *text <= '9') || *text == ' '; ++text)
    if (*text != ' ') ++n;
  return n;
}

namespace {

// One number for a run of h, D, M, Y, m or s at t into its field. Years below
// 100 count from 2000, years from 1900 on as written.
bool ReadNumberField(char letter, const char* t, const char* textEnd, std::tm& parts) {
  const char* q = t;
  int value = 0;
  const int read = IecScanInt(q, textEnd, value);
  if (read != 1) return read != 0;
  long long v = value;
  switch (letter) {
    case 'h': return StoreField(v, parts.tm_hour);
    case 'D': return StoreField(v, parts.tm_mday);
    case 'M': return StoreField(v - 1, parts.tm_mon);
    case 'm': return StoreField(v, parts.tm_min);
    case 's': return StoreField(v, parts.tm_sec);
    default:
      if (v < kCenturyYears)
        v += kCenturyYears;
      else if (v >= kTmYearBase)
        v -= kTmYearBase;
      return StoreField(v, parts.tm_year);
  }
}

// Up to three digits for a run of z at t, as milliseconds into tm_isdst: one
// digit is tenths, two are hundredths.
bool ReadMillisecondsField(const char* t, const char* textEnd, std::tm& parts) {
  const int digits = DigitsOfNumber(t);
  // More than three digits: only the first three count.
  const char* number = t;
  while (IsSpace(*number)) ++number;
  const char* limit = digits > kMilliDigits ? number + kMilliDigits : textEnd;
  const char* q = t;
  int value = 0;
  const int read = IecScanInt(q, limit, value);
  if (read != 1) return read != 0;
  long long v = value;
  if (digits == 1)
    v *= 100;
  else if (digits == 2)
    v *= 10;
  return StoreField(v, parts.tm_isdst);
}

// Literal characters: format and text go on together while they agree;
// stray blanks in the text are passed over. False when the text differs where
// the format wants a literal.
bool MatchLiterals(const char*& f, const char*& t) {
  while (*f && *t) {
    if (*f == *t) {
      ++f;
      ++t;
    } else if (*t == ' ') {
      ++t;
    } else {
      return IsTimeFormatLetter(*f);
    }
  }
  return true;
}

bool IsNumberLetter(char c) { return c == 'h' || c == 'D' || c == 'M' || c == 'Y' || c == 'm' || c == 's'; }

}  // namespace

bool ParseTimeParts(std::tm& parts, const char* text, const char* format) {
  parts = std::tm{};
  parts.tm_year = kCenturyYears;
  parts.tm_mday = 1;
  if (text == nullptr || format == nullptr || format[0] != 'T') {
    parts.tm_isdst = -1;
    return false;
  }
  const char* textEnd = text + std::strlen(text);
  bool success = true;
  const char* f = format + 1;
  const char* t = text;
  while (success && *f && *t) {
    const char letter = *f;
    if (IsNumberLetter(letter) || letter == 'z') {
      f += RunLength(f);
      success = letter == 'z' ? ReadMillisecondsField(t, textEnd, parts) : ReadNumberField(letter, t, textEnd, parts);
      t = PastNumber(t);
    } else {
      success = MatchLiterals(f, t);
    }
  }
  if (!success) parts.tm_isdst = -1;
  return success;
}

std::int32_t ParseTimeValue(const char* text, const char* format) {
  if (text == nullptr) return 0;
  long long sign = 1;
  if (*text == '-') {
    sign = -1;
    ++text;
  }
  std::tm parts{};
  if (!ParseTimeParts(parts, text, format)) return 0;
  const long long total =
      (parts.tm_hour * 3600000LL + parts.tm_min * 60000LL + parts.tm_sec * 1000LL + parts.tm_isdst) * sign;
  if (total < INT32_MIN || total > INT32_MAX) return 0;
  return static_cast<std::int32_t>(total);
}

double ParseDateTimeValue(const char* text, const char* format) {
  std::tm parts{};
  if (!ParseTimeParts(parts, text, format)) return 0.0;
  const int ms = parts.tm_isdst;
  parts.tm_isdst = 0;
  return TmToTimeUtc(parts) + ms * 0.001;
}
