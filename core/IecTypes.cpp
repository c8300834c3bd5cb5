#include "core/IecTypes.h"

#include <array>
#include <cstring>

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameNoCase(const char* a, const char* upperB) {
  for (; *a && *upperB; ++a, ++upperB)
    if (Upper(*a) != *upperB) return false;
  return *a == *upperB;
}

struct NameCode {
  const char* name;  // upper case
  int code;
};

// Every type name of the table; a name must match one of them whole.
constexpr NameCode kNames[] = {
    {"ARRAY", IecArray},
    {"ANY", IecAny},
    {"ANY_NUM", IecAnyNum},
    {"ANY_BIT", IecAnyBit},
    {"ANY_INT", IecAnyInt},
    {"ANY_REAL", IecAnyReal},
    {"BOOL", IecBool},
    {"BOOL R_EDGE", IecBoolREdge},
    {"BOOL F_EDGE", IecBoolFEdge},
    {"BIT", IecBool},
    {"BYTE", IecByte},
    {"DWORD", IecDword},
    {"DINT", IecDint},
    {"DT", IecDateAndTime},
    {"DATE", IecDate},
    {"DATE_AND_TIME", IecDateAndTime},
    {"ENUM", IecEnum},
    {"INT", IecInt},
    {"LONG", IecDword},  // an unsigned 32-bit word here, like DWORD
    {"LREAL", IecLreal},
    {"LINT", IecLint},
    {"LWORD", IecLword},
    {"ND", IecNone},
    {"PTR_TO", IecPointer},
    {"POINTER", IecPointer},
    {"REAL", IecReal},
    {"SINT", IecSint},
    {"STRUCT", IecStruct},
    {"TIME", IecTime},
    {"TOD", IecTimeOfDay},
    {"TIME_OF_DAY", IecTimeOfDay},
    {"USINT", IecUsint},
    {"UINT", IecUint},
    {"UDINT", IecUdint},
    {"ULINT", IecUlint},
    {"WORD", IecWord},
    {"WSTRING", IecWstring},
};

constexpr std::array<std::uint8_t, 36> kPlcType = {
    0,  241, 242, 40, 42,  44,  46,  9, 11,  13,  15,  8,   10,  12,  14,  28,  30,  51,
    49, 52,  50,  48, 240, 243, 244, 8, 246, 247, 248, 249, 250, 251, 252, 253, 254, 12,
};

}  // namespace

int TypeCodeOfName(const char* name) {
  if (name == nullptr || name[0] == '\0') return IecUnknown;
  if (name[0] == '(') return IecEnum;
  const char first = Upper(name[0]);
  if (first < '(' || first > 'W') return IecUnknown;
  if (std::strlen(name) >= 6) {
    bool isString = true;
    for (int i = 0; i < 6; ++i)
      if (Upper(name[i]) != "STRING"[i]) isString = false;
    if (isString && (name[6] == '\0' || name[6] == ' ' || name[6] == '[')) return IecString;
  }
  for (const NameCode& entry : kNames)
    if (entry.name[0] == first && SameNoCase(name, entry.name)) return entry.code;
  return IecUnknown;
}

std::uint8_t PlcTypeOfTypeCode(int code) {
  if (code < 0 || code >= static_cast<int>(kPlcType.size())) return 248;
  return kPlcType[static_cast<std::size_t>(code)];
}
