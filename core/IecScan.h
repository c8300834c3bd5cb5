#pragma once
// Reading numbers out of IEC literals and time texts the way the runtime's
// scanf conversions do ("%d", "%f", "%lf"): white space before a number is
// skipped, a sign is allowed, the number ends at the first character that
// cannot continue it. Unlike scanf, a number outside the range of its type is
// not read (no wrapped or infinite values), and only decimal forms are read.
//
// Every reader works on [p, end), advances p past what it read and answers
//   1  a number was read and stored,
//   0  no number stands at p (nothing stored, p unchanged),
//  -1  only white space is left (the runtime's end-of-input answer).

#include <cstdint>

int IecScanInt(const char*& p, const char* end, int& value);
// A real number of seconds ("%f" form) as milliseconds, exact: decimals below
// the millisecond are cut off (towards zero). Numbers of 10^15 seconds or more
// are not read.
int IecScanMillis(const char*& p, const char* end, std::int64_t& ms);
int IecScanDouble(const char*& p, const char* end, double& value);

// True, and p advanced, when the next character is exactly c (no white space
// is skipped before a literal character, as in a scanf pattern).
bool IecScanLiteral(const char*& p, const char* end, char c);
