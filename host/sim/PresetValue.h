#pragma once
// The starting value a host project gives a PLC variable (a `preset NAME
// VALUE` line), turned into the bytes the variable holds in the PLC memory.
// Values are stored as the memory services hand them to the live view:
// little-endian integers, IEEE 754 reals, strings zero-terminated and
// zero-filled to their declared length.
//
// Forms by type:
//   BOOL (and its edge kinds)     0, 1, TRUE, FALSE (any case)
//   integers, BYTE .. LWORD,      decimal with an optional '-', or 0x
//   ENUM, POINTER                 hexadecimal; checked against the type's range
//   enumeration (A,B,C)           a name of the list or its number (0 the first)
//   REAL, LREAL                   a decimal number (123, -0.5, 1e3), finite,
//                                 within the type's range
//   TIME                          milliseconds; a duration with units, bare or
//                                 after T#/TIME# (4h, 1h30m, T#2s500ms: d, h,
//                                 m, s, ms, each once, largest first); or
//                                 T#h:m:s (T#4:00:00)
//   TIME_OF_DAY                   milliseconds, or TOD#h:m:s
//   DATE, DATE_AND_TIME           D#2024-05-01, DT#2024-05-01-12:30:00 (seconds
//                                 since 1970, stored as an LREAL)
//   STRING[n]                     the text, at most n characters
//   WSTRING[n]                    the text, at most n characters, ASCII only
// In the project file a value holding '#' is written in double quotes, as
// '#' outside quotes starts a comment.
//   ARRAY OF BYTE, USINT or SINT  hexadecimal digits, two a byte, blanks
//                                 between bytes ("C5 01 5D 00"); the elements
//                                 not given stay 0
// Any other whole structure or array takes no preset (its members and
// elements do).

#include <cstdint>
#include <string>
#include <vector>

#include "host/sim/PlcTypeShape.h"

// The bytes of `text` as a value of `shape`: Size() bytes, a BOOL as one byte
// 0 or 1. Raises HostProjectError (message without file or line) for a value
// of the wrong form, out of range, a text too long, or a type without presets.
std::vector<std::uint8_t> EncodePresetValue(const PlcTypeShape& shape, const std::string& text);
