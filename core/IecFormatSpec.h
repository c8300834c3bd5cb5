#pragma once
// The printf format directive (without the leading "%") that the
// value formatters and the generator build for numbers:
//   "-"          when the width is 0 or more and the left flag is set;
//   "0"          with zero fill (a negative width then counts as positive);
//   width        when above 0; a width of 0 or less is still written when the
//                precision is not 0 and the letter is neither "f" nor "l";
//   "." precision  when the precision is not 0 or the letter is "f" or "l"
//                (a negative precision counts as 0), never when the precision is
//                below -1 or the letter is "X";
//   the conversion letter ("d", "u", "X", "f", or "l" to which the caller
//                appends "f").
// Example: "f", width 8, precision 2, zero fill gives "08.2f".
//
// Writes at out, NUL-terminated (at most 27 bytes with the NUL), and returns the
// position after the letter, where the caller may go on writing.

char* FormatIntField(char* out, char letter, int width, int precision, bool zeroFill, bool leftAlign);
