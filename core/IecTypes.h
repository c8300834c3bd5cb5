#pragma once
// IEC 61131-3 type codes: the small integer the rest of the system switches on
// for a variable's type name, and the one-byte type identifier of the PLC
// communication protocol for each code.

#include <cstdint>

// The type codes TypeCodeOfName produces (26, 27 and 34 are never produced but
// have PLC type bytes).
enum IecTypeCode : int {
  IecNone = -1,  // the name "ND"
  IecBool = 0,
  IecBoolREdge = 1,
  IecBoolFEdge = 2,
  IecByte = 3,
  IecWord = 4,
  IecDword = 5,
  IecLword = 6,
  IecSint = 7,
  IecInt = 8,
  IecDint = 9,
  IecLint = 10,
  IecUsint = 11,
  IecUint = 12,
  IecUdint = 13,
  IecUlint = 14,
  IecReal = 15,
  IecLreal = 16,
  IecTime = 17,
  IecDate = 18,
  IecTimeOfDay = 19,
  IecDateAndTime = 20,
  IecString = 21,
  IecWstring = 22,
  IecArray = 23,
  IecStruct = 24,
  IecEnum = 25,
  IecAny = 28,
  IecAnyNum = 29,
  IecAnyBit = 30,
  IecAnyInt = 31,
  IecAnyReal = 32,
  IecUnknown = 33,
  IecPointer = 35,
};

// The type code of an IEC type name. Names compare without regard to case; a
// name starting with "(" (an enumeration list) is 25, "STRING" alone or followed
// by a blank or "[" is 21, "ND" is -1, anything outside the table (a null or
// empty name included) is 33.
int TypeCodeOfName(const char* name);

// The PLC protocol's type byte of a type code; 248 for codes outside 0..35.
std::uint8_t PlcTypeOfTypeCode(int code);
