#pragma once
// The identifiers the generated data pages name PLC variables by (the `NAME`
// of an `INPUT` or `DATA` entry, the name of a posted field), as the page
// generator builds them:
//
//   __<A><offset>.<bit>_<type>_i      a bit: area letter X, Y, S or R, decimal
//                                     byte offset, bit number 0-7
//   __<A><offset>_<type>_<format>     any other variable
//   __T<tdi>[.<code>]_<type>_<format> through the web variable map: eight
//                                     hexadecimal digits of the map number and
//                                     two of the memory code (1 X .. 5 T)
//
// <type> is the IEC type name ("UINT", "STRING[40]", "USINT" for an enumeration);
// it may hold '_' only inside brackets or parentheses, so the format is the
// text after the last '_'. <format> is "i" for a bit, otherwise a printf
// directive without '%' ("u", "05d", ".1f", ".2lf", "X"), "s" for texts and
// times, or "T" and a time format ("Thh:mm:ss").

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/sim/PlcMemory.h"

struct WebIdentifier {
  bool mapped = false;        // the __T form
  PlcArea area = PlcArea::R;  // direct form
  std::uint32_t offset = 0;   // direct form
  int bit = -1;               // direct form of a bit
  std::uint32_t tdi = 0;      // mapped form
  int code = -1;              // mapped form: the memory code, -1 when absent
  std::string typeName;
  std::string format;
};

// The parts of an identifier; none for any text that is not one.
std::optional<WebIdentifier> ParseWebIdentifier(std::string_view text);
