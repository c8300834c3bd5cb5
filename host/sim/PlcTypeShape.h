#pragma once
// The shape of a PLC variable's type as the simulated host lays it out in the
// PLC memory: its IEC type code, its size in bytes, the size code the host's
// variables interface reports, and for arrays and structures their elements.
//
// Size codes (the "kind" of a variable position): 0..7 a bit (the bit
// number), 8 one byte (and anything made of bytes: strings, arrays,
// structures), 9 two bytes, 10 four bytes (integers, TIME, TOD, pointers),
// 11 REAL, 12 eight-byte integers, 13 eight-byte reals (LREAL, DATE, DT).
//
// Memory layout: packed without padding, in declaration order. A BOOL that a
// variable line places at a bit takes that bit; any other BOOL (a structure
// member, an array element, a BOOL without a bit) takes a byte of its own and
// lives in its bit 0. STRING[n] takes n + 1 bytes (n = 80 when no length is
// given), WSTRING[n] 2 (n + 1).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/sim/HostProject.h"

struct PlcTypeShape;
using PlcTypeShapePtr = std::shared_ptr<const PlcTypeShape>;

struct PlcTypeMember {
  std::string name;
  std::uint32_t offset = 0;  // from the start of the structure
  PlcTypeShapePtr shape;
};

struct PlcTypeShape {
  enum class Kind { Elementary, String, Array, Struct };
  Kind kind = Kind::Elementary;
  int code = -1;             // IEC type code (core/IecTypes.h)
  std::string hostTypeName;  // the type name the host reports ("UINT", "TIME_OF_DAY", "STRING[20]", "STRUCT", "ENUM")
  // The second text the host reports: the structure's or array's
  // declaration, an enumeration's list ("(OFF,MANUAL,AUTO)").
  std::string furtherText;
  std::uint32_t size = 0;  // bytes
  bool isBit = false;      // BOOL kinds (codes 0..2)
  std::uint16_t sizeCode = 8;
  // Arrays
  std::int32_t low = 0;
  std::int32_t high = -1;
  PlcTypeShapePtr element;
  // Structures
  std::vector<PlcTypeMember> members;
};

// The shape of a type text; raises HostProjectError (message without file or
// line, the caller adds them) for an unknown or malformed type. Structure
// names are looked up in `structs` without regard to case.
PlcTypeShapePtr ShapeOfType(const std::string& typeText, const std::vector<HostStructType>& structs);
