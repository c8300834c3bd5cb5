#include "core/IecTimeEntry.h"

#include <cstring>
#include <string>

#include "core/IecScan.h"
#include "core/IecTimeFormat.h"
#include "core/IecTypes.h"

namespace {

constexpr std::size_t kPartLength = 7;  // characters kept of each part

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

}  // namespace

void ApplyTimeFormat(const char* text, const char* format, int typeCode, const void* current, char* out) {
  if (out == nullptr) return;
  out[0] = '\0';
  if (format == nullptr || format[0] != '%' || format[1] != 'T') return;
  const bool isDate = typeCode == IecDate || typeCode == IecDateAndTime;
  const bool isTime = typeCode == IecTime || typeCode == IecTimeOfDay;

  Part parts[PartCount];
  if (current == nullptr) {
    const char* defaults[PartCount] = {"1970", "1", "1", "0", "0", "0", "0"};
    for (int i = 0; i < PartCount; ++i) parts[i].text = defaults[i];
  } else if (isDate) {
    double value = 0;
    std::memcpy(&value, current, sizeof value);
    char printed[33] = "";
    if (typeCode == IecDate)
      FormatDateTimeValue(value, printed, "TYYYY-MM-DD", 16);
    else
      FormatDateTimeValue(value, printed, "TYYYY-MM-DD-hh:mm:ss.zzz", 32);
    SplitIntoParts(printed, parts);
  } else if (isTime) {
    for (int i = Hour; i <= Milli; ++i) parts[i].text = "0";
  }

  // Walk format and text together; separators in the text only move the format.
  bool negative = false;
  const char* f = format + 2;
  const char* t = text != nullptr ? text : "";
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

  std::string result;
  if (isDate) {
    int year = 0;
    if (!ReadYear(parts[Year].text, year)) return;
    if (year < 100) year += 2000;
    if (year < 1970) year = 1970;
    result = std::to_string(year) + "-" + parts[Month].text + "-" + parts[Day].text;
    if (typeCode == IecDate) {
      std::memcpy(out, result.c_str(), result.size() + 1);
      return;
    }
    result += "-";
  } else if (!isTime) {
    return;
  }
  if (negative) result += "-";
  std::string milli = parts[Milli].text;
  if (milli.size() == 1)
    milli += "00";
  else if (milli.size() == 2)
    milli += "0";
  result += parts[Hour].text + ":" + parts[Minute].text + ":" + parts[Second].text + "." + milli;
  std::memcpy(out, result.c_str(), result.size() + 1);
}
