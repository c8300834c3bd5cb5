#pragma once
// Text that a user types for a TIME, DATE, TOD or DT variable in the page
// object's own time format, rewritten into the literal body that the literal
// parsers read once the caller has put "T#", "D#", "TOD#" or "DT#" in front:
//   DATE  year-month-day                 "2024-05-07"
//   DT    year-month-day-h:m:s.zzz       "2024-05-07-12:30:15.250"
//   TIME, TOD  [-]h:m:s.zzz              "01:30:0.000"
//
// Format and text are walked together, a character of each per step: a typed
// character goes to the part of the format letter it meets, a separator in the
// text (blank, ".", ":", and "-" for DATE and DT) moves on to the next format
// character, and a literal of the format drops the character it meets. A
// letter run followed by a literal or the end of the format also takes the
// further digits typed for it ("12:30" in "h:mm"). A "-" typed for h, m or s
// makes a TIME or TOD negative. Parts the user does not type keep the object's
// current value (DATE and DT) or 0 (TIME and TOD); without a current value they
// are 1970-1-1 0:0:0.0. Each part keeps at most seven characters. A year below
// 100 counts from 2000 and a year before 1970 becomes 1970; the milliseconds
// are decimals (one digit is tenths, two hundredths).

// The output never needs more than this many bytes, its NUL included.
constexpr int ApplyTimeFormatOutSize = 64;

// text: what the user typed; format: "%T" followed by the object's format;
// typeCode: 17 to 20; current: the object's current value or null (for DATE and
// DT the 8-byte double of seconds, for TIME and TOD only its presence counts);
// out: ApplyTimeFormatOutSize bytes. The output is empty for a format that does
// not start with "%T", for other type codes, and for a year that is no number.
void ApplyTimeFormat(const char* text, const char* format, int typeCode, const void* current, char* out);
