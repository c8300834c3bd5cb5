#pragma once
// Texts of PLC values: a value of a variable's IEC type printed in a display
// format and read back, and two such texts compared. The edit-field
// properties dialog uses them for an input field's lower and upper limits.
//
// The format element (none: every attribute absent) may carry:
//   Int     1 signed decimal, 2 unsigned decimal, 3 hexadecimal; 0 or absent:
//           by type (BYTE, WORD, DWORD hexadecimal; SINT, INT, DINT signed;
//           USINT, UINT, UDINT and enumerations unsigned; other types none)
//   Length  field width in characters
//   Prec    decimals; for integer types a fixed decimal point (the integer
//           counts in units of 10^-Prec)
//   Align   "right", "zero" (padded with zeros), anything else left-aligned
//   Time    time or date mask without its leading "T"; empty: the type's own
//           ("hh:mm:ss.zzz" for TIME and TOD, "YYYY-MM-DD" for DATE,
//           "YYYY-MM-DD-hh:mm:ss.zzz" for DT)
// Widths are taken in 0..255 and decimals in 0..255 (REAL, LREAL) or 0..18
// (integers), so that a damaged attribute cannot ask for endless text.
//
// Only the type code of the variable information is read.

#include <array>
#include <cstdint>
#include <string>

#include "grid/PinVariable.h"

class TmyXmlNode;

// A PLC value as the PLC holds it: 8 bytes, zero-filled, by type: BOOL, BYTE,
// SINT, USINT and enumerations one byte; WORD, INT, UINT two; DWORD, DINT,
// UDINT, TIME and TOD (signed milliseconds) four; REAL a float; LREAL a
// double; DATE and DT a double of seconds since 1970.
struct TPlcValue {
  std::array<std::uint8_t, 8> bytes{};

  std::uint32_t Low() const;
  std::uint32_t High() const;
  static TPlcValue FromHalves(std::uint32_t low, std::uint32_t high);
};

// The display text of a value given as its two 32-bit halves. BOOL prints 1
// or 0; integer types go through FormatIntegerValueText; REAL and LREAL print
// with Length and Prec; TIME and TOD, DATE and DT through the mask. STRING
// and every other type (LWORD, LINT, ULINT, wide strings, arrays,
// structures) give an empty text.
std::string FormatPlcValueText(const TmyXmlNode* format, const TPinVariable& info, std::uint32_t low,
                               std::uint32_t high);

// An integer in the format's notation, with its fixed decimal point; a
// negative value whose integer part is 0 keeps its minus sign ("-0.5").
// Empty when the notation is none.
std::string FormatIntegerValueText(std::int32_t value, const TmyXmlNode* format, const TPinVariable& info);

// The value a text stands for (blanks around it ignored, except for STRING).
// A text that does not read gives 0 for its type.
TPlcValue PlcValueFromText(const TPinVariable& info, const std::string& text, const TmyXmlNode* format);

// The integer a text stands for in the format's notation; with Prec the
// fixed-point value ("12.5" with Prec 2 is 1250). 0 for the notation none.
std::int32_t IntegerValueFromText(const std::string& text, const TmyXmlNode* format, const TPinVariable& info);

// value(a) - value(b) by the variable's type: 0.0 for STRING, 1.0 for types
// that have no comparable value (LWORD, LINT, ULINT, arrays, ...).
double ComparePlcValueTexts(const std::string& a, const std::string& b, const TmyXmlNode* format,
                            const TPinVariable& info);
