#pragma once
// User time formats: the texts a page object carries (attribute `timf`) to show
// and read TIME, TOD, DATE and DT values. A format starts with "T", followed by
// format letters and other characters:
//   Y   the year: "Y" or "YY" two digits, "YYY" and more four digits
//   M D h m s   month 1-12, day of month, hours, minutes, seconds: a pair prints
//       two digits ("%02d"), a lone letter the plain number
//   z   "zzz" milliseconds, "zz" hundredths, "z" tenths
// Blank, "-", "." and ":" are the separators. Built-in formats:
// "TYYYY-MM-DD-hh:mm:ss.zzz" (DT), "TYYYY-MM-DD" (DATE), "Thh:mm:ss.zzz" (TOD)
// and "Th:mm:ss.zzz" (TIME).
//
// The printers write at most `size` characters and a NUL, so the buffer must
// hold size + 1 bytes; they return the number of characters written. A format
// that does not start with "T", or a size of 0, writes nothing and returns 0.

#include <cstdint>
#include <ctime>

bool IsTimeFormatLetter(char c);
bool IsTimeFormatSeparator(char c);
// Blank, "." and ":"; "-" only when minusAllowed.
bool IsTimeTextSeparator(char c, bool minusAllowed);

// Prints a broken-down time (milliseconds in tm_isdst) through a format.
int FormatTimeParts(const std::tm& parts, char* out, const char* format, std::uint8_t size);
// Prints milliseconds as a duration: hours are not limited to a day, a negative
// value gets a "-" in front.
int FormatTimeValue(std::int32_t ms, char* out, const char* format, std::uint8_t size);
// Prints seconds since 1970 (with fraction) as UTC calendar time; the value is
// limited to 0 .. 4,294,967,296 and the milliseconds are rounded (a fraction
// that rounds up to a whole second counts into the seconds).
int FormatDateTimeValue(double seconds, char* out, const char* format, std::uint8_t size);

// Reads text written in a format into a broken-down time that starts as
// 2000-01-01 00:00:00.000; fields the text ends before keep those values. Each
// letter run reads one number; blanks the format does not ask for are passed
// over. Years below 100 count from 2000, years from 1900 on as written. A "z"
// run reads up to three digits: one digit is tenths, two are hundredths. On
// failure (a field that is no number, a literal that does not match) the
// milliseconds field (tm_isdst) is -1 and the answer is false.
bool ParseTimeParts(std::tm& parts, const char* text, const char* format);
// Milliseconds of a duration text (a leading "-" negates); 0 when it does not
// read or lies outside the signed 32-bit range.
std::int32_t ParseTimeValue(const char* text, const char* format);
// Seconds since 1970 of a date and time text; 0.0 when it does not read.
double ParseDateTimeValue(const char* text, const char* format);

// Past the run of digits and blanks at text (blanks between digits included).
const char* SkipDigitsAndSpaces(const char* text);
// The number of digits in the run of digits and blanks at text.
int CountDigits(const char* text);
