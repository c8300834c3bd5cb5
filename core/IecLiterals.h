#pragma once
// The IEC literals of the four time types, as a page object writes them to the
// PLC: "D#" / "DATE#", "DT#" / "DATE_AND_TIME#", "T#" / "TIME#" and "TOD#" /
// "TIME_OF_DAY#", in any case; the prefix may stand anywhere in the text and the
// body follows it. Texts of 255 characters or more are refused.
//
// Each parser answers true only when every field of its form was read, and only
// then stores the value; on false the output is left as it was.
//
//   DATE  year-month-day             D#2024-02-29, D#10-01-01 (years 0-37 mean 2000-2037,
//                                    38-99 mean 1938-1999, 100-1899 count from 1900)
//   DT    year-month-day-hour:minute:seconds   DT#24-05-01-12:30:15.25
//                                    (years 0-99 mean 2000-2099, 100-1899 count from 1900)
//   TIME  [-]hours:minutes:seconds   T#1:30:15.5, TIME#-0:0:1 (signed 32-bit milliseconds)
//   TOD   [-]hours:minutes:seconds   TOD#12:00:00 (no limit to one day)
//
// DATE and DT give seconds since 1970 (DT with its fraction); a DT after
// 2106-02-07 06:00:00 is stored as 4,294,965,600. TIME and TOD give
// milliseconds; the seconds count to the millisecond as written (further
// decimals are cut off), and a total outside the signed 32-bit range is refused.

#include <cstdint>

bool ParseDateLiteral(const char* text, double& value);
bool ParseDtLiteral(const char* text, double& value);
bool ParseTimeLiteral(const char* text, std::int32_t& value);
bool ParseTodLiteral(const char* text, std::int32_t& value);
