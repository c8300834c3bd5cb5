#include "core/IecTimeEntry.h"

#include <cstring>
#include <string>

#include "core/IecScan.h"
#include "core/IecTimeFormat.h"
#include "core/IecTypes.h"

namespace {

constexpr std::size_t kPartLength = 7;  // characters kept of each part
// Room for the longest pre-filled value, "YYYY-MM-DD-hh:mm:ss.zzz", and more.
constexpr std::uint8_t kPrintedSize = 33;
// Years typed with two digits count from 2000; none lies before 1970.
constexpr int kCenturyYears = 100;
constexpr int kTwoDigitYearBase = 2000;
constexpr int kFirstYear = 1970;

enum PartIndex { Year, Month, Day, Hour, Minute, Second, Milli, PartCount };

struct Part {
  std::string text;
  bool typed = false;  // the first typed character replaces the pre-filled text
};

int PartOfLetter(char letter) {
  switch (letter) {
    case 'Y': return Year;
    case 'M': return Month;
    case 'D': return Day;
    case 'h': return Hour;
    case 'm': return Minute;
    case 's': return Second;
    default: return Milli;
  }
}

// The pieces of a printed date and time between separators, in order.
void SplitIntoParts(const char* printed, Part (&parts)[PartCount]) {
  int index = 0;
  for (const char* p = printed; *p && index < PartCount; ++p) {
    if (IsTimeFormatSeparator(*p))
      ++index;
    else if (parts[index].text.size() < kPartLength)
      parts[index].text += *p;
  }
}

// The year part as a number; false when it is not one whole.
bool ReadYear(const std::string& text, int& year) {
  const char* p = text.c_str();
  const char* end = p + text.size();
  return IecScanInt(p, end, year) == 1 && p == end;
}

// The parts as they stand before anything is typed: the current value's, or
// 1970-01-01 00:00:00.000 without one.
void PrefillParts(int typeCode, const void* current, Part (&parts)[PartCount]) {
  if (current == nullptr) {
    const char* defaults[PartCount] = {"1970", "1", "1", "0", "0", "0", "0"};
    for (int i = 0; i < PartCount; ++i) parts[i].text = defaults[i];
  } else if (typeCode == IecDate || typeCode == IecDateAndTime) {
    double value = 0;
    std::memcpy(&value, current, sizeof value);
    char printed[kPrintedSize] = "";
    if (typeCode == IecDate)
      FormatDateTimeValue(value, printed, "TYYYY-MM-DD", kPrintedSize - 1);
    else
      FormatDateTimeValue(value, printed, "TYYYY-MM-DD-hh:mm:ss.zzz", kPrintedSize - 1);
    SplitIntoParts(printed, parts);
  } else if (typeCode == IecTime || typeCode == IecTimeOfDay) {
    for (int i = Hour; i <= Milli; ++i) parts[i].text = "0";
  }
}

// Walks format (after "%T") and text together and puts each typed character
// into its part; separators in the text only move the format. True when a
// '-' was typed where hours, minutes or seconds go (a negative duration).
bool ReadTypedParts(const char* f, const char* t, bool isDate, Part (&parts)[PartCount]) {
  bool negative = false;
  while (*f && *t) {
    if (!IsTimeFormatLetter(*f)) {
      ++f;
      ++t;
      continue;
    }
    if (IsTimeTextSeparator(*t, isDate)) {
      ++f;
      continue;
    }
    if (*t == '-' && (*f == 'h' || *f == 'm' || *f == 's')) {
      negative = true;
      ++t;
      continue;
    }
    const char letter = *f;
    Part& part = parts[PartOfLetter(letter)];
    if (!part.typed) {
      part.text.clear();
      part.typed = true;
    }
    if (part.text.size() < kPartLength) part.text += *t;
    ++f;
    ++t;
    // A run that ends at a literal or at the end of the format takes every
    // further digit typed for it: "12" for "h", "2024" for "YY".
    if (*f != letter && !IsTimeFormatLetter(*f)) {
      for (; *t >= '0' && *t <= '9'; ++t)
        if (part.text.size() < kPartLength) part.text += *t;
    }
  }
  return negative;
}

// "hh:mm:ss.zzz" of the parts, the milliseconds filled up to three digits.
std::string TimeText(const Part (&parts)[PartCount], bool negative) {
  std::string milli = parts[Milli].text;
  if (milli.size() == 1)
    milli += "00";
  else if (milli.size() == 2)
    milli += "0";
  return (negative ? "-" : "") + parts[Hour].text + ":" + parts[Minute].text + ":" + parts[Second].text + "." + milli;
}

}  // namespace

void ApplyTimeFormat(const char* text, const char* format, int typeCode, const void* current, char* out) {
  if (out == nullptr) return;
  out[0] = '\0';
  if (format == nullptr || format[0] != '%' || format[1] != 'T') return;
  const bool isDate = typeCode == IecDate || typeCode == IecDateAndTime;
  const bool isTime = typeCode == IecTime || typeCode == IecTimeOfDay;
  if (!isDate && !isTime) return;

  Part parts[PartCount];
  PrefillParts(typeCode, current, parts);
  const bool negative = ReadTypedParts(format + 2, text != nullptr ? text : "", isDate, parts);

  std::string result;
  if (isDate) {
    int year = 0;
    if (!ReadYear(parts[Year].text, year)) return;
    if (year < kCenturyYears) year += kTwoDigitYearBase;
    if (year < kFirstYear) year = kFirstYear;
    result = std::to_string(year) + "-" + parts[Month].text + "-" + parts[Day].text;
    if (typeCode == IecDateAndTime) result += "-" + TimeText(parts, negative);
  } else {
    result = TimeText(parts, negative);
  }
  std::memcpy(out, result.c_str(), result.size() + 1);
}
