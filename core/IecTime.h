#pragma once
// Calendar time to seconds since 1970-01-01 00:00:00, with no time zone and no
// daylight saving. The range is that of an unsigned 32-bit count: earlier times
// give 0, times after 2106-02-07 06:28:15 give 4,294,967,295. The calendar is
// the Gregorian one of the runtime's gmtime (2100 is no leap year), so that a
// time broken down and put together again comes back the same.
//
// Broken-down times are the runtime's `tm`, always UTC; this system keeps the
// milliseconds (0-999) in the ninth field, `tm_isdst`, in place of the daylight
// flag.

#include <cstdint>
#include <ctime>

// Seconds since 1970 of a calendar time: years since 1900, month from 0, day of
// the month from 0 (the first is 0), hour, minute, second. Fields out of their
// range carry into the larger ones (a negative month borrows from the year).
std::uint32_t MakeTimeUtc(int year, int month, int day, int hour, int minute, int second);

// MakeTimeUtc of a broken-down time (its day of month counts from 1); the
// record is then rewritten as the UTC breakdown of the result (normal form,
// milliseconds field 0).
std::uint32_t TmToTimeUtc(std::tm& parts);

// MakeTimeUtc on 64-bit fields, so that callers can pass a field minus one
// without overflow.
std::uint32_t MakeTimeUtc64(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                            std::int64_t minute, std::int64_t second);
