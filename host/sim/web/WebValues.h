#pragma once
// The texts the PLC's web server writes into a data page for a variable's
// value, and the values it reads from a posted text, by the variable's type
// and the format its identifier carries (WebIdentifier.h).
//
// Values in memory are as the host lays them out (PresetValue.h): little-
// endian integers, IEEE 754 reals, TIME and TOD as milliseconds, DATE and DT
// as seconds since 1970 in an LREAL, strings zero-terminated.
//
//   bits               "0" or "1"; posted: 0, 1, TRUE, FALSE, on
//   integers           the printf directive of the format ("u", "05d", "X");
//                      a hexadecimal format reads hexadecimal digits, with or
//                      without "0x"; every other reads a decimal number;
//                      values outside the type's range are refused
//   REAL, LREAL        "%.<n>f" as the format says
//   texts              the bytes up to the terminating zero
//   TIME, TOD          "s": h:mm:ss.zzz and hh:mm:ss.zzz; "T...": that time
//   DATE, DT           format (core/IecTimeFormat.h); "s": YYYY-MM-DD and
//                      YYYY-MM-DD-hh:mm:ss.zzz; posted texts also in the
//                      IEC literal forms (T#2s, D#2024-05-01); a field out of
//                      range (99:99:99, 45.13.2024), a TOD outside a day and a
//                      date before 1970 or after 2106 are refused
//   arrays             hexadecimal digits, two a byte (the canvas buffer)
//   structures         the first four bytes as an unsigned number

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/PlcTypeShape.h"

// The text of a value; `bytes` are the variable's bytes (a bit: one byte 0 or 1).
std::string FormatWebValue(const PlcTypeShape& shape, const std::vector<std::uint8_t>& bytes,
                           const std::string& format);

// The bytes of a posted text (a bit: one byte 0 or 1); none when the text is
// no value of the type.
std::optional<std::vector<std::uint8_t>> EncodeWebValue(const PlcTypeShape& shape, const std::string& text,
                                                        const std::string& format);

// Hexadecimal digits of bytes, upper case.
std::string HexOfBytes(const std::uint8_t* bytes, std::size_t count);
// The value of a hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(char c);
