#pragma once
// Date-time basics of the class library.
//
// A TDateTime is a double: the whole part counts days since 1899-12-30, the
// fraction is the time of day (0.5 is noon). For days before 1899-12-30 the
// fraction still counts forwards from midnight, so -1.25 is 1899-12-29 06:00.
// Dates run from 0001-01-01 to 9999-12-31 in the Gregorian calendar.

#include <string>
#include <string_view>

using TDateTime = double;

// The current local time, to the millisecond.
TDateTime Now();

// The day (at midnight) of a calendar date. EncodeDate throws
// std::invalid_argument for a date that does not exist; TryEncodeDate answers
// false and leaves `result` alone.
TDateTime EncodeDate(unsigned short year, unsigned short month, unsigned short day);
bool TryEncodeDate(unsigned short year, unsigned short month, unsigned short day, TDateTime& result);

// The fraction of a day of a time (hour 0-23, minute and second 0-59,
// milliseconds 0-999). EncodeTime throws std::invalid_argument outside these.
TDateTime EncodeTime(unsigned short hour, unsigned short min, unsigned short sec, unsigned short msec);
bool TryEncodeTime(unsigned short hour, unsigned short min, unsigned short sec, unsigned short msec, TDateTime& result);

// The calendar date and the time of day of a value, rounded to the nearest
// millisecond. A value outside the calendar's range (or not a number) gives 0
// in every part.
void DecodeDate(TDateTime value, unsigned short& year, unsigned short& month, unsigned short& day);
void DecodeTime(TDateTime value, unsigned short& hour, unsigned short& min, unsigned short& sec, unsigned short& msec);

// The value printed through a format. Letters, in either case:
//   d / dd      day without / with a leading zero
//   m / mm      month without / with a leading zero; minutes when the letter
//               before it (literal text between them aside) was h or hh
//   yy / yyyy   year in two / four digits (y alone counts as yy, yyy as yyyy)
//   h / hh      hour 0-23 without / with a leading zero
//   n / nn      minutes without / with a leading zero
//   s / ss      seconds without / with a leading zero
//   z / zzz     milliseconds without / with leading zeros (three digits)
// Text in single or double quotes is copied without its quotes; every other
// character, other letters included, is copied as it stands.
std::string FormatDateTime(std::string_view format, TDateTime value);
